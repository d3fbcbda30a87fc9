#include "ui/qt/frame_config.h"

#include <cstdio>
#include <cstdlib>

#include "support/profile.h"

namespace tav::qt {

namespace {

constexpr std::uint32_t rgb(unsigned r, unsigned g, unsigned b) { return r | g << 8 | b << 16; }

constexpr std::array<std::uint32_t, 19> kDefaultColors = {
    rgb(0, 0, 0),       rgb(0, 0, 0),     rgb(255, 0, 0),     rgb(0, 0, 255),     rgb(0, 128, 0),
    rgb(0, 0, 255),     rgb(255, 0, 0),   rgb(0, 128, 0),     rgb(128, 64, 0),    rgb(255, 128, 0),
    rgb(255, 0, 0),     rgb(255, 0, 0),   rgb(255, 0, 0),     rgb(0, 255, 0),     rgb(130, 130, 130),
    rgb(130, 130, 130), rgb(128, 64, 0),  rgb(255, 128, 64),  rgb(0, 255, 0)};
// Assembler, BkptOn, BkptOff, Source, Instruction.
constexpr std::array<std::uint32_t, 5> kDefaultExtra = {rgb(210, 230, 255), rgb(255, 120, 120), rgb(255, 210, 160),
                                                        rgb(255, 255, 160), rgb(0, 0, 128)};

const std::array<ColorKey, 14> kColorKeys = {{
    {"Assembler", -1, "/* Color for the current line's instructions */"},
    {"BkptOn", -2, "/* Color for Active Breakpoints */"},
    {"BkptOff", -3, "/* Color for Suspended Breakpoints */"},
    {"Source", -4, "/* Color for the current Source line */"},
    {"Instruction", -5, "/* Color for the Instruction at the PC */"},
    {"C_Keyword", 5, "/* Color for C Keywords */"},
    {"C_Library", 6, "/* Color for C Library functions */"},
    {"Comments", 7, "/* Color for Comments */"},
    {"Memory", 10, "/* Color for changed Memory values */"},
    {"Assembler_Mnemonics", 11, "/* Color for Instruction Mnemonics */"},
    {"Preprocessor", 14, "/* Color for Preprocessor directives */"},
    {"Defines", 16, "/* Color for Defines */"},
    {"Typedefs", 17, "/* Color for Typedefs */"},
    {"Search", 18, "/* Color for Search matches */"},
}};

// The window sections and the view each belongs to.
constexpr std::array<const char*, 9> kRectSections = {"TavWindow",   "SrcWindow",  "MonWindow",
                                                      "StackWindow", "RegWindow",  "CmdWindow",
                                                      "DisaWindow",  "LocalsWindow", "GlobalsWindow"};

bool yes(const std::string& v) { return !v.empty() && (v[0] == 'y' || v[0] == 'Y'); }

std::uint32_t* color_slot(FrameConfig& c, const ColorKey& k) {
  return k.table_index >= 0 ? &c.colors[k.table_index] : &c.extra_colors[-k.table_index - 1];
}

const char* kFontDefault = "-13,0,0,0,400,0,0,0,0,0,0,0,49,Monospace";

}  // namespace

const std::array<ColorKey, 14>& color_keys() { return kColorKeys; }

std::string color_text(std::uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%06X", static_cast<unsigned>(value & 0xFFFFFF));
  return buffer;
}

bool FontSpec::parse(const std::string& text, FontSpec& out) {
  FontSpec spec;
  std::size_t start = 0;
  for (int i = 0; i < 13; ++i) {
    const std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) return false;
    spec.fields[i] = text.substr(start, comma - start);
    start = comma + 1;
  }
  spec.fields[13] = text.substr(start);
  out = spec;
  return true;
}

std::string FontSpec::text() const {
  std::string out;
  for (std::size_t i = 0; i < fields.size(); ++i) out += (i ? "," : "") + fields[i];
  return out;
}

QFont FontSpec::to_qfont() const {
  QFont font(QString::fromStdString(fields[13]));
  const int height = std::atoi(fields[0].c_str());
  if (height != 0) font.setPixelSize(std::abs(height));
  const int weight = std::atoi(fields[4].c_str());
  if (weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
  font.setItalic(std::atoi(fields[5].c_str()) != 0);
  font.setUnderline(std::atoi(fields[6].c_str()) != 0);
  font.setStrikeOut(std::atoi(fields[7].c_str()) != 0);
  // Fixed pitch is the low two bits of pitch-and-family being 1.
  font.setFixedPitch((std::atoi(fields[12].c_str()) & 3) == 1);
  if (font.fixedPitch()) font.setStyleHint(QFont::Monospace);
  return font;
}

void FontSpec::take(const QFont& font) {
  const int old_height = std::atoi(fields[0].c_str());
  const int size = font.pixelSize() > 0 ? font.pixelSize() : font.pointSize() * 4 / 3;
  fields[0] = std::to_string(old_height > 0 ? size : -size);
  fields[4] = std::to_string(static_cast<int>(font.weight()));
  fields[5] = font.italic() ? "1" : "0";
  fields[6] = font.underline() ? "1" : "0";
  fields[7] = font.strikeOut() ? "1" : "0";
  const int family = std::atoi(fields[12].c_str()) & ~3;
  fields[12] = std::to_string(family | (font.fixedPitch() ? 1 : 2));
  fields[13] = font.family().toStdString();
}

FrameConfig::FrameConfig() : colors(kDefaultColors), extra_colors(kDefaultExtra) {
  keys[0][0] = 13001;  // F1: help
  for (auto& f : fonts) FontSpec::parse(kFontDefault, f);
  for (const char* v : kLayoutViews) views[v] = 'N';
  views["Registers"] = 'Y';
  views["Command"] = 'Y';
  views["Stack"] = 'Y';
  views["Disassembly"] = 'Y';
}

void FrameConfig::read(const std::string& file) {
  tile = tile_from(profile_read(file, "Options", "Tile", "Cascade"));
  save_on_exit = yes(profile_read(file, "LayOut", "Save", "YES"));
  const std::string fmt = profile_read(file, "Options", "DefIntFormat", "D");
  const char f = fmt.empty() ? 'D' : static_cast<char>(std::toupper(static_cast<unsigned char>(fmt[0])));
  default_int_format = (f == 'O' || f == 'H' || f == 'B') ? f : 'D';
  // Written only when the user chooses a format (MainFrame).
  const std::string vf = profile_read(file, "Options", "VarFormat", "Standard");
  const char v = vf.empty() ? 'S' : static_cast<char>(std::toupper(static_cast<unsigned char>(vf[0])));
  var_format = (v == 'F' || v == 'B') ? v : 'S';
  for (const char* v : kLayoutViews) {
    const std::string value = profile_read(file, "LayOut", v, views[v] == 'Y' ? "YES" : "NO");
    const char c = value.empty() ? 'N' : static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
    views[v] = (c == 'Y' || c == 'I') ? c : 'N';
  }
  for (int k = 0; k < kFunctionKeys; ++k) {
    const std::string value = profile_read(file, "KeyBindings", "<F" + std::to_string(k + 1) + ">", "");
    KeyRow row{};
    if (std::sscanf(value.c_str(), "%d,%d,%d,%d", &row[0], &row[1], &row[2], &row[3]) == 4) keys[k] = row;
  }
  recent.clear();
  for (int i = 1; i <= 5; ++i) {
    const std::string name = profile_read(file, "Files", std::to_string(i), "");
    if (name.empty()) break;
    recent.push_back(name);
  }
  if (yes(profile_read(file, "Options", "NEWFONTS", "NO"))) {
    for (std::size_t i = 0; i < kFontKeys.size(); ++i) {
      FontSpec spec;
      if (FontSpec::parse(profile_read(file, "Fonts", kFontKeys[i], ""), spec)) fonts[i] = spec;
    }
  }
  for (const ColorKey& k : kColorKeys) {
    const std::string value = profile_read(file, "Colors", k.key, "");
    if (value.empty()) continue;
    char* end = nullptr;
    const unsigned long c = std::strtoul(value.c_str(), &end, 16);
    if (end != value.c_str()) *color_slot(*this, k) = static_cast<std::uint32_t>(c & 0xFFFFFF);
  }
  for (const char* section : kRectSections) {
    const std::string l = profile_read(file, section, "Left", "");
    if (l.empty()) continue;
    const int left = std::atoi(l.c_str());
    const int top = std::atoi(profile_read(file, section, "Top", "0").c_str());
    const int right = std::atoi(profile_read(file, section, "Right", "0").c_str());
    const int bottom = std::atoi(profile_read(file, section, "Bottom", "0").c_str());
    rects[section] = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
  }
}

void FrameConfig::write(const std::string& file) const {
  profile_write(file, "LayOut", "Save", save_on_exit ? "YES" : "NO");
  for (const char* v : kLayoutViews) {
    const char c = views.count(v) ? views.at(v) : 'N';
    profile_write(file, "LayOut", v, c == 'Y' ? "YES" : c == 'I' ? "ICONIC" : "NO");
  }
  profile_write(file, "Options", "Tile", tile_name(tile));
  const char* fmt = default_int_format == 'O' ? "Octal" : default_int_format == 'H' ? "Hexadecimal"
                    : default_int_format == 'B' ? "Binary" : "Decimal";
  profile_write(file, "Options", "DefIntFormat", fmt);
  for (const ColorKey& k : kColorKeys) {
    const std::uint32_t c = k.table_index >= 0 ? colors[k.table_index] : extra_colors[-k.table_index - 1];
    profile_write(file, "Colors", k.key, color_text(c) + "    " + k.comment);
  }
  profile_write(file, "Options", "NEWFONTS", "YES");
  for (std::size_t i = 0; i < kFontKeys.size(); ++i) profile_write(file, "Fonts", kFontKeys[i], fonts[i].text());
  for (const auto& [section, r] : rects) {
    profile_write(file, section, "Left", std::to_string(r.left()));
    profile_write(file, section, "Top", std::to_string(r.top()));
    profile_write(file, section, "Right", std::to_string(r.right() + 1));
    profile_write(file, section, "Bottom", std::to_string(r.bottom() + 1));
  }
  for (std::size_t i = 0; i < 5; ++i)
    profile_write(file, "Files", std::to_string(i + 1), i < recent.size() ? recent[i] : "");
  write_keys(file);
}

void FrameConfig::write_keys(const std::string& file) const {
  for (int k = 0; k < kFunctionKeys; ++k) {
    const KeyRow& r = keys[k];
    profile_write(file, "KeyBindings", "<F" + std::to_string(k + 1) + ">",
                  std::to_string(r[0]) + "," + std::to_string(r[1]) + "," + std::to_string(r[2]) + "," +
                      std::to_string(r[3]));
  }
}

void FrameConfig::add_recent(const std::string& name) {
  std::erase(recent, name);
  recent.insert(recent.begin(), name);
  if (recent.size() > 5) recent.resize(5);
}

std::uint32_t FrameConfig::color(int index) const {
  return index >= 0 && index < 19 ? colors[index] : colors[1];
}

}  // namespace tav::qt
