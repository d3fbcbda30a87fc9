#include "image/program.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "image/debug_builder.h"
#include "image/elf/elf_program.h"
#include "image/image_loaders.h"
#include "sim/memory.h"
#include "support/fmt.h"
#include "support/messages.h"
#include "support/numconv.h"

namespace tav {

namespace {

// The largest file a load reads: four times the 24-bit global address
// space leaves room for text records and debug information around a full
// image, and keeps a wrong name (a disk image, a device) from filling memory.
constexpr std::uint64_t kMaxLoadFile = std::uint64_t{4} << 24;

enum class ReadEnd { Ok, CannotOpen, NotAFile, TooLarge, Stopped };

// The whole file; `failed` tells that reading stopped before its end. Only
// regular files are read: a FIFO or a device could block or never end.
ReadEnd read_file(const std::string& path, std::vector<std::uint8_t>& out, bool& failed, LoadHost& host) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return ReadEnd::CannotOpen;
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) return ReadEnd::CannotOpen;
  if (!S_ISREG(st.st_mode)) return ReadEnd::NotAFile;
  if (static_cast<std::uint64_t>(st.st_size) > kMaxLoadFile) return ReadEnd::TooLarge;
  out.clear();
  const auto size = static_cast<std::uint64_t>(st.st_size);
  out.reserve(static_cast<std::size_t>(size));
  std::uint8_t buffer[1 << 16];
  for (bool more = false;; more = true) {
    // Between blocks of a large file the stop request is honoured (a file of
    // one block is read without asking: the loaders poll it per record).
    if (more && host.stop_requested()) return ReadEnd::Stopped;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      failed = true;
      break;
    }
    if (n == 0) break;
    if (out.size() + static_cast<std::size_t>(n) > kMaxLoadFile) return ReadEnd::TooLarge;  // it grew meanwhile
    out.insert(out.end(), buffer, buffer + n);
    if (static_cast<std::size_t>(n) < sizeof buffer && out.size() >= static_cast<std::size_t>(size)) break;
  }
  return ReadEnd::Ok;
}

std::string address_text(std::uint32_t address) { return fmtstr("0x%hl", address); }

}  // namespace

Program::Program(Memory& memory) : memory_(memory) {}

std::vector<SectionInfo> Program::section_list() const {
  std::vector<SectionInfo> out;
  for (const SegmentRecord& s : layout_.segments) {
    SectionInfo info;
    info.flags = static_cast<std::uint8_t>(((s.attribute & 0x80u) ? 1u : 0u) | (s.base != s.placement ? 2u : 0u));
    info.placement = s.placement;
    info.size = s.size;
    std::memcpy(info.name.data(), s.name.data(), std::min<std::size_t>(s.name.size(), info.name.size() - 1));
    out.push_back(info);
  }
  return out;
}

void Program::clear_for_load() {
  symbols_.clear_program_symbols();
  layout_ = ObjectLayout{};
  tables_.clear();
  memory_.clear_loaded_state();
  format_ = ImageFormat::None;
  release_file();
  if (hooks_.reset_call_stack) hooks_.reset_call_stack();
}

void Program::release_file() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  file_open_ = false;
}

void Program::abandon(bool everything) {
  abandoned_ = true;
  tables_.clear();
  if (everything) {
    symbols_.clear_program_symbols();
    layout_ = ObjectLayout{};
  }
  release_file();
}

int Program::load_program(const std::string& path, bool raw, bool symbols_only, bool quiet) {
  std::vector<std::uint8_t> bytes;
  bool read_failed = false;
  const ReadEnd read = read_file(path, bytes, read_failed, *host_);
  if (read == ReadEnd::CannotOpen) {
    abandoned_ = false;
    clear_for_load();
    file_name_ = path;
    host_->error("can't open: " + path);
    return 0;
  }
  // Refused before anything was read, or stopped while reading: the program
  // loaded before stays as it was.
  if (read == ReadEnd::NotAFile) host_->error("not a regular file: " + path);
  if (read == ReadEnd::TooLarge) host_->error("file too large: " + path);
  if (read != ReadEnd::Ok) return 0;
  return load_bytes(path, std::move(bytes), raw, symbols_only, quiet, read_failed);
}

int Program::load_object(bool symbols_only, bool quiet) {
  const ByteView view(bytes_);
  format_ = ImageFormat::Object;
  ObjectReader reader(view, memory_, symbols_, tables_, layout_, *host_, symbols_only, quiet);
  const LoadResult r = reader.read();
  switch (r) {
    case LoadResult::Ok:
      file_open_ = true;
      return 1;
    case LoadResult::Fatal:
      abandon(true);
      return 0;
    case LoadResult::Stopped:  // what was read stays, but no half-built debug information
      tables_.clear();
      release_file();
      return 0;
    case LoadResult::Failed:
      tables_.clear();
      release_file();
      return 0;
  }
  return 0;
}

int Program::load_bytes(const std::string& path, std::vector<std::uint8_t> bytes, bool raw, bool symbols_only,
                        bool quiet, bool read_failed) {
  abandoned_ = false;
  clear_for_load();
  elf_entry_.reset();
  file_name_ = path;
  bytes_ = std::move(bytes);
  if (hooks_.load_notify) hooks_.load_notify(path, 0);
  const ByteView view(bytes_);
  const int first = (!raw && !bytes_.empty()) ? bytes_[0] : -1;

  if (first == 'S' || first == ':') {
    char format = 0;
    const LoadResult r = load_text_records(view, memory_, symbols_, *host_, &format, text_options_);
    format_ = static_cast<ImageFormat>(format ? format : first);
    release_file();
    if (r == LoadResult::Fatal) abandoned_ = true;
    return r == LoadResult::Ok ? 1 : 0;
  }
  if (first == 0x7F && elf::is_elf(bytes_)) {
    // An ELF file is read as the object file it converts to.
    try {
      elf::ElfProgram converted = elf::convert_elf(std::move(bytes_));
      for (const std::string& w : converted.warnings) host_->output("warning: " + w + "\n");
      bytes_ = std::move(converted.object);
      elf_entry_ = converted.entry;
    } catch (const std::exception& e) {
      host_->error("ELF file " + path + ": " + e.what() + "\n");
      release_file();
      return 0;
    }
    return load_object(symbols_only, quiet);
  }
  if (first == 0x9D || first == 0xC2 || first == 0xC3) {
    host_->error("Unsupported Old V3 format ");
    release_file();
    return 0;
  }
  if (first == 0xCC || first == 0xCD) return load_object(symbols_only, quiet);
  const LoadResult r = load_binary_image(view, read_failed, memory_, symbols_, *host_);
  format_ = ImageFormat::Absolute;
  entry_ = 0;
  release_file();
  return r == LoadResult::Ok ? 1 : 0;
}

bool Program::build_debug_info() {
  if (format_ != ImageFormat::Object || !file_open_) return true;
  DebugBuildOptions options;
  options.format = static_cast<char>(format_);
  options.no_duplicate_files = host_->no_duplicate_files();
  DebugBuilder builder(tables_, ByteView(bytes_), layout_.debug_base, *host_, options);
  host_->status(" Building debug info");
  LoadResult r = builder.build_files();
  if (r == LoadResult::Ok) {
    host_->status("Checking Consistency");
    r = builder.check_consistency();
  }
  if (r == LoadResult::Ok) {
    host_->status("Updating Markers");
    if (hooks_.update_markers) hooks_.update_markers();
    host_->status("Building define info");
    r = builder.build_defines();
  }
  if (r != LoadResult::Ok) {
    if (r == LoadResult::Fatal)
      abandon(false);
    else
      tables_.clear();
    return false;
  }
  return true;
}

bool Program::load(const std::string& path, const LoadOptions& options) {
  host_->status("Loading... Please Wait");
  text_options_ = {options.address_form, options.erased_flash};
  bool ok = load_program(path, options.raw, options.symbols_only, options.quiet) == 1;
  text_options_ = {};
  if (ok) ok = build_debug_info();
  release_file();
  host_->refresh_views();
  if (!ok) return false;
  if (hooks_.load_notify) hooks_.load_notify(path, 1);
  if (!determine_entry(options)) return false;
  if (hooks_.set_pc)
    hooks_.set_pc(entry_);
  else
    memory_.WritePC(entry_);
  if (const DebugRecord* r = tables_.record_at(entry_)) {
    if (hooks_.show_source) hooks_.show_source(*r);
  } else if (!tables_.empty() && !options.stay && hooks_.run_to_first_line) {
    host_->status("Running");
    std::uint32_t line = 0;
    if (hooks_.run_to_first_line(entry_, &line)) host_->output("first C line at " + address_text(line) + "\n");
  }
  if (tables_.empty()) host_->output("no debug symbol table\n");
  return true;
}

bool Program::determine_entry(const LoadOptions& options) {
  const std::string at = msgtext(msg::entry_point_at);
  if (options.has_entry) {
    const std::string& spec = options.entry;
    std::uint32_t value = 0;
    const int length = static_cast<int>(spec.size());
    if (length > 0 && numscan32(spec.c_str(), length, &value, 1) == length) {
      entry_ = value;
      if (!options.quiet) {
        std::string line = at + " " + address_text(value);
        if (const ProgramSymbol* s = symbols_.find_exact(value, "_")) line += " (" + s->name + ")";
        host_->output(line + "\n");
      }
      return true;
    }
    if (const ProgramSymbol* s = symbols_.rensym("_" + spec)) {
      entry_ = s->value();
      if (!options.quiet) host_->output(at + " " + spec + " (" + address_text(entry_) + ")\n");
      return true;
    }
    host_->error(msgtext(msg::invalid_entry_point) + ": " + spec + "\n");
    return false;
  }
  bool found = false;
  if (hooks_.reset_pending && hooks_.reset_pending()) {
    entry_ = hooks_.reset_cpu ? hooks_.reset_cpu() : 0;
    found = true;
  } else if (elf_entry_) {
    entry_ = *elf_entry_;
    found = true;
  } else {
    for (const char* name : {"__stext", "__text", ".text"}) {
      if (const ProgramSymbol* s = symbols_.rensym(name)) {
        entry_ = s->value();
        found = true;
        break;
      }
    }
  }
  if (!found) {
    entry_ = 0;
    host_->error("Cannot Find entry Point. Set PC to entry point");
    return true;
  }
  if (!options.quiet) host_->output(at + " " + address_text(entry_) + "\n");
  return true;
}

void Program::unload() {
  memory_.clear_loaded_state();
  for (const char* name : {".text", ".tsize", ".data", ".dsize", ".bss", ".bsize"}) symbols_.remove_symbol(name);
  tables_.clear();
  layout_ = ObjectLayout{};
  release_file();
}

}  // namespace tav
