// "l"/"load", "files", "funcs", "a"/"activ" and "deact" over the debugger's own program.
#include "commands/handlers.h"
#include "kernel/debugger.h"
#include "run/program_image.h"

namespace tav {

const char* cmd_load(Debugger& d, const char* args, int mode) { return image_load(d, d.program, args, mode); }
const char* cmd_files(Debugger& d, const char* args, int mode) { return image_files(d, d.program, args, mode); }
const char* cmd_funcs(Debugger& d, const char* args, int mode) { return image_funcs(d, d.program, args, mode); }
const char* cmd_activ(Debugger& d, const char* args, int mode) { return image_activ(d, d.program, args, mode); }
const char* cmd_deact(Debugger& d, const char* args, int mode) { return image_deact(d, d.program, args, mode); }

}  // namespace tav
