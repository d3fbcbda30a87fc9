// What several handlers share: frame ids, addresses as the client sees
// them, sources, and the events behind breakpoints.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "dap/dispatcher.h"
#include "dap/session.h"
#include "events/event.h"
#include "expr/frames.h"

namespace tav::dap {

// Frame ids: the frame's index (innermost 0) and its core, packed.
int frame_id(Core core, int index);
struct FrameRef {
  Core core = Core::Cpu12;
  int index = 0;
};
std::optional<FrameRef> frame_ref(std::int64_t id);
// The frame a request names with "frameId", the innermost CPU12 frame when absent.
FrameRef requested_frame(const json& args);

// Addresses: "0x00C000" both ways (decimal is taken too).
std::string hex_address(std::uint32_t address);
std::optional<std::uint32_t> parse_address(const std::string& text);

// The display format letter of a request's "format" (hex or natural).
char format_letter(const json& args);

// A source object for a file name of the debug tables.
json source_json(const Session& s, const std::string& file);

// The arguments of a breakpoint the client sends, as a break or watch command:
// "condition", "hitCondition" and "logMessage" become a count and attached
// commands. False with the reason when they cannot.
bool breakpoint_command(const json& bp, const std::string& where, std::string& line, std::string& error);
// Runs a breakpoint command and links the event it made; the client's
// breakpoint object for it.
json make_breakpoint(Session& s, const std::string& line, BreakpointLink& link);
// The client's breakpoint object for an event.
json event_breakpoint(const Session& s, const Event& e, int id);
// Replaces one kind of breakpoints with the request's list: `where` turns a
// client breakpoint into the place of its break command ("gcd", "@0x7FC012"),
// or empty with the reason why it cannot.
void replace_breakpoints(Session& s, const Request& request, Reply& reply, std::vector<BreakpointLink>& links,
                         const std::function<std::string(const json& bp, std::string& error)>& where);

// A required argument, or the reply fails naming it.
const json* require(const json& args, const char* name, Reply& reply);

}  // namespace tav::dap
