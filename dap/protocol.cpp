#include "dap/protocol.h"

#include "dap/framing.h"

namespace tav::dap {

bool parse_request(std::string_view body, Request& out, std::string& error) {
  json message = json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    error = "invalid JSON";
    return false;
  }
  if (!message.is_object()) {
    error = "message is not an object";
    return false;
  }
  if (auto seq = message.find("seq"); seq != message.end() && seq->is_number_integer()) out.seq = seq->get<std::int64_t>();
  if (auto command = message.find("command"); command != message.end() && command->is_string())
    out.command = command->get<std::string>();
  const auto type = message.find("type");
  if (type == message.end() || !type->is_string() || *type != "request") {
    error = "message is not a request";
    return false;
  }
  if (out.command.empty()) {
    error = "request without a command";
    return false;
  }
  if (auto args = message.find("arguments"); args != message.end()) {
    if (!args->is_object()) {
      error = "arguments are not an object";
      return false;
    }
    out.arguments = std::move(*args);
  }
  return true;
}

std::string string_arg(const json& args, const char* name, std::string fallback) {
  const auto it = args.find(name);
  return it != args.end() && it->is_string() ? it->get<std::string>() : fallback;
}

std::int64_t int_arg(const json& args, const char* name, std::int64_t fallback) {
  const auto it = args.find(name);
  return it != args.end() && it->is_number_integer() ? it->get<std::int64_t>() : fallback;
}

bool bool_arg(const json& args, const char* name, bool fallback) {
  const auto it = args.find(name);
  return it != args.end() && it->is_boolean() ? it->get<bool>() : fallback;
}

void Transport::send(json message) {
  std::lock_guard lock(mutex_);
  message["seq"] = seq_++;
  // Target memory may hold any byte: text that is not UTF-8 is replaced, never refused.
  writer_(frame(message.dump(-1, ' ', false, json::error_handler_t::replace)));
}

void Transport::event(std::string_view name, json body) {
  json message = {{"type", "event"}, {"event", name}};
  if (!body.is_null()) message["body"] = std::move(body);
  send(std::move(message));
}

void Transport::response(const Request& request, bool success, json body, std::string_view message) {
  json out = {{"type", "response"}, {"request_seq", request.seq}, {"success", success}, {"command", request.command}};
  if (!success) out["message"] = message.empty() ? std::string("failed") : std::string(message);
  if (!body.is_null()) out["body"] = std::move(body);
  send(std::move(out));
}

}  // namespace tav::dap
