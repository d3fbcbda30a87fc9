#include "ui/qt/popup_table.h"

#include <QMenu>
#include <algorithm>
#include <array>
#include <iterator>

namespace tav::qt {

namespace {

const PopupItem kClinePopup[] = {
    {1, kPopupSetBreak, "&Set Breakpoint", "break %s"},
    {1, kPopupOnOff, "&On/Off", "break %t %n"},
    {1, kPopupDelete, "&Delete", "del /e %n"},
    {1, kPopupEdit, "&Edit", nullptr},
    {1, kPopupAddressOf, "Address &of", nullptr},
};

const PopupItem kLabelPopup[] = {
    {1, kPopupAddressOf, "Address &of", "eval &%s"},
    {1, 0, "&Evaluate as...", nullptr},
    {2, 0, "&Byte", "eval /x *(unsigned char*)&%s"},
    {2, 0, "&Word", "eval /x *(unsigned short*)&%s"},
    {2, 0, "&Long", "eval /x *(unsigned long*)&%s"},
    {1, 0, "&Monitor as...", nullptr},
    {2, 0, "&Byte", "monit /x *(unsigned char*)&%s"},
    {2, 0, "&Word", "monit /x *(unsigned short*)&%s"},
    {2, 0, "&Long", "monit /x *(unsigned long*)&%s"},
    {1, 0, "Set &Breakpoint", "break %s"},
    {1, 0, "Set &Watchpoint", "watch %s"},
    {1, 0, "D&ata Event...", nullptr},
    {2, 0, "&Access Byte", "dbreak /T:a *(unsigned char*)&%s"},
    {2, 0, "Access &Word", "dbreak /T:a *(unsigned short*)&%s"},
    {2, 0, "Access &Long", "dbreak /T:a *(unsigned long*)&%s"},
    {2, 0, "&Read Byte", "dbreak /T:r *(unsigned char*)&%s"},
    {2, 0, "Read W&ord", "dbreak /T:r *(unsigned short*)&%s"},
    {2, 0, "Read L&ong", "dbreak /T:r *(unsigned long*)&%s"},
    {2, 0, "W&rite Byte", "dbreak /T:w *(unsigned char*)&%s"},
    {2, 0, "Write Wo&rd", "dbreak /T:w *(unsigned short*)&%s"},
    {2, 0, "Write Lo&ng", "dbreak /T:w *(unsigned long*)&%s"},
    {1, kPopupShowCode, "Show &Code", nullptr},
    {1, kPopupShowData, "Show &Data", nullptr},
};

const PopupItem kFuncPopup[] = {
    {1, kPopupInfo, "&Info", nullptr},
};

const PopupItem kSourceMenu[] = {
    {1, 0, "Print", nullptr},
    {1, 0, "Search", nullptr},
    {2, kPopupFind, "Find", nullptr},
    {2, kPopupFindNext, "Find Next", nullptr},
    {2, kPopupFindCancel, "Cancel", nullptr},
    {1, 0, "Show", nullptr},
    {2, kPopupShowAddress, "Address", nullptr},
    {2, 10013, "&Code Coverage None", nullptr},
    {2, 10010, "&Code Coverage Iconic", nullptr},
    {2, 10012, "&Code Coverage Executions", nullptr},
    {2, 10011, "&Code Coverage Timing", nullptr},
};

const PopupItem kBreakPopup[] = {
    {1, kPopupOnOff, "&On/Off", "break %t %n"},
    {1, kPopupDelete, "&Delete", "del /e %n"},
    {1, kPopupEdit, "&Edit", nullptr},
    {1, kPopupShow, "&Show", nullptr},
};

const PopupItem kRBreakPopup[] = {
    {1, kPopupOnOff, "&On/Off", "break %t %n"},
    {1, kPopupDelete, "&Delete", "del /e %n"},
    {1, kPopupEdit, "&Edit", nullptr},
};

const PopupItem kAsmPopup[] = {
    {1, kPopupAddressOf, "Address &of", "eval /x &%s"},
    {1, 0, "&Evaluate as...", nullptr},
    {2, 0, "&Byte", "eval /x *(unsigned char*)%s"},
    {2, 0, "&Word", "eval /x *(unsigned short*)%s"},
    {2, 0, "&Long", "eval /x *(unsigned long*)%s"},
    {1, 0, "&Monitor as...", nullptr},
    {2, 0, "&Byte", "monit /x *(unsigned char*)%s"},
    {2, 0, "&Word", "monit /x *(unsigned short*)%s"},
    {2, 0, "&Long", "monit /x *(unsigned long*)%s"},
    {1, 0, "&Update as...", nullptr},
    {2, kPopupUpdate, "&Byte", "mm /b %s %v"},
    {2, kPopupUpdate, "&Word", "mm /w %s %v"},
    {2, kPopupUpdate, "&Long", "mm /l %s %v"},
    {1, 0, "Set &Breakpoint", "break %s"},
    {1, 0, "Set &Watchpoint", "watch %s"},
    {1, kPopupShowCode, "Show &Code", nullptr},
    {1, kPopupShowData, "Show &Data", nullptr},
};

// The format letters, a submenu of the monitor and variable popups.
const PopupItem kFormatItems[] = {
    {2, 861, "&Character", nullptr}, {2, 862, "&Binary", nullptr},      {2, 863, "&Octal", nullptr},
    {2, 864, "&Decimal", nullptr},   {2, 865, "&Unsigned", nullptr},    {2, 866, "&Hexadecimal", nullptr},
    {2, 867, "&String", nullptr},
};

// One popup from its parts, in order.
template <std::size_t... N>
constexpr auto joined(const PopupItem (&... parts)[N]) {
  std::array<PopupItem, (N + ...)> items{};
  std::size_t at = 0;
  ((std::copy(std::begin(parts), std::end(parts), items.begin() + at), at += N), ...);
  return items;
}

const PopupItem kMonHead[] = {
    {1, kPopupAddressOf, "Address &of", "eval &%s"},
    {1, kPopupMonDelete, "&Delete", nullptr},
    {1, kPopupMonDeleteAll, "Delete &All", nullptr},
    {1, 0, "&Format", nullptr},
    {2, kPopupFormatAddress, "&Address of", nullptr},
};
const PopupItem kMonTail[] = {
    {1, kPopupUpdate, "&Update", "updat %s=%v"},
};
constexpr auto kMonPopup = joined(kMonHead, kFormatItems, kMonTail);

const PopupItem kVarHead[] = {
    {1, kPopupInfo, "&Info", nullptr},
    {1, kPopupEvaluate, "&Evaluate", "eval %s"},
    {1, 0, "&Monitor", "monit %s"},
    {1, kPopupUpdate, "&Update", "updat %s=%v"},
    {1, 0, "A&ccess Break", "dbreak /T:a %s"},
    {1, 0, "&Read Break", "dbreak /T:r %s"},
    {1, 0, "&Write Break", "dbreak /T:w %s"},
    {1, 0, "&Format", nullptr},
};
constexpr auto kVarPopup = joined(kVarHead, kFormatItems);

struct Named {
  std::string_view name;
  std::span<const PopupItem> items;
};
const Named kPopups[] = {
    {"CLINEPOPUP", kClinePopup}, {"LBLPOPUP", kLabelPopup}, {"FUNCPOPUP", kFuncPopup},
    {"CSRC_MENU", kSourceMenu},  {"BKPTPOPUP", kBreakPopup}, {"RBKPTPOPUP", kRBreakPopup},
    {"ASMPOPUP", kAsmPopup},     {"MONPOPUP", kMonPopup},    {"VARPOPUP", kVarPopup},
};

void replace_all(std::string& s, std::string_view what, std::string_view with) {
  for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size()))
    s.replace(at, what.size(), with);
}

}  // namespace

std::span<const PopupItem> popup_items(std::string_view name) {
  for (const Named& p : kPopups)
    if (p.name == name) return p.items;
  return {};
}

std::string popup_command(const PopupItem& item, const PopupSubject& subject) {
  if (!item.command) return {};
  std::string line = item.command;
  char address[16];
  std::snprintf(address, sizeof address, "0x%x", subject.address);
  replace_all(line, "%t", subject.event_active ? "/s" : "/a");
  replace_all(line, "%n", std::to_string(subject.event));
  replace_all(line, "%a", address);
  replace_all(line, "%v", subject.value);
  replace_all(line, "%s", subject.text);
  return line;
}

char popup_format_letter(int id) {
  static constexpr char kLetters[] = "cboduxS";
  return id >= 861 && id <= 867 ? kLetters[id - 861] : 0;
}

QMenu* build_popup(QWidget* parent, std::string_view name, const std::function<void(const PopupItem&)>& chosen) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(QString::fromLatin1(name.data(), static_cast<int>(name.size())));
  QMenu* sub = nullptr;
  for (const PopupItem& item : popup_items(name)) {
    if (item.level == 1 && item.id == 0 && !item.command) {
      sub = menu->addMenu(item.text);
      continue;
    }
    QMenu* into = item.level == 2 && sub ? sub : menu;
    QAction* a = into->addAction(item.text);
    a->setObjectName(item.text);
    const PopupItem* it = &item;
    QObject::connect(a, &QAction::triggered, menu, [chosen, it] { chosen(*it); });
  }
  return menu;
}

}  // namespace tav::qt
