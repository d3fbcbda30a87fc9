// Commands, events, expressions and disassembly on behalf of extensions.
#include <algorithm>
#include <cstring>
#include <string>

#include "disasm/cpu12_disasm.h"
#include "ext/api/api_binding.h"
#include "include/tav/extension.h"
#include "kernel/debugger.h"
#include "kernel/interp.h"
#include "run/program_disasm_lookup.h"

using tav::api::bound;

namespace {
void copy_cut(std::string_view text, char* buffer, int32_t size) {
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}
}  // namespace

TAV_API const char* docmd(const char* line, int32_t mode) {
  tav::Debugger* d = bound();
  if (!d || !line) return line;
  return tav::docmd(*d, line, mode);
}

TAV_API int32_t ExecTavCommand(const char* line, char* output, int32_t size) {
  tav::Debugger* d = bound();
  if (!d || !line) return 0;
  tav::KernelState& k = d->kernel;
  tav::OutputState& o = d->output;
  const bool typed = k.typed_command;
  const bool capture = output && size > 0;
  if (capture) {
    o.error_capture = true;
    o.captured_error.reset();
    tav::WinitFakeIo(*d);
    k.typed_command = true;
  }
  tav::docmd(*d, line, 1);
  if (capture) {
    output[0] = '\0';
    tav::WinStopFakeIo(*d);
    o.error_capture = false;
    if (o.captured_error) {
      copy_cut(*o.captured_error, output, size);
      o.captured_error.reset();
      return 0;  // the typed-command switch stays as the command left it
    }
    copy_cut(tav::fake_io_text(*d), output, size);
  }
  k.typed_command = typed;
  return 1;
}

TAV_API int32_t AddEventByCommand(const char* line) {
  tav::Debugger* d = bound();
  if (!d || !line) return 0;
  tav::docmd(*d, line, 1);
  return d->events.GetLastBkptNum();
}
TAV_API int32_t GetLastBkptNum(void) {
  tav::Debugger* d = bound();
  return d ? d->events.GetLastBkptNum() : 0;
}
TAV_API int32_t CheckEvent(void) {
  tav::Debugger* d = bound();
  return d && d->events.chkevent(tav::EventCore::Cpu12, nullptr) ? 1 : 0;
}
TAV_API void rmevent(int32_t number, int32_t mode) {
  if (tav::Debugger* d = bound()) d->events.rmevent(number, mode != 0);
}

TAV_API int32_t Expression(int32_t mode, const char** cursor, int32_t* is_floating, int32_t* integer,
                           double* floating) {
  tav::Debugger* d = bound();
  if (!d || !cursor || !*cursor || !is_floating || !integer || !floating) return 0;
  int flt = 0;
  const int status = d->evaluator.Expression(mode, *cursor, flt, *integer, *floating);
  *is_floating = flt;
  return status;
}

TAV_API int32_t Disassemble(uint32_t address, char* text) {
  tav::Debugger* d = bound();
  if (!d || !text) return 0;
  // The program's symbols and lines annotate it as in the instruction trace.
  tav::ProgramDisasmLookup lookup(d->program, false, &d->xgate_code);
  const tav::Disassembly insn = tav::Disassemble(d->memory, d->cpu_regs, address, &lookup);
  copy_cut(insn.text, text, TAV_DISASM_TEXT);
  return insn.length;
}
