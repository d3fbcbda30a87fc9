// Serialisation of the object file: header, sections, symbols, debug records.
#include <fstream>

#include "x12_writer.h"

namespace tav::x12 {

namespace {

void put32(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void set32(Bytes& out, std::size_t at, std::uint32_t v) {
  out[at] = static_cast<std::uint8_t>(v >> 24);
  out[at + 1] = static_cast<std::uint8_t>(v >> 16);
  out[at + 2] = static_cast<std::uint8_t>(v >> 8);
  out[at + 3] = static_cast<std::uint8_t>(v);
}

// Value, flags/kind, section, name length, name: the record head shared by
// standard symbols and debug symbol records.
void put_record(Bytes& out, std::uint32_t value, std::uint8_t flags, std::uint8_t section,
                const std::string& text) {
  std::size_t n = text.size() > 255 ? 255 : text.size();
  put32(out, value);
  out.push_back(flags);
  out.push_back(section);
  out.push_back(static_cast<std::uint8_t>(n));
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

}  // namespace

std::uint8_t ObjectFile::section_number(std::string_view name) const {
  for (std::size_t i = 0; i < sections.size(); ++i)
    if (sections[i].name == name) return static_cast<std::uint8_t>(i + 1);
  return 0;
}

Bytes ObjectFile::serialize() const {
  Bytes out(kHeaderSize, 0);
  out[0] = magic;
  out[3] = overrides.section_count.value_or(static_cast<std::uint8_t>(sections.size()));

  // Section table, with file offsets patched once the contents are placed.
  std::size_t table = out.size();
  for (const Section& s : sections) {
    std::size_t n = s.name.size() > 14 ? 14 : s.name.size();
    out.push_back(s.attribute);
    std::uint8_t len = s.name_length.value_or(static_cast<std::uint8_t>(n)) & 0x0F;
    out.push_back(static_cast<std::uint8_t>(len | (s.base_is_placement ? 0x80 : 0)));
    for (std::size_t i = 0; i < 14; ++i) out.push_back(i < n ? static_cast<std::uint8_t>(s.name[i]) : 0);
    put32(out, 0);  // file offset, patched below
    put32(out, s.effective_size());
    put32(out, 0);
    put32(out, 0);
    put32(out, s.placement);
    put32(out, s.base);
  }

  std::size_t markers = out.size();
  for (const InitMarkerEntry& m : init_markers) {
    out.push_back(m.section);
    out.insert(out.end(), 15, 0);
    put32(out, m.placement);
    put32(out, m.base);
  }

  for (std::size_t i = 0; i < sections.size(); ++i) {
    const Section& s = sections[i];
    std::uint32_t offset = 0;
    if (s.has_contents && !s.contents.empty()) {
      offset = static_cast<std::uint32_t>(out.size());
      out.insert(out.end(), s.contents.begin(), s.contents.end());
    }
    set32(out, table + i * kSectionEntrySize + 16, s.file_offset.value_or(offset));
  }

  std::size_t symbols_at = out.size();
  if (!init_markers.empty())
    put_record(out, static_cast<std::uint32_t>(markers), 0,
               static_cast<std::uint8_t>(init_markers.size()), "");
  for (const Symbol& s : symbols) put_record(out, s.value, s.flags, s.section, s.name);
  std::size_t symbols_size = out.size() - symbols_at;

  std::size_t debug_at = out.size();
  for (const DebugRecord& r : debug_records) put_record(out, r.value, r.kind, r.section, r.text);

  set32(out, 8, overrides.symbol_table_offset.value_or(static_cast<std::uint32_t>(symbols_at)));
  set32(out, 12, overrides.symbol_table_size.value_or(static_cast<std::uint32_t>(symbols_size)));
  set32(out, 16, overrides.debug_record_count.value_or(static_cast<std::uint32_t>(debug_records.size())));
  set32(out, 20, overrides.debug_table_offset.value_or(static_cast<std::uint32_t>(debug_at)));
  return out;
}

bool ObjectFile::write(const std::string& path, std::string* error) const {
  Bytes bytes = serialize();
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (f) f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

DebugLayout add_debug(ObjectFile& file, const DebugModel& model, const std::string& define_prefix) {
  EmittedDebug d = emit_debug(model);
  Section s;
  s.name = ".debug";
  s.contents = std::move(d.bytes);
  file.sections.push_back(std::move(s));
  for (std::size_t i = 0; i < model.files.size(); ++i) {
    const FileBlock& f = model.files[i];
    file.debug_records.push_back({d.layout.file_offsets[i], kind::kFile, 0, f.name});
    for (std::size_t k = 0; k < f.defines.size(); ++k)
      file.debug_records.push_back(
          {d.layout.define_offsets[i][k], kind::kDefine, 0, define_prefix + f.defines[k].name});
    if (f.pointer_table)
      file.debug_records.push_back({d.layout.pointer_table_offsets[i], kind::kCompanion, 0, f.name});
  }
  return d.layout;
}

}  // namespace tav::x12
