// Interrupts raised from outside the core (extensions, the XGATE's sif): the
// 128-bit pending set with its priority and masking rules, and the interrupt
// definition file that names the vectors for display.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tav {

// Bit k of the set stands for the vector at local 0xFFFE - 2k; its interrupt
// number is k + 1. The lowest number wins.
class PendingInterrupts {
 public:
  static constexpr int kCount = 128;

  // 0xFFFE, 0xFFFC, 0xFFFA and every other even value from 0xFF00 to 0xFFFE
  // set their bit; other values are ignored.
  void RaiseInterrupt(std::uint32_t vector);
  bool any() const { return any_; }
  bool is_pending(int number) const {
    return number >= 1 && number <= kCount && (words_[(number - 1) >> 5] >> ((number - 1) & 31) & 1);
  }
  int lowest() const;  // the lowest pending number, 0 when none
  void clear(int number);
  void clear_all() {
    words_[0] = words_[1] = words_[2] = words_[3] = 0;
    any_ = false;
  }
  const std::uint32_t* words() const { return words_; }

  // Number 1 is never masked; 2 while CCR X is set; 3 and above while I is set.
  static bool masked(int number, std::uint16_t ccr);
  // The local vector address of a number: 0xFFFE, 0xFFFC, 0xFFFA for 1-3,
  // else IVBR * 256 + 0xFE - 2 * (number - 1).
  static std::uint16_t vector_address(int number, std::uint8_t ivbr);

 private:
  std::uint32_t words_[4] = {};
  bool any_ = false;  // kept with the words: the run loop tests it before every instruction
};

// Where the definition file reports its errors: a message box with title and text.
class MessageBoxSink {
 public:
  virtual ~MessageBoxSink() = default;
  virtual void message_box(std::string_view title, std::string_view text) = 0;
};

// The interrupt definition list: one (value, name) per counted line of the file.
class InterruptDefinitions {
 public:
  static constexpr int kMaxDefinitions = 128;

  // Reads `path`; false (and the old list kept) when it cannot be opened or
  // holds more than 128 definitions, each reported through `messages`.
  bool LoadInterrupts(const std::string& path, MessageBoxSink& messages);

  // What ShowInterrupts lists: one "0x%x %s" line per entry.
  const std::vector<std::pair<std::uint32_t, std::string>>& list() const { return list_; }
  std::vector<std::string> lines() const;

 private:
  std::vector<std::pair<std::uint32_t, std::string>> list_;
};

}  // namespace tav
