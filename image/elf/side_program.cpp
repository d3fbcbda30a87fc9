#include "image/elf/side_program.h"

namespace tav::elf {

namespace {

struct ClassName {
  const char* name;
  std::uint8_t code;
};
constexpr ClassName kClassNames[] = {
    {"static", 1},       {"argument", 2},       {"auto", 3},         {"register", 4},
    {"register pair", 5}, {"extern", 6},        {"register argument", 7}, {"absolute", 8},
    {"member", 9},       {"union member", 10},  {"enum member", 12}, {"typedef", 17},
    {"label", 18},       {"global label", 19},  {"register argument b", 23},
};

constexpr const char* kRegisters[] = {"a", "b", "ccr", "ccrw", "d", "x", "y", "s", "pc",
                                      "ppage", "rpage", "epage", "gpage", "direct", "ppc",
                                      "r0", "r1", "r2", "r3", "r4", "r5", "r6", "r7",
                                      "xpc", "xccr", "xppc", "ccrh"};

}  // namespace

std::optional<std::uint8_t> storage_class_from_name(const std::string& name) {
  for (const ClassName& c : kClassNames)
    if (name == c.name) return c.code;
  if (!name.empty() && name.find_first_not_of("0123456789") == std::string::npos && name.size() <= 3) {
    int n = std::stoi(name);
    if (n <= 255) return static_cast<std::uint8_t>(n);
  }
  return std::nullopt;
}

std::optional<std::uint32_t> register_code(const std::string& name) {
  std::uint32_t code = 32;
  for (const char* r : kRegisters) {
    if (name == r) return code;
    code += 32;
  }
  return std::nullopt;
}

}  // namespace tav::elf
