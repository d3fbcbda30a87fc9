#include "dap/dispatcher.h"

#include "dap/handlers/handlers.h"

namespace tav::dap {

namespace {
// Every request the adapter answers; the rest get "unknown command".
constexpr HandlerEntry kHandlers[] = {
    {"initialize", initialize, false},
    {"launch", launch, false},
    {"attach", attach, false},
    {"configurationDone", configuration_done, true},
    {"setBreakpoints", set_breakpoints, true},
    {"setFunctionBreakpoints", set_function_breakpoints, true},
    {"setInstructionBreakpoints", set_instruction_breakpoints, true},
    {"dataBreakpointInfo", data_breakpoint_info, true},
    {"setDataBreakpoints", set_data_breakpoints, true},
    {"setExceptionBreakpoints", set_exception_breakpoints, false},
    {"threads", threads, false},
    {"stackTrace", stack_trace, true},
    {"scopes", scopes, true},
    {"variables", variables, true},
    {"setVariable", set_variable, true},
    {"evaluate", evaluate, true},
    {"setExpression", set_expression, true},
    {"continue", continue_, true},
    {"next", next, true},
    {"stepIn", step_in, true},
    {"stepOut", step_out, true},
    {"pause", pause, true},
    {"disassemble", disassemble, true},
    {"readMemory", read_memory, true},
    {"writeMemory", write_memory, true},
    {"loadedSources", loaded_sources, true},
    {"restart", restart, true},
    {"disconnect", disconnect, false},
    {"terminate", terminate, false},
};
}  // namespace

const HandlerEntry* find_handler(std::string_view command) {
  for (const HandlerEntry& e : kHandlers)
    if (e.command == command) return &e;
  return nullptr;
}

}  // namespace tav::dap
