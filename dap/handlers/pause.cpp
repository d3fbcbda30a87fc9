// pause: the session answers it on the reader's thread (the stop request
// must reach a running target); here it only arrives when nothing runs.
#include "dap/handlers/handlers.h"
#include "dap/session.h"

namespace tav::dap {

void pause(Session&, const Request&, Reply&) {}

}  // namespace tav::dap
