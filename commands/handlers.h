// Handlers of the built-in commands, grouped by the file that implements them.
#pragma once

namespace tav {

class Debugger;

// cmd_kernel.cpp: the interpreter's own commands.
const char* cmd_internals(Debugger& d, const char* args, int mode);
const char* cmd_path(Debugger& d, const char* args, int mode);
const char* cmd_status(Debugger& d, const char* args, int mode);
const char* cmd_stop(Debugger& d, const char* args, int mode);
const char* cmd_record(Debugger& d, const char* args, int mode);
const char* cmd_quit(Debugger& d, const char* args, int mode);
const char* cmd_input(Debugger& d, const char* args, int mode);
const char* cmd_output(Debugger& d, const char* args, int mode);
const char* cmd_rem(Debugger& d, const char* args, int mode);

// cmd_image.cpp: loading the program, its files and functions.
const char* cmd_load(Debugger& d, const char* args, int mode);
const char* cmd_files(Debugger& d, const char* args, int mode);
const char* cmd_funcs(Debugger& d, const char* args, int mode);
const char* cmd_activ(Debugger& d, const char* args, int mode);
const char* cmd_deact(Debugger& d, const char* args, int mode);

// cmd_system.cpp: commands that reach the operating system.
const char* cmd_sys(Debugger& d, const char* args, int mode);
const char* cmd_remove(Debugger& d, const char* args, int mode);
const char* cmd_pause(Debugger& d, const char* args, int mode);

// cmd_target.cpp: the target's registers and memory.
const char* cmd_regs(Debugger& d, const char* args, int mode);
const char* cmd_wregs(Debugger& d, const char* args, int mode);
const char* cmd_disa(Debugger& d, const char* args, int mode);
const char* cmd_dump(Debugger& d, const char* args, int mode);
const char* cmd_srec(Debugger& d, const char* args, int mode);
const char* cmd_fill(Debugger& d, const char* args, int mode);
const char* cmd_mm(Debugger& d, const char* args, int mode);

// cmd_events.cpp: breakpoints and watchpoints.
const char* cmd_break(Debugger& d, const char* args, int mode);
const char* cmd_watch(Debugger& d, const char* args, int mode);
const char* cmd_dbreak(Debugger& d, const char* args, int mode);
const char* cmd_dwatch(Debugger& d, const char* args, int mode);
const char* cmd_del(Debugger& d, const char* args, int mode);
const char* cmd_write(Debugger& d, const char* args, int mode);

// Session and layout files.
const char* cmd_session(Debugger& d, const char* args, int mode);
const char* cmd_layout(Debugger& d, const char* args, int mode);

// cmd_run.cpp: execution control, restart and the profile.
const char* cmd_go(Debugger& d, const char* args, int mode);
const char* cmd_step(Debugger& d, const char* args, int mode);
const char* cmd_istep(Debugger& d, const char* args, int mode);
const char* cmd_ostep(Debugger& d, const char* args, int mode);
const char* cmd_finish(Debugger& d, const char* args, int mode);
const char* cmd_tgo(Debugger& d, const char* args, int mode);
const char* cmd_tigo(Debugger& d, const char* args, int mode);
const char* cmd_start(Debugger& d, const char* args, int mode);
const char* cmd_zero(Debugger& d, const char* args, int mode);
// Extensions (cmd_extensions.cpp): list, load and close them by name.
const char* cmd_extensions(Debugger& d, const char* args, int mode);
const char* cmd_extload(Debugger& d, const char* args, int mode);
const char* cmd_extclose(Debugger& d, const char* args, int mode);
const char* cmd_extpath(Debugger& d, const char* args, int mode);
const char* cmd_reset(Debugger& d, const char* args, int mode);
const char* cmd_perf(Debugger& d, const char* args, int mode);

// cmd_values.cpp: C expressions, monitors, variables and the call stack.
const char* cmd_eval(Debugger& d, const char* args, int mode);
const char* cmd_print(Debugger& d, const char* args, int mode);
const char* cmd_update(Debugger& d, const char* args, int mode);
const char* cmd_monit(Debugger& d, const char* args, int mode);
const char* cmd_vars(Debugger& d, const char* args, int mode);
const char* cmd_wstack(Debugger& d, const char* args, int mode);
const char* cmd_stack(Debugger& d, const char* args, int mode);
const char* cmd_frame(Debugger& d, const char* args, int mode);
const char* cmd_move(Debugger& d, const char* args, int mode);

// cmd_windows.cpp: the main frame's windows.
const char* cmd_cmdwin(Debugger& d, const char* args, int mode);
const char* cmd_maximize(Debugger& d, const char* args, int mode);
const char* cmd_minimize(Debugger& d, const char* args, int mode);

// cmd_channels.cpp: formatted messages and I/O channels.
const char* cmd_mess(Debugger& d, const char* args, int mode);
const char* cmd_fopen(Debugger& d, const char* args, int mode);
const char* cmd_help(Debugger& d, const char* args, int mode);
const char* cmd_fclose(Debugger& d, const char* args, int mode);
const char* cmd_fread(Debugger& d, const char* args, int mode);
const char* cmd_fwrite(Debugger& d, const char* args, int mode);
const char* cmd_rewind(Debugger& d, const char* args, int mode);

}  // namespace tav
