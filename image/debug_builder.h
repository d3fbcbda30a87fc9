// Builds the debug tables from the records the object reader kept and the
// .debug section: file entries, function blocks with their locals and types,
// the consistency check, and the defines.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "image/byte_view.h"
#include "image/debug_tables.h"
#include "image/load_host.h"

namespace tav {

struct DebugBuildOptions {
  char format = '4';           // format indicator: locals are read from object files only
  bool no_duplicate_files = false;
};

class DebugBuilder {
 public:
  DebugBuilder(DebugTables& tables, ByteView file, std::uint32_t debug_base, LoadHost& host,
               DebugBuildOptions options);

  // The phases of the build, in the order the loader runs them.
  LoadResult build_files();     // files, functions, locals, types, descriptions
  LoadResult check_consistency();
  LoadResult build_defines();   // also builds the lookup indexes

 private:
  std::uint64_t at(std::uint64_t offset) const { return std::uint64_t{base_} + offset; }
  std::uint32_t word(std::uint64_t offset) const { return file_.be32(at(offset)); }
  std::string_view text(std::uint64_t offset) const { return file_.text(at(offset)); }

  LoadResult read_file_block(const DebugRecord& r);
  FileEntry* new_file(std::string_view name);
  FunctionBlock* new_function(FileEntry* file);
  DebugRecord* find_start(std::string_view file, std::string_view function);
  DebugRecord* end_after(const DebugRecord* start) const;
  LoadResult read_function(std::uint32_t offset, FileEntry* file, bool file_level, FunctionBlock** out);
  // Reads a 16-byte entry array up to its zero entry; returns the zero entry's offset.
  std::uint64_t read_entries(std::uint64_t offset, FunctionBlock* owner, std::vector<SymbolEntry>& out, int depth);
  void read_entry(std::uint64_t offset, FunctionBlock* owner, SymbolEntry& e, int depth);
  void read_descriptor(std::uint32_t offset, SymbolEntry& e, FunctionBlock* owner, int depth);
  AggregateRecord* read_aggregate(std::uint32_t offset, FunctionBlock* owner, int depth);
  void arrange_locals(FunctionBlock& f);
  LoadResult describe(FunctionBlock& f);
  bool type_text(const SymbolEntry& e, std::string& out) const;
  LoadResult fatal(std::string text);
  LoadResult mismatch();

  DebugTables& t_;
  ByteView file_;
  std::uint32_t base_;
  LoadHost& host_;
  DebugBuildOptions options_;

  bool companion_active_ = false;
  std::array<std::uint32_t, 16> companion_{};
  std::unordered_map<std::uint32_t, AggregateRecord*> aggregate_by_offset_;
  // Start records by "file~function", in list order, for matching function blocks.
  std::unordered_map<std::string, std::vector<DebugRecord*>> starts_;
  std::vector<std::pair<const DebugRecord*, FileEntry*>> file_of_record_;  // null: a dropped duplicate
  std::vector<std::uint32_t> next_end_;  // per record: index of the first end record after it
  std::size_t entry_budget_ = 0;
};

}  // namespace tav
