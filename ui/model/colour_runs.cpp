#include "ui/model/colour_runs.h"

namespace tav {

namespace {
constexpr char kSwitch = 1;
constexpr std::uint8_t kRestore = 9;
constexpr std::uint8_t kEntries = 19;
}  // namespace

std::vector<ColourRun> colour_runs(std::string_view line) {
  std::vector<ColourRun> runs;
  int colour = kViewTextColour;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] == kSwitch) {
      if (i + 1 >= line.size()) break;  // a switch cut off at the end selects nothing
      const auto b = static_cast<std::uint8_t>(line[i + 1]);
      colour = b == kRestore ? kViewTextColour : b < kEntries ? b : 1;
      i += 2;
      continue;
    }
    std::size_t j = line.find(kSwitch, i);
    if (j == std::string_view::npos) j = line.size();
    if (!runs.empty() && runs.back().colour == colour)
      runs.back().text.append(line.substr(i, j - i));
    else
      runs.push_back({std::string(line.substr(i, j - i)), colour});
    i = j;
  }
  return runs;
}

std::string plain_text(std::string_view line) {
  std::string text;
  for (const ColourRun& r : colour_runs(line)) text += r.text;
  return text;
}

std::string colour_switch(std::uint8_t entry) { return {kSwitch, static_cast<char>(entry)}; }

}  // namespace tav
