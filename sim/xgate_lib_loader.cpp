// Loading the XGATE support library with the platform's dynamic loader.
#include "sim/xgate_lib_loader.h"

#include <dlfcn.h>

namespace tav {

namespace {

template <class Fn>
Fn entry(void* handle, const char* name) {
  return reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

std::string XgateLibrary::path_in(const std::string& program_dir) {
  if (program_dir.empty()) return kXgateLibRelativePath;
  return program_dir.back() == '/' ? program_dir + kXgateLibRelativePath : program_dir + "/" + kXgateLibRelativePath;
}

XgateLibStatus XgateLibrary::load_file(const std::string& path) {
  close();
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return XgateLibStatus::Missing;
  init_ = entry<XgateInitExtensionFn>(handle, kXgateInitExtensionName);
  close_ = entry<XgateCloseExtensionFn>(handle, kXgateCloseExtensionName);
  to_global_ = entry<XgateToGlobalEntryFn>(handle, kXgateToGlobalName);
  buttons_ = entry<XgateToButtonsFn>(handle, kXgateToButtonsName);
  if (!init_ || !close_ || !to_global_ || !buttons_) {
    dlclose(handle);
    init_ = nullptr;
    close_ = nullptr;
    to_global_ = nullptr;
    buttons_ = nullptr;
    return XgateLibStatus::Obsolete;
  }
  handle_ = handle;
  return XgateLibStatus::Loaded;
}

const char* XgateLibrary::failure_text(XgateLibStatus status) {
  switch (status) {
    case XgateLibStatus::Missing: return kXgateLibMissingText;
    case XgateLibStatus::Obsolete: return kXgateLibObsoleteText;
    case XgateLibStatus::Loaded: break;
  }
  return nullptr;
}

void XgateLibrary::close() {
  if (!handle_) return;
  close_();
  dlclose(handle_);
  handle_ = nullptr;
  init_ = nullptr;
  close_ = nullptr;
  to_global_ = nullptr;
  buttons_ = nullptr;
}

int xgate_lib_startup(XgateLibrary& library, const std::string& program_dir, Registers& registers,
                      void* main_window, void* instance, const std::function<void(std::string_view)>& report) {
  const XgateLibStatus status = library.load(program_dir);
  if (status != XgateLibStatus::Loaded) {
    if (report) report(XgateLibrary::failure_text(status));
    return kXgateLibExitCode;
  }
  registers.set_xgate_to_global(library.to_global());
  library.init(main_window, instance);
  return 0;
}

void xgate_lib_shutdown(XgateLibrary& library, Registers& registers) {
  registers.set_xgate_to_global(nullptr);
  library.close();
}

}  // namespace tav
