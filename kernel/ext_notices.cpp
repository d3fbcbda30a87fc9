#include "kernel/ext_notices.h"

#include "kernel/host.h"

namespace tav {

void ExtensionNotices::views_refreshed(unsigned views) {
  if (update.empty()) return;
  if (views & kViewMemory) call(update, kUpdateMemory);
  if (views & (kViewVariables | kViewRegisters)) call(update, kUpdateData);
}

std::uint32_t Host::colour(int index) {
  // Red in the low byte: the defaults of the configuration's colour table.
  static constexpr std::uint32_t kDefaults[19] = {
      0x000000, 0x000000, 0x0000FF, 0xFF0000, 0x008000, 0xFF0000, 0x0000FF, 0x008000, 0x004080, 0x0080FF,
      0x0000FF, 0x0000FF, 0x0000FF, 0x00FF00, 0x828282, 0x828282, 0x004080, 0x4080FF, 0x00FF00};
  return index >= 0 && index < 19 ? kDefaults[index] : kDefaults[1];
}

}  // namespace tav
