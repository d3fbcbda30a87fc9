// The register view's content: the panel text with both cores' registers,
// their states, the flag fields and the cycle counters.
#pragma once
#include <cstdint>
#include <string>

#include "sim/xgate.h"

namespace tav {

class Memory;
class Registers;

// What each core is doing: running with the other, switched on, or off.
enum class CoreMode : std::uint8_t { Active, Enabled, Disabled };

struct RegisterPanelState {
  CoreMode s12x = CoreMode::Active;
  CoreMode xgate = CoreMode::Disabled;
  // Top row: total cycles of the S12X and of the XGATE; bottom row: the
  // cycles of the last execution command on each core.
  std::uint32_t cycles[4] = {};
};

// The eight-character state texts " Active ", " Enabled" and "Disabled".
const char* core_mode_text(CoreMode state);

// The XGATE channel number is shown as "chid": the byte at kXgateChannelAddr without bit 7.

// The panel text, lines ended by "\n".
std::string register_panel_text(Registers& registers, const Memory& memory, const RegisterPanelState& state);

}  // namespace tav
