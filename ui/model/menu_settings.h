// The main frame's menu commands that change a setting instead of running a
// command line: the load option (109, 110) and the default integer format
// (460 to 463). The desktop host calls them from its menus; a host without
// menus offers them as the command word "menu <identifier>".
#pragma once

namespace tav {

class Debugger;

// Applies menu command `id`; false when it is not one of these.
bool run_menu_setting(Debugger& d, int id);

// Registers the word "menu" with the debugger's extension command words:
// "menu <identifier>" applies that menu command; anything else is an error.
void register_menu_word(Debugger& d);

}  // namespace tav
