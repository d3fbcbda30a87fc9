// Memory hooks and the data-event check around the CPU accessors: their order
// relative to the stored value, ranges, masks and lazy removal.
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "memory_test_support.h"
#include "support/fmt.h"

namespace tav::test {
namespace {

// Hooks are plain functions with a user value; the running test is reached through this.
class MemoryHooks;
MemoryHooks* current = nullptr;

class MemoryHooks : public ::testing::Test, public AccessWatcher {
 public:  // reached from the hook functions through `current`
  void SetUp() override { current = this; }
  void TearDown() override { current = nullptr; }

  void chkaccess(std::uint32_t address, int access) override {
    log.push_back("chk " + hex(address) + (access == 1 ? " r" : " w") + " =" + hex(t.memory.peek(address)));
  }

  static std::string hex(std::uint32_t v) { return fmtstr("%h", v); }

  // Logs the call with the byte stored at the address when the hook runs.
  static void logging_hook(std::uint32_t address, int size, int access, std::uint32_t user) {
    current->log.push_back("hook" + std::to_string(user) + " " + hex(address) + " " + std::to_string(size) +
                           (access == 1 ? " r" : " w") + " =" + hex(current->t.memory.peek(address)));
  }

  std::vector<std::string> take() { return std::exchange(log, {}); }

  Target t;
  std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(MemoryHooks, ReadHookRunsBeforeTheValueIsTakenAndMayChangeIt) {
  t.memory.WriteByte(0x2000, 0x11);
  t.memory.RegisterMemHook(0x2000, 1, 1, 0, [](std::uint32_t address, int, int, std::uint32_t) {
    current->t.memory.WriteByte(address, 0x42);  // an I/O register model updating itself
  });
  EXPECT_EQ(t.memory.CpuReadByte(0x2000), 0x42);
  EXPECT_EQ(t.memory.ReadByte(0x2001), 0);
}

TEST_F(MemoryHooks, CpuByteAccessOrder) {
  t.memory.set_access_watcher(this);
  t.memory.RegisterMemHook(0x2000, 0x10, 3, 7, logging_hook);
  t.memory.WriteByte(0x2003, 0x5A);
  EXPECT_EQ(t.memory.CpuReadByte(0x2003), 0x5A);
  EXPECT_EQ(take(), (Log{"hook7 2003 1 r =5a", "chk 2003 r =5a"}));
  t.memory.CpuWriteByte(0x2003, 0xA5);
  EXPECT_EQ(take(), (Log{"chk 2003 w =5a", "hook7 2003 1 w =a5"}));
}

TEST_F(MemoryHooks, WordAndLongWritesStoreFirstThenHookOnce) {
  t.memory.set_access_watcher(this);
  t.memory.RegisterMemHook(0x2000, 0x10, 2, 1, [](std::uint32_t address, int size, int access, std::uint32_t) {
    current->log.push_back(hex(address) + " " + std::to_string(size) + " " + std::to_string(access) + " " +
                           hex(current->t.memory.peek(0x2000)) + hex(current->t.memory.peek(0x2001)) +
                           hex(current->t.memory.peek(0x2002)) + hex(current->t.memory.peek(0x2003)));
  });
  t.memory.CpuWriteWord(0x2000, 0x1234);
  EXPECT_EQ(take(), (Log{"2000 2 2 123400", "chk 2000 w =12"}));
  t.memory.CpuWriteLong(0x2000, 0xCAFEBABE);
  EXPECT_EQ(take(), (Log{"2000 4 2 cafebabe", "chk 2000 w =ca"}));
  // Reads are not hooked by a write-only hook; the data check still sees them once.
  EXPECT_EQ(t.memory.CpuReadLong(0x2000), 0xCAFEBABEu);
  EXPECT_EQ(t.memory.CpuReadWord(0x2002), 0xBABE);
  EXPECT_EQ(take(), (Log{"chk 2000 r =ca", "chk 2002 r =ba"}));
}

TEST_F(MemoryHooks, WordAndLongReadsHookOnceAtTheFirstAddress) {
  t.memory.RegisterMemHook(0x2000, 0x10, 1, 3, logging_hook);
  t.memory.CpuReadWord(0x2004);
  t.memory.CpuReadLong(0x2008);
  EXPECT_EQ(take(), (Log{"hook3 2004 2 r =0", "hook3 2008 4 r =0"}));
}

TEST_F(MemoryHooks, RangeIsHalfOpenAndMaskSelectsTheKind) {
  t.memory.RegisterMemHook(0x3000, 4, 1, 1, logging_hook);
  t.memory.RegisterMemHook(0x3000, 4, 2, 2, logging_hook);
  for (std::uint32_t a = 0x2FFF; a <= 0x3004; ++a) {
    t.memory.CpuReadByte(a);
    t.memory.CpuWriteByte(a, 1);
  }
  EXPECT_EQ(take(), (Log{"hook1 3000 1 r =0", "hook2 3000 1 w =1", "hook1 3001 1 r =0", "hook2 3001 1 w =1",
                         "hook1 3002 1 r =0", "hook2 3002 1 w =1", "hook1 3003 1 r =0", "hook2 3003 1 w =1"}));
  // A word read starting just below the range is not seen: only its first address counts.
  t.memory.CpuReadWord(0x2FFF);
  EXPECT_TRUE(take().empty());
}

TEST_F(MemoryHooks, LengthZeroReadHookSeesEveryReadAndNoWrite) {
  t.memory.RegisterMemHook(0x1234, 0, 1, 9, logging_hook);
  t.memory.CpuReadByte(0x000000);
  t.memory.CpuReadWord(0x7FFFFE);
  t.memory.CpuReadLong(0xFFFFFF);
  t.memory.CpuWriteByte(0x1234, 1);
  t.memory.CpuWriteWord(0x2000, 1);
  t.memory.CpuWriteLong(0x2000, 1);
  EXPECT_EQ(take(), (Log{"hook9 0 1 r =0", "hook9 7ffffe 2 r =0", "hook9 ffffff 4 r =0"}));
}

TEST_F(MemoryHooks, NewestHookRunsFirstAndRawAccessesAreNotHooked) {
  t.memory.RegisterMemHook(0, 0, 3, 1, logging_hook);
  t.memory.RegisterMemHook(0, 0, 3, 2, logging_hook);
  t.memory.ReadByte(0x2000);
  t.memory.WriteWord(0x2000, 5);
  EXPECT_TRUE(take().empty());
  t.memory.CpuReadByte(0x2000);
  EXPECT_EQ(take(), (Log{"hook2 2000 1 r =0", "hook1 2000 1 r =0"}));
}

TEST_F(MemoryHooks, UnregisterMarksAndTheNextWalkUnlinks) {
  const int h1 = t.memory.RegisterMemHook(0, 0, 1, 1, logging_hook);
  const int h2 = t.memory.RegisterMemHook(0, 0, 1, 2, logging_hook);
  EXPECT_NE(h1, h2);
  t.memory.UnRegisterMemHook(h1);
  EXPECT_EQ(t.memory.hook_records(), 2);  // still linked until walked
  t.memory.CpuReadByte(0x10);
  EXPECT_EQ(take(), (Log{"hook2 10 1 r =0"}));
  EXPECT_EQ(t.memory.hook_records(), 1);
  t.memory.UnRegisterMemHook(h1);    // twice: harmless
  t.memory.UnRegisterMemHook(9999);  // unknown handle: harmless
  t.memory.UnRegisterMemHook(h2);
  t.memory.CpuReadByte(0x10);
  EXPECT_TRUE(take().empty());
}

int self_handle = 0;
int victim_handle = 0;

TEST_F(MemoryHooks, RemovalDuringDispatchIsSafe) {
  // The middle hook removes itself and the one after it, then makes a nested
  // CPU access. Neither walk calls a removed hook or touches a freed record.
  victim_handle = t.memory.RegisterMemHook(0, 0, 1, 1, logging_hook);
  self_handle = t.memory.RegisterMemHook(0, 0, 1, 0, [](std::uint32_t, int, int, std::uint32_t) {
    current->log.push_back("remover");
    current->t.memory.UnRegisterMemHook(self_handle);
    current->t.memory.UnRegisterMemHook(victim_handle);
    // A nested CPU access walks the list while the outer walk stands on this record.
    current->t.memory.CpuReadByte(0x99);
  });
  t.memory.RegisterMemHook(0, 0, 1, 3, logging_hook);
  t.memory.CpuReadByte(0x50);
  EXPECT_EQ(take(), (Log{"hook3 50 1 r =0", "remover", "hook3 99 1 r =0"}));
  EXPECT_EQ(t.memory.hook_records(), 2);  // the remover itself goes on the next walk
  t.memory.CpuReadByte(0x51);
  EXPECT_EQ(take(), (Log{"hook3 51 1 r =0"}));
  EXPECT_EQ(t.memory.hook_records(), 1);
}

// A narrowed watch set: only accesses starting at a watched address reach
// the data check, not those to the byte beside it in its line; a range may
// span lines and blocks, and the wrap of the space at 16 MB.
TEST_F(MemoryHooks, DataCheckSeesOnlyWatchedAddresses) {
  t.memory.set_access_watcher(this);
  t.memory.clear_watched();
  t.memory.watch(0x0FD1FE, 4);     // the last two bytes of one line (and block), the first two of the next
  t.memory.watch(0xFFFFFF, 2);     // the top byte and, wrapped, byte 0
  t.memory.watch(0x2000, 0);       // nothing
  const struct {
    std::uint32_t address;
    bool told;
  } cases[] = {{0x0FD1FE, true},  {0x0FD1FF, true},  {0x0FD200, true}, {0x0FD201, true},
               {0x0FD1FD, false}, {0x0FD1F0, false}, {0x0FD202, false}, {0x0FD20F, false},
               {0xFFFFFF, true},  {0xFFFFFE, false}, {0x000000, true},  {0x000001, false}, {0x002000, false}};
  for (const auto& c : cases) {
    t.memory.CpuReadByte(c.address);
    t.memory.CpuWriteWord(c.address, 0);
    EXPECT_EQ(take().size(), c.told ? 2u : 0u) << hex(c.address);
  }
  // A new watcher watches everything again.
  t.memory.set_access_watcher(this);
  t.memory.CpuReadByte(0x2000);
  EXPECT_EQ(take(), (Log{"chk 2000 r =0"}));
}

// Hooked and watched lines share one observed set: each access reaches only
// what covers its line, a rebuild of the watch set keeps the hooked lines, and
// a large hooked range (filled a word of lines at a time) is covered to its ends.
TEST_F(MemoryHooks, HookedAndWatchedLinesTogether) {
  const int near = t.memory.RegisterMemHook(0x2100, 0x40, 3, 1, logging_hook);
  t.memory.RegisterMemHook(0x400008, 0x10000, 1, 2, logging_hook);
  t.memory.set_access_watcher(this);
  t.memory.clear_watched();
  t.memory.watch(0x2200, 1);
  t.memory.watch(0x2101, 1);  // in the hooked line: its neighbour meets only the hook
  const auto reads = [&](std::initializer_list<std::uint32_t> addresses) {
    for (std::uint32_t a : addresses) t.memory.CpuReadByte(a);
    return take();
  };
  const Log both{"hook1 2100 1 r =0", "hook1 2101 1 r =0", "chk 2101 r =0", "chk 2200 r =0",
                 "hook2 400008 1 r =0", "hook2 410007 1 r =0"};
  EXPECT_EQ(reads({0x2100, 0x2101, 0x2150, 0x2200, 0x2201, 0x2210, 0x400007, 0x400008, 0x410007, 0x410008}), both);
  t.memory.clear_watched();
  EXPECT_EQ(reads({0x2100, 0x2200}), (Log{"hook1 2100 1 r =0"}));
  t.memory.watch(0x2200, 1);
  t.memory.UnRegisterMemHook(near);
  EXPECT_EQ(reads({0x2100, 0x2200}), (Log{"chk 2200 r =0"}));
  // A raw watcher (set around each instruction while low-level breakpoints
  // exist) hears of every access; when it goes, the observed set is as before.
  struct : RawAccessWatcher {
    int accesses = 0;
    void raw_access(std::uint32_t, int) override { ++accesses; }
  } raw;
  t.memory.set_raw_watcher(&raw);
  EXPECT_EQ(reads({0x3000, 0x2200}), (Log{"chk 2200 r =0"}));
  EXPECT_EQ(raw.accesses, 2);
  t.memory.set_raw_watcher(nullptr);
  EXPECT_EQ(reads({0x3000, 0x2200}), (Log{"chk 2200 r =0"}));
  EXPECT_EQ(raw.accesses, 2);
}

// The CPU accessors take a plain store access wherever nothing observes a
// span of the store: random hooks, watched ranges, new blocks and a cleared
// store against a model of what each access must store and whom it must
// tell, near the page registers, across span and block bounds and at the
// top of the space.
TEST_F(MemoryHooks, AccessorsAgreeWithAModelOfTheObservedSet) {
  struct Hook {
    int handle;
    std::uint32_t start, end, mask, user;
  };
  std::vector<Hook> hooks;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> watched;  // start, size
  bool watching = false, watch_all = false;
  std::map<std::uint32_t, std::uint8_t> bytes;
  std::mt19937 generator;  // default-constructed, so seeded alike: the same steps every run
  auto random = [&](std::uint32_t n) { return static_cast<std::uint32_t>(generator() % n); };
  const std::uint32_t bases[] = {0x000000, 0x0FD0F0, 0x0FFFE0, 0xFFFFE0};
  std::uint32_t recent = 0;  // the last hook's or watch's start: accesses gather near it
  auto address = [&] {
    return (random(2) ? recent + random(8) - 4 : bases[random(4)] + random(0x240)) & 0xFFFFFF;
  };
  auto expected_told = [&](std::uint32_t a, int size, int access) {
    Log told;
    for (const Hook& h : hooks)
      if ((h.mask & static_cast<std::uint32_t>(access)) && (h.start == h.end || (h.start <= a && a < h.end)))
        told.push_back("hook" + std::to_string(h.user) + " " + hex(a) + " " + std::to_string(size));
    const bool in_watched = std::any_of(watched.begin(), watched.end(),
                                        [&](const auto& w) { return ((a - w.first) & 0xFFFFFF) < w.second; });
    if (watching && (watch_all || in_watched)) told.push_back("chk " + hex(a));
    std::sort(told.begin(), told.end());
    return told;
  };
  // What the hooks and the check were told, without the kind and the stored byte.
  auto events = [&] {
    Log l;
    for (const std::string& e : take()) {
      const std::size_t read = e.find(" r =");
      l.push_back(e.substr(0, read != std::string::npos ? read : e.find(" w =")));
    }
    std::sort(l.begin(), l.end());
    return l;
  };
  auto byte_at = [&](std::uint32_t a) {
    const auto it = bytes.find(a & 0xFFFFFF);
    return it == bytes.end() ? std::uint8_t{0} : it->second;
  };
  for (int step = 0; step < 6000; ++step) {
    SCOPED_TRACE(step);
    const std::uint32_t a = address();
    switch (random(40)) {
      case 0: {
        const std::uint32_t length = random(8) == 0 ? 0 : 1 + random(0x120);
        const std::uint32_t mask = 1 + random(3), user = static_cast<std::uint32_t>(step);
        const int handle = t.memory.RegisterMemHook(a, length, mask, user, logging_hook);
        recent = a;
        const std::uint32_t end = length == 0 ? a : a + length;
        if (end >= a && end <= 0x1000000) hooks.push_back({handle, a, end, mask, user});
        else t.memory.UnRegisterMemHook(handle);  // a range past the top: not modelled
        break;
      }
      case 1:
        if (!hooks.empty()) {
          const std::size_t i = random(static_cast<std::uint32_t>(hooks.size()));
          t.memory.UnRegisterMemHook(hooks[i].handle);
          hooks.erase(hooks.begin() + static_cast<std::ptrdiff_t>(i));
        }
        break;
      case 2:
        watching = random(3) != 0;
        t.memory.set_access_watcher(watching ? this : nullptr);
        watched.clear();
        watch_all = watching;
        break;
      case 3:
        t.memory.clear_watched();
        watched.clear();
        watch_all = false;
        break;
      case 4:
        if (!watch_all) {
          const std::uint32_t size = 1 + random(4);
          t.memory.watch(a, size);
          watched.emplace_back(a, size);
          recent = a;
        }
        break;
      case 5:
        if (random(4) == 0) {
          t.memory.clear();
          bytes.clear();
        }
        break;
      default: {
        const bool word = random(2), write = random(2);
        const std::uint8_t v1 = static_cast<std::uint8_t>(random(256)), v2 = static_cast<std::uint8_t>(random(256));
        // The page registers mirror what is stored there; keep the windows still.
        if (write && (a < 0x40 || (word && ((a + 1) & 0xFFFFFF) < 0x40))) break;
        if (write) {
          word ? t.memory.CpuWriteWord(a, static_cast<std::uint16_t>(v1 << 8 | v2)) : t.memory.CpuWriteByte(a, v1);
          bytes[a] = v1;
          if (word) bytes[(a + 1) & 0xFFFFFF] = v2;
          ASSERT_EQ(t.memory.peek(a), v1) << hex(a);  // in the store, not only where the accessors look
        } else {
          const std::uint16_t got = word ? t.memory.CpuReadWord(a) : t.memory.CpuReadByte(a);
          const std::uint16_t want = word ? static_cast<std::uint16_t>(byte_at(a) << 8 | byte_at(a + 1)) : byte_at(a);
          ASSERT_EQ(got, want) << hex(a);
        }
        ASSERT_EQ(events(), expected_told(a, word ? 2 : 1, write ? 2 : 1)) << hex(a) << (write ? " w" : " r");
      }
    }
  }
}

}  // namespace
}  // namespace tav::test
