// The menu bar, the toolbar and the function keys as data: every entry names
// its command identifier, its label, the command line it runs (when it runs
// one) and its status-bar help.
#pragma once
#include <span>
#include <string>

namespace tav::qt {

enum MenuFlags : unsigned {
  kMenuRunLoad = 1u << 0,      // refused with a beep while the target runs
  kMenuGreyRunning = 1u << 1,  // greyed while the target runs
  kMenuCheckable = 1u << 2,    // shows a check mark
  kMenuDisabled = 1u << 3,     // greyed for good (nothing behind it yet)
};

// One row of the menu tree. Level 0 opens a top-level menu, level 1 is an
// item of it, level 2 an item of the last submenu; an entry with id 0 and a
// text opens a submenu, one with neither is a separator.
struct MenuEntry {
  int level;
  int id;
  const char* text;
  const char* command;  // the command line; null when the frame acts itself
  unsigned flags;
  const char* help;     // shown in the status bar while highlighted
};

std::span<const MenuEntry> menu_table();
const MenuEntry* find_menu_entry(int id);

// The toolbar, in order; id 0 is a separator.
struct ToolEntry {
  int id;
  const char* tooltip;
};
std::span<const ToolEntry> toolbar_table();

// Commands a function key can be bound to, as the key-binding dialog offers them.
struct BindableCommand {
  int id;
  const char* text;
};
std::span<const BindableCommand> bindable_commands();

// Identifiers the frame handles itself.
enum CommandId {
  kCmdStop = 1,
  kCmdLoad = 101,
  kCmdLoadFile = 102,
  kCmdLoadSession = 131,
  kCmdSaveSession = 132,
  kCmdLoadLayout = 133,
  kCmdSaveLayout = 134,
  kCmdSaveConfig = 111,
  kCmdSaveOnExit = 112,
  kCmdAbout = 113,
  kCmdExit = 117,
  kCmdRecent1 = 180,
  kCmdCascade = 190,
  kCmdHorizontal = 191,
  kCmdVertical = 192,
  kCmdFree = 193,
  kCmdGoFromReset = 208,
  kCmdAnimate = 210,
  kCmdShowCommand = 300,
  kCmdShowProject = 301,
  kCmdShowRegisters = 310,
  kCmdShowDisasm = 320,
  kCmdShowStack = 330,
  kCmdShowLocals = 335,
  kCmdShowGlobals = 336,
  kCmdShowMonitors = 340,
  kCmdVarsFunction = 630,  // the variable browsers: current function, current file, program
  kCmdVarsFile = 631,
  kCmdVarsProgram = 632,
  kCmdVarsBrief = 633,  // their format: brief, standard, full
  kCmdVarsStandard = 634,
  kCmdVarsFull = 635,
  kCmdStatusBar = 390,
  kCmdToolbar = 392,
  kCmdCodeEvent = 805,
  kCmdDataEvent = 806,
  kCmdKeyBinding = 1310,
  kCmdExtensionPath = 1350,
  kCmdAvailableExtensions = 1351,
  kCmdCurrentExtensions = 1352,
  kCmdExtensionButton = 1000,  // every toolbar button an extension adds
  kCmdHelpTav = 13001,
  kCmdHelpC = 13002,
  kCmdHelpCLib = 13003,
};

}  // namespace tav::qt
