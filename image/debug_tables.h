// The debug tables of a loaded program: source files, their functions,
// locals, labels and types, the line records in address order, defines, and
// the lookups every other part of the debugger asks them.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "image/debug_record.h"
#include "image/type_word.h"

namespace tav {

struct AggregateRecord;
struct FileEntry;
struct FunctionBlock;

// A variable, argument, member, enumerator, typedef or label.
struct SymbolEntry {
  static constexpr int kMaxWords = 15;

  FunctionBlock* owner = nullptr;  // for members: the function that first read the aggregate
  std::string_view name;
  std::uint8_t storage_class = 0;
  std::uint8_t coprocessor = 0;     // belongs to an XGATE unit
  std::uint16_t pointer_attr = 0;   // own (translated) attribute, bit 15 set; 0 when none
  std::uint32_t size = 0;           // bytes
  std::uint32_t type = 0;           // type word
  std::uint32_t value = 0;          // primary value: address, frame offset, register, enumerator, member offset
  std::uint32_t secondary = 0;      // classes 5, 21, 22
  std::uint32_t special = 0;        // bit-field description, or the bit number of a _Bool
  AggregateRecord* aggregate = nullptr;  // struct, union or enum
  std::uint8_t word_count = 0;      // descriptor words read
  std::uint8_t deriv_first = 0;     // index of the first derivation word
  std::uint8_t deriv_count = 0;     // one per pointer and array derivation
  std::array<std::uint32_t, kMaxWords> words{};  // descriptor words in file order (attributes translated)

  std::span<const std::uint32_t> descriptor() const { return {words.data(), word_count}; }
  // One word per pointer (its attribute) and per array (its element count), from the top.
  std::span<const std::uint32_t> derivation_words() const { return {words.data() + deriv_first, deriv_count}; }
};

// A struct, union or enum member list, read once per offset.
struct AggregateRecord {
  std::uint32_t offset = 0;  // identity: offset of the member list in .debug
  std::string_view tag;
  std::uint32_t size = 0;
  std::vector<SymbolEntry> members;  // in file order
};

struct FunctionBlock {
  FileEntry* file = nullptr;
  std::string_view name;           // empty: nameless (the file level); ".": made by the consistency check
  std::uint8_t storage_class = 0;
  DebugRecord* start = nullptr;
  DebugRecord* end = nullptr;
  DebugRecord* info = nullptr;     // first file information record after the start
  std::uint16_t first_line = 0;
  std::uint16_t last_line = 0;
  std::uint32_t type = 0;          // the return type's type word
  std::uint16_t return_attr = 0;   // pointer attribute of the return type
  SymbolEntry result;              // the return type with its descriptor words
  std::vector<SymbolEntry> locals; // arguments first (ascending value), then the others in file order
  std::uint32_t arg_count = 0;
  std::vector<SymbolEntry> labels; // labels: classes 18 (local) and 19 (global)
  bool uses_registers = false;
  std::uint8_t coprocessor = 0;
  bool active = false;             // the activ/deact mark
  bool exec_mark = false;          // also marked by execution control: shown as "(act)"
  std::string description;         // "global int *"
  std::string args_text;           // "int a, char *p"
  std::uint32_t define_count = 0;
  std::uint32_t define_arg_count = 0;

  std::span<const SymbolEntry> arguments() const { return {locals.data(), arg_count}; }
  std::span<const SymbolEntry> non_arguments() const {
    return {locals.data() + arg_count, locals.size() - arg_count};
  }
  bool is_dot() const { return !name.empty() && name[0] == '.'; }
};

enum FileFlags : std::uint8_t {
  kFileDuplicate = 0x01,  // a second file of the same name
  kFileHasStarts = 0x02,
  kFileInfo = 0x04,
  kFileHasFunctions = 0x08,
  kFileLinesOnly = 0x10,  // known only from line records
};

struct DefineEntry {
  const DebugRecord* record = nullptr;
  std::string_view name;  // the record's text from its third character
  std::string value;      // the text stored in .debug at the record's value
};

struct FileEntry {
  std::string_view name;        // as the debug records name it
  std::string_view second;      // the second name of its file record
  std::string_view debug_name;  // the name stored in its .debug file block
  std::uint8_t flags = 0;
  std::uint16_t first_line = 0;
  std::uint16_t last_line = 0;
  std::uint8_t unit_code = 0;
  std::uint8_t coprocessor = 0;  // compiled for the XGATE
  std::vector<FunctionBlock*> functions;  // by start address; the file-level block last
  std::vector<DefineEntry> defines;
  const DebugRecord* record = nullptr;  // its file record

  FunctionBlock* file_block() const { return functions.empty() ? nullptr : functions.back(); }
  bool is_file_level(const FunctionBlock* f) const { return f && f == file_block(); }
};

// Size in bytes of a type whose derivation words start at `words` (see SymbolEntry).
std::uint32_t type_size(std::uint32_t type, std::span<const std::uint32_t> derivation_words,
                        const AggregateRecord* aggregate);
inline std::uint32_t type_size(const SymbolEntry& e) {
  return type_size(e.type, e.derivation_words(), e.aggregate);
}

inline constexpr std::string_view kEnumOutOfBounds = "ENUM VALUE OUT OF BOUNDS!!!!";

class DebugTables {
 public:
  DebugTables();
  ~DebugTables();
  DebugTables(const DebugTables&) = delete;
  DebugTables& operator=(const DebugTables&) = delete;

  void clear();

  // The main list (files, function starts and ends, lines, file information)
  // in ascending value order, the define records, and the companion records
  // (newest first).
  const std::vector<DebugRecord>& records() const { return records_; }
  std::vector<DebugRecord>& records() { return records_; }  // profiling counters
  const std::vector<DebugRecord>& define_records() const { return defines_; }
  const std::vector<DebugRecord>& companion_records() const { return companions_; }
  std::uint32_t file_record_count() const { return file_records_; }
  std::uint32_t function_record_count() const { return function_records_; }
  bool empty() const { return records_.empty(); }
  const DebugRecord* next(const DebugRecord* r) const;

  // Files in ascending name order (a duplicate after the existing ones).
  const std::vector<FileEntry*>& files() const { return file_order_; }
  const std::vector<std::unique_ptr<AggregateRecord>>& aggregates() const { return aggregates_; }
  bool has_coprocessor_code() const { return coprocessor_code_; }

  const FileEntry* find_file(std::string_view name) const;
  FileEntry* find_file(std::string_view name);
  // The first function of that name in file-list order (or in `file` only);
  // never a "." block or a file's own last block.
  FunctionBlock* find_function(std::string_view name, const FileEntry* file = nullptr) const;

  // Address to record.
  // The source position at exactly `address`: not a file, end or kind 0x02
  // record, except that an end record followed by another record at the same
  // address gives that record. `coprocessor` 0 or 1 accepts only records of
  // units with that flag; -1 accepts all.
  const DebugRecord* record_at(std::uint32_t address, int coprocessor = -1) const;
  // The last start or line record at or below `address` (with `with_info`,
  // file information and kind 0x04 records count too).
  const DebugRecord* record_covering(std::uint32_t address, bool with_info = false) const;
  // The first line or start record (with `with_ends`, end records too) above `address`.
  const DebugRecord* next_line_after(std::uint32_t address, bool with_ends = false) const;
  // From the record covering `address` to one below the next record's address.
  bool covering_range(std::uint32_t address, std::uint32_t* first, std::uint32_t* last) const;
  // The function whose records cover `address`.
  FunctionBlock* function_at(std::uint32_t address) const;

  // The record of the first code of a source line, or null (" No code at that location").
  const DebugRecord* line_address(const FileEntry* file, unsigned line) const;
  // From the start record's address to that of the first end record after it.
  bool function_range(const FunctionBlock* f, std::uint32_t* start, std::uint32_t* end) const;

  // Variables.
  const SymbolEntry* find_local(const FunctionBlock* f, std::string_view name) const;
  const SymbolEntry* find_label(const FunctionBlock* f, std::string_view name) const;
  const SymbolEntry* find_file_variable(const FileEntry* file, std::string_view name) const;
  // The first file-level entry of that name in file-list order.
  const SymbolEntry* find_global(std::string_view name) const;
  // A function's own entries, then the file-level entries of every file.
  const SymbolEntry* find_visible(const FunctionBlock* f, std::string_view name) const;
  // The exported query: classes 1, 6 and 8 in a named file; 6 and 8 in any file.
  const SymbolEntry* find_global_variable(std::string_view name, const FileEntry* file) const;

  // The enumerator of `value` in an enum's member list, or kEnumOutOfBounds.
  static std::string_view enumerator_name(const AggregateRecord* aggregate, std::int32_t value);

  void clear_profile();

 private:
  friend class ObjectReader;
  friend class DebugBuilder;

  std::string_view intern(std::string_view text);
  std::string_view find_interned(std::string_view text) const;
  void insert_file(FileEntry* f);  // by name, after existing ones of the same name
  void build_indexes();

  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
  };
  std::unordered_set<std::string, TextHash, std::equal_to<>> pool_;  // every name, once
  std::vector<DebugRecord> records_;
  std::vector<DebugRecord> defines_;
  std::vector<DebugRecord> companions_;
  std::uint32_t file_records_ = 0;
  std::uint32_t function_records_ = 0;

  std::vector<std::unique_ptr<FileEntry>> file_store_;
  std::vector<FileEntry*> file_order_;
  std::vector<std::unique_ptr<FunctionBlock>> function_store_;
  std::vector<std::unique_ptr<AggregateRecord>> aggregates_;
  bool coprocessor_code_ = false;

  // Indexes into records_.
  std::vector<std::uint32_t> code_;       // start and line records
  std::vector<std::uint32_t> code_info_;  // the same with file information and kind 0x04
  std::vector<std::uint32_t> code_ends_;  // start, line and end records
  std::unordered_map<std::string_view, FunctionBlock*> function_index_;
  std::unordered_map<std::string_view, const SymbolEntry*> global_index_;
  struct LineKey {
    const char* name;
    std::uint16_t line;
    bool operator==(const LineKey&) const = default;
  };
  struct LineKeyHash {
    std::size_t operator()(const LineKey& k) const {
      return std::hash<const void*>()(k.name) ^ (std::size_t{k.line} * 0x9E3779B97F4A7C15ull);
    }
  };
  std::unordered_map<LineKey, std::uint32_t, LineKeyHash> line_index_;
};

}  // namespace tav
