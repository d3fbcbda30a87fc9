#include <gtest/gtest.h>

#include "image/debug_record.h"

namespace tav {
namespace {

TEST(RecordText, RangesTakeTheirMissingPartsFromWhatIsGiven) {
  RecordText t = parse_record_text(kRecLine, "main.c:12");
  EXPECT_EQ(t.name, "main.c");
  EXPECT_EQ(t.line, 12);
  EXPECT_EQ(t.column, 0);
  EXPECT_EQ(t.end_line, 12);
  EXPECT_EQ(t.end_column, 0);
  EXPECT_FALSE(t.plus);

  t = parse_record_text(kRecLine, "c:\\src\\a.c:7.3-9");  // the drive colon is part of the name
  EXPECT_EQ(t.name, "c:\\src\\a.c");
  EXPECT_EQ(t.line, 7);
  EXPECT_EQ(t.column, 3);
  EXPECT_EQ(t.end_line, 9);
  EXPECT_EQ(t.end_column, 3);

  t = parse_record_text(kRecFunctionStart, "dir~1/m.c~main:+10.2-11.4");
  EXPECT_EQ(t.name, "dir~1/m.c");
  EXPECT_EQ(t.second, "main");
  EXPECT_TRUE(t.plus);
  EXPECT_EQ(t.line, 10);
  EXPECT_EQ(t.column, 2);
  EXPECT_EQ(t.end_line, 11);
  EXPECT_EQ(t.end_column, 4);

  t = parse_record_text(kRecFunctionStart, "m.c~:5");
  EXPECT_EQ(t.name, "m.c");
  EXPECT_EQ(t.second, "");
  EXPECT_EQ(t.line, 5);
}

TEST(RecordText, SecondNamesEndAtTheFirstColonAfterTheTilde) {
  RecordText t = parse_record_text(kRecFunctionEnd, "m.c~main:ignored");
  EXPECT_EQ(t.name, "m.c");
  EXPECT_EQ(t.second, "main");
  EXPECT_EQ(t.line, 0);
  t = parse_record_text(kRecFile, "m.c~/home/u/m.c");
  EXPECT_EQ(t.name, "m.c");
  EXPECT_EQ(t.second, "/home/u/m.c");
  t = parse_record_text(kRecFile, "plain.c");
  EXPECT_EQ(t.name, "plain.c");
  EXPECT_EQ(t.second, "");
  t = parse_record_text(kRecDefine, "D#MAX~x:1");  // defines and companions keep the whole text
  EXPECT_EQ(t.name, "D#MAX~x:1");
  t = parse_record_text(0x80, "m.c");
  EXPECT_EQ(t.name, "m.c");
}

TEST(RecordText, FileInformationKeepsThePlusMarkAndTheNumber) {
  RecordText t = parse_record_text(kRecFileInfo, "m.c~inc.h:-3.+4.17");
  EXPECT_EQ(t.name, "m.c");
  EXPECT_EQ(t.second, "inc.h");
  EXPECT_EQ(t.info_flags, 1);
  EXPECT_EQ(t.number, 17u);
  t = parse_record_text(kRecFileInfo, "m.c:3.4.99");
  EXPECT_EQ(t.name, "m.c");
  EXPECT_EQ(t.info_flags, 0);
  EXPECT_EQ(t.number, 99u);
}

}  // namespace
}  // namespace tav
