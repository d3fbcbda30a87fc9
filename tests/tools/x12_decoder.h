// A small decoder of ".x12" object files written for the tests only, so that
// the writer is checked against an independent reading of the layout.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace x12test {

using Bytes = std::vector<std::uint8_t>;

inline std::uint32_t be32(const Bytes& b, std::size_t at) {
  if (at + 4 > b.size()) throw std::out_of_range("be32 past the end");
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

inline std::uint32_t le32(const Bytes& b, std::size_t at) {
  if (at + 4 > b.size()) throw std::out_of_range("le32 past the end");
  return (std::uint32_t{b[at + 3]} << 24) | (std::uint32_t{b[at + 2]} << 16) | (std::uint32_t{b[at + 1]} << 8) | b[at];
}

inline std::string cstr(const Bytes& b, std::size_t at) {
  std::string s;
  while (true) {
    if (at >= b.size()) throw std::out_of_range("unterminated string");
    if (b[at] == 0) return s;
    s.push_back(static_cast<char>(b[at++]));
  }
}

struct Section {
  std::uint8_t attribute, length_byte;
  std::string name;
  std::uint32_t file_offset, size, placement, base;
};

struct Record {  // standard symbol or debug symbol record
  std::uint32_t value;
  std::uint8_t flags_or_kind, section;
  std::string text;
};

struct Decoded {
  Bytes file;
  std::uint8_t magic = 0, section_count = 0;
  std::uint32_t symbol_offset = 0, symbol_size = 0, record_count = 0, record_offset = 0;
  std::vector<Section> sections;
  std::vector<Record> symbols;
  std::vector<Record> records;
  Bytes debug;  // contents of the .debug section

  const Section* section(const std::string& name) const {
    for (const Section& s : sections)
      if (s.name == name) return &s;
    return nullptr;
  }
  std::vector<Record> records_of_kind(std::uint8_t kind) const {
    std::vector<Record> out;
    for (const Record& r : records)
      if (r.flags_or_kind == kind) out.push_back(r);
    return out;
  }
  // The address a reader ends up with: value plus the delta of its section.
  std::uint32_t relocated(const Record& r) const {
    if (r.section == 0) return r.value;
    const Section& s = sections.at(r.section - 1u);
    return r.value + (s.placement - s.base);
  }
};

inline Record read_record(const Bytes& b, std::size_t& at) {
  Record r{be32(b, at), b.at(at + 4), b.at(at + 5), {}};
  std::size_t n = b.at(at + 6);
  if (at + 7 + n > b.size()) throw std::out_of_range("record text past the end");
  r.text.assign(b.begin() + static_cast<std::ptrdiff_t>(at + 7), b.begin() + static_cast<std::ptrdiff_t>(at + 7 + n));
  at += 7 + n;
  return r;
}

inline Decoded decode(const Bytes& file) {
  Decoded d;
  d.file = file;
  d.magic = file.at(0);
  d.section_count = file.at(3);
  d.symbol_offset = be32(file, 8);
  d.symbol_size = be32(file, 12);
  d.record_count = be32(file, 16);
  d.record_offset = be32(file, 20);
  for (std::size_t i = 0; i < d.section_count; ++i) {
    std::size_t e = 28 + 40 * i;
    Section s{file.at(e), file.at(e + 1), {}, be32(file, e + 16), be32(file, e + 20), be32(file, e + 32), be32(file, e + 36)};
    s.name.assign(file.begin() + static_cast<std::ptrdiff_t>(e + 2),
                  file.begin() + static_cast<std::ptrdiff_t>(e + 2 + (s.length_byte & 0x0F)));
    d.sections.push_back(s);
    if (s.name == ".debug" && s.file_offset)
      d.debug.assign(file.begin() + s.file_offset, file.begin() + s.file_offset + s.size);
  }
  for (std::size_t at = d.symbol_offset; at < d.symbol_offset + d.symbol_size;) d.symbols.push_back(read_record(file, at));
  std::size_t at = d.record_offset;
  for (std::uint32_t i = 0; i < d.record_count; ++i) d.records.push_back(read_record(file, at));
  return d;
}

// ---------------------------------------------------------------- .debug walking

struct Entry {
  std::string name;
  std::uint8_t storage_class = 0;
  std::uint32_t extra = 0;  // for classes 5, 21, 22
  std::uint32_t value = 0, type_word = 0, descriptor = 0;
};

// Name string, class byte and (classes 5, 21, 22) the word after it.
inline Entry read_entry(const Bytes& dbg, std::size_t at) {
  Entry e;
  std::uint32_t name = be32(dbg, at);
  e.name = cstr(dbg, name);
  std::size_t cls = name + e.name.size() + 1;
  e.storage_class = dbg.at(cls);
  if (e.storage_class == 5 || e.storage_class == 21 || e.storage_class == 22) e.extra = be32(dbg, cls + 1);
  e.value = be32(dbg, at + 4);
  e.type_word = le32(dbg, at + 8);
  e.descriptor = be32(dbg, at + 12);
  return e;
}

inline std::vector<Entry> read_entries(const Bytes& dbg, std::size_t at) {
  std::vector<Entry> out;
  if (at == 0) return out;
  for (; be32(dbg, at) != 0; at += 16) out.push_back(read_entry(dbg, at));
  return out;
}

struct Function {
  std::string name;  // empty: nameless
  std::uint8_t storage_class = 0;
  std::uint32_t first_line = 0, last_line = 0, type_word = 0, return_descriptor = 0, define_block = 0;
  std::vector<Entry> locals;
};

struct File {
  std::string name;
  std::uint8_t unit = 0;
  std::vector<Function> functions;
};

inline File read_file(const Bytes& dbg, std::size_t block) {
  File f;
  std::uint32_t name = be32(dbg, block);
  f.name = cstr(dbg, name);
  f.unit = dbg.at(name + f.name.size() + 1);
  for (std::uint32_t at = be32(dbg, block + 4); at != 0; at = be32(dbg, at)) {
    Function fn;
    std::uint32_t fname = be32(dbg, at + 8);
    if (fname) {
      fn.name = cstr(dbg, fname);
      fn.storage_class = dbg.at(fname + fn.name.size() + 1);
    }
    fn.first_line = be32(dbg, at + 12);
    fn.last_line = be32(dbg, at + 16);
    fn.type_word = le32(dbg, at + 20);
    fn.return_descriptor = be32(dbg, at + 24);
    fn.locals = read_entries(dbg, be32(dbg, at + 28));
    fn.define_block = be32(dbg, at + 32);
    f.functions.push_back(fn);
    if (f.functions.size() > 10000) throw std::runtime_error("function chain loops");
  }
  return f;
}

// Descriptor words of a type, in reading order, and the member list offset
// (0 when the base type is not an aggregate). No companion table assumed.
struct Descriptor {
  std::vector<std::uint32_t> words;
  std::uint32_t member_list = 0;
};

inline Descriptor read_descriptor(const Bytes& dbg, std::uint32_t type_word, std::uint32_t at) {
  Descriptor d;
  if (at == 0) return d;
  std::uint8_t base = type_word & 0xFF;
  if (base == 0x0B || base == 0x19 || base == 0x12 || base == 0x22 || base == 0x01) d.words.push_back(be32(dbg, at + 4 * d.words.size()));
  for (int shift = 30; shift >= 8; shift -= 2) {
    unsigned g = (type_word >> shift) & 3;
    if (g == 0) break;
    if (g != 2) d.words.push_back(be32(dbg, at + 4 * d.words.size()));
  }
  if (base >= 0x48 && base <= 0x4E) d.member_list = be32(dbg, at + 4 * d.words.size());
  return d;
}

struct MemberList {
  std::string tag;
  std::vector<Entry> members;
  std::uint32_t size = 0;
};

inline MemberList read_members(const Bytes& dbg, std::uint32_t at) {
  MemberList m;
  std::uint32_t tag = be32(dbg, at);
  if (tag) m.tag = cstr(dbg, tag);
  std::size_t e = at + 4;
  for (; be32(dbg, e) != 0; e += 16) m.members.push_back(read_entry(dbg, e));
  m.size = be32(dbg, e + 4);
  return m;
}

}  // namespace x12test
