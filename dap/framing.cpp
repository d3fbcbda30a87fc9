#include "dap/framing.h"

#include <cctype>
#include <charconv>

namespace tav::dap {

namespace {
constexpr std::string_view kLengthField = "content-length";
constexpr std::string_view kHeaderEnd = "\r\n\r\n";

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The Content-Length of a header block; false with the reason when it has none usable.
bool content_length(std::string_view header, std::size_t& length, std::string& error) {
  bool found = false;
  while (!header.empty()) {
    const std::size_t eol = header.find("\r\n");
    std::string_view line = header.substr(0, eol);
    header = eol == std::string_view::npos ? std::string_view{} : header.substr(eol + 2);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
      error = "malformed header line";
      return false;
    }
    if (lower(trim(line.substr(0, colon))) != kLengthField) continue;  // other fields are allowed and ignored
    const std::string_view value = trim(line.substr(colon + 1));
    std::size_t n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc{} || end != value.data() + value.size() || value.empty()) {
      error = "invalid Content-Length";
      return false;
    }
    if (n > kMaxBody) {
      error = "Content-Length too large";
      return false;
    }
    length = n;
    found = true;
  }
  if (!found) error = "missing Content-Length";
  return found;
}
}  // namespace

bool FrameReader::skip_to_header() {
  const std::string low = lower(buffer_);
  const std::size_t at = low.find(kLengthField);
  if (at != std::string::npos) {
    buffer_.erase(0, at);
    skipping_ = false;
    return true;
  }
  // Keep the longest tail that may begin the field name cut by a read.
  std::size_t keep = std::min(buffer_.size(), kLengthField.size() - 1);
  while (keep > 0 && kLengthField.compare(0, keep, std::string_view(low).substr(low.size() - keep)) != 0) --keep;
  buffer_.erase(0, buffer_.size() - keep);
  return false;
}

FrameReader::Status FrameReader::next(std::string& body, std::string& error) {
  if (skipping_ && !skip_to_header()) return Status::NeedMore;
  // Blank lines between frames are tolerated.
  std::size_t start = 0;
  while (start < buffer_.size() && (buffer_[start] == '\r' || buffer_[start] == '\n')) ++start;
  if (start) buffer_.erase(0, start);
  const std::size_t end = buffer_.find(kHeaderEnd);
  if (end == std::string::npos) {
    if (buffer_.size() > 8192) {  // no header is that long: garbage
      error = "header too long";
      buffer_.erase(0, 1);
      skipping_ = true;
      return Status::Error;
    }
    return Status::NeedMore;
  }
  std::size_t length = 0;
  if (!content_length(std::string_view(buffer_).substr(0, end), length, error)) {
    buffer_.erase(0, 1);  // the next frame can only start after this one's first byte
    skipping_ = true;
    return Status::Error;
  }
  const std::size_t body_start = end + kHeaderEnd.size();
  if (buffer_.size() - body_start < length) return Status::NeedMore;
  body.assign(buffer_, body_start, length);
  buffer_.erase(0, body_start + length);
  return Status::Body;
}

std::string frame(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}

}  // namespace tav::dap
