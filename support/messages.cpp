// The numbered message table. Texts are kept exactly as users have always seen
// them, spelling and surrounding blanks included: scripts and logs match them.
#include "support/messages.h"

namespace tav {
namespace {

struct Message {
  int number;
  const char* text;
};

constexpr Message kMessages[] = {
    {11, "unknown command"},
    {12, "zero divide"},
    {13, "syntax error"},
    {14, "name too long"},
    {15, "symbol not found"},
    {16, "unknown register"},
    {17, "illegal instruction"},
    {22, "cannot redirect"},
    {23, "offset too large"},
    {24, "incompatible registers"},
    {25, "value too large"},
    {26, "incorrect index register"},
    {27, "incorrect addressing mode"},
    {28, "uncompatible addressing mode"},
    {29, "incorrect size modifier"},
    {30, "stack overflow"},
    {32, "incorrect argument"},
    {33, "too many arguments"},
    {36, "log file already opened"},
    {37, "cannot create file"},
    {39, "L"},
    {45, "no C source defined"},
    {46, "no frame defined"},
    {51, "internal error"},
    {52, "incorrect variable"},
    {53, "not an addressable variable"},
    {54, "variable can't be accessed"},
    {55, "illegal type"},
    {56, "unkown field"},
    {57, "illegal operator"},
    {58, "illegal extension for command"},
    {59, "illegal breakpoint"},
    {61, "expression not updatable"},
    {63, "entry point at"},
    {64, "invalid entry point"},
    {67, "incorrect function"},
    {68, "missing "},
    {70, " modified"},
    {73, "breakpoint not found"},
    {74, "no breakpoint"},
    {75, "file not found"},
    {76, "function not found"},
    {77, "line not found"},
    {78, "Functions in file"},
    {85, "no code at that location"},
    {86, "function in stack frame"},
    {95, " calls"},
};

}  // namespace

const char* msgfind(int number) {
  for (const Message& m : kMessages)
    if (m.number == number) return m.text;
  return nullptr;
}

std::string msgtext(int number) {
  if (const char* text = msgfind(number)) return text;
  return " **** Err " + std::to_string(number) + " ****";
}

}  // namespace tav
