// Fuzzes what the adapter does with bytes from its client before any
// debugger state is touched: the framing (fed in pieces, as reads split it),
// request parsing and the argument readers the handlers use.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "dap/framing.h"
#include "dap/protocol.h"

namespace {

void request_body(std::string_view body) {
  tav::dap::Request request;
  std::string error;
  if (!tav::dap::parse_request(body, request, error)) return;
  const auto& args = request.arguments;
  for (const char* name : {"program", "expression", "memoryReference", "name", "value", "data", "line"}) {
    (void)tav::dap::string_arg(args, name);
    (void)tav::dap::int_arg(args, name, 0);
    (void)tav::dap::bool_arg(args, name, false);
  }
  // What a response would carry back must serialise, whatever the bytes.
  (void)args.dump(-1, ' ', false, tav::dap::json::error_handler_t::replace);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // The first byte chooses the read size, so splits land everywhere.
  const std::size_t piece = size ? static_cast<std::size_t>(data[0] % 61) + 1 : 1;
  tav::dap::FrameReader reader;
  for (std::size_t at = 0; at < input.size(); at += piece) {
    reader.feed(input.substr(at, piece));
    for (;;) {
      std::string body, error;
      const auto status = reader.next(body, error);
      if (status == tav::dap::FrameReader::Status::NeedMore) break;
      if (status == tav::dap::FrameReader::Status::Body) request_body(body);
    }
  }
  return 0;
}
