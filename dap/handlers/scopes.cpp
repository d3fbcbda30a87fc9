// scopes: a frame's locals, the program's globals, and the registers.
#include "dap/handlers/common.h"
#include "dap/handlers/handlers.h"

namespace tav::dap {

void scopes(Session& s, const Request& request, Reply& reply) {
  const json* id = require(request.arguments, "frameId", reply);
  if (!id) return;
  const auto frame = frame_ref(id->is_number_integer() ? id->get<std::int64_t>() : 0);
  if (!frame) return reply.fail("unknown frame");
  const bool xgate = frame->core == Core::Xgate;
  const int locals = s.refs.add({VarNode::Kind::Locals, frame->index, xgate, {}});
  const int globals = s.refs.add({VarNode::Kind::Globals, frame->index, xgate, {}});
  const int registers = s.refs.add({VarNode::Kind::Registers, frame->index, xgate, {}});
  reply.body = {{"scopes",
                 {{{"name", "Locals"}, {"presentationHint", "locals"}, {"variablesReference", locals}, {"expensive", false}},
                  {{"name", "Globals"}, {"variablesReference", globals}, {"expensive", false}},
                  {{"name", "Registers"},
                   {"presentationHint", "registers"},
                   {"variablesReference", registers},
                   {"expensive", false}}}}};
}

}  // namespace tav::dap
