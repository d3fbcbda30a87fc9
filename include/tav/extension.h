/* Tav extension interface.
 *
 * An extension is a shared library (.so) placed in one of the extension
 * folders beside the Tav executable (IOREGS, INTERRUPTS, ANALYZER, AUTOLOAD,
 * EXTENSIONS, GRAPHICS, KERNELS, PANELS) or in a directory of the ExtenPath
 * configuration key. It exports the TAV_EXTENSION entry points below and
 * calls the host functions, which the executable that loaded it exports.
 *
 * Plain C (C11 or C++), fixed-width arguments, no C++ types across the
 * boundary. Texts and lists that a host function returns are allocated with
 * malloc; release them with free. A list of names is one block of
 * NUL-terminated names followed by one more NUL.
 * See docs/EXTENSIONS.md for every function and its behaviour per host.
 */
#ifndef TAV_EXTENSION_H
#define TAV_EXTENSION_H

#include <stdint.h>

/* The interface version this header describes. The host offers it through
 * TavInterfaceVersion(); an extension may refuse to load (InitExtension
 * returning 0) when the host's major version differs from its own. */
#define TAV_EXTENSION_VERSION_MAJOR 1
#define TAV_EXTENSION_VERSION_MINOR 0
#define TAV_EXTENSION_VERSION ((TAV_EXTENSION_VERSION_MAJOR << 16) | TAV_EXTENSION_VERSION_MINOR)

#ifdef __cplusplus
#define TAV_EXTERN_C extern "C"
#else
#define TAV_EXTERN_C extern
#endif
/* Functions the host exports and extensions call. */
#define TAV_API TAV_EXTERN_C __attribute__((visibility("default")))
/* Entry points an extension defines. */
#define TAV_EXTENSION TAV_EXTERN_C __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Callback types ---------------------------------------------------- */
typedef void (*TavCycleFn)(uint32_t cycles);
typedef void (*TavCycleParamFn)(uint32_t cycles, uint32_t parameter);
typedef void (*TavNumberFn)(uint32_t value);               /* event, reset, status, update */
typedef void (*TavFileFn)(const char* file, uint32_t value); /* load phase, session direction */
typedef void (*TavMemHookFn)(uint32_t address, int32_t size, int32_t access, uint32_t parameter);
typedef void* TavHandle; /* a registration, or an opaque host window/menu object */
typedef void* TavValue;  /* an evaluated expression (xexpr); release it with xfree */

/* Records of the debug tables, copied out in a fixed C layout. Functions that
 * return one (or an array of them) allocate it with malloc; release it with
 * free. Texts are NUL-terminated and cut to fit. */
typedef struct TavSymbolInfo {
  uint32_t value;         /* address, frame offset, register or enumerator */
  uint32_t size;          /* bytes */
  uint32_t type;          /* the type word */
  uint32_t storage_class; /* 0 for a symbol of the linker's list */
  char name[64];
} TavSymbolInfo;

typedef struct TavLineInfo {
  uint32_t address;
  uint32_t line;
  uint32_t kind;          /* the debug record's kind */
  char file[128];
  char function[64];      /* "" outside functions */
} TavLineInfo;

typedef struct TavFileInfo {
  uint32_t first_line;
  uint32_t last_line;
  uint32_t function_count;
  uint32_t flags;
  char name[128];         /* arrays of these end with an empty name */
} TavFileInfo;

typedef struct TavFunctionInfo {
  uint32_t start;         /* address range [start, end) */
  uint32_t end;
  uint32_t first_line;
  uint32_t last_line;
  uint32_t arg_count;
  uint32_t type;          /* the return type's type word */
  char name[64];
  char file[128];
} TavFunctionInfo;

typedef struct TavFrameInfo {
  uint32_t base;          /* frame pointer */
  uint32_t line;          /* last line passed in this frame */
  char function[64];      /* arrays of these end with an empty function name */
  char file[128];
} TavFrameInfo;

/* 28 bytes per section. */
typedef struct TavSectionInfo {
  uint8_t flags;          /* 1: attribute bit 7; 2: loaded elsewhere than it runs */
  uint8_t reserved[3];
  uint32_t placement;
  uint32_t size;
  char name[16];
} TavSectionInfo;

#ifdef __cplusplus
}
#endif

/* ---- Host: version -------------------------------------------------------- */
TAV_API uint32_t TavInterfaceVersion(void);

/* ---- Host: callback registration (newest first, lazy removal) ----------- */
TAV_API TavHandle RegisterCBFunction(TavCycleFn fn);
TAV_API TavHandle RegisterCBParamFunction(TavCycleParamFn fn, uint32_t parameter);
TAV_API void UnRegisterCBFunction(TavHandle handle);
TAV_API TavHandle RegisterEventFunction(TavNumberFn fn);
TAV_API TavHandle RegisterLoadFunction(TavFileFn fn);
TAV_API TavHandle RegisterResetFunction(TavNumberFn fn);
TAV_API TavHandle RegisterStatusFunction(TavNumberFn fn);
TAV_API TavHandle RegisterSessionFunction(TavFileFn fn);
TAV_API TavHandle RegisterUpdateFunction(TavNumberFn fn);
TAV_API void UnRegisterEventFunction(void);
TAV_API void UnRegisterLoadFunction(void);
TAV_API void UnRegisterResetFunction(void);
TAV_API void UnRegisterStatusFunction(void);
TAV_API void UnRegisterSessionFunction(void);
TAV_API void UnRegisterUpdateFunction(void);
/* access mask: bit 0 reads, bit 1 writes; length 0 hooks every address. */
TAV_API TavHandle RegisterMemHook(uint32_t start, uint32_t length, uint32_t mask, uint32_t parameter,
                                  TavMemHookFn fn);
TAV_API void UnRegisterMemHook(TavHandle handle);

/* ---- Host: execution control -------------------------------------------- */
TAV_API int32_t IsTargetRunning(void);
TAV_API void ExecTargetCode(void);
TAV_API void StartTargetCode(void);
TAV_API void AnimateTargetCode(void);
TAV_API void StepCode(int32_t count);
TAV_API void StepTargetCode(int32_t count);
TAV_API void StopExecution(void);
TAV_API uint32_t SetStopFlag(uint32_t value);
TAV_API uint32_t GetStopFlag(void);
TAV_API int32_t CheckForStop(void);
TAV_API void RaiseInterrupt(uint32_t vector);
TAV_API int32_t LoadInterrupts(const char* file);
TAV_API void ShowInterrupts(void);
TAV_API int32_t XGexinst(uint32_t* cycles);
TAV_API void LoadTargetFile(const char* file);
TAV_API void NotifyBkptChanged(void);
TAV_API int32_t GetExecutionType(void);
TAV_API const char* GetTargetProcessor(void);
TAV_API int32_t GetTargetAddressSize(void);
TAV_API int32_t GetTargetIntSize(void);
TAV_API uint32_t GetCycleCount(void);

/* ---- Host: target memory and registers (no hooks, no data events) ------- */
TAV_API uint32_t ReadByte(uint32_t address);
TAV_API uint32_t ReadWord(uint32_t address);
TAV_API uint32_t ReadLong(uint32_t address);
TAV_API void WriteByte(uint32_t address, uint32_t value);
TAV_API void WriteWord(uint32_t address, uint32_t value);
TAV_API void WriteLong(uint32_t address, uint32_t value);
TAV_API void ReadMemory(void* destination, uint32_t address, int32_t count);
TAV_API void WriteMemory(const void* source, uint32_t address, int32_t count);
TAV_API char* GetRegisterList(void);
TAV_API int32_t GetRegisterCode(const char* name);
TAV_API int32_t GetRegisterSize(int32_t code);
TAV_API int32_t GetNamedRegisterSize(const char* name);
TAV_API uint32_t ReadRegister(int32_t code);
TAV_API uint32_t ReadNamedRegister(const char* name);
TAV_API void WriteRegister(int32_t code, uint32_t value);
TAV_API void WriteNamedRegister(const char* name, uint32_t value);
TAV_API uint32_t ReadPC(void);
TAV_API void WritePC(uint32_t global_address);
TAV_API int32_t GetRegistersBlockSize(void);
TAV_API void SaveRegisters(void* block);
TAV_API void RestoreRegisters(const void* block);
TAV_API uint32_t ReadSavedRegister(const void* block, int32_t code);
TAV_API uint32_t ReadSavedNamedRegister(const void* block, const char* name);
TAV_API uint32_t ReadSavedPC(const void* block);

/* ---- Host: commands, events, expressions -------------------------------- */
TAV_API const char* docmd(const char* line, int32_t mode);
/* 1, or 0 when the command reported an error; with a buffer, the captured
 * output (or the error text) cut to size - 1 characters. */
TAV_API int32_t ExecTavCommand(const char* line, char* output, int32_t size);
TAV_API int32_t AddEventByCommand(const char* line);
TAV_API int32_t GetLastBkptNum(void);
TAV_API int32_t CheckEvent(void);
TAV_API void rmevent(int32_t number, int32_t mode);
/* Evaluates the C expression at *cursor (advanced past it): 0 and the value
 * in *integer, or in *floating with *is_floating 1; else an error number. */
TAV_API int32_t Expression(int32_t mode, const char** cursor, int32_t* is_floating, int32_t* integer,
                           double* floating);
/* The instruction at a global address: its length; its text into `text`
 * (at least TAV_DISASM_TEXT bytes). */
#define TAV_DISASM_TEXT 128
TAV_API int32_t Disassemble(uint32_t address, char* text);
/* Evaluates the C expression at *cursor (advanced past it); *status 0 or an
 * error number. mode 1 evaluates, 0 only resolves and types. */
TAV_API TavValue xexpr(const char** cursor, int32_t* status, int32_t mode);
/* Prints a value through the command output; letter a format letter or 0. */
TAV_API void putresult(TavValue value, int32_t letter);
TAV_API void xfree(TavValue value);
/* Evaluates and prints each comma-separated expression as "eval" does: 0 or the error number. */
TAV_API int32_t AnalyzeString(const char* text, int32_t letter);
/* A name of the linker's symbol list (or a kernel variable), or null. */
TAV_API TavSymbolInfo* rensym(const char* name);

/* ---- Host: debug information --------------------------------------------- */
TAV_API char* GetFileList(void);
TAV_API char* GetFunctionList(const char* file);
TAV_API char* GetFileVariables(const char* file);
TAV_API char* GetVarList(const char* file);
TAV_API char* GetFunctionArgs(const char* file, const char* function);
TAV_API char* GetFunctionDescription(const char* file, const char* function);
TAV_API int32_t GetFileLineRange(const char* file, int32_t* first, int32_t* last);
TAV_API int32_t GetFunctionStartAddress(const char* function, const char* file, uint32_t* address);
TAV_API int32_t GetFunctionAddressRange(const char* function, const char* file, uint32_t* start, uint32_t* end);
TAV_API int32_t GetFunctionLineRange(const char* function, const char* file, int32_t* first, int32_t* last);
TAV_API int32_t GetLabelAddress(const char* function, const char* file, const char* label, uint32_t* address);
TAV_API int32_t GetLineAddress(const char* file, int32_t line, uint32_t* address);
TAV_API int32_t GetVarAddress(const char* variable, const char* file, uint32_t* address);
TAV_API int32_t GetSourceSelection(int32_t ignored, int32_t* first, int32_t* last);
TAV_API char* GetTargetFileName(void);
/* info[0] size in bytes, info[1] type word, info[2] storage class. */
TAV_API int32_t GetVarInformation(const char* variable, const char* file, uint32_t* info);
/* GetVarList restricted to variables whose size (info[0]) equals `size`. */
TAV_API char* GetSizedVarList(const char* file, uint32_t size);
/* The enumerator name of an enum variable's current value (malloc'ed). */
TAV_API int32_t GetEnumValue(const char* variable, const char* file, char** text);
TAV_API TavSymbolInfo* GetGlobalVariable(const char* name, const char* file);
TAV_API int32_t GetSectionCount(void);
TAV_API int32_t GetSectionInfo(TavSectionInfo* sections, int32_t max);
/* The source position that begins exactly at an address, or null. */
TAV_API TavLineInfo* GetDebugSymbol(uint32_t address);
TAV_API int32_t CheckDebugSymbol(uint32_t address);
TAV_API TavLineInfo* GetLineDebugSymbol(const char* file, int32_t line);
TAV_API TavLineInfo* GetStartDebugSymbol(const char* function, const char* file);
/* The source position whose code covers an address, or null. */
TAV_API TavLineInfo* GetLineMatch(uint32_t address);
TAV_API TavFileInfo* GetFileInfo(const char* file);
TAV_API TavFunctionInfo* GetFunctionInfo(const char* function, const char* file);
/* "int *p": the variable's declaration. */
TAV_API char* GetVariableDescription(const char* variable, const char* file);
TAV_API int32_t GetVariableSize(const char* variable, const char* file);
/* One line of a source file as the source path finds it, or null. */
TAV_API char* GetSrcLine(const char* file, int32_t line);
/* Every file; every line record in address order; the call stack, innermost
 * first. Arrays ended by an entry with an empty name; null when empty. */
TAV_API TavFileInfo* GetFileChain(void);
TAV_API TavLineInfo* GetDebugList(void);
TAV_API TavFrameInfo* GetCurrentStack(void);
/* 1 while a loaded extension handles the "xref" command word. */
TAV_API int32_t GetXrefsFlag(void);

/* ---- Host: menus, windows, displays (neutral in the console host) -------- */
TAV_API int32_t AllocateMenuIDs(int32_t count);
TAV_API int32_t AllocateMessageIDs(int32_t count);
TAV_API int32_t GetMenuInsertPos(void);
TAV_API int32_t GetExtensionsMenuInsertPos(void);
TAV_API int32_t GetMenuPosition(const char* title);
TAV_API int32_t GetFileMenuPosition(void);
TAV_API int32_t GetEventsMenuPosition(void);
TAV_API int32_t GetBrowseMenuPosition(void);
TAV_API int32_t GetDebugMenuPosition(void);
TAV_API int32_t GetSetupMenuPosition(void);
TAV_API int32_t GetTargetMenuPosition(void);
TAV_API int32_t GetShowMenuPosition(void);
TAV_API int32_t GetWindowsMenuPosition(void);
TAV_API int32_t GetExtensionsMenuPosition(void);
TAV_API int32_t GetHelpMenuPosition(void);
TAV_API TavHandle GetFunctionPopupMenu(void);
TAV_API TavHandle GetVariablePopupMenu(void);
TAV_API int32_t AddButtonToBar(TavHandle module, const char* bitmap);
TAV_API TavHandle GetTavMainWindow(void);
TAV_API TavHandle GetTavMDIWindow(void);
TAV_API TavHandle GetTavBtnBarWindow(void);
TAV_API void SetTavWindow(int32_t command);
TAV_API void SetTavSubWindow(TavHandle window, int32_t command);
TAV_API int32_t GetTavWindowsStyle(void);
TAV_API void SetTavWindowsStyle(int32_t style);
TAV_API void CommandDisplay(int32_t on);
TAV_API void AssemblerDisplay(int32_t on);
TAV_API void RegistersDisplay(int32_t on);
TAV_API void StackDisplay(int32_t on);
TAV_API void UpdateCodeMemoryWindows(void);
TAV_API void UpdateDataMemoryWindows(void);
TAV_API TavHandle CreateSourceBrowser(const char* file);
TAV_API TavHandle BrowseFile(const char* file, int32_t line);
TAV_API TavHandle BrowseFunction(const char* function, const char* file, int32_t line);
TAV_API void DeleteSourceBrowser(TavHandle view);
TAV_API TavHandle CreateMemoryCodeBrowser(const char* title, uint32_t address);
TAV_API void DeleteMemoryBrowser(TavHandle view);
TAV_API void SetChronology(int32_t value);
TAV_API void SetAssemblerWindow(int32_t command);
TAV_API void SetRegistersWindow(int32_t command);
TAV_API void SetStackWindow(int32_t command);
TAV_API void TavCodeMemUpdate(int32_t flag);
TAV_API void TavDataMemUpdate(int32_t flag);
TAV_API TavHandle CreateFileBrowser(void);
TAV_API TavHandle CreateFunctionBrowser(void);
TAV_API void DeleteFileBrowser(TavHandle view);
TAV_API void DeleteFunctionBrowser(TavHandle view);
/* The four settings: display unit (1, 2, 4), format letter, columns, follow (0/1). */
TAV_API TavHandle CreateMemoryDataBrowser(const char* title, uint32_t address, int32_t unit, int32_t format,
                                          int32_t columns, int32_t follow);
/* The chosen name (host-owned, valid until the next call) or null. */
TAV_API const char* SelectSourceFile(void);
TAV_API const char* SelectSourceFunction(void);
TAV_API void ApplicationTreeDisplay(int32_t on);
TAV_API void MDIUpdate(void);
/* A message from the texts after `second`, ended by a null text. */
TAV_API void MyMultMessShow(TavHandle window, int32_t first, int32_t second, ...);
TAV_API int32_t TavPrintFile(TavHandle window, const char* file, int32_t first_line, int32_t last_line);
TAV_API void FunctionKey(int32_t key);
/* The memory-range dialog's own procedure: not meant to be called; answers 0. */
TAV_API int32_t MemHookProc(TavHandle dialog, uint32_t message, uint32_t wparam, uint32_t lparam);

/* ---- Host: paths, configuration, look, status ---------------------------- */
TAV_API char* GetTavPath(void);
TAV_API void SetTavPath(const char* text);
TAV_API void AppendToPath(const char* directory);
TAV_API void PrependToPath(const char* directory);
TAV_API void EditTavPath(void);
TAV_API char* GetTavDir(void);
TAV_API char* GetTavInstallDir(void);
TAV_API const char* GetINIFileName(void);
TAV_API const char* GetExecName(void);
TAV_API uint32_t GetTavColor(uint32_t index);
TAV_API uint32_t GetTavTextColor(void);
TAV_API int32_t GetTavTabWidth(void);
TAV_API TavHandle GetTavFontObject(void);
TAV_API void LeftStatus(const char* text);
TAV_API void MiddleStatus(const char* text);
TAV_API void RightStatus(const char* text);
TAV_API void WinStatGauge(int32_t on, uint32_t total);
TAV_API void WinStatGaugeAdd(uint32_t amount);
TAV_API void CursorWait(void);
TAV_API void CursorStd(void);
TAV_API void WinitFakeIo(void);
TAV_API void WinSetFakeIo(void);
TAV_API void WinStopFakeIo(void);

/* ---- Extension entry points ----------------------------------------------
 * Required: InitExtension, CheckExtension, GetExtensionDescription,
 * GetExtensionHelp, GetExtensionLoadType. Optional: the others.
 * InitExtension receives the host's main window (null in the console host),
 * a null program instance and the library's dlopen handle. */
#define TAV_LOAD_AUTOMATIC 4 /* GetExtensionLoadType bit: load as soon as found */

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module);
TAV_EXTENSION int CheckExtension(const char* processor, int execution_type);
TAV_EXTENSION const char* GetExtensionDescription(void);
TAV_EXTENSION const char* GetExtensionHelp(void);
TAV_EXTENSION int GetExtensionLoadType(void);
TAV_EXTENSION const char* GetExtensionVersion(void);
TAV_EXTENSION const char* GetCommandName(void);
TAV_EXTENSION const char* GetCommandOptions(void);
TAV_EXTENSION int CallExtension(const char* line);
TAV_EXTENSION void CloseExtension(void);

#endif /* TAV_EXTENSION_H */
