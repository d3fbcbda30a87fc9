// The framing reader fed as reads split the bytes: every split gives the
// same bodies and errors, and a bad header never loses the frame after it.
#include "dap/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tav::dap {
namespace {

// "B:<body>" per body, "E" per error, for the whole input fed `piece` bytes at a time.
std::vector<std::string> read_all(const std::string& input, std::size_t piece) {
  FrameReader reader;
  std::vector<std::string> out;
  for (std::size_t at = 0; at < input.size(); at += piece) {
    reader.feed(std::string_view(input).substr(at, piece));
    for (;;) {
      std::string body, error;
      const auto status = reader.next(body, error);
      if (status == FrameReader::Status::NeedMore) break;
      out.push_back(status == FrameReader::Status::Body ? "B:" + body : "E");
    }
  }
  return out;
}

TEST(Framing, SplitsAndBadHeaders) {
  struct Case {
    std::string input;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {frame("{}") + frame("[1]"), {"B:{}", "B:[1]"}},
      {"content-length:  2 \r\nX-Other: y\r\n\r\n{}", {"B:{}"}},  // case, blanks, other fields
      {"\r\n" + frame("{}"), {"B:{}"}},                            // blank line between frames
      {"Content-Length: x\r\n\r\n{}" + frame("1"), {"E", "B:1"}},
      {"Content-Type: a\r\n\r\n{}" + frame("2"), {"E", "B:2"}},
      {"Content-Length: 99999999999\r\n\r\n" + frame("3"), {"E", "B:3"}},
      {"garbage" + frame("4"), {"E", "B:4"}},
      {"Content-Length: 0\r\n\r\n", {"B:"}},
  };
  for (const Case& c : cases)
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, c.input.size()})
      EXPECT_EQ(read_all(c.input, piece), c.expected) << c.input << " in pieces of " << piece;
}

TEST(Framing, WaitsForTheWholeBody) {
  FrameReader reader;
  reader.feed("Content-Length: 4\r\n\r\nab");
  std::string body, error;
  EXPECT_EQ(reader.next(body, error), FrameReader::Status::NeedMore);
  reader.feed("cd");
  EXPECT_EQ(reader.next(body, error), FrameReader::Status::Body);
  EXPECT_EQ(body, "abcd");
}

}  // namespace
}  // namespace tav::dap
