// Execution control, target memory and registers. Memory access here is the
// debugger's raw access: no hooks, no data events.
#include <cstdint>
#include <cstring>

#include "ext/api/api_binding.h"
#include "include/tav/extension.h"
#include "kernel/debugger.h"
#include "kernel/interp.h"
#include "run/run_control.h"

using tav::api::bound;

namespace {
// Interrupt-file errors go to the host's message box.
struct HostMessages : tav::MessageBoxSink {
  tav::Host& host;
  explicit HostMessages(tav::Host& h) : host(h) {}
  void message_box(std::string_view title, std::string_view text) override { host.message_box(title, text); }
};
}  // namespace

TAV_API int32_t IsTargetRunning(void) {
  tav::Debugger* d = bound();
  return d && d->execution.IsTargetRunning() ? 1 : 0;
}
TAV_API void ExecTargetCode(void) {
  if (tav::Debugger* d = bound()) d->execution.ExecTargetCode();
}
TAV_API void StartTargetCode(void) {
  if (tav::Debugger* d = bound()) d->execution.StartTargetCode();
}
TAV_API void AnimateTargetCode(void) {
  if (tav::Debugger* d = bound()) d->execution.AnimateTargetCode();
}
TAV_API void StepCode(int32_t count) {
  if (tav::Debugger* d = bound()) d->execution.StepCode(count);
}
TAV_API void StepTargetCode(int32_t count) {
  if (tav::Debugger* d = bound()) d->execution.StepTargetCode(count);
}
TAV_API void StopExecution(void) {
  if (tav::Debugger* d = bound()) d->execution.StopExecution();
}
TAV_API uint32_t SetStopFlag(uint32_t value) {
  tav::Debugger* d = bound();
  return d ? d->execution.SetStopFlag(value) : 0;
}
TAV_API uint32_t GetStopFlag(void) {
  tav::Debugger* d = bound();
  return d ? d->execution.GetStopFlag() : 0;
}
TAV_API int32_t CheckForStop(void) {
  tav::Debugger* d = bound();
  return d ? d->execution.CheckForStop() : 0;
}
TAV_API void RaiseInterrupt(uint32_t vector) {
  if (tav::Debugger* d = bound()) d->cpu.interrupts().RaiseInterrupt(vector);
}
TAV_API int32_t LoadInterrupts(const char* file) {
  tav::Debugger* d = bound();
  if (!d || !file) return 0;
  HostMessages messages(d->host);
  return tav::api::state().interrupts.LoadInterrupts(file, messages) ? 1 : 0;
}
TAV_API void ShowInterrupts(void) {
  // The console has no interrupt view: the definitions are printed instead.
  tav::Debugger* d = bound();
  if (!d) return;
  for (const std::string& line : tav::api::state().interrupts.lines()) tav::putout(*d, line + "\n");
}
TAV_API int32_t XGexinst(uint32_t* cycles) {
  tav::Debugger* d = bound();
  if (!d) return 0;
  std::uint32_t taken = 0;
  const auto result = d->xgate.XGexinst(&taken);
  if (cycles) *cycles = taken;
  return static_cast<int32_t>(result);
}
TAV_API void LoadTargetFile(const char* file) {
  tav::Debugger* d = bound();
  if (!d || !file || d->run.running) return;
  std::string line = "load ";
  line += std::strpbrk(file, " \t") ? '"' + std::string(file) + '"' : std::string(file);
  tav::docmd(*d, line.c_str(), 1);
}
TAV_API void NotifyBkptChanged(void) {
  if (tav::Debugger* d = bound()) d->host.refresh_views(tav::kViewSource | tav::kViewDisasm);
}
TAV_API int32_t GetExecutionType(void) { return 1; }
TAV_API const char* GetTargetProcessor(void) { return "S12X"; }
TAV_API int32_t GetTargetAddressSize(void) { return 6; }
TAV_API int32_t GetTargetIntSize(void) { return 2; }
TAV_API uint32_t GetCycleCount(void) {
  tav::Debugger* d = bound();
  return d ? d->cpu.counters.time : 0;
}

TAV_API uint32_t ReadByte(uint32_t address) {
  tav::Debugger* d = bound();
  return d ? d->memory.ReadByte(address) : 0;
}
TAV_API uint32_t ReadWord(uint32_t address) {
  tav::Debugger* d = bound();
  return d ? d->memory.ReadWord(address) : 0;
}
TAV_API uint32_t ReadLong(uint32_t address) {
  tav::Debugger* d = bound();
  return d ? d->memory.ReadLong(address) : 0;
}
TAV_API void WriteByte(uint32_t address, uint32_t value) {
  if (tav::Debugger* d = bound()) d->memory.WriteByte(address, static_cast<std::uint8_t>(value));
}
TAV_API void WriteWord(uint32_t address, uint32_t value) {
  if (tav::Debugger* d = bound()) d->memory.WriteWord(address, static_cast<std::uint16_t>(value));
}
TAV_API void WriteLong(uint32_t address, uint32_t value) {
  if (tav::Debugger* d = bound()) d->memory.WriteLong(address, value);
}
TAV_API void ReadMemory(void* destination, uint32_t address, int32_t count) {
  tav::Debugger* d = bound();
  if (d && destination)
    d->memory.ReadMemory(static_cast<std::uint8_t*>(destination), address, static_cast<std::int16_t>(count));
}
TAV_API void WriteMemory(const void* source, uint32_t address, int32_t count) {
  tav::Debugger* d = bound();
  if (d && source)
    d->memory.WriteMemory(static_cast<const std::uint8_t*>(source), address, static_cast<std::int16_t>(count));
}

TAV_API char* GetRegisterList(void) { return tav::Registers::GetRegisterList(); }
TAV_API int32_t GetRegisterCode(const char* name) { return name ? tav::Registers::GetRegisterCode(name) : 0; }
TAV_API int32_t GetRegisterSize(int32_t code) { return tav::Registers::GetRegisterSize(code); }
TAV_API int32_t GetNamedRegisterSize(const char* name) {
  return name ? tav::Registers::GetNamedRegisterSize(name) : 0;
}
TAV_API uint32_t ReadRegister(int32_t code) {
  tav::Debugger* d = bound();
  return d ? d->registers.ReadRegister(code) : 0;
}
TAV_API uint32_t ReadNamedRegister(const char* name) {
  tav::Debugger* d = bound();
  return d && name ? d->registers.ReadNamedRegister(name) : 0;
}
TAV_API void WriteRegister(int32_t code, uint32_t value) {
  if (tav::Debugger* d = bound()) d->registers.WriteRegister(code, value);
}
TAV_API void WriteNamedRegister(const char* name, uint32_t value) {
  tav::Debugger* d = bound();
  if (d && name) d->registers.WriteNamedRegister(name, value);
}
TAV_API uint32_t ReadPC(void) {
  tav::Debugger* d = bound();
  return d ? d->registers.ReadPC() : 0;
}
TAV_API void WritePC(uint32_t global_address) {
  if (tav::Debugger* d = bound()) d->registers.WritePC(global_address);
}
TAV_API int32_t GetRegistersBlockSize(void) { return tav::Registers::GetRegistersBlockSize(); }
TAV_API void SaveRegisters(void* block) {
  tav::Debugger* d = bound();
  if (d && block) d->registers.SaveRegisters(block);
}
TAV_API void RestoreRegisters(const void* block) {
  tav::Debugger* d = bound();
  if (d && block) d->registers.RestoreRegisters(block);
}
TAV_API uint32_t ReadSavedRegister(const void* block, int32_t code) {
  return block ? tav::Registers::ReadSavedRegister(block, code) : 0;
}
TAV_API uint32_t ReadSavedNamedRegister(const void* block, const char* name) {
  return block && name ? tav::Registers::ReadSavedRegister(block, tav::Registers::GetRegisterCode(name)) : 0;
}
TAV_API uint32_t ReadSavedPC(const void* block) { return block ? tav::Registers::ReadSavedPC(block) : 0; }
