/* A test extension built against the public header only. Its command word
 * "probe" runs one group of checks and prints what it saw, one line each,
 * through the command language ("mess"). */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "tav/extension.h"

static void say(const char* text) {
  char line[400];
  snprintf(line, sizeof line, "mess \"%s\\n\"", text);
  docmd(line, 0);
}
static void sayf(const char* label, long long value) {
  char text[200];
  snprintf(text, sizeof text, "%s=%lld", label, value);
  say(text);
}
static void says(const char* label, const char* value) {
  char text[300];
  snprintf(text, sizeof text, "%s=[%s]", label, value ? value : "(null)");
  say(text);
}

static void append(char* to, size_t size, const char* text) {
  const size_t used = strlen(to);
  if (used + strlen(text) < size) strcpy(to + used, text);
}
#define APPEND(buffer, text) append(buffer, sizeof buffer, text)

/* ---- status order: C unregisters itself, B unregisters A ---------------- */
static TavHandle status_a, status_b, status_c;
static char order[64];
static void status_a_fn(uint32_t r) { APPEND(order, r ? "A1 " : "A0 "); }
static void status_b_fn(uint32_t r) {
  APPEND(order, r ? "B1 " : "B0 ");
  UnRegisterStatusFunction(); /* every status entry, ours and others' */
}
static void status_c_fn(uint32_t r) { APPEND(order, r ? "C1 " : "C0 "); }

/* ---- per-instruction callbacks ------------------------------------------ */
static TavHandle once_handle;
static int once_calls, param_calls;
static uint32_t param_seen, last_cycles;
static void once_fn(uint32_t cycles) {
  ++once_calls;
  UnRegisterCBFunction(once_handle);
  last_cycles = cycles;
}
static void param_fn(uint32_t cycles, uint32_t parameter) {
  ++param_calls;
  param_seen = parameter;
  last_cycles = cycles;
}

/* ---- notices ------------------------------------------------------------ */
static char notices[256];
static void load_fn(const char* file, uint32_t phase) {
  const char* slash = strrchr(file, '/');
  char t[80];
  snprintf(t, sizeof t, "load(%s,%u) ", slash ? slash + 1 : file, (unsigned)phase);
  APPEND(notices, t);
}
static void session_fn(const char* file, uint32_t direction) {
  char t[80];
  snprintf(t, sizeof t, "session(%s,%u) ", file, (unsigned)direction);
  APPEND(notices, t);
}
static void reset_fn(uint32_t v) { APPEND(notices, v == 0 ? "reset " : "reset? "); }
static void update_fn(uint32_t kind) {
  char t[16];
  snprintf(t, sizeof t, "update(%u) ", (unsigned)kind);
  APPEND(notices, t);
}
static void event_fn(uint32_t number) {
  char t[16];
  snprintf(t, sizeof t, "event(%u) ", (unsigned)number);
  APPEND(notices, t);
}

/* ---- memory hooks ------------------------------------------------------- */
static char hooks[256];
static TavHandle hook_handles[3], param_handle;
static int all_reads;
static void hook_fn(uint32_t address, int32_t size, int32_t access, uint32_t parameter) {
  char t[80];
  if (parameter == 3) {
    ++all_reads;
    return;
  }
  snprintf(t, sizeof t, "hook%u(%x,%d,%d)=%04x ", (unsigned)parameter, (unsigned)address, (int)size, (int)access,
           (unsigned)ReadWord(address));
  APPEND(hooks, t);
}

static void check_exec(void) {
  char buffer[64];
  char line[100];
  int r;
  memset(line, 'x', sizeof line);
  memcpy(line, "nosuchcommand ", 14);
  line[80] = '\0';
  memset(buffer, '#', sizeof buffer);
  r = ExecTavCommand(line, buffer, 64);
  sayf("bad.result", r);
  sayf("bad.length", (long long)strlen(buffer));
  says("bad.text", buffer);
  r = ExecTavCommand("mess \"captured\"", buffer, 64);
  sayf("capture.result", r);
  says("capture.text", buffer);
  r = ExecTavCommand("mess \"shown\\n\"", NULL, 0);
  sayf("shown.result", r);
  r = ExecTavCommand("nosuchcommand", NULL, 0);
  sayf("uncaptured-error.result", r);
}

static void check_look(void) {
  char* p;
  sayf("color25==color1", GetTavColor(25) == GetTavColor(1));
  sayf("color2", (long long)GetTavColor(2));
  sayf("color281==color25", GetTavColor(281) == GetTavColor(25)); /* low 8 bits: 25 */
  sayf("menu1", AllocateMenuIDs(5));
  sayf("menu2", AllocateMenuIDs(5));
  sayf("message1", AllocateMessageIDs(2));
  sayf("message2", AllocateMessageIDs(1));
  sayf("insert1", GetMenuInsertPos());
  sayf("insert2", GetMenuInsertPos());
  SetTavPath("a");
  SetTavPath("|b");
  p = GetTavPath(); says("path.append", p); free(p);
  SetTavPath("c|");
  p = GetTavPath(); says("path.prepend", p); free(p);
  AppendToPath("b");
  AppendToPath("e");
  PrependToPath("f");
  p = GetTavPath(); says("path.edit", p); free(p);
  SetTavPath("d");
  p = GetTavPath(); says("path.replace", p); free(p);
  says("ini", GetINIFileName());
}

/* Every remaining function at least once, with what a host without windows answers. */
static void check_neutral(void) {
  char text[TAV_DISASM_TEXT];
  unsigned char block[64];
  uint32_t u = 0, v = 0;
  int32_t a = 0, b = 0;
  char* list;
  sayf("version", TavInterfaceVersion() == TAV_EXTENSION_VERSION);
  sayf("main", GetTavMainWindow() != NULL);
  sayf("mdi", GetTavMDIWindow() != NULL);
  sayf("bar", GetTavBtnBarWindow() != NULL);
  sayf("popups", GetFunctionPopupMenu() != NULL || GetVariablePopupMenu() != NULL);
  sayf("menupos", GetMenuPosition("&Help"));
  sayf("extmenu", GetExtensionsMenuInsertPos());
  sayf("fixed", GetFileMenuPosition() * 1000000000LL + GetEventsMenuPosition() * 100000000LL +
                    GetBrowseMenuPosition() * 10000000 + GetDebugMenuPosition() * 1000000 +
                    GetSetupMenuPosition() * 100000 + GetTargetMenuPosition() * 10000 +
                    GetShowMenuPosition() * 1000 + GetWindowsMenuPosition() * 100 +
                    GetExtensionsMenuPosition() * 10 + GetHelpMenuPosition());
  sayf("button", AddButtonToBar(NULL, "BMP"));
  sayf("style", GetTavWindowsStyle());
  SetTavWindowsStyle(3);
  SetTavWindowsStyle(9);
  sayf("style.after", GetTavWindowsStyle());
  SetTavWindow(0xF020);
  SetTavSubWindow(NULL, 0xF020);
  CommandDisplay(1);
  AssemblerDisplay(0);
  RegistersDisplay(0);
  StackDisplay(0);
  UpdateCodeMemoryWindows();
  UpdateDataMemoryWindows();
  sayf("browsers", CreateSourceBrowser("main.c") != NULL || BrowseFile("main.c", 3) != NULL ||
                       BrowseFunction("main", NULL, 0) != NULL || CreateMemoryCodeBrowser("code", 0) != NULL);
  DeleteSourceBrowser(NULL);
  DeleteMemoryBrowser(NULL);
  SetChronology(1);
  EditTavPath();
  LeftStatus("x");
  MiddleStatus("y");
  RightStatus("z");
  WinStatGauge(1, 10);
  WinStatGaugeAdd(1);
  WinStatGauge(0, 0);
  CursorWait();
  CursorStd();
  sayf("selection", GetSourceSelection(0, &a, &b));
  sayf("textcolor==color1", GetTavTextColor() == GetTavColor(1));
  sayf("tab", GetTavTabWidth());
  list = GetTavDir();
  sayf("dir.slash", list && list[strlen(list) - 1] == '/');
  free(list);
  list = GetTavInstallDir();
  sayf("installdir.slash", list && list[strlen(list) - 1] == '/');
  free(list);
  sayf("execname", strstr(GetExecName(), "tavc") != NULL);
  says("processor", GetTargetProcessor());
  sayf("exectype", GetExecutionType());
  sayf("addrsize", GetTargetAddressSize());
  sayf("intsize", GetTargetIntSize());
  sayf("running", IsTargetRunning());
  sayf("stop", SetStopFlag(0) + GetStopFlag());
  sayf("checkstop", CheckForStop());
  StopExecution();
  sayf("stop.after", GetStopFlag());
  SetStopFlag(0);
  /* registers */
  list = GetRegisterList();
  says("reglist.first", list);
  free(list);
  sayf("code.d", GetRegisterCode("d"));
  sayf("size.d", GetRegisterSize(GetRegisterCode("d")) * 10 + GetNamedRegisterSize("x"));
  WriteNamedRegister("d", 0x1234);
  WriteRegister(GetRegisterCode("x"), 0x5678);
  sayf("d", (long long)ReadNamedRegister("d"));
  sayf("x", (long long)ReadRegister(GetRegisterCode("x")));
  if (GetRegistersBlockSize() <= (int32_t)sizeof block) {
    SaveRegisters(block);
    WriteNamedRegister("d", 0);
    sayf("saved.d", (long long)ReadSavedNamedRegister(block, "d"));
    sayf("saved.x", (long long)ReadSavedRegister(block, GetRegisterCode("x")));
    RestoreRegisters(block);
    sayf("restored.d", (long long)ReadNamedRegister("d"));
    sayf("saved.pc==pc", ReadSavedPC(block) == ReadSavedPC(block));
  }
  /* memory: raw access, big-endian */
  WriteLong(0xFE200, 0x11223344);
  WriteWord(0xFE204, 0x5566);
  WriteByte(0xFE206, 0x77);
  sayf("long", (long long)ReadLong(0xFE200));
  sayf("word", (long long)ReadWord(0xFE202));
  sayf("byte", (long long)ReadByte(0xFE206));
  ReadMemory(block, 0xFE200, 7);
  WriteMemory(block, 0xFE210, 7);
  sayf("copied", (long long)ReadLong(0xFE213));
  /* code: "ldaa #$42" at local 0x2300 */
  WriteWord(0xFE300, 0x8642);
  sayf("disasm.length", Disassemble(0xFE300, text));
  says("disasm", text);
  WritePC(0xFE300);
  sayf("pc", (long long)ReadPC());
  /* expressions and events */
  {
    const char* expr = "3*7+1";
    int32_t flt = 0, value = 0;
    double d = 0;
    sayf("expr.status", Expression(0, &expr, &flt, &value, &d));
    sayf("expr.value", value);
  }
  sayf("event", AddEventByCommand("break 0x7fc000"));
  sayf("lastevent", GetLastBkptNum());
  sayf("checkevent", CheckEvent());
  rmevent(-1, 0);
  sayf("lastevent.after", GetLastBkptNum());
  /* debug information without a program */
  sayf("files", GetFileList() != NULL);
  sayf("funcs", GetFunctionList(NULL) != NULL || GetVarList(NULL) != NULL || GetFileVariables("main.c") != NULL);
  sayf("queries", GetFileLineRange("main.c", &a, &b) + GetFunctionStartAddress("main", NULL, &u) +
                      GetFunctionAddressRange("main", NULL, &u, &v) + GetFunctionLineRange("main", NULL, &a, &b) +
                      GetLabelAddress("main", NULL, "l", &u) + GetLineAddress("main.c", 1, &u) +
                      GetVarAddress("v", NULL, &u));
  sayf("args", GetFunctionArgs(NULL, "main") != NULL || GetFunctionDescription(NULL, "main") != NULL);
  list = GetTargetFileName();
  says("target", list);
  free(list);
  /* interrupts */
  sayf("interrupts.missing", LoadInterrupts("no-such-file.int"));
  ShowInterrupts();
  RaiseInterrupt(0xFFF0);
  NotifyBkptChanged();
  WinitFakeIo();
  WinSetFakeIo();
  WinStopFakeIo();
  {
    uint32_t cycles = 0;
    sayf("xgexinst.called", XGexinst(&cycles) >= 0 || 1);
  }
  /* views by kind, list views and dialogs: nothing without windows */
  SetAssemblerWindow(0xF020);
  SetRegistersWindow(0xF020);
  SetStackWindow(0xF020);
  TavCodeMemUpdate(1);
  TavDataMemUpdate(0);
  sayf("lists", CreateFileBrowser() != NULL || CreateFunctionBrowser() != NULL ||
                    CreateMemoryDataBrowser("data", 0x2000, 1, 'x', 16, 0) != NULL);
  DeleteFileBrowser(NULL);
  DeleteFunctionBrowser(NULL);
  sayf("select", SelectSourceFile() != NULL || SelectSourceFunction() != NULL);
  ApplicationTreeDisplay(1);
  sayf("font", GetTavFontObject() != NULL);
  MDIUpdate();
  MyMultMessShow(NULL, 0, 0, "multi", "-part", (const char*)NULL);
  sayf("print", TavPrintFile(NULL, "main.c", 1, 2));
  FunctionKey(0);
  sayf("hookproc", MemHookProc(NULL, 0, 0, 0));
}

/* The debug tables of demo.x12 as records; the program stopped in main. */
static void check_records(void) {
  uint32_t info[3] = {0, 0, 0};
  int32_t status = -1, count = 0;
  char* text = NULL;
  const char* cursor = "g_int + 3";
  TavValue value = xexpr(&cursor, &status, 1);
  TavSymbolInfo* sym;
  TavLineInfo* line;
  TavFileInfo* files;
  TavFunctionInfo* fn;
  TavFrameInfo* stack;
  TavSectionInfo sections[4];
  sayf("xexpr.status", status);
  putresult(value, 0);
  docmd("mess \" \"", 0);
  putresult(value, 'x');
  docmd("mess \"\\n\"", 0);
  xfree(value);
  sayf("analyze", AnalyzeString("g_char, g_short", 0));
  sayf("analyze.bad", AnalyzeString("nosuchname", 0) != 0);
  sym = rensym("_main");
  sayf("rensym", sym != NULL);
  free(sym);
  sayf("varinfo", GetVarInformation("g_short", NULL, info));
  sayf("varinfo.size", info[0]);
  text = GetSizedVarList("types.c", 8);
  says("sized.first", text);
  free(text);
  text = NULL;
  sayf("enum", GetEnumValue("g_mode", NULL, &text));
  says("enum.text", text);
  free(text);
  sym = GetGlobalVariable("g_long", NULL);
  sayf("global.size", sym ? (long long)sym->size : -1);
  says("global.name", sym ? sym->name : NULL);
  free(sym);
  text = GetVariableDescription("g_pint", NULL);
  says("description", text);
  free(text);
  sayf("varsize", GetVariableSize("g_ldouble", NULL));
  sayf("sections", GetSectionCount() > 0);
  memset(sections, 0, sizeof sections);
  sayf("sectioninfo", GetSectionInfo(sections, 4) > 0 && sections[0].name[0] != 0);
  line = GetStartDebugSymbol("main", NULL);
  if (line) {
    TavLineInfo* same = GetDebugSymbol(line->address);
    TavLineInfo* covering = GetLineMatch(line->address + 1);
    says("start.file", line->file);
    sayf("start.line", line->line);
    sayf("start.check", CheckDebugSymbol(line->address));
    sayf("start.same", same && same->line == line->line);
    sayf("start.covering", covering && covering->line == line->line);
    free(same);
    free(covering);
  }
  free(line);
  line = GetLineDebugSymbol("main.c", 15);
  sayf("line15", line ? (long long)line->line : -1);
  says("line15.function", line ? line->function : NULL);
  free(line);
  files = GetFileInfo("main.c");
  sayf("fileinfo.functions", files ? (long long)files->function_count : -1);
  free(files);
  fn = GetFunctionInfo("main", NULL);
  says("function.file", fn ? fn->file : NULL);
  sayf("function.range", fn && fn->start < fn->end);
  free(fn);
  text = GetSrcLine("main.c", 7);
  says("srcline7", text);
  free(text);
  files = GetFileChain();
  for (count = 0; files && files[count].name[0]; ++count) {}
  sayf("filechain", count);
  free(files);
  line = GetDebugList();
  sayf("debuglist", line && line[0].file[0] != 0);
  free(line);
  stack = GetCurrentStack();
  says("stack.innermost", stack ? stack[0].function : NULL);
  free(stack);
  sayf("xrefs", GetXrefsFlag());
}

/* Tried from inside a status notice: the target runs, so these do nothing. */
static int busy_calls;
static void busy_status(uint32_t running) {
  if (!running || busy_calls++) return;
  ExecTargetCode();
  StartTargetCode();
  AnimateTargetCode();
  StepCode(5);
  StepTargetCode(5);
  LoadTargetFile("nothing.x12");
}

TAV_EXTENSION int CallExtension(const char* line) {
  const char* w = line + 5;
  while (*w == ' ') ++w;
  if (strncmp(w, "exec", 4) == 0) {
    check_exec();
  } else if (strncmp(w, "look", 4) == 0) {
    check_look();
  } else if (strncmp(w, "neutral", 7) == 0) {
    check_neutral();
  } else if (strncmp(w, "records", 7) == 0) {
    check_records();
  } else if (strncmp(w, "arm", 3) == 0) {
    /* newest first: C, B, A */
    order[0] = notices[0] = hooks[0] = '\0';
    once_calls = param_calls = 0;
    status_a = RegisterStatusFunction(status_a_fn);
    status_b = RegisterStatusFunction(status_b_fn);
    status_c = RegisterStatusFunction(status_c_fn);
    RegisterStatusFunction(busy_status);
    once_handle = RegisterCBFunction(once_fn);
    param_handle = RegisterCBParamFunction(param_fn, 77);
    RegisterLoadFunction(load_fn);
    RegisterResetFunction(reset_fn);
    RegisterEventFunction(event_fn);
    RegisterSessionFunction(session_fn);
    RegisterUpdateFunction(update_fn);
    /* a word write to local 0x2000 (global 0xFE000): one call, after the write */
    hook_handles[0] = RegisterMemHook(0xFE000, 2, 2, 1, hook_fn);
    hook_handles[1] = RegisterMemHook(0xFE001, 1, 2, 2, hook_fn); /* second byte only: not called */
    hook_handles[2] = RegisterMemHook(0, 0, 1, 3, hook_fn);       /* every read: none in this code */
    /* interrupts masked: the one "probe neutral" raised waits */
    WriteNamedRegister("ccr", 0x10);
    /* movw #$1234,$2000 at local 0x2100 */
    {
      static const unsigned char code[] = {0x18, 0x03, 0x12, 0x34, 0x20, 0x00, 0xA7, 0xA7};
      WriteMemory(code, 0xFE100, sizeof code);
      WritePC(0xFE100);
    }
  } else if (strncmp(w, "unhook", 6) == 0) {
    int i;
    for (i = 0; i < 3; ++i) UnRegisterMemHook(hook_handles[i]);
    UnRegisterCBFunction(param_handle);
  } else if (strncmp(w, "report", 6) == 0) {
    sayf("reads", all_reads);
    says("status.order", order);
    sayf("once.calls", once_calls);
    sayf("param.calls", param_calls);
    sayf("param.value", param_seen);
    sayf("busy.calls", busy_calls);
    says("notices", notices);
    says("hooks", hooks);
  } else if (strncmp(w, "quiet", 5) == 0) {
    UnRegisterEventFunction();
    UnRegisterLoadFunction();
    UnRegisterResetFunction();
    UnRegisterSessionFunction();
    UnRegisterUpdateFunction();
    UnRegisterStatusFunction();
    UnRegisterCBFunction(NULL);
    UnRegisterMemHook(NULL);
  } else {
    says("probe: unknown", w);
  }
  return 1;
}

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)instance;
  (void)module;
  sayf("init.window", main_window != NULL);
  return 1;
}
TAV_EXTENSION void CloseExtension(void) { say("probe closed"); }
TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  return strcmp(processor, "S12X") == 0 && execution_type == 1;
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "Interface probe"; }
TAV_EXTENSION const char* GetExtensionHelp(void) { return "probe exec|look|neutral|records|arm|unhook|report|quiet"; }
TAV_EXTENSION int GetExtensionLoadType(void) { return 0; }
TAV_EXTENSION const char* GetCommandName(void) { return "probe"; }
