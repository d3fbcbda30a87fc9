// Messages of the debug adapter protocol: requests taken apart, and the
// numbered writer every response and event goes out through.
#pragma once
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace tav::dap {

using json = nlohmann::json;

struct Request {
  std::int64_t seq = 0;
  std::string command;
  json arguments = json::object();
};

// A body taken apart as a request; false with the reason when it is not one
// (`out.seq` and `out.command` keep what could be read, for the error response).
bool parse_request(std::string_view body, Request& out, std::string& error);

// The argument `name` of the kind asked for, or the fallback when it is
// absent or of another kind.
std::string string_arg(const json& args, const char* name, std::string fallback = {});
std::int64_t int_arg(const json& args, const char* name, std::int64_t fallback);
bool bool_arg(const json& args, const char* name, bool fallback);

// Numbers messages and writes them framed; shared by the thread that reads
// requests and the one that runs them.
class Transport {
 public:
  using Writer = std::function<void(std::string_view framed)>;
  explicit Transport(Writer writer) : writer_(std::move(writer)) {}

  void send(json message);
  void event(std::string_view name, json body = nullptr);
  void response(const Request& request, bool success, json body, std::string_view message = {});

 private:
  std::mutex mutex_;
  std::int64_t seq_ = 1;
  Writer writer_;
};

}  // namespace tav::dap
