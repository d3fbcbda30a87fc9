// One record of the debug symbol table: a source file, a function start or
// end, a source line, a file information record, a define or a companion
// (pointer-attribute) record, with its text already taken apart.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace tav {

struct FunctionBlock;

enum RecordKind : std::uint8_t {
  kRecFileInfo = 0x01,
  kRecOrdered = 0x02,  // kept in address order, never removed as a duplicate
  kRecKind04 = 0x04,
  kRecLine = 0x08,
  kRecFunctionEnd = 0x10,
  kRecFunctionStart = 0x20,
  kRecFile = 0x40,
  kRecDefine = 0x41,
};

// Record flags.
inline constexpr std::uint8_t kRecPlus = 0x40;  // "+" before the range: class-2 arguments are one higher

struct DebugRecord {
  std::uint32_t value = 0;  // address, or .debug offset for file and define records
  std::uint8_t kind = 0;
  std::uint8_t flags = 0;
  std::uint8_t info_flags = 0;  // bit 0: "+" before the second line of a file information record
  std::uint8_t coprocessor = 0; // the record belongs to an XGATE unit
  std::uint16_t line = 0;
  std::uint16_t column = 0;
  std::uint16_t end_line = 0;
  std::uint16_t end_column = 0;
  std::uint32_t number = 0;  // the decimal number of a file information record
  std::string_view name;     // file name (macro name for defines)
  std::string_view second;   // function name, or the second name after "~"
  FunctionBlock* function = nullptr;  // the function this record belongs to
  FunctionBlock* starts = nullptr;    // for a start record: the function it starts
  std::uint32_t hits = 0;    // profiling: executions
  std::uint32_t cycles = 0;  // profiling: accumulated cycles
  std::uint32_t index = 0;   // position in the main list

  bool is_start() const { return kind == kRecFunctionStart; }
  bool is_end() const { return kind == kRecFunctionEnd; }
  bool is_line() const { return kind == kRecLine; }
  bool is_file() const { return kind == kRecFile; }
  bool is_companion() const { return (kind & 0x80) != 0; }
};

// The pieces of a record's text; the names point into the text.
struct RecordText {
  std::string_view name;
  std::string_view second;
  bool has_range = false;
  bool plus = false;
  std::uint16_t line = 0, column = 0, end_line = 0, end_column = 0;
  std::uint8_t info_flags = 0;
  std::uint32_t number = 0;
};

// Takes a record's text apart as its kind prescribes.
RecordText parse_record_text(std::uint8_t kind, std::string_view text);

// The text of a record as written in the file ("file~function"), for messages.
std::string record_label(const DebugRecord& r);

}  // namespace tav
