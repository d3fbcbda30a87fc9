// Layout of the `.debug` section.
#include <stdexcept>

#include "x12_writer.h"

namespace tav::x12 {

DebugBuilder::DebugBuilder() { word(0); }

std::uint32_t DebugBuilder::word(std::uint32_t v) {
  std::uint32_t at = size();
  bytes_.push_back(static_cast<std::uint8_t>(v >> 24));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 16));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  bytes_.push_back(static_cast<std::uint8_t>(v));
  return at;
}

std::uint32_t DebugBuilder::type_word(std::uint32_t v) {
  std::uint32_t at = size();
  bytes_.push_back(static_cast<std::uint8_t>(v));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 16));
  bytes_.push_back(static_cast<std::uint8_t>(v >> 24));
  return at;
}

std::uint32_t DebugBuilder::byte(std::uint8_t v) {
  std::uint32_t at = size();
  bytes_.push_back(v);
  return at;
}

std::uint32_t DebugBuilder::string(std::string_view s) {
  std::uint32_t at = size();
  bytes_.insert(bytes_.end(), s.begin(), s.end());
  bytes_.push_back(0);
  return at;
}

std::uint32_t DebugBuilder::tagged_string(std::string_view s, std::uint8_t class_byte,
                                          std::optional<std::uint32_t> extra_word) {
  std::uint32_t at = string(s);
  byte(class_byte);
  if (sclass::has_extra_word(class_byte)) word(extra_word.value_or(0));
  return at;
}

std::uint32_t DebugBuilder::words(const std::vector<std::uint32_t>& ws) {
  if (ws.empty()) return 0;
  std::uint32_t at = size();
  for (std::uint32_t w : ws) word(w);
  return at;
}

void DebugBuilder::patch_word(std::uint32_t offset, std::uint32_t v) {
  if (offset + 4 > bytes_.size()) throw std::out_of_range("patch beyond the .debug section");
  bytes_[offset] = static_cast<std::uint8_t>(v >> 24);
  bytes_[offset + 1] = static_cast<std::uint8_t>(v >> 16);
  bytes_[offset + 2] = static_cast<std::uint8_t>(v >> 8);
  bytes_[offset + 3] = static_cast<std::uint8_t>(v);
}

namespace {

// Emits blocks in a fixed order and records where member-list offsets must be
// patched once the member lists themselves have been placed.
class Emitter {
 public:
  explicit Emitter(const DebugModel& m) : model_(m) {}

  EmittedDebug run() {
    EmittedDebug out;
    for (const FileBlock& f : model_.files) emit_file(f, out.layout);
    // Member lists last: nested and self-referencing aggregates only need
    // offsets, which are patched below.
    out.layout.aggregate_offsets.resize(model_.aggregates.size());
    for (std::size_t i = 0; i < model_.aggregates.size(); ++i)
      out.layout.aggregate_offsets[i] = emit_members(model_.aggregates[i]);
    for (const auto& [at, index] : fixups_) b_.patch_word(at, out.layout.aggregate_offsets[index]);
    out.bytes = b_.bytes();
    return out;
  }

 private:
  void check_aggregate(int index) const {
    if (index >= static_cast<int>(model_.aggregates.size()))
      throw std::invalid_argument("type refers to a missing aggregate");
  }

  // Type descriptor block: the given words, then the member-list offset.
  std::uint32_t emit_descriptor(const TypeRef& t) {
    if (t.descriptor.empty() && t.aggregate < 0) return 0;
    std::uint32_t at = b_.size();
    for (std::uint32_t w : t.descriptor) b_.word(w);
    if (t.aggregate >= 0) {
      check_aggregate(t.aggregate);
      fixups_.emplace_back(b_.word(0), t.aggregate);
    }
    return at;
  }

  // An array of 16-byte entries ended by a zero entry; `tail` goes into the
  // word after the terminating 0 (a member list's aggregate size).
  std::uint32_t emit_entries(const std::vector<Entry>& entries, std::uint32_t tail) {
    std::vector<std::uint32_t> names, descriptors;
    for (const Entry& e : entries) {
      names.push_back(b_.tagged_string(e.name, e.storage_class, e.extra_word));
      descriptors.push_back(emit_descriptor(e.type));
    }
    std::uint32_t at = b_.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
      b_.word(names[i]);
      b_.word(entries[i].value);
      b_.type_word(entries[i].type.type_word);
      b_.word(descriptors[i]);
    }
    b_.word(0);
    b_.word(tail);
    b_.word(0);
    b_.word(0);
    return at;
  }

  std::uint32_t emit_members(const Aggregate& a) {
    std::uint32_t tag = a.tag.empty() ? 0 : b_.string(a.tag);
    // The member list must start with its tag word, so the members' strings
    // and descriptors are placed first and the list is written after them.
    std::vector<std::uint32_t> names, descriptors;
    for (const Entry& e : a.members) {
      names.push_back(b_.tagged_string(e.name, e.storage_class, e.extra_word));
      descriptors.push_back(emit_descriptor(e.type));
    }
    std::uint32_t at = b_.word(tag);
    for (std::size_t i = 0; i < a.members.size(); ++i) {
      b_.word(names[i]);
      b_.word(a.members[i].value);
      b_.type_word(a.members[i].type.type_word);
      b_.word(descriptors[i]);
    }
    b_.word(0);
    b_.word(a.size);
    b_.word(0);
    b_.word(0);
    return at;
  }

  std::uint32_t emit_function(const FunctionBlock& fn, std::uint32_t next) {
    std::uint32_t name = fn.name.empty() ? 0 : b_.tagged_string(fn.name, fn.storage_class);
    std::uint32_t ret = emit_descriptor(fn.return_type);
    std::uint32_t locals = fn.locals.empty() ? 0 : emit_entries(fn.locals, 0);
    std::uint32_t defines = 0;
    if (fn.defines) {
      defines = b_.word(fn.defines->count);
      b_.word(fn.defines->argument_count);
    }
    std::uint32_t at = b_.word(next);
    b_.word(0);
    b_.word(name);
    b_.word(fn.first_line);
    b_.word(fn.last_line);
    b_.type_word(fn.return_type.type_word);
    b_.word(ret);
    b_.word(locals);
    b_.word(defines);
    return at;
  }

  void emit_file(const FileBlock& f, DebugLayout& layout) {
    std::uint32_t block = b_.word(0);
    b_.word(0);
    layout.file_offsets.push_back(block);
    b_.patch_word(block, b_.tagged_string(f.name, f.unit_code));
    std::uint32_t table = 0;
    if (f.pointer_table) {
      table = b_.size();
      for (std::uint16_t w : *f.pointer_table) b_.word(w);
    }
    layout.pointer_table_offsets.push_back(table);
    std::vector<std::uint32_t> defines;
    for (const Define& d : f.defines) defines.push_back(b_.string(d.value));
    layout.define_offsets.push_back(std::move(defines));
    // The chain is written back to front so that each block knows its successor.
    std::uint32_t next = 0;
    for (auto it = f.functions.rbegin(); it != f.functions.rend(); ++it)
      next = emit_function(*it, next);
    b_.patch_word(block + 4, next);
  }

  const DebugModel& model_;
  DebugBuilder b_;
  std::vector<std::pair<std::uint32_t, int>> fixups_;
};

}  // namespace

EmittedDebug emit_debug(const DebugModel& model) { return Emitter(model).run(); }

}  // namespace tav::x12
