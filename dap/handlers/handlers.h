// The request handlers, one file each.
#pragma once
#include "dap/dispatcher.h"

namespace tav::dap {

void initialize(Session&, const Request&, Reply&);
void launch(Session&, const Request&, Reply&);
void attach(Session&, const Request&, Reply&);
void configuration_done(Session&, const Request&, Reply&);
void set_breakpoints(Session&, const Request&, Reply&);
void set_function_breakpoints(Session&, const Request&, Reply&);
void set_instruction_breakpoints(Session&, const Request&, Reply&);
void data_breakpoint_info(Session&, const Request&, Reply&);
void set_data_breakpoints(Session&, const Request&, Reply&);
void set_exception_breakpoints(Session&, const Request&, Reply&);
void threads(Session&, const Request&, Reply&);
void stack_trace(Session&, const Request&, Reply&);
void scopes(Session&, const Request&, Reply&);
void variables(Session&, const Request&, Reply&);
void set_variable(Session&, const Request&, Reply&);
void evaluate(Session&, const Request&, Reply&);
void set_expression(Session&, const Request&, Reply&);
void continue_(Session&, const Request&, Reply&);
void next(Session&, const Request&, Reply&);
void step_in(Session&, const Request&, Reply&);
void step_out(Session&, const Request&, Reply&);
void pause(Session&, const Request&, Reply&);
void disassemble(Session&, const Request&, Reply&);
void read_memory(Session&, const Request&, Reply&);
void write_memory(Session&, const Request&, Reply&);
void loaded_sources(Session&, const Request&, Reply&);
void restart(Session&, const Request&, Reply&);
void disconnect(Session&, const Request&, Reply&);
void terminate(Session&, const Request&, Reply&);

}  // namespace tav::dap
