// A small program with two source files, an include file known only from its
// line records, functions with arguments, autos, registers and labels, and
// globals of aggregate, array, enum, _Bool and bit-field types.
#pragma once
#include "image/debug_record.h"
#include "image/type_word.h"
#include "obj_builder.h"

namespace tav::testing {

constexpr std::uint32_t ptr(std::uint32_t t) { return add_derivation(t, Derivation::Pointer); }
constexpr std::uint32_t arr(std::uint32_t t) { return add_derivation(t, Derivation::Array); }
constexpr std::uint32_t fun(std::uint32_t t) { return add_derivation(t, Derivation::Function); }

struct SampleProgram {
  TestObject object;
  std::uint32_t point_list = 0;  // member list offsets, for identity checks
  std::uint32_t color_list = 0;
};

inline SampleProgram sample_program() {
  SampleProgram p;
  DebugBlob d;
  p.point_list = member_list(d, "point", {{"x", 0, 0, kInt}, {"y", 0, 2, kInt}}, 4);
  p.color_list = member_list(d, "color", {{"RED", 12, 0, kEnum}, {"GREEN", 12, 1, kEnum}, {"BLUE", 12, 5, kEnum}}, 2);
  // struct node { struct node *next; int v; }: a member list that refers to itself.
  DebugBlob& b = d;
  const std::uint32_t node_next_name = b.name("next", 0);
  const std::uint32_t node_v_name = b.name("v", 0);
  const std::uint32_t node_tag = b.str("node");
  const std::uint32_t node_at = b.word(node_tag);
  const std::uint32_t next_desc_at = b.here() + 16 * 3;  // after the three 16-byte rows
  b.word(node_next_name);
  b.word(0);
  b.le(ptr(kStruct));
  b.word(next_desc_at);
  b.word(node_v_name);
  b.word(2);
  b.le(kInt);
  b.word(0);
  for (int i = 0; i < 4; ++i) b.word(i == 1 ? 4 : 0);  // zero entry; the word after it is the size
  b.word(0);          // attribute of the pointer
  b.word(node_at);    // member list: the same struct

  TFunction main_fn;
  main_fn.name = "main";
  main_fn.first_line = 10;
  main_fn.last_line = 20;
  main_fn.type = kInt;
  main_fn.locals = {
      {"i", 3, 2, kInt, {}},
      {"argv", 2, 2, ptr(ptr(kChar)), {0, 0}},
      {"again", 18, 0xC008, kLabelType, {}},
      {"out", 19, 0xC00C, kLabelType, {}},
      {"r", 5, 7, kInt, {}, 3},
      {"argc", 2, 0, kInt, {}},
  };
  TFunction helper;
  helper.name = "helper";
  helper.cls = 1;
  helper.first_line = 22;
  helper.last_line = 30;
  helper.type = kDouble;
  helper.locals = {{"x", 2, 0, kInt, {}}, {"y", 2, 2, kInt, {}}, {"t", 3, 4, kDouble, {}}};
  TFunction unused;
  unused.name = "no_code";  // has no start record: not kept
  unused.first_line = 31;
  unused.last_line = 32;
  TFunction main_file;
  main_file.first_line = 1;
  main_file.last_line = 40;
  main_file.type = 0;
  main_file.locals = {
      {"g", 6, 0x2000, kInt, {}},
      {"s", 1, 0x2002, kUnsignedChar, {}},
      {"matrix", 6, 0x2010, arr(arr(kInt)), {3, 4}},
      {"origin", 6, 0x2030, kStruct, {p.point_list}},
      {"shade", 6, 0x2034, kEnum, {p.color_list}},
      {"flag", 6, 0x2036 * 8 + 5, kBool, {0}},
      {"ready", 6, 0x2037, kBool, {0x0301}},
      {"bits", 6, 0x2038, kBitField, {0x0403}},
      {"points", 6, 0x2040, arr(kStruct), {5, p.point_list}},
      {"head", 6, 0x2060, ptr(kStruct), {0x3000, node_at}},
      {"handler", 6, 0x2064, ptr(fun(kVoid)), {0}},
  };
  const std::uint32_t main_block = file_block(d, "main.c", 140, {main_fn, helper, unused, main_file});
  const std::uint32_t define_value = d.str("100");

  TFunction twice;
  twice.name = "twice";
  twice.first_line = 3;
  twice.last_line = 6;
  twice.type = ptr(kStruct);
  twice.result_desc = {0, p.point_list};
  twice.locals = {{"v", 2, 0, kStruct, {p.point_list}}, {"w", 2, 4, ptr(kChar), {0}}};
  TFunction util_file;
  util_file.first_line = 1;
  util_file.last_line = 8;
  util_file.type = 0;
  util_file.locals = {{"g", 1, 0x2100, kLong, {}}, {"counter", 6, 0x2104, kLong, {}}};
  const std::uint32_t util_block = file_block(d, "util.c", 141, {twice, util_file});

  TestObject& o = p.object;
  TSection text;
  text.name = ".text";
  text.placement = text.base = 0xC000;
  text.data = Bytes(0x40, 0xA7);
  o.sections.push_back(text);
  o.set_debug(d);
  o.symbols = {{0xC000, 1, 1, "_main"}, {0xC010, 1, 1, "_helper"}, {0xC020, 1, 1, "_twice"}, {0x2000, 1, 0, "_g"}};
  o.records = {
      {main_block, kRecFile, "main.c"},
      {util_block, kRecFile, "util.c"},
      {define_value, kRecDefine, "D#MAX"},
      {define_value, kRecDefine, "DXNOTADEFINE"},
      {0xC000, kRecFunctionStart, "main.c~main:10"},
      {0xC000, kRecLine, "main.c:11"},
      {0xC004, kRecLine, "main.c:12"},
      {0xC004, kRecLine, "main.c:13"},   // same address: reduced to the first
      {0xC008, kRecLine, "defs.h:3"},    // code from an include file
      {0xC00A, kRecLine, "main.c:14.2-15"},
      {0xC010, kRecLine, "main.c:19"},   // at the end address: removed by the end record
      {0xC010, kRecFunctionStart, "main.c~helper:+22"},
      {0xC010, kRecFunctionEnd, "main.c~main"},  // closes main before helper starts
      {0xC010, kRecLine, "main.c:23"},
      {0xC018, kRecLine, "main.c:25"},
      {0xC01C, kRecFileInfo, "main.c~defs.h:1.2.7"},
      {0xC020, kRecFunctionEnd, "main.c~helper"},
      {0xC020, kRecFunctionStart, "util.c~twice:3"},
      {0xC020, kRecLine, "util.c:4"},
      {0xC028, kRecLine, "util.c:5"},
      {0xC030, kRecFunctionEnd, "util.c~twice"},
  };
  return p;
}

}  // namespace tav::testing
