#include "sample_program.h"

#include <bit>

#include "image/program.h"
#include "sim/memory.h"
#include "x12_writer.h"

namespace tav::testing {

namespace {

namespace x = tav::x12;
namespace b = tav::x12::base;
using x::Derivation;
using x::make_type;

x::Entry entry(const std::string& name, std::uint8_t cls, std::uint32_t value, x::TypeRef type) {
  x::Entry e;
  e.name = name;
  e.storage_class = cls;
  e.value = value;
  e.type = std::move(type);
  return e;
}

x::Entry global(const std::string& name, std::uint32_t address, x::TypeRef type) {
  return entry(name, x::sclass::kExtern, address, std::move(type));
}

enum Aggregates { kPt, kBits, kColor, kUnionU, kOuter };

x::DebugModel model() {
  x::DebugModel m;
  m.aggregates.resize(5);
  m.aggregates[kPt] = {"pt", {entry("a", 9, 0, make_type(b::kInt)), entry("b", 9, 2, make_type(b::kInt))}, 4};
  m.aggregates[kBits] = {"bits",
                         {entry("lo", 9, 0, make_type(b::kCharBitField, {}, x::bit_field_word(0, 3))),
                          entry("hi", 9, 0, make_type(b::kCharBitField, {}, x::bit_field_word(3, 4))),
                          entry("mid", 9, 2, make_type(b::kIntBitField, {}, x::bit_field_word(4, 6))),
                          entry("sh", 9, 2, make_type(b::kShortBitField, {}, x::bit_field_word(12, 4))),
                          entry("big", 9, 4, make_type(b::kLongBitField, {}, x::bit_field_word(8, 12)))},
                         8};
  m.aggregates[kColor] = {"color",
                          {entry("RED", 12, 0, make_type(b::kInt)), entry("GREEN", 12, 5, make_type(b::kInt)),
                           entry("BLUE", 12, 6, make_type(b::kInt))},
                          2};
  m.aggregates[kUnionU] = {"uu",
                          {entry("l", 10, 0, make_type(b::kLong)),
                           entry("c", 10, 0, make_type(b::kChar, {{Derivation::kArray, 4}}))},
                          4};
  m.aggregates[kOuter] = {"outer",
                          {entry("p", 9, 0, make_type(b::kStruct, {}, std::nullopt, kPt)),
                           entry("arr", 9, 4, make_type(b::kInt, {{Derivation::kArray, 2}}))},
                          8};

  x::FileBlock main_c;
  main_c.name = "main.c";
  x::FunctionBlock fmain;
  fmain.name = "main";
  fmain.first_line = 10;
  fmain.last_line = 20;
  fmain.return_type = make_type(b::kInt);
  fmain.locals = {entry("y", x::sclass::kAuto, 2, make_type(b::kInt)), entry("z", x::sclass::kAuto, 6, make_type(b::kLong)),
                  entry("r", x::sclass::kRegister, 160, make_type(b::kInt)),
                  entry("cnt", x::sclass::kStatic, at::cnt, make_type(b::kInt)),
                  entry("done", x::sclass::kLocalLabel, at::done_label, make_type(b::kLabel))};
  x::FunctionBlock fadd;
  fadd.name = "add";
  fadd.first_line = 22;
  fadd.last_line = 26;
  fadd.return_type = make_type(b::kInt);
  fadd.locals = {entry("a", x::sclass::kRegisterArgument, 0, make_type(b::kInt)),
                 entry("b", x::sclass::kArgument, 2, make_type(b::kInt)),
                 entry("sum", x::sclass::kAuto, 2, make_type(b::kInt))};
  x::FunctionBlock frchar;
  frchar.name = "rchar";
  frchar.first_line = 28;
  frchar.last_line = 30;
  frchar.return_type = make_type(b::kVoid);
  frchar.locals = {entry("c", x::sclass::kRegisterArgumentB, 0, make_type(b::kChar))};
  x::FunctionBlock main_file;  // the file level
  main_file.first_line = 1;
  main_file.last_line = 30;
  main_file.locals = {
      global("gi", at::gi, make_type(b::kInt)),
      global("gu", at::gu, make_type(b::kUnsignedInt)),
      global("gc", at::gc, make_type(b::kChar)),
      global("guc", at::guc, make_type(b::kUnsignedChar)),
      global("gsc", at::gsc, make_type(b::kSignedChar)),
      global("flag", at::gflags, make_type(b::kBool, {}, x::bool_word(3))),
      global("gs", at::gs, make_type(b::kShort)),
      global("gus", at::gus, make_type(b::kUnsignedShort)),
      global("gl", at::gl, make_type(b::kLong)),
      global("gul", at::gul, make_type(b::kUnsignedLong)),
      global("gf", at::gf, make_type(b::kFloat)),
      global("gd", at::gd, make_type(b::kDouble)),
      global("gld", at::gld, make_type(b::kLongDouble)),
      global("sfr", at::sfr, make_type(b::kShortFract)),
      global("lfr", at::lfr, make_type(b::kLongFract)),
      global("arr", at::arr, make_type(b::kInt, {{Derivation::kArray, 3}})),
      global("lp", at::lp, make_type(b::kLong, {{Derivation::kPointer, 0}})),
      global("lq", at::lq, make_type(b::kLong, {{Derivation::kPointer, 0}})),
      global("larr", at::larr, make_type(b::kLong, {{Derivation::kArray, 4}})),
      global("pt", at::pt, make_type(b::kStruct, {}, std::nullopt, kPt)),
      global("bits", at::bits, make_type(b::kStruct, {}, std::nullopt, kBits)),
      global("ec", at::ec, make_type(b::kEnum, {}, std::nullopt, kColor)),
      global("str", at::str, make_type(b::kChar, {{Derivation::kPointer, 0}})),
      global("name", at::name, make_type(b::kChar, {{Derivation::kArray, 8}})),
      global("np", at::np, make_type(b::kChar, {{Derivation::kPointer, 0}})),
      global("fp", at::fp, make_type(b::kInt, {{Derivation::kPointer, 0}, {Derivation::kFunction, 0}})),
      global("u", at::u, make_type(b::kUnion, {}, std::nullopt, kUnionU)),
      global("nest", at::nest, make_type(b::kStruct, {}, std::nullopt, kOuter)),
      entry("sfile", x::sclass::kStatic, at::sfile, make_type(b::kInt)),
      entry("myint", x::sclass::kTypedef, 0, make_type(b::kInt)),
      entry("Point", x::sclass::kTypedef, 0, make_type(b::kStruct, {}, std::nullopt, kPt)),
  };
  main_c.functions = {fmain, fadd, frchar, main_file};

  x::FileBlock util_c;
  util_c.name = "util.c";
  x::FunctionBlock fhelper;
  fhelper.name = "helper";
  fhelper.first_line = 5;
  fhelper.last_line = 8;
  fhelper.return_type = make_type(b::kVoid);
  fhelper.locals = {entry("hv", x::sclass::kAuto, 2, make_type(b::kInt))};
  x::FunctionBlock util_file;
  util_file.first_line = 1;
  util_file.last_line = 8;
  util_file.locals = {entry("counter", x::sclass::kStatic, at::counter, make_type(b::kInt)),
                      entry("gi", x::sclass::kStatic, at::util_gi, make_type(b::kInt))};
  util_c.functions = {fhelper, util_file};

  x::FileBlock xg_c;
  xg_c.name = "xg.c";
  xg_c.unit_code = 139;  // compiled for the XGATE
  x::FunctionBlock fx;
  fx.name = "xtask";
  fx.first_line = 3;
  fx.last_line = 6;
  fx.return_type = make_type(b::kVoid);
  fx.locals = {entry("xa", x::sclass::kArgument, 0, make_type(b::kInt)), entry("xv", x::sclass::kAuto, 2, make_type(b::kInt))};
  x::FunctionBlock xg_file;
  xg_file.first_line = 1;
  xg_file.last_line = 6;
  xg_c.functions = {fx, xg_file};

  m.files = {main_c, util_c, xg_c};
  return m;
}

x::Bytes object_file_bytes() {
  x::ObjectFile f;
  x::Section text;
  text.name = ".text";
  text.placement = text.base = at::main_start;
  text.contents.assign(0x100, 0xA7);
  f.sections.push_back(text);
  f.symbols = {{at::gi, x::symflag::kDefined, 0, "_gi"},
               {at::main_start, x::symflag::kDefined, 0, "_main"},
               {0x1234, x::symflag::kDefined, 0, "TOP"},
               {at::onlysym, x::symflag::kDefined, 0, "_onlysym"}};
  x::add_debug(f, model());
  auto rec = [&](std::uint32_t value, std::uint8_t kind, std::string text) {
    f.debug_records.push_back({value, kind, 0, std::move(text)});
  };
  using namespace x::kind;
  rec(at::main_start, kFunctionStart, "main.c~main:10");
  rec(at::main_start + 4, kLine, "main.c:11");
  rec(at::main_start + 0x10, kLine, "main.c:12");
  rec(at::main_end, kFunctionEnd, "main.c~main");
  rec(at::add_start + 4, kFunctionStart, "main.c~add:22");
  rec(at::add_start + 8, kLine, "main.c:23");
  rec(at::add_end, kFunctionEnd, "main.c~add");
  rec(at::add_end + 4, kFunctionStart, "main.c~rchar:28");
  rec(at::add_end + 8, kLine, "main.c:29");
  rec(at::add_end + 0x10, kFunctionEnd, "main.c~rchar");
  // A function the file's chain does not know: the tables make a "." block for it.
  rec(0x7FC0B0, kFunctionStart, "main.c~ghost:40");
  rec(0x7FC0C0, kFunctionEnd, "main.c~ghost");
  rec(0x7FC080, kFunctionStart, "util.c~helper:5");
  rec(0x7FC084, kLine, "util.c:6");
  rec(0x7FC0A0, kFunctionEnd, "util.c~helper");
  rec(at::xtask_start, kFunctionStart, "xg.c~xtask:3");
  rec(at::xtask_start + 4, kLine, "xg.c:4");
  rec(at::xtask_end, kFunctionEnd, "xg.c~xtask");
  return f.serialize();
}

}  // namespace

std::vector<std::uint8_t> sample_object() { return object_file_bytes(); }

bool load_sample(Program& program) {
  const bool ok = program.load_bytes("prog.x12", sample_object(), false, false, true) == 1 && program.build_debug_info();
  program.release_file();
  return ok;
}

void fill_sample_memory(Memory& m) {
  m.WriteWord(at::gi, 0xFFFF);
  m.WriteWord(at::gu, 0xFFFF);
  m.WriteByte(at::gc, 'A');
  m.WriteByte(at::guc, 0xFF);
  m.WriteByte(at::gsc, 0x80);
  m.WriteByte(at::gflags, 0x08);
  m.WriteWord(at::gs, 0x8000);
  m.WriteWord(at::gus, 0x8000);
  m.WriteLong(at::gl, 0x12345678);
  m.WriteLong(at::gul, 0xFFFFFFFF);
  m.WriteLong(at::gf, std::bit_cast<std::uint32_t>(1.5f));
  const std::uint64_t d = std::bit_cast<std::uint64_t>(150.0);
  m.WriteLong(at::gd, static_cast<std::uint32_t>(d >> 32));
  m.WriteLong(at::gd + 4, static_cast<std::uint32_t>(d));
  const std::uint64_t ld = std::bit_cast<std::uint64_t>(-2.25);
  m.WriteLong(at::gld, static_cast<std::uint32_t>(ld >> 32));
  m.WriteLong(at::gld + 4, static_cast<std::uint32_t>(ld));
  m.WriteWord(at::sfr, 0x4000);
  m.WriteLong(at::lfr, 0x40000000);
  for (int i = 0; i < 3; ++i) m.WriteWord(at::arr + 2 * i, static_cast<std::uint16_t>(i + 1));
  m.WriteWord(at::lp, static_cast<std::uint16_t>(at::larr - 0xFC000));      // local address of larr
  m.WriteWord(at::lq, static_cast<std::uint16_t>(at::larr + 8 - 0xFC000));  // &larr[2]
  for (int i = 0; i < 4; ++i) m.WriteLong(at::larr + 4 * i, static_cast<std::uint32_t>(10 * (i + 1)));
  m.WriteWord(at::pt, 1);
  m.WriteWord(at::pt + 2, 2);
  m.WriteByte(at::bits, 0x55);          // lo = 5, hi = 10, bit 7 clear
  m.WriteWord(at::bits + 2, 0xF2AF);    // mid = 0x2A, sh = 0xF, low nibble 0xF
  m.WriteLong(at::bits + 4, 0xFFFABCFF);  // big = 0xABC
  m.WriteWord(at::ec, 5);
  m.WriteWord(at::str, static_cast<std::uint16_t>(at::text - 0xFC000));
  const char name[] = "abc";
  for (std::uint32_t i = 0; i < sizeof name; ++i) m.WriteByte(at::name + i, static_cast<std::uint8_t>(name[i]));
  const char text[] = "hi\n\x01";
  for (std::uint32_t i = 0; i < sizeof text; ++i) m.WriteByte(at::text + i, static_cast<std::uint8_t>(text[i]));
  m.WriteWord(at::np, 0);
  m.WriteWord(at::fp, 0xC000);  // main, by its local address
  m.WriteLong(at::u, 0x41424344);
  for (int i = 0; i < 4; ++i) m.WriteWord(at::nest + 2 * i, static_cast<std::uint16_t>(i + 3));
  m.WriteWord(at::sfile, 7);
  m.WriteWord(at::cnt, 9);
  m.WriteWord(at::counter, 11);
  m.WriteWord(at::util_gi, 13);
  m.WriteByte(at::onlysym, 0x7E);
}

}  // namespace tav::testing
