// Binding of the XGATE support library at start-up. The program cannot run
// without it: a missing library or one without all four entry points ends the
// program with kXgateLibExitCode (the process status is 2000 modulo 256, 208).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "sim/registers.h"
#include "sim/xgate_lib_api.h"

namespace tav {

enum class XgateLibStatus { Loaded, Missing, Obsolete };

inline constexpr int kXgateLibExitCode = 2000;
inline constexpr const char* kXgateLibMissingText = "!PANIC MISSING XGATE LIB ";
inline constexpr const char* kXgateLibObsoleteText = "OBSOLETE XGATEDLLS\\XGATE.DLL ";
inline constexpr const char* kXgateLibRelativePath = "XGATEDLLS/XGATE.so";

class XgateLibrary {
 public:
  XgateLibrary() = default;
  ~XgateLibrary() { close(); }
  XgateLibrary(const XgateLibrary&) = delete;
  XgateLibrary& operator=(const XgateLibrary&) = delete;

  // XGATEDLLS/XGATE.so in `program_dir` (the directory of the executable).
  static std::string path_in(const std::string& program_dir);
  XgateLibStatus load(const std::string& program_dir) { return load_file(path_in(program_dir)); }
  XgateLibStatus load_file(const std::string& path);
  static const char* failure_text(XgateLibStatus status);  // null for Loaded

  bool loaded() const { return handle_ != nullptr; }
  // InitExtension(main window, program instance, library handle).
  int init(void* main_window, void* instance) { return loaded() ? init_(main_window, instance, handle_) : 0; }
  int buttons() { return loaded() ? buttons_() : 0; }  // XGateToButtons
  XGateToGlobalFn to_global() const { return to_global_; }
  // CloseExtension, then the library is released.
  void close();

 private:
  void* handle_ = nullptr;
  XgateInitExtensionFn init_ = nullptr;
  XgateCloseExtensionFn close_ = nullptr;
  XgateToGlobalEntryFn to_global_ = nullptr;
  XgateToButtonsFn buttons_ = nullptr;
};

// The start-up step: loads the library from `program_dir`, binds its
// translation into `registers` and calls InitExtension. On failure the text is
// handed to `report` (the host shows it as an error) and the result is
// kXgateLibExitCode, with which the host exits; 0 on success.
int xgate_lib_startup(XgateLibrary& library, const std::string& program_dir, Registers& registers,
                      void* main_window, void* instance, const std::function<void(std::string_view)>& report);

// The exit step: `registers` goes back to the built-in translation, then the
// library is closed (CloseExtension) and released.
void xgate_lib_shutdown(XgateLibrary& library, Registers& registers);

}  // namespace tav
