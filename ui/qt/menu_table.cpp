#include "ui/qt/menu_table.h"

#include <array>

namespace tav::qt {

namespace {

constexpr unsigned R = kMenuRunLoad | kMenuGreyRunning;  // a run or load command
constexpr unsigned G = kMenuGreyRunning;
constexpr unsigned C = kMenuCheckable;
constexpr unsigned X = kMenuDisabled;

constexpr MenuEntry kMenu[] = {
    {0, 0, "&File", nullptr, G, " File Operations "},
    {1, 101, "&Load  (Code and Symbols)", nullptr, R, " Load Program "},
    {1, 0, nullptr, nullptr, 0, nullptr},
    {1, 131, "L&oad Session", nullptr, R, " Load a Session File "},
    {1, 132, "Save &Session", nullptr, 0, " Save the Session to a File "},
    {1, 133, "Load La&yout", nullptr, 0, " Load a Window Layout "},
    {1, 134, "Save Lay&out", nullptr, 0, " Save the Window Layout "},
    {1, 0, nullptr, nullptr, 0, nullptr},
    {1, 146, "&Reload Segment", nullptr, R | X, " Reload a Program Segment "},
    {1, 130, "Application &Map", nullptr, G, " Show the Application Memory Map "},
    {1, 0, nullptr, nullptr, 0, nullptr},
    {1, 111, "Save &Configuration", nullptr, 0, " Save the Configuration now "},
    {1, 112, "Save Configuration on &Exit", nullptr, C, " Save the Configuration when Tav ends "},
    {1, 0, nullptr, nullptr, 0, nullptr},
    {1, 117, "E&xit", nullptr, R, " Exit Tav "},

    {0, 0, "&Events", nullptr, 0, " Breakpoints and Watchpoints "},
    {1, 805, "&Code Event", nullptr, G, " Set a Code Breakpoint "},
    {1, 806, "&Data Event", nullptr, G, " Set a Data Breakpoint "},
    {1, 621, "&Browse", nullptr, G, " List the Events "},

    {0, 0, "&Browse", nullptr, 0, " Browse the Program "},
    {1, 620, "&File", nullptr, G, " Browse a Source File "},
    {1, 622, "F&unction", nullptr, G, " Browse a Function "},
    {1, 625, "&Any Source", nullptr, G, " Browse any Source File "},
    {1, 360, "&Memory", nullptr, G, " Open a Memory Window "},
    {1, 0, "&Variables", nullptr, G, " Variable Browsers "},
    {2, 630, "in &Current function", nullptr, G, " Variables of the Current Function "},
    {2, 631, "in current &File", nullptr, G, " Variables of the Current File "},
    {2, 632, "in &Global list", nullptr, G, " Variables of the Program "},
    {2, 0, nullptr, nullptr, 0, nullptr},
    {2, 633, "&Brief", nullptr, C, " Show Variables with Storage Class and Type "},
    {2, 634, "&Standard", nullptr, C, " Show Variables with Storage Class, Type and Value "},
    {2, 635, "&Full", nullptr, C, " Show Variables with Storage Class, Type, Address and Value "},
    {1, 640, "File &List", nullptr, G, " List the Source Files "},
    {1, 650, "Function L&ist", nullptr, G, " List the Functions "},
    {1, 670, "S&ymbols ", nullptr, G, " Select a Symbol and Show it "},
    {1, 0, "Symbol Lis&t", nullptr, G, " List the Symbols "},
    {2, 671, "Sort by &Address ", nullptr, G, " List the Symbols by Address "},
    {2, 672, "Sort by &Name", nullptr, G, " List the Symbols by Name "},

    {0, 0, "&Debug", nullptr, G, " Debug Program "},
    {1, 201, "&Go", "go", R, " Run the Program "},
    {1, 202, "Go &Till", nullptr, R | X, " Run the Program up to a Position "},
    {1, 203, "&Step", "step", R, " Step one High Level Instruction "},
    {1, 204, "Step &Instruction", "istep", R, " Step one Machine Instruction "},
    {1, 205, "Step O&ver", "ostep", R, " Step over a Function Call "},
    {1, 206, "Step &Until", nullptr, R | X, " Step until a Condition holds "},
    {1, 210, "&Animate", "step", R, " Animate the Program "},
    {1, 211, "Step Instr. Interrupts &Masked", "mstep", R, " Step one Machine Instruction, Interrupts Masked "},
    {1, 212, "Go To &Function Entry", nullptr, R | X, " Run to a Function Entry "},
    {1, 213, "Step To Fu&nction Entry", nullptr, R | X, " Step to a Function Entry "},
    {1, 0, nullptr, nullptr, 0, nullptr},
    {1, 107, "&Restart", "zero", R, " Restart the Program "},
    {1, 208, "G&o from Reset", nullptr, R, " Reset the Target and Run "},
    {1, 209, "R&eset", "zero /r", R, " Reset the Target "},

    {0, 0, "Setu&p", nullptr, 0, " Setup "},
    {1, 0, "Load &Options  (Code and Symbols)", nullptr, G, " Load Options "},
    {2, 109, "&Code and Symbols", nullptr, R | C, " Load Code and Symbols "},
    {2, 110, "&Symbols Only", nullptr, R | C, " Load Symbols Only "},
    {1, 440, "&Path", nullptr, G, " Source Search Path "},
    {1, 0, "Default &Format", nullptr, 0, " Default Integer Format "},
    {2, 460, "&Decimal", nullptr, C, " Decimal Integers "},
    {2, 461, "&Octal", nullptr, C, " Octal Integers "},
    {2, 462, "&Hexadecimal", nullptr, C, " Hexadecimal Integers "},
    {2, 463, "&Binary", nullptr, C, " Binary Integers "},
    {1, 0, "&Fonts", nullptr, 0, " Fonts of the Views "},
    {2, 401, "&Assembler", nullptr, 0, " Font of the Disassembly "},
    {2, 402, "&Browser", nullptr, 0, " Font of the Browsers "},
    {2, 403, "&Command", nullptr, 0, " Font of the Command Window "},
    {2, 404, "&Memory", nullptr, 0, " Font of the Memory Windows "},
    {2, 405, "M&onitor", nullptr, 0, " Font of the Monitors "},
    {2, 406, "&Register", nullptr, 0, " Font of the Registers "},
    {2, 407, "&Source", nullptr, 0, " Font of the Source "},
    {2, 408, "S&tack", nullptr, 0, " Font of the Stack "},
    {2, 409, "A&ll", nullptr, 0, " Font of every View "},
    {1, 0, "&Colors", nullptr, 0, " Colors of the Views "},
    {2, 411, "&Assembler", nullptr, 0, " Color of the Current Line's Instructions "},
    {2, 412, "Breakpoint &On", nullptr, 0, " Color for Active Breakpoints "},
    {2, 413, "Breakpoint O&ff", nullptr, 0, " Color for Suspended Breakpoints "},
    {2, 414, "&Source", nullptr, 0, " Color of the Current Source Line "},
    {2, 415, "&Instruction", nullptr, 0, " Color of the Instruction at the PC "},
    {2, 416, "C &Keywords", nullptr, 0, " Color of C Keywords "},
    {2, 417, "C &Library", nullptr, 0, " Color of C Library Functions "},
    {2, 420, "&Comments", nullptr, 0, " Color of Comments "},
    {2, 421, "&Memory", nullptr, 0, " Color of Changed Memory "},
    {2, 422, "Assembler &Mnemonics", nullptr, 0, " Color of Mnemonics "},
    {2, 423, "&Preprocessor", nullptr, 0, " Color of Preprocessor Directives "},
    {2, 424, "&Defines", nullptr, 0, " Color of Defines "},
    {2, 425, "&Typedefs", nullptr, 0, " Color of Typedefs "},
    {2, 426, "S&earch", nullptr, 0, " Color of Search Matches "},
    {1, 1310, "Key &Binding", nullptr, 0, " Bind Commands to Function Keys "},

    {0, 0, "&Target", nullptr, 0, " Target "},
    {1, 209, "R&eset", "zero /r", R, " Reset the Target "},
    {1, 1360, "&View I/O Registers", nullptr, X, " View the I/O Registers "},

    {0, 0, "S&how", nullptr, 0, " Show Windows "},
    {1, 300, "&Command", nullptr, C, " Toggle the Command Window "},
    {1, 301, "&Project Tree", nullptr, X, " Toggle the Project Tree "},
    {1, 310, "&Registers", nullptr, C, " Toggle the Registers Window "},
    {1, 320, "Dis&assembly", nullptr, C | G, " Toggle the Disassembly Window "},
    {1, 330, "&Stack", nullptr, C | G, " Toggle the Stack Window "},
    {1, 335, "&Locals", nullptr, C, " Toggle the Locals Window "},
    {1, 336, "&Globals", nullptr, C, " Toggle the Globals Window "},
    {1, 340, "M&onitors", nullptr, C, " Toggle the Monitor Window "},
    {1, 0, nullptr, nullptr, 0, nullptr},
    {1, 10000, "S&yntax Coloring", nullptr, C, " Syntax Coloring of Source Views "},
    {1, 390, "Status &Bar", nullptr, C, " Show or Hide the Status Bar "},
    {1, 392, "&Toolbar", nullptr, C, " Show or Hide the Toolbar "},

    {0, 0, "&Windows", nullptr, 0, " Arrange Windows "},
    {1, 190, "&Cascade", nullptr, C, " Cascade the Windows "},
    {1, 191, "&Horizontal Tile", nullptr, C, " Tile the Windows Horizontally "},
    {1, 192, "&Vertical Tile", nullptr, C, " Tile the Windows Vertically "},
    {1, 193, "&Free", nullptr, C, " Leave the Windows where they are "},

    {0, 0, "E&xtensions", nullptr, 0, " Extensions "},
    {1, 1350, "Extensions Path", nullptr, G, " Edit the Extension Path "},
    {1, 1351, "Show Available &Extensions", nullptr, G, " List the Extensions that can be Loaded "},
    {1, 1352, "Show C&urrent Extensions", nullptr, G, " List the Loaded Extensions "},

    {0, 0, "&Help", nullptr, 0, " Help "},
    {1, 13001, "On &Tav", nullptr, 0, " Help on Tav Usage "},
    {1, 13002, "On &C", nullptr, 0, " Help on C "},
    {1, 13003, "On C &Library", nullptr, 0, " Help on the C Library "},
    {1, 0, nullptr, nullptr, 0, nullptr},
    {1, 113, "&About Tav ...", nullptr, 0, " About Tav "},
};

constexpr ToolEntry kToolbar[] = {
    {0, nullptr},
    {101, "Load File"},
    {0, nullptr},
    {805, "Set Breakpoint"},
    {806, "Set Data Breakpoint"},
    {0, nullptr},
    {204, "Assembler Step"},
    {0, nullptr},
    {203, "C Step"},
    {205, "Step Over"},
    {0, nullptr},
    {201, "Go"},
    {1, "Stop Execution"},
    {0, nullptr},
    {301, "Toggle Project Window"},
    {300, "Toggle Command Window"},
    {0, nullptr},
    {320, "Toggle Disasembly Window"},
    {310, "Toggle Registers Window"},
    {330, "Toggle Stack Window"},
    {0, nullptr},
    {335, "Toggle Locals Window"},
    {336, "Toggle Globals Window"},
    {340, "Toggle Monitor Window"},
    {0, nullptr},
    {360, "Memory Window"},
};
static_assert(std::size(kToolbar) == 26);

constexpr BindableCommand kBindable[] = {
    {130, "Application Map"},
    {101, "Load File"},
    {103, "Load Program and Start Execution"},
    {107, "Restart Program"},
    {111, "Save Configuration"},
    {131, "Load Session"},
    {132, "Save Session"},
    {133, "Load Layout"},
    {134, "Save Layout"},
    {201, "Go. Resume Execution"},
    {203, "Step one C Instruction"},
    {204, "Step one Machine Instruction"},
    {205, "Step Over a C Function Call"},
    {208, "Go from Reset"},
    {209, "Reset Target"},
    {210, "Animate"},
    {211, "Step one Machine Instruction, Interrupts Masked"},
    {300, "Toggle Command Window"},
    {310, "Toggle Registers Window"},
    {320, "Toggle Disassembly Window"},
    {330, "Toggle Stack Window"},
    {340, "Toggle Monitor Window"},
    {621, "Browse Events"},
    {640, "File List"},
    {650, "Function List"},
    {805, "Set a Code Breakpoint"},
    {806, "Set a Data Breakpoint"},
    {13001, "Help on Tav Usage"},
};

}  // namespace

std::span<const MenuEntry> menu_table() { return kMenu; }

const MenuEntry* find_menu_entry(int id) {
  for (const MenuEntry& e : kMenu)
    if (e.id == id) return &e;
  return nullptr;
}

std::span<const ToolEntry> toolbar_table() { return kToolbar; }
std::span<const BindableCommand> bindable_commands() { return kBindable; }

}  // namespace tav::qt
