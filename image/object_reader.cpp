#include "image/object_reader.h"

#include <algorithm>
#include <cstring>

#include "image/debug_tables.h"
#include "image/symbol_table.h"
#include "sim/memory.h"
#include "support/fmt.h"

namespace tav {

namespace {

constexpr std::uint32_t kHeaderSize = 28;
constexpr std::uint32_t kSectionEntrySize = 40;
constexpr std::uint32_t kMarkerEntrySize = 24;
constexpr std::uint32_t kRecordHead = 7;

// The four section kinds that set kernel variables.
struct KindTotals {
  const char* name;
  const char* start_symbol;
  const char* size_symbol;
  bool seen = false;
  std::uint32_t start = 0;
  std::uint32_t size = 0;
};

}  // namespace

std::string read_error_text(std::string_view phase) {
  std::string s = "read error";
  if (!phase.empty() && phase.front() != ' ') s += ' ';
  s.append(phase);
  return s;
}

struct ObjectReader::Section {
  std::uint8_t index;
  std::string name;
  std::uint32_t file_offset;
  std::uint32_t size;
  std::uint32_t placement;
};

ObjectReader::ObjectReader(ByteView file, Memory& memory, SymbolTable& symbols, DebugTables& tables,
                           ObjectLayout& layout, LoadHost& host, bool symbols_only, bool quiet)
    : file_(file),
      memory_(memory),
      symbols_(symbols),
      tables_(tables),
      layout_(layout),
      host_(host),
      symbols_only_(symbols_only),
      quiet_(quiet) {}

LoadResult ObjectReader::fatal(std::string text) {
  host_.error(text);
  return LoadResult::Fatal;
}

LoadResult ObjectReader::read() {
  if (!file_.has(0, kHeaderSize)) return fatal(read_error_text("header"));
  section_count_ = file_.byte(3);
  symtab_offset_ = file_.be32(8);
  symtab_size_ = file_.be32(12);
  debug_count_ = file_.be32(16);
  debug_offset_ = file_.be32(20);

  LoadResult r = read_init_marker();
  if (r != LoadResult::Ok) return r;
  r = read_sections();
  if (r == LoadResult::Stopped || r == LoadResult::Fatal) return r;
  const bool sections_ok = r == LoadResult::Ok;
  r = read_symbols();
  if (r != LoadResult::Ok) return r;
  if (sections_ok) {
    r = read_debug_records();
    if (r != LoadResult::Ok) return r;
  }
  return sections_ok ? LoadResult::Ok : LoadResult::Failed;
}

LoadResult ObjectReader::read_init_marker() {
  if (symtab_size_ == 0) return LoadResult::Ok;
  if (!file_.has(symtab_offset_, kRecordHead)) return fatal(read_error_text(" .init marker symbol"));
  const std::uint8_t flags = file_.byte(symtab_offset_ + 4ull);
  const std::uint8_t count = file_.byte(symtab_offset_ + 5ull);
  const std::uint8_t name_length = file_.byte(symtab_offset_ + 6ull);
  if (flags != 0 || name_length != 0) return LoadResult::Ok;
  marker_ = true;
  const std::uint64_t table = file_.be32(symtab_offset_);
  if (!file_.has(table, std::uint64_t{count} * kMarkerEntrySize)) return fatal(read_error_text(" .init marker symbol"));
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint64_t e = table + std::uint64_t{i} * kMarkerEntrySize;
    markers_.push_back({file_.byte(e), file_.be32(e + 16), file_.be32(e + 20)});
  }
  return LoadResult::Ok;
}

LoadResult ObjectReader::read_sections() {
  KindTotals totals[4] = {{".text", ".text", ".tsize"},
                          {".data", ".data", ".dsize"},
                          {".bss", ".bss", ".bsize"},
                          {".bsct", ".zpage", ".zsize"}};
  layout_.deltas.assign(section_count_, 0);
  LoadResult result = LoadResult::Ok;
  for (std::uint32_t i = 0; i < section_count_; ++i) {
    const std::uint64_t e = kHeaderSize + std::uint64_t{i} * kSectionEntrySize;
    if (!file_.has(e, kSectionEntrySize)) return fatal(read_error_text("section"));
    const std::uint8_t attribute = file_.byte(e);
    const std::uint8_t length_byte = file_.byte(e + 1);
    Section s;
    s.index = static_cast<std::uint8_t>(i);
    s.name = std::string(file_.chars(e + 2, std::min<std::size_t>(length_byte & 0x0Fu, 14)));
    s.file_offset = file_.be32(e + 16);
    s.size = file_.be32(e + 20);
    s.placement = file_.be32(e + 32);
    std::uint32_t base = file_.be32(e + 36);
    if (!marker_ && (length_byte & 0x80u)) base = s.placement;
    layout_.section_names.push_back(s.name);
    const bool is_debug = s.name == ".debug";
    if (!is_debug && s.size != 0) {
      SegmentRecord seg;
      seg.section = s.index;
      seg.attribute = attribute;
      seg.name_flags = length_byte;
      seg.name = s.name;
      seg.placement = s.placement;
      seg.base = base;
      seg.file_offset = s.file_offset;
      seg.size = s.size;
      seg.last = s.placement + s.size - 1;
      auto at = std::upper_bound(layout_.segments.begin(), layout_.segments.end(), seg.placement,
                                 [](std::uint32_t p, const SegmentRecord& r) { return p < r.placement; });
      layout_.segments.insert(at, std::move(seg));
    }
    for (KindTotals& k : totals) {
      if (s.name != k.name) continue;
      if (!k.seen) k.start = s.placement;
      k.seen = true;
      k.size += s.size;
    }
    if (is_debug) layout_.debug_size = s.size;
    layout_.deltas[i] = static_cast<std::int32_t>(s.placement - base);
    if (s.file_offset != 0) {
      if (!is_debug && s.size != 0 && !symbols_only_) {
        const LoadResult r = copy_section(s);
        if (r == LoadResult::Stopped) return r;
        if (r != LoadResult::Ok) {
          host_.error("Error loading segment: " + s.name);
          all_sections_loaded_ = false;
          result = LoadResult::Failed;
          break;
        }
      }
      if (is_debug) {
        layout_.has_debug = true;
        layout_.debug_base = s.file_offset;
      }
    }
  }

  // The init marker table moves sections after they were read.
  for (const MarkerEntry& m : markers_) {
    if (m.section == 0 || m.section > section_count_) continue;
    const std::uint8_t index = static_cast<std::uint8_t>(m.section - 1);
    for (SegmentRecord& seg : layout_.segments) {
      if (seg.section != index) continue;
      seg.placement = m.placement;
      seg.last = m.placement + seg.size - 1;
    }
    layout_.deltas[index] = static_cast<std::int32_t>(m.placement - m.base);
  }
  if (!markers_.empty())
    std::stable_sort(layout_.segments.begin(), layout_.segments.end(),
                     [](const SegmentRecord& a, const SegmentRecord& b) { return a.placement < b.placement; });

  for (const KindTotals& k : totals)
    if (k.seen) symbols_.define_symbol(k.start_symbol, k.start);
  symbols_.define_symbol(".tsize", totals[0].size);
  if (totals[1].seen) symbols_.define_symbol(".dsize", totals[1].size);
  if (totals[2].seen) symbols_.define_symbol(".bsize", totals[2].size);
  if (totals[3].seen) symbols_.define_symbol(".zsize", totals[3].size);
  if (!quiet_) {
    std::string line = fmtstr("    T: 0x%hl (%l)", totals[0].start, totals[0].size);
    line += fmtstr("  D: 0x%hl (%l)", totals[1].start, totals[1].size);
    if (totals[3].seen) line += fmtstr("  Z: 0x%hl (%l)", totals[3].start, totals[3].size);
    line += '\n';
    host_.output(line);
  }
  return result;
}

LoadResult ObjectReader::copy_section(const Section& s) {
  host_.progress(fmtstr("%p 0x%hl (%l)", s.name, s.placement, s.size), (s.size + 511u) / 512u);
  std::uint64_t offset = s.file_offset;
  std::uint32_t address = s.placement;
  std::uint32_t remaining = s.size;
  while (remaining != 0) {
    if (host_.stop_requested()) return LoadResult::Stopped;
    std::uint8_t* block = memory_.block_data(address);
    if (!block) return LoadResult::Failed;  // the store reported that it is full
    const std::uint32_t within = address & (Memory::kBlockSize - 1);
    const std::uint32_t count = std::min<std::uint32_t>(Memory::kBlockSize - within, remaining);
    const std::uint64_t available = offset < file_.size() ? std::min<std::uint64_t>(count, file_.size() - offset) : 0;
    if (available) std::memcpy(block + within, file_.data(offset), available);
    memory_.set_block_state(address, Memory::New);
    if (available < count) {
      host_.error(read_error_text("section\n"));
      return LoadResult::Failed;
    }
    address += count;
    offset += count;
    remaining -= count;
    host_.step();
  }
  return LoadResult::Ok;
}

LoadResult ObjectReader::read_symbols() {
  if (symtab_size_ == 0) return LoadResult::Ok;
  std::uint64_t pos = symtab_offset_;
  const std::uint64_t end = pos + symtab_size_;
  std::uint32_t count = 0;
  while (pos < end) {
    if (!file_.has(pos, kRecordHead)) return fatal(read_error_text("symbole"));
    const std::uint32_t value = file_.be32(pos);
    const std::uint8_t flags = file_.byte(pos + 4);
    const std::uint8_t section = file_.byte(pos + 5);
    const std::uint8_t length = file_.byte(pos + 6);
    if (!file_.has(pos + kRecordHead, length)) return fatal(read_error_text("symbole"));
    const std::string_view name = file_.chars(pos + kRecordHead, length);
    pos += kRecordHead + length;
    if (flags == 0) {
      if (!name.empty()) layout_.side_symbols.emplace_back(value, section);
      continue;
    }
    const std::int32_t delta =
        section != 0 && section <= layout_.deltas.size() ? layout_.deltas[section - 1u] : 0;
    symbols_.add_bulk(name, value + static_cast<std::uint32_t>(delta), section, flags);
    ++count;
  }
  host_.status("Ordering Symbols");
  host_.progress("ORDERING SYMBOLS", count);
  symbols_.finish_bulk();
  return LoadResult::Ok;
}

LoadResult ObjectReader::read_debug_records() {
  std::vector<DebugRecord> main;
  std::vector<DebugRecord>& defines = tables_.defines_;
  std::vector<DebugRecord>& companions = tables_.companions_;
  // Each record takes at least 7 bytes: a count beyond that cannot be honest.
  main.reserve(std::min<std::uint64_t>(debug_count_, file_.size() / kRecordHead));
  host_.progress("DEBUG SYMBOLS", debug_count_);
  std::uint64_t pos = debug_offset_;
  for (std::uint32_t n = 0; n < debug_count_; ++n) {
    if (host_.stop_requested()) return LoadResult::Stopped;
    if (!file_.has(pos, kRecordHead) || !file_.has(pos + kRecordHead, file_.byte(pos + 6))) {
      host_.error(read_error_text(" debug symbol"));
      break;
    }
    const std::uint8_t section = file_.byte(pos + 5);
    const std::uint8_t length = file_.byte(pos + 6);
    DebugRecord r;
    r.kind = file_.byte(pos + 4);
    const std::int32_t delta =
        section != 0 && section <= layout_.deltas.size() ? layout_.deltas[section - 1u] : 0;
    r.value = file_.be32(pos) + static_cast<std::uint32_t>(delta);
    const RecordText t = parse_record_text(r.kind, file_.chars(pos + kRecordHead, length));
    pos += kRecordHead + length;
    r.name = tables_.intern(t.name);
    r.second = tables_.intern(t.second);
    r.info_flags = t.info_flags;
    r.number = t.number;
    if (t.plus) r.flags |= kRecPlus;
    if (t.has_range && (r.kind == kRecFunctionStart || r.kind == kRecLine)) {
      r.line = t.line;
      r.column = t.column;
      r.end_line = t.end_line;
      r.end_column = t.end_column;
    }
    if (r.kind & 0x80) {
      companions.push_back(r);
    } else if (r.kind == kRecDefine) {
      defines.push_back(r);
    } else {
      if (r.kind == kRecFile) ++tables_.file_records_;
      if (r.kind == kRecFunctionStart) ++tables_.function_records_;
      main.push_back(r);
    }
    host_.step();
  }
  std::reverse(companions.begin(), companions.end());  // newest first
  std::stable_sort(defines.begin(), defines.end(),
                   [](const DebugRecord& a, const DebugRecord& b) { return a.value < b.value; });
  order_main_list(main);
  tables_.records_ = std::move(main);
  return clean_up();
}

// Ascending value, equal values in file order, except that an end record
// goes before a start record of the same value with a different text: a
// function that ends where the next one begins closes first.
void ObjectReader::order_main_list(std::vector<DebugRecord>& list) {
  std::stable_sort(list.begin(), list.end(), [](const DebugRecord& a, const DebugRecord& b) { return a.value < b.value; });
  std::vector<DebugRecord> run;
  for (std::size_t a = 0; a < list.size();) {
    std::size_t b = a + 1;
    bool has_end = list[a].is_end(), has_start = list[a].is_start();
    while (b < list.size() && list[b].value == list[a].value) {
      has_end |= list[b].is_end();
      has_start |= list[b].is_start();
      ++b;
    }
    if (has_end && has_start) {
      run.clear();
      for (std::size_t i = a; i < b; ++i) {
        const DebugRecord& r = list[i];
        auto at = run.end();
        if (r.is_end())
          at = std::find_if(run.begin(), run.end(), [&](const DebugRecord& s) {
            return s.is_start() && (s.name != r.name || s.second != r.second);
          });
        run.insert(at, r);
      }
      std::move(run.begin(), run.end(), list.begin() + static_cast<std::ptrdiff_t>(a));
    }
    a = b;
  }
}

LoadResult ObjectReader::clean_up() {
  std::vector<DebugRecord>& recs = tables_.records_;
  const std::size_t n = recs.size();

  // A nameless function whose first line belongs to another file (an included
  // one) is filed under that file, and so is its end record.
  for (std::size_t i = 0; i + 1 < n; ++i) {
    DebugRecord& s = recs[i];
    if (!s.is_start() || !s.second.empty()) continue;
    const DebugRecord& line = recs[i + 1];
    if (!line.is_line() || line.value != s.value || line.name == s.name) continue;
    s.name = line.name;
    std::size_t j = i + 1;
    while (j < n && recs[j].is_line()) ++j;
    if (j < n && recs[j].is_end()) recs[j].name = line.name;
  }

  std::vector<bool> removed(n, false);
  std::ptrdiff_t current = -1;     // the current function's start record
  std::ptrdiff_t last_named = -1;  // the last start record with a name
  std::ptrdiff_t previous_line = -1;
  for (std::size_t i = 0; i < n; ++i) {
    DebugRecord& r = recs[i];
    switch (r.kind) {
      case kRecFunctionStart:
        current = static_cast<std::ptrdiff_t>(i);
        if (!r.second.empty()) last_named = current;
        if (r.second.empty() && i + 1 < n && recs[i + 1].is_line()) {
          r.line = recs[i + 1].line;
          r.column = recs[i + 1].column;
          r.end_line = recs[i + 1].end_line;
          r.end_column = recs[i + 1].end_column;
        }
        previous_line = -1;
        break;
      case kRecFunctionEnd:
        if (current < 0)
          return fatal("MISSING START INFO FOR: " + record_label(r) + " at: " + fmtstr("0x%hl", r.value));
        // Records at the end address that follow the function's start belong to no line.
        for (std::ptrdiff_t j = static_cast<std::ptrdiff_t>(i) - 1; j > last_named && recs[j].value == r.value; --j)
          if (recs[j].kind != kRecFile && recs[j].kind != kRecOrdered) removed[j] = true;
        current = -1;
        previous_line = -1;
        break;
      case kRecLine: {
        if (current < 0)
          return fatal("Missing function for Line: " + std::string(r.name) + " " + std::to_string(r.line));
        const DebugRecord& f = recs[current];
        if (previous_line >= 0) {
          const DebugRecord& p = recs[previous_line];
          if (f.second.empty() ? p.line == r.line : p.value == r.value) {
            removed[i] = true;
            break;
          }
        }
        r.second = f.second;
        previous_line = static_cast<std::ptrdiff_t>(i);
        break;
      }
      default:
        previous_line = -1;
        break;
    }
  }

  std::size_t out = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (removed[i]) continue;
    if (out != i) recs[out] = std::move(recs[i]);
    recs[out].index = static_cast<std::uint32_t>(out);
    ++out;
  }
  recs.resize(out);
  return LoadResult::Ok;
}

}  // namespace tav
