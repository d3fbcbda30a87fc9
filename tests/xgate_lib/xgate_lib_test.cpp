// The XGATE support library as the program finds it at start-up: the
// project's own library, a missing one, an obsolete one and a replacement.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sim/xgate_lib_loader.h"
#include "tests/sim/xgate_test_support.h"

namespace tav::test {
namespace {

const std::string kProgramDir = TAV_XGATE_LIB_PROGRAM_DIR;
const std::string kFakeDir = TAV_FAKE_XGATE_DIR;

struct Startup {
  XgateTarget t;
  XgateLibrary library;
  std::vector<std::string> reported;
  int run(const std::string& program_dir) {
    return xgate_lib_startup(library, program_dir, t.registers, nullptr, nullptr,
                             [this](std::string_view text) { reported.emplace_back(text); });
  }
};

TEST(XgateLib, TheProjectLibraryMapsXgateAddressesLikeTheS12x) {
  XgateLibrary library;
  ASSERT_EQ(library.load(kProgramDir), XgateLibStatus::Loaded) << XgateLibrary::path_in(kProgramDir);
  const XGateToGlobalFn map = library.to_global();
  EXPECT_EQ(map(0x0382), 0x000382u);   // registers
  EXPECT_EQ(map(0x07FF), 0x0007FFu);
  EXPECT_EQ(map(0x0800), 0x780800u);   // flash
  EXPECT_EQ(map(0x7FFF), 0x787FFFu);
  EXPECT_EQ(map(0x8000), 0x0F8000u);   // RAM
  EXPECT_EQ(map(0xFFFF), 0x0FFFFFu);
  EXPECT_EQ(map(0x18000), 0x0F8000u);  // only the low 16 bits count
  // The built-in map, used until the library is bound, is the same map.
  for (std::uint32_t a = 0; a < 0x10000; ++a) ASSERT_EQ(map(a), xgate_default_to_global(a)) << std::hex << a;
  EXPECT_NE(library.init(nullptr, nullptr), 0);
  EXPECT_NE(library.buttons(), 0);
  library.close();
  EXPECT_FALSE(library.loaded());
}

TEST(XgateLib, MissingLibraryEndsStartUp) {
  ScratchDir empty;
  ASSERT_TRUE(empty.ok());
  Startup s;
  EXPECT_EQ(s.run(empty.path()), kXgateLibExitCode);
  EXPECT_EQ(s.reported, std::vector<std::string>{"!PANIC MISSING XGATE LIB "});
  EXPECT_FALSE(s.library.loaded());

  // A file that is no library at all counts as missing.
  std::filesystem::create_directory(empty.file("XGATEDLLS"));
  write_file(empty.file("XGATEDLLS/XGATE.so"), "not a library");
  EXPECT_EQ(s.library.load(empty.path()), XgateLibStatus::Missing);
}

TEST(XgateLib, LibraryWithoutAllFourEntryPointsIsObsolete) {
  Startup s;
  EXPECT_EQ(s.run(kFakeDir + "/incomplete"), kXgateLibExitCode);
  EXPECT_EQ(s.reported, std::vector<std::string>{"OBSOLETE XGATEDLLS\\XGATE.DLL "});
  EXPECT_FALSE(s.library.loaded());
  EXPECT_EQ(s.library.to_global(), nullptr);
  EXPECT_EQ(s.t.registers.ReadRegister(REG_XPPC), 0u);  // the built-in map is still in place
}

TEST(XgateLib, AReplacementLibraryDrivesTheXgateMapUntilShutdown) {
  Startup s;
  ASSERT_EQ(s.run(kFakeDir + "/complete/"), 0);
  EXPECT_TRUE(s.reported.empty());
  s.t.xgate.set_pc(0x0810);
  EXPECT_EQ(s.t.registers.ReadRegister(REG_XPPC), 0x120810u);
  EXPECT_EQ(s.t.xgate.ppc(), 0x120810u);
  EXPECT_EQ(s.library.buttons(), 7);

  void* handle = dlopen(XgateLibrary::path_in(kFakeDir + "/complete").c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(handle, nullptr);
  auto init_calls = reinterpret_cast<int (*)()>(dlsym(handle, "FakeInitCalls"));
  ASSERT_NE(init_calls, nullptr);
  EXPECT_EQ(init_calls(), 1);
  dlclose(handle);

  xgate_lib_shutdown(s.library, s.t.registers);
  EXPECT_FALSE(s.library.loaded());
  EXPECT_EQ(s.t.registers.ReadRegister(REG_XPPC), 0x780810u);
}

}  // namespace
}  // namespace tav::test
