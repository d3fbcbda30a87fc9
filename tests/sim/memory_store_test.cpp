// The byte store: zero reads, byte order, the block limit, block states,
// the page mirror and the raw watcher.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "memory_test_support.h"

namespace tav::test {
namespace {

TEST(MemoryStore, NeverWrittenBytesReadZeroWithoutCreatingBlocks) {
  Target t;
  for (std::uint32_t a : {0u, 0x1FFu, 0x200u, 0x7FC000u, 0xFFFFFFu, 0x12345678u}) EXPECT_EQ(t.memory.ReadByte(a), 0);
  EXPECT_EQ(t.memory.ReadLong(0x4000), 0u);
  EXPECT_EQ(t.memory.CpuReadLong(0x4000), 0u);
  std::uint8_t buf[600];
  std::fill(std::begin(buf), std::end(buf), 0xAA);
  t.memory.ReadMemory(buf, 0x300000, sizeof buf);
  for (std::uint8_t b : buf) ASSERT_EQ(b, 0);
  EXPECT_EQ(t.memory.block_count(), 0);
  EXPECT_FALSE(t.memory.has_block(0x300000));
  EXPECT_EQ(t.memory.block_state(0x300000), Memory::Free);
}

TEST(MemoryStore, WordsAndLongsAreBigEndianAndUnaligned) {
  Target t;
  t.memory.WriteWord(0x2001, 0x1234);
  EXPECT_EQ(t.memory.ReadByte(0x2001), 0x12);
  EXPECT_EQ(t.memory.ReadByte(0x2002), 0x34);
  t.memory.WriteLong(0x3001FF, 0xA1B2C3D4);  // straddles a block boundary
  EXPECT_EQ(t.memory.ReadByte(0x3001FF), 0xA1);
  EXPECT_EQ(t.memory.ReadByte(0x300200), 0xB2);
  EXPECT_EQ(t.memory.ReadWord(0x300200), 0xB2C3);
  EXPECT_EQ(t.memory.ReadLong(0x3001FF), 0xA1B2C3D4u);
  EXPECT_EQ(t.memory.CpuReadLong(0x3001FF), 0xA1B2C3D4u);
  EXPECT_EQ(t.memory.CpuReadWord(0x3001FE), 0x00A1);
  EXPECT_EQ(t.memory.block_count(), 3);
  // The CPU's word accesses: across a block's end, into blocks not yet
  // made, and across the end of the 16 MB space.
  t.memory.CpuWriteWord(0x3003FF, 0x5678);
  EXPECT_EQ(t.memory.ReadByte(0x3003FF), 0x56);
  EXPECT_EQ(t.memory.ReadByte(0x300400), 0x78);
  EXPECT_EQ(t.memory.CpuReadWord(0x3003FF), 0x5678);
  t.memory.CpuWriteWord(0x310010, 0x9ABC);
  EXPECT_EQ(t.memory.ReadWord(0x310010), 0x9ABC);
  t.memory.poke(0xFFFFFF, 0xDE);
  t.memory.poke(0x000000, 0xF0);
  EXPECT_EQ(t.memory.CpuReadWord(0xFFFFFF), 0xDEF0);
}

TEST(MemoryStore, OnlyTheLow24BitsSelectAByte) {
  Target t;
  t.memory.WriteByte(0xAB123456, 0x5A);
  EXPECT_EQ(t.memory.ReadByte(0x123456), 0x5A);
  // A word at the top of the space wraps to address 0.
  t.memory.WriteWord(0xFFFFFF, 0x0102);
  EXPECT_EQ(t.memory.ReadByte(0xFFFFFF), 0x01);
  EXPECT_EQ(t.memory.ReadByte(0x000000), 0x02);
}

TEST(MemoryStore, ReadAndWriteMemoryCopyInAscendingOrder) {
  Target t;
  std::uint8_t src[700];
  for (int i = 0; i < 700; ++i) src[i] = static_cast<std::uint8_t>(i * 7);
  t.memory.WriteMemory(src, 0x0FC100, 700);
  std::uint8_t dst[700] = {};
  t.memory.ReadMemory(dst, 0x0FC100, 700);
  EXPECT_EQ(0, std::memcmp(src, dst, 700));
  // A negative count copies nothing.
  std::uint8_t guard = 0xEE;
  t.memory.ReadMemory(&guard, 0x0FC100, -1);
  t.memory.WriteMemory(&guard, 0x500000, -5);
  EXPECT_EQ(guard, 0xEE);
  EXPECT_FALSE(t.memory.has_block(0x500000));
}

TEST(MemoryStore, The2049thBlockOverflowsAndDamagesNothing) {
  Target t;
  for (std::uint32_t k = 0; k < Memory::kMaxBlocks; ++k) t.memory.WriteByte(k * 512 + (k % 512), static_cast<std::uint8_t>(k | 1));
  EXPECT_EQ(t.memory.block_count(), 2048);
  EXPECT_TRUE(t.errors.texts.empty());

  const std::uint32_t extra = 2048u * 512;
  t.memory.WriteByte(extra + 3, 0x77);
  ASSERT_EQ(t.errors.texts.size(), 1u);
  EXPECT_EQ(t.errors.texts[0], "memory file overflow\n");
  EXPECT_EQ(t.memory.block_count(), 2048);
  EXPECT_EQ(t.memory.ReadByte(extra + 3), 0);  // the write went nowhere
  EXPECT_EQ(t.memory.block_data(extra), nullptr);
  EXPECT_EQ(t.errors.texts.size(), 2u);
  t.memory.CpuWriteWord(extra + 0x100, 0xFFFF);
  EXPECT_EQ(t.memory.CpuReadWord(extra + 0x100), 0);

  for (std::uint32_t k = 0; k < Memory::kMaxBlocks; ++k) {
    ASSERT_EQ(t.memory.ReadByte(k * 512 + (k % 512)), static_cast<std::uint8_t>(k | 1)) << k;
    ASSERT_EQ(t.memory.ReadByte(k * 512 + ((k + 1) % 512)), 0) << k;
  }
  // Existing blocks still take writes.
  t.memory.WriteByte(5 * 512 + 9, 0x99);
  EXPECT_EQ(t.memory.ReadByte(5 * 512 + 9), 0x99);

  // After clearing, the store has room again and reads zero everywhere.
  t.memory.clear();
  EXPECT_EQ(t.memory.block_count(), 0);
  EXPECT_EQ(t.memory.ReadByte(5 * 512 + 5), 0);
  t.memory.WriteByte(extra + 3, 0x77);
  EXPECT_EQ(t.memory.ReadByte(extra + 3), 0x77);
  EXPECT_EQ(t.memory.block_count(), 1);
}

TEST(MemoryStore, LoaderBlockAccessAndStates) {
  Target t;
  std::uint8_t* block = t.memory.block_data(0x7FC123);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block, t.memory.block_data(0x7FC000));  // same block, not created twice
  EXPECT_EQ(t.memory.block_count(), 1);
  block[0x123] = 0xCC;
  block[511] = 0xDD;
  EXPECT_EQ(t.memory.ReadByte(0x7FC123), 0xCC);
  EXPECT_EQ(t.memory.ReadByte(0x7FC1FF), 0xDD);
  EXPECT_EQ(t.memory.block_state(0x7FC000), Memory::New);

  t.memory.WriteByte(0x2000, 1);
  t.memory.clear_loaded_state();
  EXPECT_EQ(t.memory.block_state(0x7FC000), Memory::Clean);
  EXPECT_EQ(t.memory.block_state(0x2000), Memory::Clean);
  EXPECT_EQ(t.memory.ReadByte(0x7FC123), 0xCC);  // unloading keeps the bytes
  t.memory.set_block_state(0x7FC1FF, Memory::New);
  EXPECT_EQ(t.memory.block_state(0x7FC000), Memory::New);
  t.memory.set_block_state(0x600000, Memory::New);  // no such block: nothing is created
  EXPECT_FALSE(t.memory.has_block(0x600000));
}

TEST(MemoryStore, PageRegistersMirrorRawByteWrites) {
  Target t;
  int refreshes = 0;
  t.memory.set_view_refresh([](void* ctx) { ++*static_cast<int*>(ctx); }, &refreshes);

  t.memory.WriteByte(0x0030, 0x12);
  EXPECT_EQ(t.regs.ppage, 0x12);
  EXPECT_EQ(t.memory.ReadByte(0x0030), 0x12);
  t.memory.WriteByte(0x0016, 0xFD);
  t.memory.WriteByte(0x0017, 0xFE);
  t.memory.WriteByte(0x0010, 0x7F);
  t.memory.WriteByte(0x0011, 0x20);
  EXPECT_EQ(t.regs.rpage, 0xFD);
  EXPECT_EQ(t.regs.epage, 0xFE);
  EXPECT_EQ(t.regs.gpage, 0x7F);
  EXPECT_EQ(t.regs.direct, 0x20);
  EXPECT_EQ(refreshes, 5);

  // Word writes are byte writes: 0x0010/0x0011 are GPAGE and DIRECT.
  t.memory.WriteWord(0x0010, 0x0102);
  EXPECT_EQ(t.regs.gpage, 0x01);
  EXPECT_EQ(t.regs.direct, 0x02);
  // The CPU accessors mirror too, on both paths.
  t.memory.CpuWriteByte(0x0030, 0x33);
  EXPECT_EQ(t.regs.ppage, 0x33);
  t.memory.CpuWriteWord(0x0016, 0x4455);
  EXPECT_EQ(t.regs.rpage, 0x44);
  EXPECT_EQ(t.regs.epage, 0x55);
  const int before = refreshes;
  t.memory.CpuWriteByte(0x0031, 0x01);  // a neighbour is no page register
  EXPECT_EQ(refreshes, before);

  // The plain write and other addresses leave the page registers alone.
  t.memory.WriteBytePlain(0x0030, 0x99);
  EXPECT_EQ(t.regs.ppage, 0x33);
  EXPECT_EQ(t.memory.ReadByte(0x0030), 0x99);
  t.memory.WriteByte(0x0130, 0x55);
  t.memory.WriteByte(0x400030, 0x55);
  EXPECT_EQ(t.regs.ppage, 0x33);

  // Writing a page register directly does not touch its I/O byte.
  t.regs.ppage = 0x01;
  EXPECT_EQ(t.memory.ReadByte(0x0030), 0x99);
}

class RecordingRawWatcher : public RawAccessWatcher {
 public:
  void raw_access(std::uint32_t address, int access) override { seen.emplace_back(address, access); }
  std::vector<std::pair<std::uint32_t, int>> seen;
};

TEST(MemoryStore, RawAccessesReportEachByteWhileAWatcherIsSet) {
  Target t;
  RecordingRawWatcher w;
  t.memory.WriteWord(0x2000, 0x1234);
  EXPECT_TRUE(w.seen.empty());
  t.memory.set_raw_watcher(&w);
  EXPECT_EQ(t.memory.ReadWord(0x2000), 0x1234);
  t.memory.WriteBytePlain(0x2005, 1);
  t.memory.WriteLong(0x2010, 0);
  using P = std::pair<std::uint32_t, int>;
  const std::vector<P> expected = {P{0x2000, 1}, P{0x2001, 1}, P{0x2005, 2}, P{0x2010, 2},
                                   P{0x2011, 2}, P{0x2012, 2}, P{0x2013, 2}};
  EXPECT_EQ(w.seen, expected);
  // The CPU accessors reach the store through the raw ones.
  w.seen.clear();
  t.memory.CpuReadWord(0x2000);
  EXPECT_EQ(w.seen, (std::vector<P>{P{0x2000, 1}, P{0x2001, 1}}));
  // peek is quiet.
  w.seen.clear();
  t.memory.peek(0x2000);
  EXPECT_TRUE(w.seen.empty());
  t.memory.set_raw_watcher(nullptr);
  t.memory.ReadByte(0x2000);
  EXPECT_TRUE(w.seen.empty());
}

}  // namespace
}  // namespace tav::test
