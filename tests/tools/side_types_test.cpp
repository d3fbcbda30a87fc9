// Side-file parsing and the C type layout of mkx12.
#include <gtest/gtest.h>

#include "side_file.h"
#include "image/elf/type_system.h"

using namespace tav::mkx12;

namespace {

SideProgram program(const std::string& aggregates, const std::string& typedefs = "[]") {
  return parse_side_file(R"({ "aggregates": )" + aggregates + R"(, "files": [ { "name": "t.c", "typedefs": )" +
                         typedefs + " } ] }");
}

TEST(MkX12Types, BaseTypesDerivationsAndTypedefs) {
  SideProgram p = program("[]", R"([ { "name": "row", "type": "[4] int" }, { "name": "op", "type": "* () int" } ])");
  TypeSystem ts(p);
  EXPECT_EQ(ts.resolve("[3][4] int").size, 24u);
  EXPECT_EQ(ts.resolve("[3][4] int").ref.type_word, 0xF0000018u);
  // A typedef's own derivations go inside the ones written around it.
  Type rows = ts.resolve("[3] row");
  EXPECT_EQ(rows.ref.type_word, 0xF0000018u);
  EXPECT_EQ(rows.ref.descriptor, (std::vector<std::uint32_t>{3, 4}));
  EXPECT_EQ(rows.size, 24u);
  EXPECT_EQ(ts.resolve("op").ref.type_word, 0x60000018u);
  EXPECT_EQ(ts.resolve("op").size, 2u);
  EXPECT_EQ(ts.resolve("*@0x40 char").size, 3u);  // far pointer
  EXPECT_EQ(ts.resolve("*@0x40 char").ref.descriptor, std::vector<std::uint32_t>{0x40});
  EXPECT_EQ(ts.resolve("[2] * long").size, 4u);
  EXPECT_EQ(ts.resolve("long   double").size, 8u);
  EXPECT_EQ(ts.resolve("short _Fract").ref.type_word, 0x2Cu);
  EXPECT_EQ(ts.resolve("long _Fract").size, 4u);
  EXPECT_EQ(ts.resolve("unsigned").ref.type_word, 0x1Au);
  // _Bool always carries its bit word; the entry can move the bit.
  EXPECT_EQ(ts.resolve("_Bool").ref.descriptor, std::vector<std::uint32_t>{0x0001});
  SideEntry flag;
  flag.type = "_Bool";
  flag.bit = 6;
  EXPECT_EQ(ts.resolve_entry(flag).ref.descriptor, std::vector<std::uint32_t>{0x0601});
}

TEST(MkX12Types, UnknownNamesAndBadTextsAreReported) {
  TypeSystem ts(program("[]"));
  EXPECT_THROW(ts.resolve("struct nowhere"), SideError);
  EXPECT_THROW(ts.resolve("unsigned float"), SideError);
  EXPECT_THROW(ts.resolve("[3 int"), SideError);
  EXPECT_THROW(ts.resolve("*"), SideError);
  EXPECT_THROW(ts.resolve("[] int"), SideError);
  EXPECT_THROW(ts.resolve("* * * * * * * * * * * * * int"), SideError);  // 13 derivations
}

TEST(MkX12Types, StructsPackWithoutPaddingAndBitFieldsShareUnitsOfOneType) {
  SideProgram p = program(R"([
    { "key": "struct flags", "members": [
        { "name": "ready", "type": "unsigned char", "bits": 1 },
        { "name": "level", "type": "unsigned char", "bits": 3 },
        { "name": "delta", "type": "short", "bits": 5 },
        { "name": "phase", "type": "unsigned short", "bits": 2 },
        { "name": "count", "type": "int", "bits": 4 },
        { "name": "wide", "type": "int", "bits": 14 },
        { "name": "offset", "type": "long", "bits": 20 },
        { "name": "c", "type": "char" } ] } ])");
  TypeSystem ts(p);
  const auto& flags = ts.aggregates()[0];
  auto bit = [&](int i) { return flags.members[static_cast<std::size_t>(i)].type.descriptor.at(0); };
  auto at = [&](int i) { return flags.members[static_cast<std::size_t>(i)].value; };
  auto code = [&](int i) { return flags.members[static_cast<std::size_t>(i)].type.type_word; };
  EXPECT_EQ(at(0), 0u); EXPECT_EQ(bit(0), 0x0001u); EXPECT_EQ(code(0), 0x0Bu);
  EXPECT_EQ(at(1), 0u); EXPECT_EQ(bit(1), 0x0103u);
  // short and int units are two bytes each, but never shared
  EXPECT_EQ(at(2), 1u); EXPECT_EQ(bit(2), 0x0005u); EXPECT_EQ(code(2), 0x12u);
  EXPECT_EQ(at(3), 1u); EXPECT_EQ(bit(3), 0x0502u); EXPECT_EQ(code(3), 0x12u);
  EXPECT_EQ(at(4), 3u); EXPECT_EQ(bit(4), 0x0004u); EXPECT_EQ(code(4), 0x19u);
  // 4 + 14 bits do not fit 16: a new unit
  EXPECT_EQ(at(5), 5u); EXPECT_EQ(bit(5), 0x000Eu);
  EXPECT_EQ(at(6), 7u); EXPECT_EQ(code(6), 0x22u);
  EXPECT_EQ(at(7), 11u);
  EXPECT_EQ(flags.size, 12u);
  EXPECT_EQ(flags.members[0].storage_class, 9);
}

TEST(MkX12Types, UnionsNestingEnumsAndSelfReference) {
  SideProgram p = program(R"([
    { "key": "struct point", "members": [ { "name": "x" }, { "name": "y" } ] },
    { "key": "union number", "members": [
        { "name": "l", "type": "long" }, { "name": "b", "type": "[6] char" }, { "name": "p", "type": "struct point" } ] },
    { "key": "struct outer", "members": [
        { "name": "n", "type": "union number" }, { "name": "e", "type": "enum big" },
        { "name": "next", "type": "* struct outer" }, { "name": "pts", "type": "[2] struct point" } ] },
    { "key": "enum small", "variant": "char", "members": [ { "name": "A", "value": -1 }, { "name": "B" }, { "name": "C", "value": 7 }, { "name": "D" } ] },
    { "key": "enum big", "variant": "long", "members": [ { "name": "X" } ] },
    { "key": "enum plain", "members": [ { "name": "P" } ] },
    { "key": "enum sized", "variant": "int", "members": [ { "name": "Q" } ] },
    { "key": "enum half", "variant": "short", "members": [ { "name": "R" } ] } ])");
  TypeSystem ts(p);
  EXPECT_EQ(ts.resolve("union number").size, 6u);
  EXPECT_EQ(ts.aggregates()[1].members[2].storage_class, 10);
  EXPECT_EQ(ts.resolve("struct outer").size, 6u + 4 + 2 + 8);
  EXPECT_EQ(ts.resolve("struct outer").ref.type_word, 0x48u);
  const auto& small = ts.aggregates()[3];
  EXPECT_EQ(small.members[0].value, 0xFFFFFFFFu);
  EXPECT_EQ(small.members[1].value, 0u);
  EXPECT_EQ(small.members[3].value, 8u);
  EXPECT_EQ(small.members[0].storage_class, 12);
  EXPECT_EQ(ts.resolve("enum small").ref.type_word, 0x4Bu);
  EXPECT_EQ(ts.resolve("enum small").size, 1u);
  EXPECT_EQ(ts.resolve("enum big").ref.type_word, 0x4Eu);
  EXPECT_EQ(ts.resolve("enum big").size, 4u);
  EXPECT_EQ(ts.resolve("enum plain").ref.type_word, 0x4Au);
  EXPECT_EQ(ts.resolve("enum sized").ref.type_word, 0x4Du);
  EXPECT_EQ(ts.resolve("enum half").ref.type_word, 0x4Cu);
  EXPECT_EQ(ts.resolve("enum half").size, 2u);
}

TEST(MkX12Types, AnAggregateThatContainsItselfIsRefused) {
  EXPECT_THROW(TypeSystem(program(R"([ { "key": "struct a", "members": [ { "name": "b", "type": "struct b" } ] },
                                       { "key": "struct b", "members": [ { "name": "a", "type": "[2] struct a" } ] } ])")),
               SideError);
  SideProgram looped = program("[]", R"([ { "name": "t", "type": "* t" } ])");
  TypeSystem ts(looped);
  EXPECT_THROW(ts.resolve("t"), SideError);
  EXPECT_THROW(ts.resolve("t t"), SideError);
}

TEST(MkX12SideFile, MistakesNameTheirPlace) {
  auto message = [](const std::string& text) {
    try {
      parse_side_file(text);
    } catch (const SideError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_NE(message("{ not json").find("not valid JSON"), std::string::npos);
  EXPECT_EQ(register_code("y"), 224u);
  EXPECT_EQ(register_code("r7"), 736u);
  EXPECT_FALSE(register_code("q"));
  EXPECT_NE(message("[1, 2]").find("JSON object"), std::string::npos);
  EXPECT_NE(message(R"({ "files": [ { "functions": [] } ] })").find("name"), std::string::npos);
  EXPECT_NE(message(R"({ "files": [ { "name": "a.c", "variables": [ { "name": "v", "class": "floating" } ] } ] })")
                .find("unknown storage class"), std::string::npos);
  EXPECT_NE(message(R"({ "files": [ { "name": "a.c", "variables": [ { "name": "v", "register": "zz" } ] } ] })")
                .find("file a.c.v"), std::string::npos);
  EXPECT_NE(message(R"({ "aggregates": [ { "key": "class x" } ] })").find("struct, union or enum"), std::string::npos);
  EXPECT_NE(message(R"({ "aggregates": [ { "key": "enum e", "variant": "huge" } ] })").find("variant"), std::string::npos);
  EXPECT_NE(message(R"({ "files": [ { "name": "a.c", "lines": [1] } ] })").find("[first, last]"), std::string::npos);
  EXPECT_NE(message(R"({ "files": [ { "name": "a.c", "unit": 300 } ] })").find("unit"), std::string::npos);
  EXPECT_NE(message(R"({ "files": [ { "name": "a.c", "variables": [ { "name": "v", "value": "x" } ] } ] })")
                .find("integer"), std::string::npos);
}

}  // namespace
