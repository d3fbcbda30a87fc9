// The popup menus of the source, code, data, monitor and variable views as
// data: each item's identifier, label and the command line it runs. In a
// command "%s" stands for the selection (a word, an expression, a file:line),
// "%a" for an address, "%n" for an event number and "%t" for "/s" or "/a"
// (switch an active event off, a suspended one on), "%v" for a value the
// user typed. Items without a command
// are carried out by the view (dialogs, messages, formats).
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

class QMenu;
class QWidget;

namespace tav::qt {

struct PopupItem {
  int level;  // 1: an item or a submenu (id 0); 2: an item of the last submenu
  int id;
  const char* text;
  const char* command;
};

// What the placeholders of a popup's commands stand for.
struct PopupSubject {
  std::string text;
  std::uint32_t address = 0;
  int event = 0;
  bool event_active = true;
  std::string value;
};

// CLINEPOPUP, LBLPOPUP, FUNCPOPUP, CSRC_MENU, BKPTPOPUP, RBKPTPOPUP,
// ASMPOPUP, MONPOPUP, VARPOPUP; empty for any other name.
std::span<const PopupItem> popup_items(std::string_view name);
std::string popup_command(const PopupItem& item, const PopupSubject& subject);

// The popup as a menu; `chosen` gets the item picked.
QMenu* build_popup(QWidget* parent, std::string_view name, const std::function<void(const PopupItem&)>& chosen);

// Item identifiers the views carry out themselves.
enum PopupId {
  kPopupOnOff = 801,
  kPopupDelete = 802,
  kPopupEdit = 803,
  kPopupSetBreak = 804,
  kPopupAddressOf = 820,
  kPopupShow = 821,
  kPopupInfo = 830,
  kPopupEvaluate = 831,
  kPopupShowCode = 840,
  kPopupShowData = 841,
  kPopupMonDelete = 850,
  kPopupMonDeleteAll = 851,
  kPopupFormatAddress = 860,  // 861..867: c b o d u x S
  kPopupUpdate = 870,
  kPopupFind = 880,
  kPopupFindNext = 881,
  kPopupFindCancel = 882,
  kPopupShowAddress = 10014,  // 10010..10013: the coverage modes
};

// The format letter of the format items 861 to 867.
char popup_format_letter(int id);

}  // namespace tav::qt
