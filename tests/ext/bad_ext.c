/* Libraries the loader must report and skip, one per BAD_KIND:
 * 1 crashes in InitExtension, 2 lacks GetExtensionHelp, 3 rejects the target,
 * 4 refuses in InitExtension. All ask to be loaded automatically. */
#include <signal.h>
#include <stddef.h>

#include "tav/extension.h"

TAV_EXTENSION int InitExtension(void* main_window, void* instance, void* module) {
  (void)main_window;
  (void)instance;
  (void)module;
#if BAD_KIND == 1
  raise(SIGSEGV);
#endif
  LeftStatus("a bad extension was initialised");
  return BAD_KIND == 4 ? 0 : 1;
}
TAV_EXTENSION int CheckExtension(const char* processor, int execution_type) {
  (void)processor;
  (void)execution_type;
  return BAD_KIND != 3;
}
TAV_EXTENSION const char* GetExtensionDescription(void) { return "bad"; }
#if BAD_KIND != 2
TAV_EXTENSION const char* GetExtensionHelp(void) { return "bad"; }
#endif
TAV_EXTENSION int GetExtensionLoadType(void) { return TAV_LOAD_AUTOMATIC; }
