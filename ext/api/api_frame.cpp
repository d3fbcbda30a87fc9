// Menus, windows, views, paths, colours and the status line. The host
// decides what they do: a host without windows answers with its neutral
// defaults (kernel/host.h).
#include <cstdarg>
#include <string>

#include "ext/api/api_binding.h"
#include "include/tav/extension.h"
#include "kernel/debugger.h"
#include "kernel/files.h"

using tav::api::bound;
using tav::api::dup_text;
using tav::api::state;
using Frame = tav::Host::FrameObject;

namespace {
TavHandle frame(Frame which) {
  tav::Debugger* d = bound();
  return d ? d->host.frame_object(which) : nullptr;
}
void display(tav::View view, int32_t on) {
  if (tav::Debugger* d = bound()) d->host.display_view(view, on != 0);
}
void status(tav::StatusField field, const char* text) {
  if (tav::Debugger* d = bound()) d->host.status(field, text ? text : "");
}
std::string directory_of_program() {
  const std::string& path = state().executable_path;
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}
}  // namespace

TAV_API int32_t AllocateMenuIDs(int32_t count) {
  const int32_t first = state().next_menu_id;
  state().next_menu_id += count;
  return first;
}
TAV_API int32_t AllocateMessageIDs(int32_t count) {
  const int32_t first = state().next_message_id;
  state().next_message_id += count;
  return first;
}
TAV_API int32_t GetMenuInsertPos(void) { return state().menu_insert_pos++; }
TAV_API int32_t GetExtensionsMenuInsertPos(void) {
  tav::Debugger* d = bound();
  return d ? d->host.extensions_menu_items() : 0;
}
TAV_API int32_t GetMenuPosition(const char* title) {
  tav::Debugger* d = bound();
  return d && title ? d->host.menu_position(title) : -1;
}
TAV_API int32_t GetFileMenuPosition(void) { return 0; }
TAV_API int32_t GetEventsMenuPosition(void) { return 1; }
TAV_API int32_t GetBrowseMenuPosition(void) { return 2; }
TAV_API int32_t GetDebugMenuPosition(void) { return 3; }
TAV_API int32_t GetSetupMenuPosition(void) { return 4; }
TAV_API int32_t GetTargetMenuPosition(void) { return 5; }
TAV_API int32_t GetShowMenuPosition(void) { return 6; }
TAV_API int32_t GetWindowsMenuPosition(void) { return 7; }
TAV_API int32_t GetExtensionsMenuPosition(void) { return 8; }
TAV_API int32_t GetHelpMenuPosition(void) { return 9; }
TAV_API TavHandle GetFunctionPopupMenu(void) { return frame(Frame::FunctionPopup); }
TAV_API TavHandle GetVariablePopupMenu(void) { return frame(Frame::VariablePopup); }
TAV_API int32_t AddButtonToBar(TavHandle module, const char* bitmap) {
  tav::Debugger* d = bound();
  return d && bitmap ? d->host.add_toolbar_button(module, bitmap) : 0;
}

TAV_API TavHandle GetTavMainWindow(void) { return frame(Frame::Main); }
TAV_API TavHandle GetTavMDIWindow(void) { return frame(Frame::MdiClient); }
TAV_API TavHandle GetTavBtnBarWindow(void) { return frame(Frame::Toolbar); }
TAV_API void SetTavWindow(int32_t command) {
  if (tav::Debugger* d = bound()) d->host.system_command(nullptr, command);
}
TAV_API void SetTavSubWindow(TavHandle window, int32_t command) {
  tav::Debugger* d = bound();
  if (d && window) d->host.system_command(window, command);
}
TAV_API int32_t GetTavWindowsStyle(void) {
  tav::Debugger* d = bound();
  return d ? d->host.windows_style() : 2;
}
TAV_API void SetTavWindowsStyle(int32_t style) {
  tav::Debugger* d = bound();
  if (d && style >= 1 && style <= 4) d->host.set_windows_style(style);
}
TAV_API void CommandDisplay(int32_t on) {
  // The command window is the one view every host has: opening it is real.
  tav::Debugger* d = bound();
  if (!d) return;
  if (!on)
    d->host.hide_command_window();
  else if (!d->host.command_window_exists())
    d->host.open_command_window();
}
TAV_API void AssemblerDisplay(int32_t on) { display(tav::kViewDisasm, on); }
TAV_API void RegistersDisplay(int32_t on) { display(tav::kViewRegisters, on); }
TAV_API void StackDisplay(int32_t on) { display(tav::kViewStack, on); }
TAV_API void UpdateCodeMemoryWindows(void) {
  if (tav::Debugger* d = bound()) d->host.refresh_views(tav::kViewMemory | tav::kViewDisasm);
}
TAV_API void UpdateDataMemoryWindows(void) {
  if (tav::Debugger* d = bound()) d->host.refresh_views(tav::kViewMemory);
}
TAV_API TavHandle CreateSourceBrowser(const char* file) { return BrowseFile(file, 0); }
TAV_API TavHandle BrowseFile(const char* file, int32_t line) {
  tav::Debugger* d = bound();
  return d && file ? d->host.open_source_view(file, line) : nullptr;
}
TAV_API TavHandle BrowseFunction(const char* function, const char* file, int32_t line) {
  tav::Debugger* d = bound();
  if (!d || !function) return nullptr;
  const tav::FunctionBlock* f = d->program.tables().find_function(function, file ? d->program.tables().find_file(file) : nullptr);
  if (!f || !f->file) return nullptr;
  return d->host.open_source_view(f->file->name, line > 0 ? line : f->first_line);
}
TAV_API void DeleteSourceBrowser(TavHandle view) {
  tav::Debugger* d = bound();
  if (d && view) d->host.close_view(view);
}
TAV_API TavHandle CreateMemoryCodeBrowser(const char* title, uint32_t address) {
  tav::Debugger* d = bound();
  return d ? d->host.open_code_memory_view(title ? title : "", address) : nullptr;
}
TAV_API void DeleteMemoryBrowser(TavHandle view) { DeleteSourceBrowser(view); }
TAV_API void SetChronology(int32_t value) {
  state().chronology = value;  // nothing in Tav reads it yet
}

TAV_API char* GetTavPath(void) {
  tav::Debugger* d = bound();
  return d && !d->source_path.empty() ? dup_text(d->source_path) : nullptr;
}
TAV_API void SetTavPath(const char* text) {
  tav::Debugger* d = bound();
  if (!d || !text) return;
  tav::set_source_path(*d, text);
  d->host.refresh_views(tav::kViewSource);
}
TAV_API void AppendToPath(const char* directory) {
  tav::Debugger* d = bound();
  if (!d || !directory) return;
  std::string& path = d->source_path;
  const std::string dir = directory;
  std::size_t start = 0;
  for (;;) {  // already one of the elements (compared exactly)?
    const std::size_t bar = path.find('|', start);
    if (path.compare(start, bar == std::string::npos ? std::string::npos : bar - start, dir) == 0) return;
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  path += "|" + dir;
}
TAV_API void PrependToPath(const char* directory) {
  tav::Debugger* d = bound();
  if (d && directory) d->source_path = std::string(directory) + "|" + d->source_path;
}
TAV_API void EditTavPath(void) {
  if (tav::Debugger* d = bound()) d->host.edit_extension_path();
}
TAV_API char* GetTavDir(void) { return dup_text(directory_of_program() + "/"); }
TAV_API char* GetTavInstallDir(void) { return dup_text(directory_of_program()); }
TAV_API const char* GetINIFileName(void) { return "ZUZU12Z.INI"; }
TAV_API const char* GetExecName(void) { return state().executable_path.c_str(); }
TAV_API uint32_t GetTavColor(uint32_t index) {
  tav::Debugger* d = bound();
  const int i = static_cast<int>(index & 0xFF);
  const int entry = i <= 18 ? i : 1;
  return d ? d->host.colour(entry) : 0;
}
TAV_API uint32_t GetTavTextColor(void) { return GetTavColor(1); }
TAV_API int32_t GetTavTabWidth(void) { return 8; }
TAV_API void LeftStatus(const char* text) { status(tav::StatusField::Left, text); }
TAV_API void MiddleStatus(const char* text) { status(tav::StatusField::Middle, text); }
TAV_API void RightStatus(const char* text) { status(tav::StatusField::Right, text); }
TAV_API void WinStatGauge(int32_t on, uint32_t total) {
  tav::Debugger* d = bound();
  if (!d) return;
  if (on)
    d->host.gauge_begin("", total);
  else
    d->host.gauge_end();
}
TAV_API void WinStatGaugeAdd(uint32_t amount) {
  if (tav::Debugger* d = bound()) d->host.gauge_step(amount);
}
TAV_API void CursorWait(void) {
  if (tav::Debugger* d = bound()) d->host.busy_cursor(true);
}
TAV_API void CursorStd(void) {
  if (tav::Debugger* d = bound()) d->host.busy_cursor(false);
}
TAV_API void WinitFakeIo(void) {
  if (tav::Debugger* d = bound()) tav::WinitFakeIo(*d);
}
TAV_API void WinSetFakeIo(void) {
  if (tav::Debugger* d = bound()) tav::WinSetFakeIo(*d);
}
TAV_API void WinStopFakeIo(void) {
  if (tav::Debugger* d = bound()) tav::WinStopFakeIo(*d);
}

// ---- Views by kind, list views, selections --------------------------------

TAV_API void SetAssemblerWindow(int32_t command) {
  if (tav::Debugger* d = bound()) d->host.view_command(tav::kViewDisasm, command);
}
TAV_API void SetRegistersWindow(int32_t command) {
  if (tav::Debugger* d = bound()) d->host.view_command(tav::kViewRegisters, command);
}
TAV_API void SetStackWindow(int32_t command) {
  if (tav::Debugger* d = bound()) d->host.view_command(tav::kViewStack, command);
}
TAV_API void TavCodeMemUpdate(int32_t flag) {
  if (flag) UpdateCodeMemoryWindows();
}
TAV_API void TavDataMemUpdate(int32_t flag) {
  if (flag) UpdateDataMemoryWindows();
}
TAV_API TavHandle CreateFileBrowser(void) {
  tav::Debugger* d = bound();
  return d ? d->host.open_name_list(false) : nullptr;
}
TAV_API TavHandle CreateFunctionBrowser(void) {
  tav::Debugger* d = bound();
  return d ? d->host.open_name_list(true) : nullptr;
}
TAV_API void DeleteFileBrowser(TavHandle view) { DeleteSourceBrowser(view); }
TAV_API void DeleteFunctionBrowser(TavHandle view) { DeleteSourceBrowser(view); }
TAV_API TavHandle CreateMemoryDataBrowser(const char* title, uint32_t address, int32_t unit, int32_t format,
                                          int32_t columns, int32_t follow) {
  tav::Debugger* d = bound();
  return d ? d->host.open_data_memory_view(title ? title : "", address, unit, format, columns, follow != 0)
           : nullptr;
}
namespace {
const char* select_name(bool functions) {
  tav::Debugger* d = bound();
  std::string& chosen = state().selected_name;
  if (!d || !d->host.select_name(functions, chosen) || chosen.empty()) return nullptr;
  return chosen.c_str();
}
}  // namespace
TAV_API const char* SelectSourceFile(void) { return select_name(false); }
TAV_API const char* SelectSourceFunction(void) { return select_name(true); }
TAV_API void ApplicationTreeDisplay(int32_t on) {
  (void)on;  // no host has a project tree view yet
}
TAV_API TavHandle GetTavFontObject(void) { return frame(Frame::Font); }
TAV_API void MDIUpdate(void) {
  tav::Debugger* d = bound();
  if (!d) return;
  const int style = d->host.windows_style();
  if (style == 3 || style == 4) d->host.set_windows_style(style);
}
TAV_API void MyMultMessShow(TavHandle window, int32_t first, int32_t second, ...) {
  (void)window;
  (void)first;
  tav::Debugger* d = bound();
  if (!d) return;
  std::string text;
  va_list texts;
  va_start(texts, second);
  for (const char* t = va_arg(texts, const char*); t; t = va_arg(texts, const char*)) text += t;
  va_end(texts);
  d->host.message_box("Tav", text);
}
TAV_API int32_t TavPrintFile(TavHandle window, const char* file, int32_t first_line, int32_t last_line) {
  return 0;  // no printing in any host: print the file with the system's tools
}
TAV_API void FunctionKey(int32_t key) {
  tav::Debugger* d = bound();
  if (d && key >= 0 && key < 12) d->host.function_key(key);
}
TAV_API int32_t MemHookProc(TavHandle dialog, uint32_t message, uint32_t wparam, uint32_t lparam) {
  return 0;  // the memory-range dialog belongs to the host
}
