#include "kernel/window_layout.h"

#include <cstdlib>

namespace tav {

const char* tile_name(Tile tile) {
  switch (tile) {
    case Tile::Horizontal: return "HORIZONTAL";
    case Tile::Vertical: return "VERTICAL";
    case Tile::Free: return "FREE";
    default: return "CASCADE";
  }
}

Tile tile_from(std::string_view text) {
  switch (text.empty() ? '\0' : text[0]) {
    case 'h': case 'H': return Tile::Horizontal;
    case 'v': case 'V': return Tile::Vertical;
    case 'f': case 'F': return Tile::Free;
    default: return Tile::Cascade;
  }
}

std::string window_place_text(const WindowPlace& place) {
  if (!place.open) return "NO";
  return "YES," + std::to_string(place.left) + "," + std::to_string(place.top) + "," +
         std::to_string(place.right) + "," + std::to_string(place.bottom);
}

WindowPlace window_place_from(std::string_view text) {
  WindowPlace place;
  if (text.substr(0, 4) != "YES,") return place;
  std::string rest(text.substr(4));
  const char* p = rest.c_str();
  int* fields[] = {&place.left, &place.top, &place.right, &place.bottom};
  for (int* field : fields) {
    char* end = nullptr;
    *field = static_cast<int>(std::strtol(p, &end, 10));
    p = (*end == ',') ? end + 1 : end;
  }
  place.open = true;
  return place;
}

WindowLayout console_window_layout() {
  WindowLayout layout;
  layout.windows[kWinTav] = {true, 0, 0, 800, 600};
  layout.windows[kWinSource] = {true, -1, -1, 780, 380};
  layout.windows[kWinCommand] = {true, -1, 379, 780, 520};
  return layout;
}

}  // namespace tav
