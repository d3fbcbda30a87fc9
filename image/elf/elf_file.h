// Minimal reader of linked ELF32 big-endian files for the 68HC11/68HC12
// family, as GNU ld writes them: sections with their load addresses, and
// symbols. Every read is bounds-checked; damaged input throws ElfError.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tav::elf {

struct ElfError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct ElfSection {
  std::string name;
  std::uint32_t type = 0;   // SHT_*
  std::uint32_t flags = 0;  // SHF_*
  std::uint32_t address = 0;       // run (virtual) address
  std::uint32_t load_address = 0;  // where the bytes are stored (LMA)
  std::uint32_t offset = 0;
  std::uint32_t size = 0;

  bool allocated() const { return (flags & 0x2u) != 0; }  // SHF_ALLOC
  bool has_bits() const { return type != 8; }             // not SHT_NOBITS
};

struct ElfSymbol {
  std::string name;
  std::uint32_t value = 0;
  std::uint32_t size = 0;
  std::uint8_t type = 0;     // STT_*
  std::uint8_t binding = 0;  // STB_*
  std::uint16_t section = 0; // section header index; 0 undefined, 0xFFF1 absolute
  std::string object;        // local symbols: the input file named by the FILE symbol before it
};

class ElfFile {
 public:
  // Parses the whole image; throws ElfError with a reason.
  explicit ElfFile(std::vector<std::uint8_t> image);
  static ElfFile load(const std::string& path);

  const std::vector<ElfSection>& sections() const { return sections_; }
  const std::vector<ElfSymbol>& symbols() const { return symbols_; }
  std::uint32_t entry() const { return entry_; }

  const ElfSection* find_section(const std::string& name) const;
  // A defined symbol by name. Local symbols of the same name in several input
  // files are told apart by `object` (the input file's name, or its tail after
  // a "/"); without it such a name is ambiguous and throws ElfError.
  std::optional<ElfSymbol> find_symbol(const std::string& name, const std::string& object = {}) const;
  // Contents of a section that has bits in the file.
  std::vector<std::uint8_t> contents(const ElfSection& s) const;

 private:
  std::uint32_t u32(std::size_t at) const;
  std::uint16_t u16(std::size_t at) const;
  std::string cstring(std::size_t table, std::size_t size, std::uint32_t at) const;

  std::vector<std::uint8_t> image_;
  std::vector<ElfSection> sections_;
  std::vector<ElfSymbol> symbols_;
  std::uint32_t entry_ = 0;
};

}  // namespace tav::elf
