// Callback registration: per instruction, events, loads, resets, status,
// sessions, updates and memory hooks. Handles are the entries' addresses
// (memory hooks: the memory's own handle number).
#include <cstdint>

#include "ext/api/api_binding.h"
#include "include/tav/extension.h"
#include "kernel/debugger.h"
#include "run/run_control.h"

using tav::api::bound;

namespace {

template <class List, class Fn>
TavHandle add(List& list, Fn fn) {
  return fn ? list.add(fn) : nullptr;
}

}  // namespace

TAV_API TavHandle RegisterCBFunction(TavCycleFn fn) {
  tav::Debugger* d = bound();
  if (!d || !fn) return nullptr;
  return d->execution.callbacks().add(tav::InstructionCallback{fn, nullptr});
}

TAV_API TavHandle RegisterCBParamFunction(TavCycleParamFn fn, uint32_t parameter) {
  tav::Debugger* d = bound();
  if (!d || !fn) return nullptr;
  return d->execution.callbacks().add(tav::InstructionCallback{nullptr, fn}, true, parameter);
}

TAV_API void UnRegisterCBFunction(TavHandle handle) {
  if (tav::Debugger* d = bound()) d->execution.callbacks().remove(handle);
}

TAV_API TavHandle RegisterEventFunction(TavNumberFn fn) {
  tav::Debugger* d = bound();
  return d ? add(d->events.event_functions(), fn) : nullptr;
}
TAV_API TavHandle RegisterLoadFunction(TavFileFn fn) {
  tav::Debugger* d = bound();
  return d ? add(d->notices.load, fn) : nullptr;
}
TAV_API TavHandle RegisterResetFunction(TavNumberFn fn) {
  tav::Debugger* d = bound();
  return d ? add(d->notices.reset, fn) : nullptr;
}
TAV_API TavHandle RegisterStatusFunction(TavNumberFn fn) {
  tav::Debugger* d = bound();
  return d ? add(d->notices.status, fn) : nullptr;
}
TAV_API TavHandle RegisterSessionFunction(TavFileFn fn) {
  tav::Debugger* d = bound();
  return d ? add(d->notices.session, fn) : nullptr;
}
TAV_API TavHandle RegisterUpdateFunction(TavNumberFn fn) {
  tav::Debugger* d = bound();
  return d ? add(d->notices.update, fn) : nullptr;
}

// These take every entry of their list away, whoever registered it.
TAV_API void UnRegisterEventFunction(void) {
  if (tav::Debugger* d = bound()) d->events.event_functions().remove_all();
}
TAV_API void UnRegisterLoadFunction(void) {
  if (tav::Debugger* d = bound()) d->notices.load.remove_all();
}
TAV_API void UnRegisterResetFunction(void) {
  if (tav::Debugger* d = bound()) d->notices.reset.remove_all();
}
TAV_API void UnRegisterStatusFunction(void) {
  if (tav::Debugger* d = bound()) d->notices.status.remove_all();
}
TAV_API void UnRegisterSessionFunction(void) {
  if (tav::Debugger* d = bound()) d->notices.session.remove_all();
}
TAV_API void UnRegisterUpdateFunction(void) {
  if (tav::Debugger* d = bound()) d->notices.update.remove_all();
}

TAV_API TavHandle RegisterMemHook(uint32_t start, uint32_t length, uint32_t mask, uint32_t parameter,
                                  TavMemHookFn fn) {
  tav::Debugger* d = bound();
  if (!d || !fn) return nullptr;
  // The host's hook type has plain int size and access: the same values.
  const int handle = d->memory.RegisterMemHook(start, length, mask, parameter,
                                               fn);  // int32_t is int here
  return reinterpret_cast<TavHandle>(static_cast<std::intptr_t>(handle));
}

TAV_API void UnRegisterMemHook(TavHandle handle) {
  if (tav::Debugger* d = bound())
    d->memory.UnRegisterMemHook(static_cast<int>(reinterpret_cast<std::intptr_t>(handle)));
}
