#include "kernel/view_state.h"

#include <algorithm>

#include "kernel/interp.h"
#include "support/numconv.h"

namespace tav {

void Monitors::add(std::string expression, char letter) { list_.push_back(Monitor{std::move(expression), letter}); }

bool Monitors::remove(std::size_t number) {
  if (number == 0 || number > list_.size()) return false;
  list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(number - 1));
  return true;
}

std::string Monitors::saved() const {
  std::string text;
  for (const Monitor& m : list_) {
    text += "monit ";
    if (m.letter) {
      text += '/';
      text += m.letter;
      text += ' ';
    }
    text += m.expression + "\n";
  }
  return text;
}

const char* Monitors::del(const char* args) {
  const char* p = skipblanks(args);
  if (*p == '*') {
    clear();
    return p + 1;
  }
  // Numbers name the monitors as listed before this command removed any.
  std::vector<std::size_t> numbers;
  for (;;) {
    std::uint32_t n = 0;
    const int used = numscan32(p, -1, &n, 10);
    if (used == 0) break;
    numbers.push_back(n);
    p = skipblanks(p + used);
    if (*p != ',') break;
    p = skipblanks(p + 1);
  }
  std::sort(numbers.rbegin(), numbers.rend());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  for (std::size_t n : numbers) remove(n);
  return p;
}

}  // namespace tav
