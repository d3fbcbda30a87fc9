#include "image/debug_record.h"

namespace tav {

namespace {

// Reads at most 7 decimal digits; false when there is none.
bool read_number(std::string_view t, std::size_t& i, std::uint32_t& out) {
  std::size_t start = i;
  std::uint32_t v = 0;
  while (i < t.size() && i - start < 7 && t[i] >= '0' && t[i] <= '9') v = v * 10 + static_cast<std::uint32_t>(t[i++] - '0');
  out = v;
  return i > start;
}

// "+line.column-endline.endcolumn", every part after the line optional.
void parse_range(std::string_view t, RecordText& out) {
  std::size_t i = 0;
  if (i < t.size() && t[i] == '+') {
    out.plus = true;
    ++i;
  }
  std::uint32_t line = 0, column = 0;
  read_number(t, i, line);
  if (i < t.size() && t[i] == '.') {
    ++i;
    read_number(t, i, column);
  }
  std::uint32_t end_line = line, end_column = column;
  if (i < t.size() && t[i] == '-') {
    ++i;
    read_number(t, i, end_line);
    end_column = column;
    if (i < t.size() && t[i] == '.') {
      ++i;
      read_number(t, i, end_column);
    }
  }
  out.has_range = true;
  out.line = static_cast<std::uint16_t>(line);
  out.column = static_cast<std::uint16_t>(column);
  out.end_line = static_cast<std::uint16_t>(end_line);
  out.end_column = static_cast<std::uint16_t>(end_column);
}

// File information: "-line.+second.number", every part optional. Only the
// "+" mark and the number are kept.
void parse_info(std::string_view t, RecordText& out) {
  std::size_t i = 0;
  std::uint32_t ignored = 0;
  if (i < t.size() && t[i] == '-') ++i;
  read_number(t, i, ignored);
  if (i < t.size() && t[i] == '.') {
    ++i;
    if (i < t.size() && t[i] == '+') {
      out.info_flags |= 1;
      ++i;
    }
    read_number(t, i, ignored);
    if (i < t.size() && t[i] == '.') {
      ++i;
      read_number(t, i, out.number);
    }
  }
}

bool looks_like_info(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  return i < t.size() && t[i] >= '0' && t[i] <= '9';
}

// "name~second:rest": the second name runs from the last "~" to the first ":" after it.
void split_tilde(std::string_view text, RecordText& out, std::string_view* rest) {
  const std::size_t tilde = text.rfind('~');
  if (tilde == std::string_view::npos) {
    out.name = text;
    return;
  }
  out.name = text.substr(0, tilde);
  std::string_view after = text.substr(tilde + 1);
  const std::size_t colon = after.find(':');
  out.second = after.substr(0, colon);
  if (rest && colon != std::string_view::npos) *rest = after.substr(colon + 1);
}

}  // namespace

RecordText parse_record_text(std::uint8_t kind, std::string_view text) {
  RecordText out;
  if ((kind & 0x80) || kind == kRecDefine) {
    out.name = text;
    return out;
  }
  switch (kind) {
    case kRecFunctionStart: {
      const std::size_t colon = text.rfind(':');
      std::string_view head = text;
      if (colon != std::string_view::npos) {
        head = text.substr(0, colon);
        parse_range(text.substr(colon + 1), out);
      }
      const std::size_t tilde = head.rfind('~');
      out.name = head.substr(0, tilde);
      if (tilde != std::string_view::npos) out.second = head.substr(tilde + 1);
      return out;
    }
    case kRecLine: {
      const std::size_t colon = text.rfind(':');
      out.name = text.substr(0, colon);
      if (colon != std::string_view::npos) parse_range(text.substr(colon + 1), out);
      return out;
    }
    case kRecFileInfo: {
      std::string_view rest;
      split_tilde(text, out, &rest);
      if (out.name.size() == text.size()) {
        // No second name: the information follows the last ":", when it looks like one.
        const std::size_t colon = text.rfind(':');
        if (colon != std::string_view::npos && looks_like_info(text.substr(colon + 1))) {
          out.name = text.substr(0, colon);
          rest = text.substr(colon + 1);
        }
      }
      parse_info(rest, out);
      return out;
    }
    default:
      split_tilde(text, out, nullptr);
      return out;
  }
}

std::string record_label(const DebugRecord& r) {
  std::string s(r.name);
  if (!r.second.empty()) {
    s += '~';
    s.append(r.second);
  }
  return s;
}

}  // namespace tav
