// View line texts carry their colours inline: the byte 1 and the byte after
// it switch the colour (an entry of the 19-entry colour table; 9 goes back
// to the view's own text colour; any other value means entry 1). Hosts draw
// the runs this cuts a line into.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

inline constexpr int kViewTextColour = -1;

struct ColourRun {
  std::string text;
  int colour = kViewTextColour;  // a colour table entry, or kViewTextColour
  bool operator==(const ColourRun&) const = default;
};

std::vector<ColourRun> colour_runs(std::string_view line);
// The text alone, switches removed.
std::string plain_text(std::string_view line);
// A switch to `entry` as it is written into a line.
std::string colour_switch(std::uint8_t entry);

}  // namespace tav
