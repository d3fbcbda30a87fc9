// The entry points of the XGATE support library (XGATEDLLS/XGATE.so), a
// separate library beside the program that supplies the XGATE's address
// translation and its host buttons. They are plain C functions:
//   int InitExtension(void* main_window, void* instance, void* library);
//       once after loading, with the library's own handle; nonzero is success
//   void CloseExtension(void);            at exit, before the library is released
//   uint32_t XGateToGlobal(uint32_t a);   XGATE address (low 16 bits) to global
//   int XGateToButtons(void);             once when the host builds its toolbar
#pragma once
#include <cstdint>

namespace tav {

extern "C" {
using XgateInitExtensionFn = int (*)(void* main_window, void* instance, void* library);
using XgateCloseExtensionFn = void (*)();
using XgateToGlobalEntryFn = std::uint32_t (*)(std::uint32_t xgate_address);
using XgateToButtonsFn = int (*)();
}

inline constexpr const char* kXgateInitExtensionName = "InitExtension";
inline constexpr const char* kXgateCloseExtensionName = "CloseExtension";
inline constexpr const char* kXgateToGlobalName = "XGateToGlobal";
inline constexpr const char* kXgateToButtonsName = "XGateToButtons";

}  // namespace tav
