#include "ui/model/source_words.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "sim/opcodes.h"

namespace tav {

namespace {

constexpr std::array<std::string_view, 32> kCKeywords = {
    "auto",   "break",  "case",     "char",   "const",    "continue", "default",  "do",
    "double", "else",   "enum",     "extern", "float",    "for",      "goto",     "if",
    "int",    "long",   "register", "return", "short",    "signed",   "sizeof",   "static",
    "struct", "switch", "typedef",  "union",  "unsigned", "void",     "volatile", "while"};

constexpr std::array<std::string_view, 11> kPreprocessor = {"#define", "#elif",    "#else",   "#endif",
                                                            "#if",     "#ifdef",   "#ifndef", "#include",
                                                            "#line",   "#pragma",  "#undef"};

constexpr std::array<std::string_view, 88> kLibrary = {
    "_asm",    "abort",   "abs",     "acos",    "asin",     "atan",    "atan2",   "atof",    "atoi",
    "atol",    "calloc",  "ceil",    "cos",     "cosh",     "div",     "exit",    "exp",     "fabs",
    "floor",   "fmod",    "free",    "frexp",   "getchar",  "gets",    "isalnum", "isalpha", "iscntrl",
    "isdigit", "isgraph", "islower", "isprint", "ispunct",  "isspace", "isupper", "isxdigit", "labs",
    "ldexp",   "ldiv",    "log",     "log10",   "longjmp",  "malloc",  "max",     "memchr",  "memcmp",
    "memcpy",  "memmove", "memset",  "min",     "modf",     "pow",     "printf",  "putchar", "puts",
    "rand",    "realloc", "sbreak",  "scanf",   "setjmp",   "sin",     "sinh",    "sprintf", "sqrt",
    "srand",   "sscanf",  "strcat",  "strchr",  "strcmp",   "strcpy",  "strcspn", "strlen",  "strncat",
    "strncmp", "strncpy", "strpbrk", "strrchr", "strspn",   "strstr",  "strtod",  "strtol",  "strtoul",
    "tan",     "tanh",    "tolower", "toupper", "va_arg",   "va_end",  "va_start"};

constexpr std::array<std::string_view, 67> kAsmDirectives = {
    "abs",    "align",  "base",   "bsct",   "bss",    "clist",  "dc",     "dc.b",   "dc.l",   "dc.w",
    "dcb",    "dcb.b",  "dcb.l",  "dcb.w",  "dlist",  "ds.b",   "ds.l",   "ds.w",   "else",   "elsec",
    "end",    "endc",   "endif",  "endm",   "equ",    "even",   "fail",   "fcb",    "fcc",    "fdb",
    "hilo",   "if",     "ifc",    "ifeq",   "ifge",   "ifgt",   "ifle",   "iflt",   "ifnc",   "ifne",
    "include", "list",  "macro",  "mexit",  "mlist",  "nol",    "nolist", "nopage", "offset", "org",
    "page",   "plen",   "rmb",    "section", "set",   "spc",    "switch", "tabs",   "title",  "ttl",
    "xdef",   "xref",   "xrefb",  "xref.b", "xref.l", "xref.w", "zpage"};

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& list, std::string_view word) {
  return std::find(list.begin(), list.end(), word) != list.end();
}

std::string lower(std::string_view word) {
  std::string s(word);
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

bool is_c_keyword(std::string_view word) { return listed(kCKeywords, word); }
bool is_preprocessor_directive(std::string_view word) { return listed(kPreprocessor, word); }
bool is_c_library_function(std::string_view word) { return listed(kLibrary, word); }
bool is_assembler_directive(std::string_view word) { return listed(kAsmDirectives, lower(word)); }

bool is_instruction_mnemonic(std::string_view word) {
  const std::string w = lower(word);
  return std::binary_search(kMnemonicNames + 1, kMnemonicNames + kMnemonicCount, w,
                            [](std::string_view a, std::string_view b) { return a < b; });
}

}  // namespace tav
