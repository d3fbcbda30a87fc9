// Writer for Tav's ".x12" object files: the compiler object format with its
// section table, standard symbols, debug symbol records and `.debug` section.
//
// Two layers:
//  - ObjectFile: sections, symbols and debug records, serialised exactly as
//    given (every field can be overridden so that tests can build damaged files);
//  - DebugBuilder / DebugModel: the contents of the `.debug` section (file
//    blocks, function chains, local entries, type descriptor blocks, member
//    lists, define strings) with all offsets resolved.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav::x12 {

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------- constants

inline constexpr std::uint8_t kMagic = 0xCC;      // 0xCD is accepted too
inline constexpr std::size_t kHeaderSize = 28;
inline constexpr std::size_t kSectionEntrySize = 40;
inline constexpr std::size_t kInitMarkerEntrySize = 24;
inline constexpr std::size_t kLocalEntrySize = 16;
inline constexpr std::size_t kFunctionBlockSize = 36;
inline constexpr std::size_t kFileBlockSize = 8;

// Debug symbol record kinds.
namespace kind {
inline constexpr std::uint8_t kFile = 0x40;
inline constexpr std::uint8_t kFunctionStart = 0x20;
inline constexpr std::uint8_t kFunctionEnd = 0x10;
inline constexpr std::uint8_t kLine = 0x08;
inline constexpr std::uint8_t kFileInfo = 0x01;
inline constexpr std::uint8_t kOrdered = 0x02;
inline constexpr std::uint8_t kDefine = 0x41;
inline constexpr std::uint8_t kCompanion = 0x80;  // any kind with bit 7 set
}  // namespace kind

// Storage classes (the byte after an entry's name).
namespace sclass {
inline constexpr std::uint8_t kStatic = 1;
inline constexpr std::uint8_t kArgument = 2;
inline constexpr std::uint8_t kAuto = 3;
inline constexpr std::uint8_t kRegister = 4;
inline constexpr std::uint8_t kRegisterPair = 5;    // carries an extra word
inline constexpr std::uint8_t kExtern = 6;
inline constexpr std::uint8_t kRegisterArgument = 7;
inline constexpr std::uint8_t kAbsolute = 8;
inline constexpr std::uint8_t kEnumMember = 12;
inline constexpr std::uint8_t kStaticArgument = 14;
inline constexpr std::uint8_t kStaticAuto = 16;
inline constexpr std::uint8_t kTypedef = 17;
inline constexpr std::uint8_t kLocalLabel = 18;
inline constexpr std::uint8_t kGlobalLabel = 19;
inline constexpr std::uint8_t kRegisterArgumentB = 23;
// Classes whose class byte is followed by a 4-byte primary value.
constexpr bool has_extra_word(std::uint8_t c) { return c == 5 || c == 21 || c == 22; }
// Classes the reader treats as arguments.
constexpr bool is_argument(std::uint8_t c) {
  return c == 2 || c == 5 || c == 7 || c == 14 || c == 15 || (c >= 20 && c <= 24);
}
}  // namespace sclass

// Base type codes (low 8 bits of a type word).
namespace base {
inline constexpr std::uint8_t kBool = 0x01;
inline constexpr std::uint8_t kSignedChar = 0x08;
inline constexpr std::uint8_t kChar = 0x09;
inline constexpr std::uint8_t kUnsignedChar = 0x0A;
inline constexpr std::uint8_t kCharBitField = 0x0B;
inline constexpr std::uint8_t kShort = 0x10;
inline constexpr std::uint8_t kUnsignedShort = 0x11;
inline constexpr std::uint8_t kShortBitField = 0x12;
inline constexpr std::uint8_t kInt = 0x18;
inline constexpr std::uint8_t kIntBitField = 0x19;
inline constexpr std::uint8_t kUnsignedInt = 0x1A;
inline constexpr std::uint8_t kLong = 0x20;
inline constexpr std::uint8_t kUnsignedLong = 0x21;
inline constexpr std::uint8_t kLongBitField = 0x22;
inline constexpr std::uint8_t kFloat = 0x28;
inline constexpr std::uint8_t kDouble = 0x29;
inline constexpr std::uint8_t kLongDouble = 0x2A;
inline constexpr std::uint8_t kShortFract = 0x2C;
inline constexpr std::uint8_t kLongFract = 0x2D;
inline constexpr std::uint8_t kPointer = 0x40;
inline constexpr std::uint8_t kArray = 0x41;
inline constexpr std::uint8_t kStruct = 0x48;
inline constexpr std::uint8_t kUnion = 0x49;
inline constexpr std::uint8_t kEnum = 0x4A;
inline constexpr std::uint8_t kCharEnum = 0x4B;
inline constexpr std::uint8_t kShortEnum = 0x4C;
inline constexpr std::uint8_t kIntEnum = 0x4D;
inline constexpr std::uint8_t kLongEnum = 0x4E;
inline constexpr std::uint8_t kVoid = 0x50;
inline constexpr std::uint8_t kLabel = 0x58;
constexpr bool is_bit_field(std::uint8_t b) {
  return b == kCharBitField || b == kShortBitField || b == kIntBitField || b == kLongBitField;
}
constexpr bool is_aggregate(std::uint8_t b) { return b >= kStruct && b <= kLongEnum; }
}  // namespace base

// ---------------------------------------------------------------- type words

enum class Derivation : std::uint8_t { kPointer = 1, kFunction = 2, kArray = 3 };

// One derivation of a type, outermost first; `word` is the pointer attribute
// or the array element count (unused for functions).
struct Derive {
  Derivation kind;
  std::uint32_t word = 0;
};

// Composes a type word from a base code and derivations listed from the top
// (the outermost first). At most 12 derivations fit; more is a caller error
// and the extra ones are dropped.
std::uint32_t make_type_word(std::uint8_t base_code, const std::vector<Derive>& derivations);

// The derivations of a type word, outermost first.
std::vector<Derivation> derivations_of(std::uint32_t type_word);

// A C type as an entry stores it: the type word, the descriptor words in file
// order, and (for struct, union and enum base codes) the aggregate whose
// member-list offset the writer appends as the last descriptor word.
struct TypeRef {
  std::uint32_t type_word = 0;
  std::vector<std::uint32_t> descriptor;
  int aggregate = -1;  // index into DebugModel::aggregates
};

// Builds a TypeRef in the order the reader consumes descriptor words:
// optional leading pointer attribute (only when the file has a companion
// pointer-attribute table), the bit-field or _Bool word, one word per pointer
// or array derivation, and the member list (via `aggregate`).
TypeRef make_type(std::uint8_t base_code, const std::vector<Derive>& derivations = {},
                  std::optional<std::uint32_t> bit_word = std::nullopt, int aggregate = -1,
                  std::optional<std::uint32_t> leading_attribute = std::nullopt);

// Bit-field description word: bit offset in the high byte, width in the low one.
constexpr std::uint32_t bit_field_word(unsigned offset, unsigned width) {
  return ((offset & 0xFFu) << 8) | (width & 0xFFu);
}
// _Bool description word: the bit number in bits 8..15; the low byte is 1 so
// that the word is never 0 (0 asks the reader to take the bit from the value).
constexpr std::uint32_t bool_word(unsigned bit) { return ((bit & 0xFFu) << 8) | 1u; }

// ---------------------------------------------------------------- .debug

// Low-level builder of the `.debug` section contents. Offset 0 is reserved (a
// zero word is written first) because 0 means "none" in every reference.
class DebugBuilder {
 public:
  DebugBuilder();

  std::uint32_t size() const { return static_cast<std::uint32_t>(bytes_.size()); }
  const Bytes& bytes() const { return bytes_; }

  std::uint32_t word(std::uint32_t v);            // 32-bit big-endian
  std::uint32_t type_word(std::uint32_t v);       // 32-bit little-endian
  std::uint32_t byte(std::uint8_t v);
  std::uint32_t string(std::string_view s);       // NUL-terminated
  // Name followed by its class byte, and for classes 5, 21, 22 the extra word.
  std::uint32_t tagged_string(std::string_view s, std::uint8_t class_byte,
                              std::optional<std::uint32_t> extra_word = std::nullopt);
  std::uint32_t words(const std::vector<std::uint32_t>& ws);  // 0 for an empty list
  void patch_word(std::uint32_t offset, std::uint32_t v);

 private:
  Bytes bytes_;
};

// One variable, argument, member, enumerator, typedef or label.
struct Entry {
  std::string name;
  std::uint8_t storage_class = sclass::kAuto;
  std::uint32_t value = 0;                    // as stored in the file
  std::optional<std::uint32_t> extra_word;    // classes 5, 21, 22
  TypeRef type;
};

struct Aggregate {
  std::string tag;  // empty: no tag name string
  std::vector<Entry> members;
  std::uint32_t size = 0;
};

struct DefineBlock {
  std::uint32_t count = 0;
  std::uint32_t argument_count = 0;
};

struct FunctionBlock {
  std::string name;  // empty: a nameless block (the file-level block)
  std::uint8_t storage_class = sclass::kExtern;
  std::uint32_t first_line = 0;
  std::uint32_t last_line = 0;
  TypeRef return_type;  // the function's type word is the return type
  std::vector<Entry> locals;
  std::optional<DefineBlock> defines;
};

struct Define {
  std::string name;
  std::string value;
};

struct FileBlock {
  std::string name;
  std::uint8_t unit_code = 140;                 // 139 and 141 mark XGATE units
  std::vector<FunctionBlock> functions;         // the last one is the file-level block
  std::vector<Define> defines;                  // value strings laid out in the file's region
  std::optional<std::array<std::uint16_t, 16>> pointer_table;  // companion table
};

struct DebugModel {
  std::vector<FileBlock> files;
  std::vector<Aggregate> aggregates;
};

// Where things landed in the emitted section.
struct DebugLayout {
  std::vector<std::uint32_t> file_offsets;                   // per file: its file block
  std::vector<std::vector<std::uint32_t>> define_offsets;    // per file, per define: value string
  std::vector<std::uint32_t> pointer_table_offsets;          // per file: 0 when none
  std::vector<std::uint32_t> aggregate_offsets;              // per aggregate: member list
};

struct EmittedDebug {
  Bytes bytes;
  DebugLayout layout;
};

// Lays out the whole `.debug` section. Each file's region starts with its file
// block and holds everything of that file (so define strings lie between the
// file's block and the next file's); member lists come after all files.
// Throws std::invalid_argument for an aggregate index out of range.
EmittedDebug emit_debug(const DebugModel& model);

// ---------------------------------------------------------------- object file

struct Section {
  std::string name;               // at most 14 characters are stored
  std::uint8_t attribute = 0;     // attribute byte, kept by the reader unread
  bool base_is_placement = false; // bit 7 of the name-length byte
  std::uint32_t placement = 0;    // where the contents go in target memory
  std::uint32_t base = 0;         // address the section's symbol values refer to
  Bytes contents;                 // written to the file when has_contents
  bool has_contents = true;       // false: file offset 0 (e.g. .bss)
  std::optional<std::uint32_t> size;         // defaults to contents.size()
  std::optional<std::uint32_t> file_offset;  // override (damaged files)
  std::optional<std::uint8_t> name_length;   // override of the 4-bit length

  std::uint32_t effective_size() const {
    return size ? *size : static_cast<std::uint32_t>(contents.size());
  }
};

struct Symbol {
  std::uint32_t value = 0;
  std::uint8_t flags = 0;
  std::uint8_t section = 0;  // 1-based; 0 absolute
  std::string name;          // at most 255 characters are stored
};

// Standard symbol flags written by the project's tools (the reader only tells
// 0 from non-zero and looks at bit 0).
namespace symflag {
inline constexpr std::uint8_t kDefined = 0x01;
inline constexpr std::uint8_t kGlobal = 0x10;
}  // namespace symflag

struct DebugRecord {
  std::uint32_t value = 0;
  std::uint8_t kind = 0;
  std::uint8_t section = 0;
  std::string text;
};

struct InitMarkerEntry {
  std::uint8_t section = 0;  // 1-based
  std::uint32_t placement = 0;
  std::uint32_t base = 0;
};

// Header fields that tests may force to wrong values.
struct HeaderOverrides {
  std::optional<std::uint8_t> section_count;
  std::optional<std::uint32_t> symbol_table_offset;
  std::optional<std::uint32_t> symbol_table_size;
  std::optional<std::uint32_t> debug_record_count;
  std::optional<std::uint32_t> debug_table_offset;
};

class ObjectFile {
 public:
  std::uint8_t magic = kMagic;
  std::vector<Section> sections;
  std::vector<Symbol> symbols;
  std::vector<DebugRecord> debug_records;
  std::vector<InitMarkerEntry> init_markers;  // non-empty: marker symbol written first
  HeaderOverrides overrides;

  // 1-based section number of the first section of that name, 0 when absent.
  std::uint8_t section_number(std::string_view name) const;

  // File layout: header, section table, init marker table, section contents
  // in table order, standard symbol table, debug symbol table.
  Bytes serialize() const;

  // Writes serialize() to a file; on failure returns false and sets *error.
  bool write(const std::string& path, std::string* error) const;
};

// Adds a `.debug` section built from `model` and the debug records that point
// into it (one 0x40 record per file, one 0x41 record per define, one companion
// record per pointer table), appended in that order to `file`. The caller adds
// its function, line and other records around them.
DebugLayout add_debug(ObjectFile& file, const DebugModel& model,
                      const std::string& define_prefix = "D#");

}  // namespace tav::x12
