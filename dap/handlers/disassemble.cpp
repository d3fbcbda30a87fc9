// disassemble: instructions around an address from the disassembly model,
// with the symbols they start and their source lines.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"
#include "ui/model/disassembly_model.h"

namespace tav::dap {

namespace {
// Instructions one request gets at most.
constexpr std::int64_t kMaxInstructions = 4096;

std::string hex_bytes(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  char two[4];
  for (std::uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    std::snprintf(two, sizeof two, "%02X", b);
    text += two;
  }
  return text;
}
}  // namespace

void disassemble(Session& s, const Request& request, Reply& reply) {
  const json& args = request.arguments;
  if (!require(args, "memoryReference", reply) || !require(args, "instructionCount", reply)) return;
  const auto base = parse_address(string_arg(args, "memoryReference"));
  if (!base) return reply.fail("the memory reference is not an address");
  const std::int64_t count = int_arg(args, "instructionCount", 0);
  if (count < 0 || count > kMaxInstructions) return reply.fail("instruction count out of range");
  const std::int64_t offset = int_arg(args, "offset", 0);
  const std::int64_t index = int_arg(args, "instructionOffset", 0);
  if (index < -kMaxInstructions || index > kMaxInstructions) return reply.fail("instruction offset out of range");
  const std::uint32_t address = static_cast<std::uint32_t>(*base + offset) & 0xFFFFFF;
  json list = json::array();
  std::string last_file;
  for (const DisassemblyRow& row :
       disassembly_rows(s.debugger(), address, static_cast<int>(index), static_cast<unsigned>(count))) {
    json item = {{"address", hex_address(row.address)},
                 {"instructionBytes", hex_bytes(row.bytes)},
                 {"instruction", row.defined ? row.instruction : std::string("???")}};
    if (!row.symbol.empty()) item["symbol"] = row.symbol;
    if (!row.file.empty()) {
      if (row.file != last_file) item["location"] = source_json(s, row.file);
      item["line"] = row.line;
      last_file = row.file;
    }
    list.push_back(std::move(item));
  }
  reply.body = {{"instructions", list}};
}

}  // namespace tav::dap
