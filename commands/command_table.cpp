// The command table, in matching order. Abbreviations are entries of their own;
// there is no prefix matching. Commented lines mark where the commands of
// subsystems still to come take their place.
#include "commands/command_table.h"

#include <string>

#include "commands/handlers.h"

namespace tav {

namespace {
constexpr std::uint16_t U = kCmdNoUpdate;
constexpr std::uint16_t I = kCmdInternal;
constexpr std::uint16_t D = kCmdNeedsDebug;
constexpr std::uint16_t L = kCmdLoad;
constexpr std::uint16_t F = kCmdFrame;

constexpr CmdEntry cmd(const char* name, std::uint16_t flags, CmdHandler handler) {
  return CmdEntry{name, static_cast<std::uint16_t>(std::char_traits<char>::length(name)), flags, handler};
}
}  // namespace

const CmdEntry cmdtab[] = {
    cmd("internals", 0, cmd_internals),
    cmd("a", D, cmd_activ),
    cmd("activ", D, cmd_activ),
    cmd("cmdwin", 0, cmd_cmdwin),
    cmd("deact", D, cmd_deact),
    cmd("b", U, cmd_break),
    cmd("break", U, cmd_break),
    cmd("w", 0, cmd_watch),
    cmd("watch", 0, cmd_watch),
    cmd("del", 0, cmd_del),
    cmd("delete", 0, cmd_del),
    cmd("db", 0, cmd_dbreak),
    cmd("dbreak", 0, cmd_dbreak),
    cmd("dw", 0, cmd_dwatch),
    cmd("dwatch", 0, cmd_dwatch),
    cmd("disa", U, cmd_disa),
    cmd("path", 0, cmd_path),
    cmd("g", 0, cmd_go),
    cmd("go", 0, cmd_go),
    cmd("start", I, cmd_start),
    cmd("status", I, cmd_status),
    cmd("stop", I, cmd_stop),
    cmd("tgo", 0, cmd_tgo),
    cmd("tigo", 0, cmd_tigo),
    cmd("record", 0, cmd_record),
    cmd("move", D | F, cmd_move),
    cmd("l", L, cmd_load),
    cmd("load", L, cmd_load),
    cmd("m", 0, cmd_monit),
    cmd("monit", 0, cmd_monit),
    cmd("maximize", 0, cmd_maximize),
    cmd("minimize", 0, cmd_minimize),
    cmd("files", U | D, cmd_files),
    cmd("funcs", U | D, cmd_funcs),
    cmd("print", D, cmd_print),
    cmd("quit", 0, cmd_quit),
    cmd("r", 0, cmd_regs),
    cmd("regs", 0, cmd_regs),
    cmd("wregs", 0, cmd_wregs),
    cmd("s", 0, cmd_step),
    cmd("step", 0, cmd_step),
    cmd("si", 0, cmd_istep),
    cmd("istep", 0, cmd_istep),
    cmd("so", 0, cmd_ostep),
    cmd("ostep", 0, cmd_ostep),
    cmd("stack", 0, cmd_stack),
    cmd("wstack", 0, cmd_wstack),
    cmd("frame", U | D | F, cmd_frame),
    cmd("u", D, cmd_update),
    cmd("updat", D, cmd_update),
    cmd("update", D, cmd_update),
    cmd("v", U | D, cmd_vars),
    cmd("vars", U | D, cmd_vars),
    cmd("write", 0, cmd_write),
    cmd("x", 0, cmd_eval),
    cmd("eval", 0, cmd_eval),
    cmd("zero", L, cmd_zero),
    cmd("mess", 0, cmd_mess),
    cmd("perf", U | D, cmd_perf),
    cmd("sys", 0, cmd_sys),
    cmd("input", 0, cmd_input),
    cmd("output", 0, cmd_output),
    cmd("*", 0, cmd_rem),
    cmd("rem", 0, cmd_rem),
    cmd("dump", 0, cmd_dump),
    cmd("fill", 0, cmd_fill),
    cmd("finish", 0, cmd_finish),
    cmd("mm", 0, cmd_mm),
    cmd("fopen", 0, cmd_fopen),
    cmd("fclose", 0, cmd_fclose),
    cmd("fread", 0, cmd_fread),
    cmd("fwrite", 0, cmd_fwrite),
    cmd("rewind", 0, cmd_rewind),
    cmd("remove", 0, cmd_remove),
    cmd("pause", 0, cmd_pause),
    cmd("reset", 0, cmd_reset),
    cmd("session", 0, cmd_session),
    cmd("layout", 0, cmd_layout),
    // Tav's own: the extension loader from the command line, S-record files.
    cmd("extensions", U, cmd_extensions),
    cmd("extload", 0, cmd_extload),
    cmd("extclose", 0, cmd_extclose),
    cmd("extpath", 0, cmd_extpath),
    cmd("srec", 0, cmd_srec),
    cmd("help", U, cmd_help),  // not part of the language proper: after every other word
    {nullptr, 0, 0, nullptr},
};

}  // namespace tav
