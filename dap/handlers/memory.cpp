// readMemory and writeMemory: target bytes in base64. Reading looks at the
// memory model (no data events fire); writing goes through "mm", as typed.
#include <cstring>

#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "kernel/debugger.h"
#include "ui/model/memory_model.h"

namespace tav::dap {

namespace {
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
// Bytes one request reads at most.
constexpr std::int64_t kMaxRead = 1 << 20;

std::string encode(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::uint32_t n = bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                            (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    out += kBase64[n >> 18 & 63];
    out += kBase64[n >> 12 & 63];
    out += i + 1 < bytes.size() ? kBase64[n >> 6 & 63] : '=';
    out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
  }
  return out;
}

bool decode(const std::string& text, std::vector<std::uint8_t>& bytes) {
  std::uint32_t acc = 0;
  int bits = 0;
  for (char c : text) {
    if (c == '=') break;
    const char* at = std::strchr(kBase64, c);
    if (!at || c == '\0') return false;
    acc = (acc << 6 | static_cast<std::uint32_t>(at - kBase64)) & 0xFFFFFF;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<std::uint8_t>(acc >> bits));
    }
  }
  return true;
}
}  // namespace

void read_memory(Session& s, const Request& request, Reply& reply) {
  const json& args = request.arguments;
  if (!require(args, "memoryReference", reply) || !require(args, "count", reply)) return;
  const auto base = parse_address(string_arg(args, "memoryReference"));
  if (!base) return reply.fail("the memory reference is not an address");
  const std::int64_t count = int_arg(args, "count", -1);
  if (count < 0 || count > kMaxRead) return reply.fail("count out of range");
  const std::int64_t start = static_cast<std::int64_t>(*base) + int_arg(args, "offset", 0);
  if (start < 0) return reply.fail("address below 0");
  const std::vector<std::uint8_t> bytes =
      memory_bytes(s.debugger().memory, static_cast<std::uint64_t>(start), static_cast<std::uint64_t>(count));
  reply.body = {{"address", hex_address(static_cast<std::uint32_t>(start))}, {"data", encode(bytes)}};
  if (bytes.size() < static_cast<std::size_t>(count)) reply.body["unreadableBytes"] = count - static_cast<std::int64_t>(bytes.size());
}

void write_memory(Session& s, const Request& request, Reply& reply) {
  const json& args = request.arguments;
  if (!require(args, "memoryReference", reply) || !require(args, "data", reply)) return;
  const auto base = parse_address(string_arg(args, "memoryReference"));
  if (!base) return reply.fail("the memory reference is not an address");
  std::vector<std::uint8_t> bytes;
  if (!decode(string_arg(args, "data"), bytes)) return reply.fail("data is not base64");
  const std::int64_t start = static_cast<std::int64_t>(*base) + int_arg(args, "offset", 0);
  if (start < 0 || start + static_cast<std::int64_t>(bytes.size()) > kLastGlobalAddress + 1)
    return reply.fail("address out of range");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const CommandResult r = s.command("mm /b " + hex_address(static_cast<std::uint32_t>(start + static_cast<std::int64_t>(i))) +
                                      " " + std::to_string(bytes[i]));
    if (!r.ok()) return reply.fail(*r.error);
  }
  reply.body = {{"bytesWritten", bytes.size()}};
  if (!bytes.empty()) reply.after = [&s] { s.out().event("invalidated", {{"areas", {"variables"}}}); };
}

}  // namespace tav::dap
