// Files of "[Section]" lines followed by "key=value" lines: the configuration
// file, sessions and layouts. Section and key names compare without regard to
// case; writing a key keeps every other line of the file. Lines may end in
// "\n" or "\r\n" when read; files are written with "\n".
#pragma once
#include <string>
#include <string_view>

namespace tav {

// Reads key in section of file; `fallback` when the file, section or key is missing.
// Blanks around the value are not part of it.
std::string profile_read(const std::string& file, std::string_view section, std::string_view key,
                         std::string_view fallback);

// Writes key=value into section of file, creating file and section as needed.
// Line breaks inside the value become blanks. Returns false when the file
// cannot be written.
bool profile_write(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value);

// Removes key from section, or the whole section with its lines when key is
// empty. Removing something absent succeeds without touching the file.
// Returns false when the file cannot be written.
bool profile_delete(const std::string& file, std::string_view section, std::string_view key);

}  // namespace tav
