// initialize: what the adapter can do, honestly.
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void initialize(Session& s, const Request&, Reply& reply) {
  s.initialized = true;
  reply.body = {
      {"supportsConfigurationDoneRequest", true},
      {"supportsFunctionBreakpoints", true},
      {"supportsConditionalBreakpoints", true},
      {"supportsHitConditionalBreakpoints", true},
      {"supportsLogPoints", true},
      {"supportsEvaluateForHovers", true},
      {"supportsSetVariable", true},
      {"supportsSetExpression", true},
      {"supportsStepBack", false},
      {"supportsRestartRequest", true},
      {"supportsTerminateRequest", true},
      {"supportsDataBreakpoints", true},
      {"supportsInstructionBreakpoints", true},
      {"supportsDisassembleRequest", true},
      {"supportsReadMemoryRequest", true},
      {"supportsWriteMemoryRequest", true},
      {"supportsLoadedSourcesRequest", true},
      {"supportsSteppingGranularity", true},
      {"supportsValueFormattingOptions", true},
      {"supportsExceptionOptions", false},
      {"supportsExceptionInfoRequest", false},
      {"supportsGotoTargetsRequest", false},
      {"supportsStepInTargetsRequest", false},
      {"supportsCompletionsRequest", false},
      {"supportsModulesRequest", false},
      {"supportsRestartFrame", false},
      {"supportsCancelRequest", false},
      {"supportsTerminateThreadsRequest", false},
      {"supportTerminateDebuggee", true},
      {"exceptionBreakpointFilters", json::array()},
  };
}

}  // namespace tav::dap
