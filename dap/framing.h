// Content-Length framing of the debug adapter protocol: a header block of
// "Name: value" lines ended by an empty line, then exactly that many bytes of
// JSON. The reader is fed whatever arrives and hands out whole bodies; a
// header it cannot use is reported once and skipped, so one bad frame never
// ends the session.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace tav::dap {

// Bodies larger than this are refused (the header is skipped).
inline constexpr std::size_t kMaxBody = 16u << 20;

class FrameReader {
 public:
  enum class Status { NeedMore, Body, Error };

  void feed(std::string_view bytes) { buffer_.append(bytes); }
  // The next whole body, or a header error (with its text), or NeedMore.
  Status next(std::string& body, std::string& error);
  std::size_t buffered() const { return buffer_.size(); }

 private:
  // While skipping after a bad header: drops bytes up to the next
  // Content-Length field; false while none has arrived yet.
  bool skip_to_header();

  std::string buffer_;
  bool skipping_ = false;  // one error per bad stretch, however the reads split it
};

// One message framed for sending.
std::string frame(std::string_view body);

}  // namespace tav::dap
