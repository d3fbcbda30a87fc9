// A small writer of object files for the image tests: every field as given,
// so that damaged files are as easy to make as good ones.
#pragma once
#include <array>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tav::testing {

using Bytes = std::vector<std::uint8_t>;

inline void put_be32(Bytes& b, std::size_t at, std::uint32_t v) {
  if (b.size() < at + 4) b.resize(at + 4);
  b[at] = static_cast<std::uint8_t>(v >> 24);
  b[at + 1] = static_cast<std::uint8_t>(v >> 16);
  b[at + 2] = static_cast<std::uint8_t>(v >> 8);
  b[at + 3] = static_cast<std::uint8_t>(v);
}
inline void append_be32(Bytes& b, std::uint32_t v) { put_be32(b, b.size(), v); }

// The contents of a .debug section. Offset 0 holds a zero word so that no
// real item lies at the offset that means "none".
class DebugBlob {
 public:
  DebugBlob() { word(0); }
  std::uint32_t here() const { return static_cast<std::uint32_t>(bytes.size()); }
  std::uint32_t word(std::uint32_t v) {
    const std::uint32_t at = here();
    append_be32(bytes, v);
    return at;
  }
  std::uint32_t le(std::uint32_t v) {
    const std::uint32_t at = here();
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return at;
  }
  std::uint32_t byte(std::uint8_t v) {
    bytes.push_back(v);
    return here() - 1;
  }
  std::uint32_t str(std::string_view s) {
    const std::uint32_t at = here();
    bytes.insert(bytes.end(), s.begin(), s.end());
    bytes.push_back(0);
    return at;
  }
  // A name, its storage class byte, and for classes 5, 21 and 22 the extra word.
  std::uint32_t name(std::string_view s, std::uint8_t cls, std::optional<std::uint32_t> extra = {}) {
    const std::uint32_t at = str(s);
    byte(cls);
    if (extra) word(*extra);
    return at;
  }
  std::uint32_t words(const std::vector<std::uint32_t>& ws) {
    if (ws.empty()) return 0;
    const std::uint32_t at = here();
    for (std::uint32_t w : ws) word(w);
    return at;
  }
  void patch(std::uint32_t at, std::uint32_t v) { put_be32(bytes, at, v); }

  Bytes bytes;
};

struct TEntry {
  TEntry(std::string n, std::uint8_t c, std::uint32_t v, std::uint32_t t, std::vector<std::uint32_t> d = {},
         std::optional<std::uint32_t> x = {})
      : name(std::move(n)), cls(c), value(v), type(t), desc(std::move(d)), extra(x) {}
  std::string name;
  std::uint8_t cls;
  std::uint32_t value;
  std::uint32_t type;
  std::vector<std::uint32_t> desc;  // descriptor words; empty: no block
  std::optional<std::uint32_t> extra;
};

// An entry array ended by a zero entry; returns its offset (0 for none).
inline std::uint32_t entry_array(DebugBlob& d, const std::vector<TEntry>& entries) {
  if (entries.empty()) return 0;
  std::vector<std::array<std::uint32_t, 4>> rows;
  for (const TEntry& e : entries) rows.push_back({d.name(e.name, e.cls, e.extra), e.value, e.type, d.words(e.desc)});
  const std::uint32_t at = d.here();
  for (const auto& r : rows) {
    d.word(r[0]);
    d.word(r[1]);
    d.le(r[2]);
    d.word(r[3]);
  }
  for (int i = 0; i < 4; ++i) d.word(0);
  return at;
}

// A member list: tag, entries, a zero entry, and the size in the word after the zero.
inline std::uint32_t member_list(DebugBlob& d, std::string_view tag, const std::vector<TEntry>& members,
                                 std::uint32_t size) {
  std::vector<std::array<std::uint32_t, 4>> rows;
  for (const TEntry& e : members) rows.push_back({d.name(e.name, e.cls, e.extra), e.value, e.type, d.words(e.desc)});
  const std::uint32_t tag_at = tag.empty() ? 0 : d.str(tag);
  const std::uint32_t at = d.word(tag_at);
  for (const auto& r : rows) {
    d.word(r[0]);
    d.word(r[1]);
    d.le(r[2]);
    d.word(r[3]);
  }
  d.word(0);
  d.word(size);
  d.word(0);
  d.word(0);
  return at;
}

struct TFunction {
  std::string name;  // empty: nameless (the last one is the file level)
  std::uint8_t cls = 19;
  std::uint32_t first_line = 0, last_line = 0;
  std::uint32_t type = 0x18;
  std::vector<std::uint32_t> result_desc;
  std::vector<TEntry> locals;
  std::uint32_t define_count = 0, define_args = 0;
};

// A file block and its chain of function blocks; returns the file block's offset.
inline std::uint32_t file_block(DebugBlob& d, std::string_view name, std::uint8_t unit,
                                const std::vector<TFunction>& chain) {
  const std::uint32_t name_at = d.str(name);
  d.byte(unit);
  std::vector<std::uint32_t> blocks;
  for (const TFunction& f : chain) {
    const std::uint32_t fname = f.name.empty() ? 0 : d.name(f.name, f.cls);
    const std::uint32_t result = d.words(f.result_desc);
    const std::uint32_t locals = entry_array(d, f.locals);
    const std::uint32_t defines = f.define_count ? d.words({f.define_count, f.define_args}) : 0;
    const std::uint32_t at = d.word(0);  // next, patched below
    d.word(0);
    d.word(fname);
    d.word(f.first_line);
    d.word(f.last_line);
    d.le(f.type);
    d.word(result);
    d.word(locals);
    d.word(defines);
    blocks.push_back(at);
  }
  for (std::size_t i = 0; i + 1 < blocks.size(); ++i) d.patch(blocks[i], blocks[i + 1]);
  const std::uint32_t at = d.word(name_at);
  d.word(blocks.empty() ? 0 : blocks.front());
  return at;
}

struct TSection {
  std::string name;
  std::uint32_t placement = 0;
  std::uint32_t base = 0;
  Bytes data;
  std::optional<std::uint32_t> size;    // default: data.size()
  bool contents = true;                 // false: file offset 0
  std::optional<std::uint32_t> offset;  // a file offset of our own choosing
  std::uint8_t attribute = 0;
  bool base_is_placement = false;
  std::optional<std::uint8_t> length_byte;
};

struct TSymbol {
  std::uint32_t value = 0;
  std::uint8_t flags = 1;
  std::uint8_t section = 0;
  std::string name;
};

struct TRecord {
  std::uint32_t value = 0;
  std::uint8_t kind = 0;
  std::string text;
  std::uint8_t section = 0;
};

struct TMarker {
  std::uint8_t section;
  std::uint32_t placement;
  std::uint32_t base;
};

struct TestObject {
  std::uint8_t magic = 0xCC;
  std::vector<TSection> sections;
  std::vector<TSymbol> symbols;
  std::vector<TRecord> records;
  std::vector<TMarker> markers;  // written after a marker symbol, first in the table
  std::optional<std::uint32_t> record_count;  // default: records.size()

  // Adds the .debug section (after every other section).
  void set_debug(const DebugBlob& d) {
    TSection s;
    s.name = ".debug";
    s.data = d.bytes;
    sections.push_back(s);
  }

  Bytes bytes() const {
    Bytes out(28 + 40 * sections.size(), 0);
    out[0] = magic;
    out[3] = static_cast<std::uint8_t>(sections.size());
    std::uint32_t marker_table = 0;
    if (!markers.empty()) {
      marker_table = static_cast<std::uint32_t>(out.size());
      for (const TMarker& m : markers) {
        Bytes e(24, 0);
        e[0] = m.section;
        put_be32(e, 16, m.placement);
        put_be32(e, 20, m.base);
        out.insert(out.end(), e.begin(), e.end());
      }
    }
    for (std::size_t i = 0; i < sections.size(); ++i) {
      const TSection& s = sections[i];
      const std::size_t e = 28 + 40 * i;
      std::uint32_t offset = 0;
      if (s.contents && !s.data.empty()) {
        offset = static_cast<std::uint32_t>(out.size());
        out.insert(out.end(), s.data.begin(), s.data.end());
      }
      if (s.offset) offset = *s.offset;
      out[e] = s.attribute;
      out[e + 1] = s.length_byte ? *s.length_byte
                                 : static_cast<std::uint8_t>((s.name.size() & 0x0F) | (s.base_is_placement ? 0x80 : 0));
      for (std::size_t c = 0; c < s.name.size() && c < 14; ++c) out[e + 2 + c] = static_cast<std::uint8_t>(s.name[c]);
      put_be32(out, e + 16, offset);
      put_be32(out, e + 20, s.size ? *s.size : static_cast<std::uint32_t>(s.data.size()));
      put_be32(out, e + 32, s.placement);
      put_be32(out, e + 36, s.base);
    }
    const std::uint32_t symtab = static_cast<std::uint32_t>(out.size());
    if (!markers.empty()) {
      append_be32(out, marker_table);
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(markers.size()));
      out.push_back(0);
    }
    for (const TSymbol& s : symbols) {
      append_be32(out, s.value);
      out.push_back(s.flags);
      out.push_back(s.section);
      out.push_back(static_cast<std::uint8_t>(s.name.size()));
      out.insert(out.end(), s.name.begin(), s.name.end());
    }
    const std::uint32_t symsize = static_cast<std::uint32_t>(out.size()) - symtab;
    const std::uint32_t dbg = static_cast<std::uint32_t>(out.size());
    for (const TRecord& r : records) {
      append_be32(out, r.value);
      out.push_back(r.kind);
      out.push_back(r.section);
      out.push_back(static_cast<std::uint8_t>(r.text.size()));
      out.insert(out.end(), r.text.begin(), r.text.end());
    }
    put_be32(out, 8, symtab);
    put_be32(out, 12, symsize);
    put_be32(out, 16, record_count ? *record_count : static_cast<std::uint32_t>(records.size()));
    put_be32(out, 20, dbg);
    return out;
  }
};

inline void write_file(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
inline void write_file(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace tav::testing
