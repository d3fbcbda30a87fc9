// Type words and descriptor words.
#include "x12_writer.h"

namespace tav::x12 {

std::uint32_t make_type_word(std::uint8_t base_code, const std::vector<Derive>& derivations) {
  std::uint32_t word = base_code;
  int shift = 30;
  for (const Derive& d : derivations) {
    if (shift < 8) break;  // the 24 derivation bits are full
    word |= static_cast<std::uint32_t>(d.kind) << shift;
    shift -= 2;
  }
  return word;
}

std::vector<Derivation> derivations_of(std::uint32_t type_word) {
  std::vector<Derivation> out;
  for (int shift = 30; shift >= 8; shift -= 2) {
    unsigned group = (type_word >> shift) & 3u;
    if (group == 0) break;
    out.push_back(static_cast<Derivation>(group));
  }
  return out;
}

TypeRef make_type(std::uint8_t base_code, const std::vector<Derive>& derivations,
                  std::optional<std::uint32_t> bit_word, int aggregate,
                  std::optional<std::uint32_t> leading_attribute) {
  TypeRef t;
  t.type_word = make_type_word(base_code, derivations);
  if (leading_attribute) t.descriptor.push_back(*leading_attribute);
  if (bit_word) t.descriptor.push_back(*bit_word);
  for (const Derive& d : derivations)
    if (d.kind != Derivation::kFunction) t.descriptor.push_back(d.word);
  t.aggregate = aggregate;
  return t;
}

}  // namespace tav::x12
