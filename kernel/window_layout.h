// The window arrangement and places that session and layout files keep. The
// desktop host reports and applies its own; a host without windows uses the
// console's fixed defaults when writing and ignores what it reads.
#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

enum class Tile { Cascade, Horizontal, Vertical, Free };

// "HORIZONTAL", "VERTICAL", "FREE" or "CASCADE".
const char* tile_name(Tile tile);
// The first letter decides (h, v, f in either case); anything else is cascade.
Tile tile_from(std::string_view text);

// One window: closed, or open at left, top, right, bottom (the main window in
// screen coordinates, the others relative to the MDI client area).
struct WindowPlace {
  bool open = false;
  int left = 0, top = 0, right = 0, bottom = 0;
};

// The [Windows] keys, in the order they are written.
enum LayoutWindow { kWinTav, kWinSource, kWinDisassembly, kWinCommand, kWinStack, kWinMonitors, kWinRegisters };
inline constexpr std::array<const char*, 7> kLayoutWindowKeys = {
    "Tav", "Source", "Disassembly", "Command", "Stack", "Monitors", "Registers"};

struct WindowLayout {
  Tile tile = Tile::Cascade;
  std::array<WindowPlace, 7> windows;
  // The memory windows: each "C," or "D," followed by the window's settings.
  std::vector<std::string> memory;
};

// "YES,l,t,r,b" or "NO".
std::string window_place_text(const WindowPlace& place);
// Reads a [Windows] value; anything but "YES," and four numbers is closed.
WindowPlace window_place_from(std::string_view text);

// What a host without windows writes: an 800 by 600 main window holding the
// source and command windows.
WindowLayout console_window_layout();

}  // namespace tav
