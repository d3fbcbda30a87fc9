// Reads an object file: header, sections (their contents into target memory),
// the linker's symbols, and the debug symbol records with their clean-up.
// The .debug section itself is read later, by the table builder.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/byte_view.h"
#include "image/debug_record.h"
#include "image/load_host.h"
#include "image/segments.h"

namespace tav {

class DebugTables;
class Memory;
class SymbolTable;

// What the object reader leaves behind besides memory, symbols and records.
struct ObjectLayout {
  std::vector<SegmentRecord> segments;     // ascending placement address
  std::vector<std::string> section_names;  // every section, in file order
  std::vector<std::int32_t> deltas;        // placement minus symbol base, per section
  std::vector<std::pair<std::uint32_t, std::uint8_t>> side_symbols;  // flags-0 symbols: value, section
  bool has_debug = false;
  std::uint32_t debug_base = 0;  // file offset of the .debug contents
  std::uint32_t debug_size = 0;
};

class ObjectReader {
 public:
  ObjectReader(ByteView file, Memory& memory, SymbolTable& symbols, DebugTables& tables, ObjectLayout& layout,
               LoadHost& host, bool symbols_only, bool quiet);
  LoadResult read();

 private:
  struct Section;
  LoadResult read_sections();
  LoadResult read_init_marker();
  LoadResult copy_section(const Section& s);
  void report_totals();
  LoadResult read_symbols();
  LoadResult read_debug_records();
  void order_main_list(std::vector<DebugRecord>& list);
  LoadResult clean_up();
  LoadResult fatal(std::string text);

  ByteView file_;
  Memory& memory_;
  SymbolTable& symbols_;
  DebugTables& tables_;
  ObjectLayout& layout_;
  LoadHost& host_;
  bool symbols_only_;
  bool quiet_;

  std::uint8_t section_count_ = 0;
  std::uint32_t symtab_offset_ = 0;
  std::uint32_t symtab_size_ = 0;
  std::uint32_t debug_count_ = 0;
  std::uint32_t debug_offset_ = 0;
  bool marker_ = false;
  struct MarkerEntry {
    std::uint8_t section;
    std::uint32_t placement;
    std::uint32_t base;
  };
  std::vector<MarkerEntry> markers_;
  bool all_sections_loaded_ = true;
};

// "read error" followed by the phase that fell short.
std::string read_error_text(std::string_view phase);

}  // namespace tav
