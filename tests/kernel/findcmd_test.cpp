#include <cstring>

#include "commands/command_table.h"
#include "kernel_fixture.h"

namespace tav {
namespace {

using FindcmdTest = KernelTest;

const char* found(const Debugger& d, const char* word) {
  const CmdEntry* e = findcmd(d, word);
  return e ? e->name : nullptr;
}

TEST_F(FindcmdTest, WholeWordsInEitherCase) {
  EXPECT_STREQ(found(d, "path"), "path");
  EXPECT_STREQ(found(d, "PaTh \"x\""), "path");
  EXPECT_STREQ(found(d, "path;path"), "path");
  EXPECT_STREQ(found(d, "path\t"), "path");
  EXPECT_STREQ(found(d, "path\x7f"), "path");
  EXPECT_STREQ(found(d, "path\xa0"), "path");  // high bytes end a word
  EXPECT_STREQ(found(d, "* anything"), "*");
  EXPECT_STREQ(found(d, "REM"), "rem");
}

TEST_F(FindcmdTest, NoPrefixMatching) {
  EXPECT_EQ(found(d, "pat"), nullptr);
  EXPECT_EQ(found(d, "pathx"), nullptr);
  EXPECT_EQ(found(d, "path/x"), nullptr);  // an option glued to the word
  EXPECT_EQ(found(d, "path\"x\""), nullptr);
  EXPECT_EQ(found(d, ""), nullptr);
  EXPECT_EQ(found(d, "inputinputinputinput"), nullptr);
}

TEST_F(FindcmdTest, InternalCommandsOnlyInInternalsMode) {
  EXPECT_EQ(found(d, "status"), nullptr);
  EXPECT_EQ(found(d, "stop"), nullptr);
  d.kernel.internals = true;
  EXPECT_STREQ(found(d, "status"), "status");
  EXPECT_STREQ(found(d, "STOP"), "stop");
}

TEST_F(FindcmdTest, EveryEntryIsFoundByItsOwnName) {
  d.kernel.internals = true;
  for (const CmdEntry* e = cmdtab; e->name; ++e) {
    EXPECT_EQ(e->length, std::strlen(e->name)) << e->name;
    EXPECT_EQ(findcmd(d, e->name), e) << e->name;
  }
}

}  // namespace
}  // namespace tav
