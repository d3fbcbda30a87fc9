#include "image/elf/elf_file.h"

#include <fstream>
#include <iterator>

namespace tav::elf {

namespace {
constexpr std::uint16_t kMachine68HC12 = 53;
constexpr std::uint16_t kMachine68HC11 = 70;
constexpr std::uint32_t kSymtab = 2, kLoad = 1;
}  // namespace

std::uint32_t ElfFile::u32(std::size_t at) const {
  if (at + 4 > image_.size()) throw ElfError("truncated ELF file");
  return (std::uint32_t{image_[at]} << 24) | (std::uint32_t{image_[at + 1]} << 16) |
         (std::uint32_t{image_[at + 2]} << 8) | image_[at + 3];
}

std::uint16_t ElfFile::u16(std::size_t at) const {
  if (at + 2 > image_.size()) throw ElfError("truncated ELF file");
  return static_cast<std::uint16_t>((image_[at] << 8) | image_[at + 1]);
}

std::string ElfFile::cstring(std::size_t table, std::size_t size, std::uint32_t at) const {
  if (at >= size) throw ElfError("string offset outside its table");
  std::string s;
  for (std::size_t i = table + at; i < table + size; ++i) {
    if (image_[i] == 0) return s;
    s.push_back(static_cast<char>(image_[i]));
  }
  throw ElfError("unterminated string in ELF string table");
}

ElfFile::ElfFile(std::vector<std::uint8_t> image) : image_(std::move(image)) {
  if (image_.size() < 52 || image_[0] != 0x7F || image_[1] != 'E' || image_[2] != 'L' || image_[3] != 'F')
    throw ElfError("not an ELF file");
  if (image_[4] != 1 || image_[5] != 2) throw ElfError("not a 32-bit big-endian ELF file");
  std::uint16_t machine = u16(18);
  if (machine != kMachine68HC12 && machine != kMachine68HC11)
    throw ElfError("not a 68HC11/68HC12 ELF file (machine " + std::to_string(machine) + ")");
  entry_ = u32(24);
  std::uint32_t phoff = u32(28), shoff = u32(32);
  std::uint16_t phentsize = u16(42), phnum = u16(44), shentsize = u16(46), shnum = u16(48), shstrndx = u16(50);
  if (shnum == 0) throw ElfError("ELF file has no section headers");
  if (shentsize < 40 || (phnum && phentsize < 32)) throw ElfError("bad ELF header entry sizes");
  if (static_cast<std::uint64_t>(shoff) + std::uint64_t{shnum} * shentsize > image_.size() ||
      static_cast<std::uint64_t>(phoff) + std::uint64_t{phnum} * phentsize > image_.size())
    throw ElfError("ELF header tables lie outside the file");
  if (shstrndx >= shnum) throw ElfError("bad section name table index");

  struct Raw { std::uint32_t name, type, flags, addr, offset, size, link; };
  std::vector<Raw> raw;
  for (std::uint16_t i = 0; i < shnum; ++i) {
    std::size_t h = shoff + std::size_t{i} * shentsize;
    raw.push_back({u32(h), u32(h + 4), u32(h + 8), u32(h + 12), u32(h + 16), u32(h + 20), u32(h + 24)});
    if (raw.back().type != 8 && raw.back().type != 0 &&
        static_cast<std::uint64_t>(raw.back().offset) + raw.back().size > image_.size())
      throw ElfError("section contents lie outside the file");
  }
  const Raw& names = raw[shstrndx];

  struct Segment { std::uint32_t vaddr, paddr, memsz; };
  std::vector<Segment> loads;
  for (std::uint16_t i = 0; i < phnum; ++i) {
    std::size_t h = phoff + std::size_t{i} * phentsize;
    if (u32(h) == kLoad) loads.push_back({u32(h + 8), u32(h + 12), u32(h + 20)});
  }

  for (const Raw& r : raw) {
    ElfSection s;
    s.name = cstring(names.offset, names.size, r.name);
    s.type = r.type;
    s.flags = r.flags;
    s.address = r.addr;
    s.load_address = r.addr;
    s.offset = r.offset;
    s.size = r.size;
    // The load address comes from the program header that holds the section.
    for (const Segment& g : loads)
      if (s.allocated() && r.addr >= g.vaddr && r.addr + r.size <= g.vaddr + g.memsz && r.size) {
        s.load_address = g.paddr + (r.addr - g.vaddr);
        break;
      }
    sections_.push_back(std::move(s));
  }

  for (const Raw& r : raw) {
    if (r.type != kSymtab) continue;
    if (r.link >= raw.size()) throw ElfError("symbol table without a string table");
    const Raw& strings = raw[r.link];
    std::string object;
    for (std::uint32_t at = r.offset + 16; at + 16 <= r.offset + r.size; at += 16) {
      ElfSymbol sym;
      sym.name = cstring(strings.offset, strings.size, u32(at));
      sym.value = u32(at + 4);
      sym.size = u32(at + 8);
      sym.type = image_[at + 12] & 0x0F;
      sym.binding = image_[at + 12] >> 4;
      sym.section = u16(at + 14);
      if (sym.type == 4) object = sym.name;  // STT_FILE starts an input file's locals
      else if (sym.binding == 0) sym.object = object;
      symbols_.push_back(std::move(sym));
    }
  }
}

ElfFile ElfFile::load(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw ElfError("cannot open " + path);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return ElfFile(std::move(bytes));
}

const ElfSection* ElfFile::find_section(const std::string& name) const {
  for (const ElfSection& s : sections_)
    if (s.name == name) return &s;
  return nullptr;
}

std::optional<ElfSymbol> ElfFile::find_symbol(const std::string& name, const std::string& object) const {
  auto from = [&](const ElfSymbol& s) {
    return s.object == object ||
           (s.object.size() > object.size() && s.object.compare(s.object.size() - object.size(), object.size(), object) == 0 &&
            s.object[s.object.size() - object.size() - 1] == '/');
  };
  std::optional<ElfSymbol> global, local;
  int locals = 0;
  for (const ElfSymbol& s : symbols_) {
    if (s.name != name || s.section == 0 || s.type == 4) continue;
    if (s.binding != 0) {
      if (!global) global = s;
    } else if (!object.empty()) {
      if (from(s)) return s;
    } else if (!local || local->value != s.value) {
      local = s;
      ++locals;
    }
  }
  if (global) return global;
  if (locals > 1) throw ElfError("symbol " + name + " is defined in several input files; name the file's object");
  return local;
}

std::vector<std::uint8_t> ElfFile::contents(const ElfSection& s) const {
  if (!s.has_bits()) return {};
  return {image_.begin() + s.offset, image_.begin() + s.offset + s.size};
}

}  // namespace tav::elf
