#include "sim/interrupts.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "sim/cpu_regs.h"

namespace tav {

void PendingInterrupts::RaiseInterrupt(std::uint32_t vector) {
  if (vector < 0xFF00 || vector > 0xFFFE || (vector & 1)) return;
  const unsigned bit = (0xFFFE - vector) / 2;
  words_[bit >> 5] |= 1u << (bit & 31);
  any_ = true;
}

int PendingInterrupts::lowest() const {
  for (int w = 0; w < 4; ++w)
    if (words_[w]) return w * 32 + __builtin_ctz(words_[w]) + 1;
  return 0;
}

void PendingInterrupts::clear(int number) {
  if (number < 1 || number > kCount) return;
  words_[(number - 1) >> 5] &= ~(1u << ((number - 1) & 31));
  any_ = (words_[0] | words_[1] | words_[2] | words_[3]) != 0;
}

bool PendingInterrupts::masked(int number, std::uint16_t ccr) {
  if (number == 1) return false;
  if (number == 2) return (ccr & CC_X) != 0;
  return (ccr & CC_I) != 0;
}

std::uint16_t PendingInterrupts::vector_address(int number, std::uint8_t ivbr) {
  if (number <= 3) return static_cast<std::uint16_t>(0xFFFE - 2 * (number - 1));
  return static_cast<std::uint16_t>(ivbr * 256 + 0xFE - 2 * (number - 1));
}

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// A line counts when it is not empty and does not begin with ";", LF or CR.
bool counts(const char* line) { return line[0] && line[0] != ';' && line[0] != '\n' && line[0] != '\r'; }

}  // namespace

bool InterruptDefinitions::LoadInterrupts(const std::string& path, MessageBoxSink& messages) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    messages.message_box("Can't open INTERRUPT file ", path);
    return false;
  }
  // Lines are read 254 characters at a time, so a longer line counts once per piece.
  char line[255];
  int count = 0;
  while (std::fgets(line, sizeof line, file.get()))
    if (counts(line)) ++count;
  if (count > kMaxDefinitions) {
    messages.message_box("Interrupts", "Too Many Interrupts (Max 128)");
    return false;
  }
  std::rewind(file.get());
  list_.clear();
  while (std::fgets(line, sizeof line, file.get())) {
    if (!counts(line)) continue;
    line[std::strcspn(line, "\r\n")] = 0;
    char* rest = nullptr;
    const unsigned long value = std::strtoul(line, &rest, 0);
    while (*rest == ' ' || *rest == '\t') ++rest;
    list_.emplace_back(static_cast<std::uint32_t>(value), rest);
  }
  return true;
}

std::vector<std::string> InterruptDefinitions::lines() const {
  std::vector<std::string> out;
  out.reserve(list_.size());
  char buffer[300];
  for (const auto& [value, name] : list_) {
    std::snprintf(buffer, sizeof buffer, "0x%x %s", static_cast<unsigned>(value), name.c_str());
    out.emplace_back(buffer);
  }
  return out;
}

}  // namespace tav
