// S-record text written from memory: the records, their checksums and end
// records (expected texts computed by hand), and the address forms, which
// must load back through the S-record loader to the same bytes.
#include <gtest/gtest.h>

#include "image/srecord_writer.h"

namespace tav {
namespace {

std::uint8_t pattern(std::uint32_t a) { return static_cast<std::uint8_t>(a * 7); }

std::string written(std::uint32_t first, std::uint32_t last, AddressForm form, std::string* error = nullptr) {
  std::string e;
  std::string text = write_srecords(first, last, pattern, form, e);
  if (error) *error = e;
  return text;
}

TEST(SRecordWriter, RecordsChecksumsAndEndRecords) {
  struct Case {
    std::uint32_t first, last;
    AddressForm form;
    const char* text;
  } cases[] = {
      {0x1000, 0x1020, AddressForm::Global,
       "S123100000070E151C232A31383F464D545B626970777E858C939AA1A8AFB6BDC4CBD2D93C\n"
       "S1041020E0EB\nS903FFFFFE\n"},
      {0x7F3FFE, 0x7F4001, AddressForm::Banked, "S206FCBFFEF2F955\nS206FD8000000775\nS804FFFFFFFE\n"},
      {0x7FFFFE, 0x7FFFFF, AddressForm::Local, "S105FFFEF2F912\nS903FFFFFE\n"},
      {0x0FFFF, 0x10000, AddressForm::Global, "S20600FFFFF90002\nS804FFFFFFFE\n"},
      {0x2000, 0x1FFF, AddressForm::Global, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(written(c.first, c.last, c.form), c.text) << std::hex << c.first;
}

TEST(SRecordWriter, LocalFormRefusesBytesTheResetMapHides) {
  std::string error;
  EXPECT_EQ(written(0x400000, 0x400001, AddressForm::Local, &error), "");
  EXPECT_EQ(error, "no local address for 0x400000");
  for (std::uint32_t local : {0x0000u, 0x0900u, 0x0C00u, 0x1800u, 0x3000u, 0x5000u, 0x9000u, 0xFFFFu})
    EXPECT_EQ(global_to_local(local_to_global(local)), local) << std::hex << local;
}

}  // namespace
}  // namespace tav
