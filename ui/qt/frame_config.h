// The desktop host's part of the configuration file: arrangement, views
// opened at start-up, window places, recent files, function keys, fonts and
// colours. Read once at start-up, written by "Save Configuration" and at exit.
#pragma once
#include <QFont>
#include <QRect>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "kernel/window_layout.h"

namespace tav::qt {

inline constexpr int kFunctionKeys = 12;
// Columns of a key's row: alone, with Shift, with Ctrl, with Ctrl and Shift.
using KeyRow = std::array<int, 4>;

// A font as the configuration file keeps it: fourteen comma-separated fields
// (height, width, escapement, orientation, weight, italic, underline,
// strike-out, character set, output precision, clipping precision, quality,
// pitch and family, face name). The fields QFont has no notion of are kept
// as read and written back unchanged.
struct FontSpec {
  std::array<std::string, 14> fields;

  static bool parse(const std::string& text, FontSpec& out);  // false: fewer than 14 fields
  std::string text() const;
  QFont to_qfont() const;
  void take(const QFont& font);  // the QFont's settings into the fields
};

inline constexpr std::array<const char*, 8> kFontKeys = {"Assembler_Font", "Browser_Font", "Command_Font",
                                                         "Memory_Font",    "Monitor_Font", "Register_Font",
                                                         "Source_Font",    "Stack_Font"};

// The fourteen colour keys: five colours beside the table, nine entries of it.
struct ColorKey {
  const char* key;
  int table_index;  // -1: kept beside the table
  const char* comment;
};
const std::array<ColorKey, 14>& color_keys();

// Views named in the LayOut section.
inline constexpr std::array<const char*, 7> kLayoutViews = {"Registers", "Command", "Locals",     "Globals",
                                                            "Stack",     "Monitors", "Disassembly"};

struct FrameConfig {
  Tile tile = Tile::Cascade;
  bool save_on_exit = true;
  char default_int_format = 'D';
  char var_format = 'S';  // the variable browsers': 'B' brief, 'S' standard, 'F' full
  std::map<std::string, char> views;  // LayOut key -> 'Y', 'I' or 'N'
  std::array<KeyRow, kFunctionKeys> keys{};
  std::vector<std::string> recent;  // most recent first, at most five
  std::array<FontSpec, 8> fonts;
  std::array<std::uint32_t, 19> colors{};  // red in the low byte
  std::array<std::uint32_t, 5> extra_colors{};  // Assembler, BkptOn, BkptOff, Source, Instruction
  std::map<std::string, QRect> rects;  // TavWindow, RegWindow, ... -> rectangle

  FrameConfig();  // the defaults of a configuration without any section
  void read(const std::string& file);
  void write(const std::string& file) const;
  void write_keys(const std::string& file) const;
  void add_recent(const std::string& name);

  std::uint32_t color(int index) const;
};

// "0x" and six hexadecimal digits.
std::string color_text(std::uint32_t rgb);

}  // namespace tav::qt
