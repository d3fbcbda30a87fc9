#include <algorithm>
#include <cstring>
#include <vector>

#include "image/image_loaders.h"
#include "image/symbol_table.h"
#include "sim/memory.h"
#include "support/fmt.h"

namespace tav {

namespace {

// Reads the line starting at `pos` the way a 512-byte line buffer does: up to
// and including a line feed, at most 511 characters.
std::string_view next_line(ByteView file, std::size_t& pos) {
  const std::size_t avail = std::min(file.size() - pos, kTextLineMax);
  const char* begin = reinterpret_cast<const char*>(file.data(pos));
  const auto* nl = static_cast<const char*>(std::memchr(begin, '\n', avail));
  const std::size_t n = nl ? static_cast<std::size_t>(nl - begin) + 1 : avail;
  pos += n;
  return {begin, n};
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// `digits` hex digits at `at`; false when the line ends or a digit is not hex.
bool hex_field(std::string_view line, std::size_t at, int digits, std::uint32_t& out) {
  std::uint32_t v = 0;
  for (int i = 0; i < digits; ++i) {
    if (at + static_cast<std::size_t>(i) >= line.size()) return false;
    const int d = hex_digit(line[at + static_cast<std::size_t>(i)]);
    if (d < 0) return false;
    v = v << 4 | static_cast<std::uint32_t>(d);
  }
  out = v;
  return true;
}

// Writes the hex pairs from `at` on; a line that ends early gives fewer bytes.
void write_data(std::string_view line, std::size_t at, std::int64_t count, std::uint32_t address, Memory& memory,
                AddressForm form) {
  for (std::int64_t k = 0; k < count; ++k) {
    std::uint32_t byte = 0;
    if (!hex_field(line, at + static_cast<std::size_t>(k) * 2, 2, byte)) return;
    const std::uint32_t at_global = image_to_global(address + static_cast<std::uint32_t>(k), form);
    memory.WriteByte(at_global, static_cast<std::uint8_t>(byte));
    // A block the previous program loaded counts as loaded again.
    memory.set_block_state(at_global, Memory::New);
  }
}

struct DataRecord {
  std::uint32_t address = 0, count = 0;
  int width = 4;  // address digits
};

// An Intel Hex extended address record (02: segment, 04: upper 16 bits)
// sets the base that later data record addresses are added to.
bool hex_base(std::string_view line, std::uint32_t type, std::uint32_t& base) {
  std::uint32_t value = 0;
  if (type != 2 && type != 4) return false;
  if (hex_field(line, 9, 4, value)) base = type == 2 ? value << 4 : value << 16;
  return true;
}

// The data records' addresses, for choosing the form and erasing flash.
std::vector<DataRecord> scan_data(ByteView file) {
  std::vector<DataRecord> out;
  std::uint32_t base = 0;  // Intel Hex extended address
  for (std::size_t pos = 0; pos < file.size();) {
    const std::string_view line = next_line(file, pos);
    DataRecord r;
    if (line.size() > 1 && line[0] == 'S' && line[1] >= '1' && line[1] <= '3') {
      r.width = (line[1] - '0' + 1) * 2;
      if (!hex_field(line, 2, 2, r.count) || !hex_field(line, 4, r.width, r.address)) continue;
      const std::uint32_t overhead = static_cast<std::uint32_t>(line[1] - '0') + 2;
      r.count = r.count > overhead ? r.count - overhead : 0;
      out.push_back(r);
    } else if (line.size() > 8 && line[0] == ':') {
      std::uint32_t type = 0;
      if (!hex_field(line, 7, 2, type) || !hex_field(line, 1, 2, r.count) || !hex_field(line, 3, 4, r.address))
        continue;
      if (hex_base(line, type, base)) continue;
      if (line[8] != '0') break;
      r.address += base;
      r.width = base ? 8 : 4;
      out.push_back(r);
    }
  }
  return out;
}

AddressForm choose_form(const std::vector<DataRecord>& records) {
  bool narrow = !records.empty(), vectors = false;
  for (const DataRecord& r : records) {
    if (r.address > 0x7FFFFF && banked_window_to_global(r.address)) return AddressForm::Banked;
    narrow = narrow && r.width == 4;
    vectors = vectors || (r.address <= 0xFFFE && r.address + r.count > 0xFFFE);
  }
  return narrow && vectors ? AddressForm::Local : AddressForm::Global;
}

// Flash sectors (1 KB) that the image writes to read as erased flash.
void erase_flash(const std::vector<DataRecord>& records, AddressForm form, Memory& memory) {
  constexpr std::uint32_t kSector = 0x400;
  std::vector<std::uint32_t> sectors;
  for (const DataRecord& r : records)
    for (std::uint32_t k = 0; k < r.count && k < 256; ++k) {
      const std::uint32_t g = image_to_global(r.address + k, form);
      if (is_global_flash(g)) sectors.push_back(g / kSector);
    }
  std::sort(sectors.begin(), sectors.end());
  sectors.erase(std::unique(sectors.begin(), sectors.end()), sectors.end());
  for (std::uint32_t s : sectors)
    for (std::uint32_t a = s * kSector; a < (s + 1) * kSector; ++a) memory.WriteByte(a, 0xFF);
}

const char* form_text(AddressForm form) {
  return form == AddressForm::Banked ? "addresses: banked (page:window) converted to global\n"
                                     : "addresses: local (16-bit) converted to global\n";
}

}  // namespace

LoadResult load_text_records(ByteView file, Memory& memory, SymbolTable& symbols, LoadHost& host, char* format,
                             const TextLoadOptions& options) {
  AddressForm form = options.form;
  if (form == AddressForm::Auto || options.erased_flash) {
    const std::vector<DataRecord> records = scan_data(file);
    if (form == AddressForm::Auto) form = choose_form(records);
    if (options.erased_flash) erase_flash(records, form, memory);
  }
  if (form != AddressForm::Global && form != AddressForm::Auto) host.output(form_text(form));
  // The entry of the end record: 16 bits are a CPU12 address, unless the
  // user asked for global addresses.
  auto entry = [&](std::uint32_t a, int width) {
    if (options.form == AddressForm::Global) return a;
    if (width == 4 || a < 0x10000) return local_to_global(a & 0xFFFF);
    return image_to_global(a, form);
  };
  std::uint32_t lines = 0;
  for (std::size_t pos = 0; pos < file.size(); ++lines) next_line(file, pos);
  host.progress("Memory Records", lines);
  std::uint32_t hex_address_base = 0, hex_entry = 0;
  int hex_entry_width = 0;  // 0: no start address record

  for (std::size_t pos = 0; pos < file.size();) {
    if (host.stop_requested()) return LoadResult::Stopped;
    host.step();
    const std::string_view line = next_line(file, pos);
    const char lead = line.empty() ? '\0' : line[0];
    if (lead == '$') continue;
    if (lead == 'S') {
      const char type = line.size() > 1 ? line[1] : '\0';
      const int width = (type == '3' || type == '7') ? 8 : (type == '2' || type == '8') ? 6 : 4;
      std::uint32_t count = 0, address = 0;
      hex_field(line, 2, 2, count);
      hex_field(line, 4, width, address);
      if (type == '7' || type == '8' || type == '9') {
        address = entry(address, width);
        symbols.define_symbol(".text", address);
        host.output(fmtstr("T: 0x%hl\n", address));
        *format = 'S';
        return LoadResult::Ok;
      }
      if (type >= '1' && type <= '3') {
        if (!*format) *format = 'S';
        write_data(line, 4 + static_cast<std::size_t>(width), std::int64_t{count} - (type - '0' + 2), address, memory,
                   form);
      }
      continue;
    }
    if (lead == ':') {
      std::uint32_t count = 0, address = 0, type = 1, value = 0;
      hex_field(line, 1, 2, count);
      hex_field(line, 3, 4, address);
      hex_field(line, 7, 2, type);
      if (hex_base(line, type, hex_address_base)) continue;
      if ((type == 3 || type == 5) && hex_field(line, 9, 8, value)) {
        // Start address: CS:IP (03) or a linear address (05); the end record gives it.
        hex_entry = type == 3 ? (value >> 16) * 16 + (value & 0xFFFF) : value;
        hex_entry_width = hex_entry > 0xFFFF ? 8 : 4;
        continue;
      }
      if (line.size() <= 8 || line[8] != '0') {
        if (hex_entry_width) address = entry(hex_entry, hex_entry_width);
        symbols.define_symbol(".text", address);
        host.output(fmtstr("T: 0x%hl\n", address));
        *format = ':';
        return LoadResult::Ok;
      }
      if (!*format) *format = ':';
      write_data(line, 9, count, hex_address_base + address, memory, form);
      continue;
    }
    host.error("read error S-record/Hex");
    return LoadResult::Fatal;
  }
  return LoadResult::Ok;
}

LoadResult load_binary_image(ByteView file, bool read_failed, Memory& memory, SymbolTable& symbols, LoadHost& host) {
  std::uint32_t address = 0;
  std::size_t pos = 0;
  host.progress("Memory Blocks", static_cast<std::uint32_t>((file.size() + Memory::kBlockSize - 1) / Memory::kBlockSize));
  while (pos < file.size()) {
    if (host.stop_requested()) return LoadResult::Stopped;
    std::uint8_t* block = memory.block_data(address);
    if (!block) break;  // the store reported that it is full
    const std::uint32_t within = address & (Memory::kBlockSize - 1);
    const std::size_t count = std::min<std::size_t>(Memory::kBlockSize - within, file.size() - pos);
    std::memcpy(block + within, file.data(pos), count);
    memory.set_block_state(address, Memory::New);
    address += static_cast<std::uint32_t>(count);
    pos += count;
    host.step();
  }
  if (read_failed) host.error("read error absolu\n");
  host.output(fmtstr("A: 0x%hl(%l)\n", 0, address));
  symbols.define_symbol(".text", 0);
  symbols.define_symbol(".tsize", address);
  return LoadResult::Ok;
}

}  // namespace tav
