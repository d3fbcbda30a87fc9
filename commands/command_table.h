// The built-in commands of the command language, in matching order; a null
// name ends the table.
#pragma once
#include "kernel/cmdtab.h"

namespace tav {

extern const CmdEntry cmdtab[];

}  // namespace tav
