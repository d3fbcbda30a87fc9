// "help": one line per command, or one command's syntax and options. The
// texts are a table of their own; the command table stays the one list of
// words that run.
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/debugger.h"
#include "kernel/ext_notices.h"
#include "commands/handlers.h"

namespace tav {

namespace {

struct HelpEntry {
  const char* words;     // the words that run it, short forms first
  const char* syntax;    // options and arguments
  const char* summary;   // one line
};

constexpr HelpEntry kHelp[] = {
    {"internals", "[off]", "turn the internal commands (start, status, stop) on or off"},
    {"a activ", "<function>[, ...] | *", "mark functions active"},
    {"deact", "<function>[, ...] | *", "mark functions inactive"},
    {"b break", "[/a|/s|/e|/i] [/C:n] <position>[, ...] [{commands}]", "set a breakpoint (file:line, func(), @addr)"},
    {"w watch", "[/a|/s|/e|/i] [/C:n] <position>[, ...] [{commands}]", "set a watchpoint (reports, does not stop)"},
    {"del delete", "[/e|/m] * | <n>[, ...]", "delete events (/e) or monitors (/m)"},
    {"db dbreak", "[/a|/s] [/C:n] [/T:a|r|w] <variable or address>", "stop on a data access"},
    {"dw dwatch", "[/a|/s] [/C:n] [/T:a|r|w] <variable or address>", "report a data access"},
    {"disa", "", "show the disassembly at the PC"},
    {"path", "[\"dir|dir\"]", "show or set the source search path (|dir appends, dir| prepends)"},
    {"g go", "[<count> | <position> | <address>]", "run the target"},
    {"start", "", "run on a thread of its own (internals)"},
    {"status", "", "RUNNING or STOPPED (internals)"},
    {"stop", "", "stop a run that start began (internals)"},
    {"tgo", "[<position>]", "run, printing each source line"},
    {"tigo", "[<position>]", "run, printing each line and instruction"},
    {"record", "[<file>]", "record the command lines to a file; no name closes it"},
    {"move", "/u|/d|/t|/b [<specification>]", "change the current frame (up, down, top, bottom)"},
    {"l load", "[/s] [/o:<entry>] <file>", "load a program (.x12, S-records, Intel Hex, binary)"},
    {"m monit", "[/d|/b|/u|/x|/s|/o|/c] <expression>[, ...]", "add monitors"},
    {"files", "", "list the source files"},
    {"funcs", "[/n|/v] [<file>]", "list the functions"},
    {"print", "[/a|/p] <expression>", "print an expression"},
    {"quit", "", "end the debugger"},
    {"r regs", "", "print the registers"},
    {"wregs", "", "show the register view"},
    {"s step", "[<count>]", "step source lines (instructions without line information)"},
    {"si istep", "[<count>]", "step instructions"},
    {"so ostep", "[<count>]", "step over calls"},
    {"stack", "", "print the call stack"},
    {"wstack", "", "show the stack view"},
    {"frame", "", "print the current frame's variables"},
    {"u updat update", "<target> [=] <expression> | ? | ?s | \"text\"", "assign a value"},
    {"v vars", "[/a] [/v] [<specification>]", "list variables"},
    {"write", "[/e] [/m] <file>", "save events (/e) and monitors (/m) as commands"},
    {"x eval", "[/d|/b|/h|/u|/s|/o|/c|/x] [/q] [/F:b|w|l] <expression>[, ...]", "evaluate and print"},
    {"zero", "[/e] [/m] [/r]", "clear counts; delete events (/e), monitors (/m); reset the CPU (/r)"},
    {"mess", "\"text with %conversions\"[, <expression> ...]", "print a formatted message"},
    {"perf", "[/z] [<specification>]", "print (or with /z clear) the call counts"},
    {"sys", "[<command>]", "run a shell command"},
    {"input", "<file>", "run a command file"},
    {"output", "[/a] [<file>]", "copy the output to a file; no name ends it"},
    {"* rem", "<anything>", "comment: the rest of the line"},
    {"dump", "[/a] [/b|/w|/l] [/F:b|o|d|h] <start> <end> | <start>, <size>", "show target memory"},
    {"extensions", "", "list the available and the loaded extensions"},
    {"extload", "<name>", "load an available extension"},
    {"extclose", "<name>", "close a loaded extension"},
    {"extpath", "[<dir>|<dir>...]", "show or set the extension path, and search it"},
    {"srec", "[/b|/l] <start> <end> <file> | <start>, <size> <file>", "write target memory as S-records"},
    {"fill", "[/r] [/v] [/b|/w|/l] <start> <end> <value> | <start>, <count> <value>", "fill target memory"},
    {"finish", "", "run until the current function returns"},
    {"mm", "[/b|/w|/l] <address> <value>", "write one value to target memory"},
    {"fopen", "[/a] /c:<n> <file>", "open an I/O channel"},
    {"fclose", "/c:<n>", "close an I/O channel"},
    {"fread", "/c:<n> \"format\", <target>[, ...]", "read values from a channel"},
    {"fwrite", "/c:<n> \"format\"[, <expression> ...]", "write formatted values to a channel"},
    {"rewind", "/c:<n>", "go back to a channel's start"},
    {"remove", "<file>", "delete a file"},
    {"pause", "[<milliseconds>]", "wait (no number: for a key); Ctrl-C ends the wait"},
    {"reset", "", "the same as zero /r"},
    {"help", "[<command>]", "list the commands, or show one command's syntax"},
};

bool names(const HelpEntry& e, std::string_view word) {
  std::string_view words = e.words;
  while (!words.empty()) {
    const std::size_t blank = words.find(' ');
    if (words.substr(0, blank) == word) return true;
    if (blank == std::string_view::npos) break;
    words.remove_prefix(blank + 1);
  }
  return false;
}

// Loaded extensions with a command word, in the order they were loaded.
std::vector<ExtensionControl::Item> extension_commands(Debugger& d) {
  std::vector<ExtensionControl::Item> items;
  if (!d.extensions) return items;
  for (ExtensionControl::Item& item : d.extensions->loaded())
    if (!item.command.empty()) items.insert(items.begin(), std::move(item));
  return items;
}

std::string file_name(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

}  // namespace

const char* cmd_help(Debugger& d, const char* args, int) {
  const char* p = skipblanks(args);
  std::string word;
  while (*p && !blankchar(*p) && *p != ';' && *p != '}')
    word += static_cast<char>(std::tolower(static_cast<unsigned char>(*p++)));
  if (word.empty()) {
    for (const HelpEntry& e : kHelp) {
      std::string line = "  ";
      line += e.words;
      if (line.size() < 18) line.resize(18, ' ');
      else line += ' ';
      putout(d, line + e.summary + "\n");
    }
    const auto words = extension_commands(d);
    if (!words.empty()) {
      std::string line = "extension commands:";
      for (const auto& item : words) line += " " + item.command;
      putout(d, line + "\n");
    }
    putout(d, "help <command> shows its syntax; \"->\" on a line of its own enters the kernel console.\n");
    return p;
  }
  for (const HelpEntry& e : kHelp) {
    if (!names(e, word)) continue;
    putout(d, word + (*e.syntax ? " " : "") + e.syntax + "\n    " + e.summary + "\n");
    if (std::string_view(e.words).find(' ') != std::string_view::npos)
      putout(d, std::string("    also: ") + e.words + "\n");
    return p;
  }
  // Command words of extensions compare byte for byte, as they are routed.
  const std::string typed(skipblanks(args), static_cast<std::size_t>(p - skipblanks(args)));
  for (const auto& item : extension_commands(d)) {
    if (item.command != typed) continue;
    putout(d, item.command + (item.options.empty() ? "" : " " + item.options) + "\n");
    if (!item.help.empty()) putout(d, "    " + item.help + "\n");
    putout(d, "    from the extension " + file_name(item.path) + "\n");
    return p;
  }
  errout(d, {"no help for: ", word, "\n"});
  return p;
}

}  // namespace tav
