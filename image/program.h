// A loaded program: what the loaders wrote into target memory, the segment
// list, the symbol table and the debug tables, the entry address, and the
// top-level load that ties the loaders and the table building together.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "image/banked_address.h"
#include "image/debug_tables.h"
#include "image/image_loaders.h"
#include "image/load_host.h"
#include "image/object_reader.h"
#include "image/segments.h"
#include "image/symbol_table.h"

namespace tav {

class Memory;

// What was loaded last; stays until the next load.
enum class ImageFormat : char {
  None = 0,
  SRecord = 'S',
  IntelHex = ':',
  Object = '4',
  Absolute = 'A',
};

struct LoadOptions {
  bool raw = false;           // load as a plain binary image whatever the file holds
  bool symbols_only = false;  // read symbols and debug information, write no code
  bool quiet = false;         // no section sizes and no entry-point report
  bool stay = false;          // stay at the entry point (do not run to the first C line)
  bool has_entry = false;     // an entry specification was given
  std::string entry;          // a number, or a name looked up with "_" in front
  AddressForm address_form = AddressForm::Auto;  // S-record and Hex addresses
  bool erased_flash = false;  // flash an S-record or Hex image covers reads 0xFF where it writes nothing
};

// Work that belongs to other parts of the debugger, called at the points of
// a load where it is due. Unset hooks are skipped.
struct ProgramHooks {
  std::function<void(std::string_view path, int phase)> load_notify;  // 0 before reading, 1 after success
  std::function<void()> reset_call_stack;
  std::function<void()> update_markers;  // events re-resolve their source positions
  std::function<bool()> reset_pending;   // the loader's pending-reset request
  std::function<std::uint32_t()> reset_cpu;  // resets the CPU; returns the PC from the reset vector
  std::function<void(std::uint32_t)> set_pc;  // default: the memory's WritePC
  std::function<void(const DebugRecord&)> show_source;
  // Runs from the entry point to the first C source line; false when it did not get there.
  std::function<bool(std::uint32_t entry, std::uint32_t* line_address)> run_to_first_line;
  // The function has a frame on the call stack (deact refuses it then).
  std::function<bool(const FunctionBlock&)> in_call_stack;
};

class Program {
 public:
  explicit Program(Memory& memory);
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  void set_host(LoadHost* host) { host_ = host ? host : &quiet_host_; }
  LoadHost& host() { return *host_; }
  ProgramHooks& hooks() { return hooks_; }
  Memory& memory() { return memory_; }

  SymbolTable& symbols() { return symbols_; }
  const SymbolTable& symbols() const { return symbols_; }
  DebugTables& tables() { return tables_; }
  const DebugTables& tables() const { return tables_; }
  const std::vector<SegmentRecord>& segments() const { return layout_.segments; }
  const std::vector<std::string>& section_names() const { return layout_.section_names; }
  std::vector<SectionInfo> section_list() const;
  ImageFormat format() const { return format_; }
  const std::string& file_name() const { return file_name_; }
  std::uint32_t entry_address() const { return entry_; }
  void set_entry_address(std::uint32_t address) { entry_ = address; }
  // The user's load option: symbols and debug information only, no code.
  bool load_symbols_only() const { return load_symbols_only_; }
  void set_load_symbols_only(bool on) { load_symbols_only_ = on; }
  // Address form and erased flash for the S-record and Hex loads that follow.
  void set_text_options(const TextLoadOptions& options) { text_options_ = options; }

  // The last load was abandoned on a fatal error (its message went to the host).
  bool abandoned() const { return abandoned_; }

  // Reads a file (object, S-record/Hex or binary) into memory, symbols and
  // debug records. 1 on success, 0 on failure. An object file stays in memory
  // for build_debug_info until release_file.
  int load_program(const std::string& path, bool raw, bool symbols_only, bool quiet = false);
  // The same over the contents of a file already read; `name` is kept as the file name.
  int load_bytes(const std::string& name, std::vector<std::uint8_t> bytes, bool raw, bool symbols_only,
                 bool quiet = false, bool read_failed = false);
  // Builds the debug tables of the object file just read, with the status texts of each phase.
  bool build_debug_info();
  void release_file();

  // The load command: load_program, the debug tables, the entry point and its
  // report, the program counter, and the run to the first C line. True on success.
  bool load(const std::string& path, const LoadOptions& options);

  // Forgets the program: loaded marks of memory blocks, the section kernel
  // variables, segments and debug tables.
  void unload();

 private:
  void clear_for_load();
  int load_object(bool symbols_only, bool quiet);
  void abandon(bool everything);
  bool determine_entry(const LoadOptions& options);

  Memory& memory_;
  LoadHost quiet_host_;
  LoadHost* host_ = &quiet_host_;
  ProgramHooks hooks_;
  SymbolTable symbols_;
  DebugTables tables_;
  ObjectLayout layout_;
  ImageFormat format_ = ImageFormat::None;
  std::string file_name_;
  std::vector<std::uint8_t> bytes_;  // the object file while its tables are built
  bool file_open_ = false;
  std::uint32_t entry_ = 0;
  std::optional<std::uint32_t> elf_entry_;
  TextLoadOptions text_options_;  // the entry point an ELF file names
  bool abandoned_ = false;
  bool load_symbols_only_ = false;
};

}  // namespace tav
