// Data laid out by the GNU assembler for this chip, read back through C
// expressions: the assembler's encoding of each directive is the oracle for
// the evaluator's typed reads (byte order, widths, IEEE layouts).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "expr_fixture.h"

namespace tav::testing {
namespace {

struct Datum {
  const char* directive;  // assembler source
  std::uint32_t size;     // bytes it takes
  const char* type;       // the C type read back
  char letter;            // format letter
  const char* shown;      // the value as the evaluator prints it
};

constexpr Datum kData[] = {
    {".word -2", 2, "int", 0, "-2"},
    {".word 65535", 2, "unsigned int", 0, "65535"},
    {".word -2", 2, "unsigned short", 'x', "0xfffe"},
    {".byte 0x80", 1, "signed char", 0, "-128"},
    {".byte 0x80", 1, "unsigned char", 0, "128"},
    {".byte 65", 1, "char", 'C', "'A'"},
    {".long 0x12345678", 4, "long", 'x', "0x12345678L"},
    {".long -1", 4, "unsigned long", 0, "4294967295"},
    {".long -100000", 4, "long", 0, "-100000"},
    {".float 1.5", 4, "float", 0, "1.5"},
    {".float 0.375", 4, "float", 0, "0.375"},
    {".double 150.0", 8, "double", 0, "150.0"},
    {".double -2.25e-3", 8, "long double", 0, "-0.00225"},
    {".double 12345678.0", 8, "double", 0, "1.2345678e+07"},
    {".double 1.0e-5", 8, "double", 0, "1.0e-05"},
    {".word 0x4000", 2, "short _Fract", 0, "0.50000"},
    {".long 0xC0000000", 4, "long _Fract", 0, "-0.500000000"},
};

class AssemblerOracle : public ExprTest {
 protected:
  // Assembles `source` and returns the bytes of its .data section.
  bool assemble(const std::string& source, std::vector<std::uint8_t>& out) {
    const std::string s = (dir / "data.s").string(), o = (dir / "data.o").string(), b = (dir / "data.bin").string();
    std::ofstream(s) << source;
    const std::string cmd = "m68hc11-as -mm9s12x -o " + o + " " + s + " 2>/dev/null && m68hc11-objcopy -O binary -j .data " +
                            o + " " + b + " 2>/dev/null";
    if (std::system(cmd.c_str()) != 0) return false;
    std::ifstream in(b, std::ios::binary);
    out.assign(std::istreambuf_iterator<char>(in), {});
    return true;
  }
};

TEST_F(AssemblerOracle, TypedReadsMatchTheAssemblersLayout) {
  std::string source = "        .data\n";
  std::uint32_t expected_size = 0;
  for (const Datum& d : kData) {
    source += std::string("        ") + d.directive + "\n";
    expected_size += d.size;
  }
  source += "        .asciz \"hi\\tthere\\n\"\n";
  std::vector<std::uint8_t> bytes;
  if (!assemble(source, bytes)) GTEST_SKIP() << "m68hc11-as is not available";
  ASSERT_EQ(bytes.size(), expected_size + 10);

  constexpr std::uint32_t kLocal = 0x2400;  // fixed RAM: global 0xFE400
  for (std::uint32_t i = 0; i < bytes.size(); ++i) memory.WriteByte(0xFC000 + kLocal + i, bytes[i]);
  std::uint32_t offset = 0;
  for (const Datum& d : kData) {
    const std::string expr = fmtstr("*(%p *)0x%hl", d.type, kLocal + offset);
    EXPECT_EQ(shown(expr, d.letter), d.shown) << d.directive << " as " << d.type;
    offset += d.size;
  }
  const std::string string_expr = fmtstr("(char *)0x%hl", kLocal + offset);
  EXPECT_EQ(shown(string_expr, 's'), "\"hi\\tthere\\n\"");
  // Pointer steps follow the element sizes the assembler laid out.
  EXPECT_EQ(shown(fmtstr("*((long *)0x%hl + 1)", kLocal + 9), 0), "-1");
  EXPECT_EQ(shown(fmtstr("((double *)0x%hl)[1]", kLocal + 29), 0), "-0.00225");
}

}  // namespace
}  // namespace tav::testing
