// S-record, Intel Hex and binary images.
#include "image_fixture.h"

namespace tav::testing {
namespace {

TEST_F(ImageTest, SRecordsSkipTheHeaderAndStopAtTheFirstEndRecord) {
  const std::string text =
      "S00F000068656C6C6F202020202000003C\n"
      "S1070100AABBCCDDxx\n"          // checksums are never looked at
      "S2080F0000112233448C\n"
      "S30900FC0000DEADBEEF00\r\n"
      "$ a comment line\n"
      "S5030002FA\n"
      "S9030123D8\n"
      "S1050200FFFF00\n"               // after the end record: ignored
      "garbage\n";
  ASSERT_EQ(program.load_program(put("p.s19", text), false, false), 1) << host.all_errors();
  EXPECT_EQ(program.format(), ImageFormat::SRecord);
  EXPECT_EQ(memory.ReadLong(0x0100), 0xAABBCCDDu);
  EXPECT_EQ(memory.ReadLong(0x0F0000), 0x11223344u);
  EXPECT_EQ(memory.ReadLong(0xFC0000), 0xDEADBEEFu);
  EXPECT_EQ(memory.ReadByte(0x0200), 0);
  EXPECT_EQ(memory.ReadByte(0x0000), 0) << "the S0 header writes nothing";
  EXPECT_EQ(sym(".text"), 0x0123u);
  EXPECT_FALSE(has_sym(".tsize"));
  EXPECT_EQ(host.out, "T: 0x123\n");
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(host.titles.back(), "Memory Records");
  EXPECT_EQ(host.counts.back(), 9u);
  EXPECT_EQ(memory.block_state(0x0100), Memory::New);
}

TEST_F(ImageTest, SRecordEndTypesUseTheirAddressWidths) {
  ASSERT_EQ(program.load_program(put("a.s19", "S804123456AA\n"), false, false), 1);
  EXPECT_EQ(sym(".text"), 0x123456u);
  ASSERT_EQ(program.load_program(put("b.s19", "S70512345678AA\n"), false, false), 1);
  EXPECT_EQ(sym(".text"), 0x12345678u);
}

TEST_F(ImageTest, ShortSRecordLinesGiveFewerBytes) {
  ASSERT_EQ(program.load_program(put("c.s19", "S1090300010203\nS1030400\nS1\n"), false, false), 1);
  EXPECT_EQ(memory.ReadByte(0x0302), 3);
  EXPECT_EQ(memory.ReadByte(0x0303), 0);
  EXPECT_FALSE(has_sym(".text")) << "no end record";
}

TEST_F(ImageTest, IntelHexStopsAtTheFirstRecordThatIsNeitherDataNorAddress) {
  const std::string text =
      ":0400100001020304E2\n"
      ":02001200AABB00\n"
      ":020000040008F2\n"   // extended linear address: later records at 0x08xxxx
      ":0400200005060708C6\n"
      ":020000021000EC\n"   // extended segment address: 0x10000
      ":0100300099FF\n"
      ":00003401CB\n"       // the end record: its address field is .text
      ":0100400077FF\n";
  ASSERT_EQ(program.load_program(put("p.hex", text), false, false), 1);
  EXPECT_EQ(program.format(), ImageFormat::IntelHex);
  EXPECT_EQ(memory.ReadWord(0x0010), 0x0102u);
  EXPECT_EQ(memory.ReadWord(0x0012), 0xAABBu) << "a later record overwrites";
  EXPECT_EQ(memory.ReadLong(0x080020), 0x05060708u);
  EXPECT_EQ(memory.ReadByte(0x0020), 0);
  EXPECT_EQ(memory.ReadByte(0x010030), 0x99);
  EXPECT_EQ(memory.ReadByte(0x010040), 0) << "after the end record";
  EXPECT_EQ(sym(".text"), 0x34u);
  EXPECT_EQ(host.out, "T: 0x34\n");
}

TEST_F(ImageTest, AnyOtherLineAbandonsTheTextLoad) {
  EXPECT_EQ(program.load_program(put("bad.s19", "S1050100AAFF\n\nS1050200BBFF\n"), false, false), 0);
  EXPECT_EQ(host.all_errors(), "read error S-record/Hex|");
  EXPECT_EQ(memory.ReadByte(0x0100), 0xAA) << "bytes written so far stay";
  EXPECT_EQ(memory.ReadByte(0x0200), 0);
}

TEST_F(ImageTest, ALineLongerThan511CharactersIsReadAsTwo) {
  std::string line = "S1";
  line += "FF";  // 252 data bytes after the address: 4 + 4 + 504 + 2 = 514 characters
  line += "1000";
  for (int i = 0; i < 252; ++i) line += "5A";
  line += "00\n";
  ASSERT_GT(line.size(), 512u);
  EXPECT_EQ(program.load_program(put("long.s19", line + "S9030000FC\n"), false, false), 0);
  EXPECT_EQ(host.all_errors(), "read error S-record/Hex|");
  EXPECT_EQ(memory.ReadByte(0x1000), 0x5A);
  EXPECT_EQ(memory.ReadByte(0x1000 + 252 - 2), 0x5A) << "the first 511 characters still load";
  EXPECT_EQ(memory.ReadByte(0x1000 + 252 - 1), 0) << "the last pair fell into the second part";
}

TEST_F(ImageTest, StopRequestEndsTextLoadingWithFailure) {
  host.stop_after = 1;
  EXPECT_EQ(program.load_program(put("s.s19", "S1040100AA00\nS1040200BB00\n"), false, false), 0);
  EXPECT_TRUE(host.errors.empty());
  EXPECT_EQ(memory.ReadByte(0x0100), 0xAA);
  EXPECT_EQ(memory.ReadByte(0x0200), 0);
}

TEST_F(ImageTest, BinaryImagesLoadAtZero) {
  Bytes image(1300);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_EQ(program.load_program(put("img.bin", image), false, false), 1);
  EXPECT_EQ(program.format(), ImageFormat::Absolute);
  for (std::uint32_t a : {0u, 511u, 512u, 1299u}) EXPECT_EQ(memory.ReadByte(a), image[a]) << a;
  EXPECT_EQ(memory.ReadByte(1300), 0);
  EXPECT_EQ(memory.block_state(1024), Memory::New);
  EXPECT_EQ(host.out, "A: 0x0(1300)\n");
  EXPECT_EQ(sym(".text"), 0u);
  EXPECT_EQ(sym(".tsize"), 1300u);
}

TEST_F(ImageTest, AnEmptyFileOrTheRawFlagGiveABinaryImage) {
  program.symbols().define_symbol(".tsize", 99);
  ASSERT_EQ(program.load_program(put("empty", Bytes{}), false, false), 1);
  EXPECT_EQ(host.out, "A: 0x0(0)\n");
  EXPECT_EQ(sym(".tsize"), 0u);
  ASSERT_EQ(program.load_program(put("raw.s19", "S9030000FC\n"), true, false), 1);
  EXPECT_EQ(memory.ReadByte(0), 'S');
  EXPECT_EQ(sym(".tsize"), 11u);
}

TEST_F(ImageTest, UnloadForgetsTheProgram) {
  ASSERT_EQ(program.load_program(put("img.bin", Bytes{1, 2, 3}), false, false), 1);
  program.symbols().define_symbol(".keep", 5);
  program.unload();
  EXPECT_FALSE(has_sym(".text"));
  EXPECT_FALSE(has_sym(".tsize"));
  EXPECT_TRUE(has_sym(".keep"));
  EXPECT_EQ(memory.block_state(0), Memory::Clean) << "no longer loaded, contents kept";
  EXPECT_EQ(memory.ReadByte(1), 2);
}

}  // namespace
}  // namespace tav::testing

namespace tav::testing {
namespace {

// Banked and local address forms of S-record images, and erased flash.
TEST(BankedAddress, WindowsOfEachPagedMemory) {
  struct Case { std::uint32_t banked; std::optional<std::uint32_t> global; };
  for (const Case& c : std::vector<Case>{{0xF88000, 0x7E0000}, {0xFEBFFF, 0x7FBFFF}, {0x008000, std::nullopt},
                                         {0xFD1000, 0x0FD000}, {0xFE0800, 0x13F800}, {0xF8C000, std::nullopt}}) {
    EXPECT_EQ(banked_window_to_global(c.banked), c.global) << std::hex << c.banked;
    if (c.global && *c.global >= 0x400000) {
      EXPECT_EQ(global_to_banked(*c.global), c.banked);
    }
  }
  EXPECT_EQ(local_to_global(0xC000), 0x7FC000u);
  EXPECT_EQ(local_to_global(0x4000), 0x7F4000u);
}

TEST_F(ImageTest, BankedImagesAreDetectedAndTheirEntryIsLocal) {
  const std::string text =
      "S2 08 F88000 11223344 00\n"   // paged flash, page F8
      "S2 08 FF8000 55667788 00\n"   // the fixed page at 0xC000 in its banked form
      "S8 04 00C000 00\n";
  std::string compact;
  for (char c : text) if (c != ' ') compact += c;
  ASSERT_EQ(program.load_program(put("b.s19", compact), false, false), 1);
  EXPECT_EQ(memory.ReadLong(0x7E0000), 0x11223344u);
  EXPECT_EQ(memory.ReadLong(0x7FC000), 0x55667788u);
  EXPECT_EQ(memory.ReadByte(0xF88000), 0);
  EXPECT_EQ(sym(".text"), 0x7FC000u);
  EXPECT_EQ(host.out, "addresses: banked (page:window) converted to global\nT: 0x7fc000\n");

  // Told to take them as global, the same records stay where they say.
  LoadOptions global;
  global.address_form = AddressForm::Global;
  global.stay = true;
  program.load(put("b.s19", compact), global);
  EXPECT_EQ(memory.ReadLong(0xF88000), 0x11223344u);
}

TEST_F(ImageTest, BankedHexImagesConvertLikeSRecordsAndTakeTheirStartAddress) {
  const std::string text =
      ":0200000400F806\n"
      ":0480000011223344AA\n"        // F8:8000
      ":0200000400FF00\n"
      ":02BFFE00C00000\n"            // FF:BFFE, the reset vector in its banked form
      ":040000050000C00037\n"        // start linear address: 16 bits, a local address
      ":00000001FF\n";
  ASSERT_EQ(program.load_program(put("b.hex", text), false, false), 1);
  EXPECT_EQ(memory.ReadLong(0x7E0000), 0x11223344u);
  EXPECT_EQ(memory.ReadWord(0x7FFFFE), 0xC000u);
  EXPECT_EQ(sym(".text"), 0x7FC000u);
  EXPECT_EQ(host.out, "addresses: banked (page:window) converted to global\nT: 0x7fc000\n");

  LoadOptions local;
  local.address_form = AddressForm::Local;
  local.stay = true;
  program.load(put("l.hex", ":02FFFE00C0003F\n:040000030000C00039\n:00000001FF\n"), local);
  EXPECT_EQ(memory.ReadWord(0x7FFFFE), 0xC000u);
  EXPECT_EQ(sym(".text"), 0x7FC000u) << "a segment:offset start address of 16 bits is local";
}

TEST_F(ImageTest, SixteenBitImagesWithTheResetVectorAreLocal) {
  const std::string text = "S107C000CCDDEEFF00\nS105FFFEC00000\nS903C00000\n";
  ASSERT_EQ(program.load_program(put("l.s19", text), false, false), 1);
  EXPECT_EQ(memory.ReadLong(0x7FC000), 0xCCDDEEFFu);
  EXPECT_EQ(memory.ReadWord(0x7FFFFE), 0xC000u);
  EXPECT_EQ(memory.ReadByte(0x00C000), 0);
  EXPECT_EQ(sym(".text"), 0x7FC000u);
}

TEST_F(ImageTest, ErasedFlashOnlyWhenAskedAndOnlyWhereTheImageIs) {
  const std::string text = "S2067FC0001234FF\nS804000000FB\n";
  LoadOptions erased;
  erased.erased_flash = true;
  erased.stay = true;
  program.load(put("e.s19", text), erased);
  EXPECT_EQ(memory.ReadWord(0x7FC000), 0x1234u);
  EXPECT_EQ(memory.ReadByte(0x7FC002), 0xFF);
  EXPECT_EQ(memory.ReadByte(0x7FC3FF), 0xFF);
  EXPECT_EQ(memory.ReadByte(0x7FC400), 0) << "the next sector is not the image's";
  memory.clear();
  ASSERT_EQ(program.load_program(put("e.s19", text), false, false), 1);
  EXPECT_EQ(memory.ReadByte(0x7FC002), 0);
}

}  // namespace
}  // namespace tav::testing
