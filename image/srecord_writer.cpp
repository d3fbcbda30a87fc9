#include "image/srecord_writer.h"

#include <vector>


namespace tav {

std::optional<std::uint16_t> global_to_local(std::uint32_t g) {
  // The registers, windows and fixed pages of the reset map, in local order.
  static constexpr std::uint32_t kStarts[] = {0x0000, 0x0800, 0x0C00, 0x1000, 0x2000, 0x4000, 0x8000, 0xC000, 0x10000};
  for (int i = 0; i < 8; ++i) {
    const std::uint32_t base = local_to_global(kStarts[i]);
    const std::uint32_t size = kStarts[i + 1] - kStarts[i];
    if (g >= base && g - base < size) return static_cast<std::uint16_t>(kStarts[i] + (g - base));
  }
  return std::nullopt;
}

namespace {

void append_hex(std::string& out, std::uint32_t v, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out += kDigits[(v >> shift) & 0xF];
}

// One record: type 1 or 2 (address of 2 or 3 bytes), its data and checksum.
void append_record(std::string& out, int type, std::uint32_t address, const std::vector<std::uint8_t>& data) {
  const int address_bytes = type == 1 ? 2 : 3;
  const unsigned count = static_cast<unsigned>(data.size()) + address_bytes + 1;
  unsigned sum = count;
  for (int i = 0; i < address_bytes; ++i) sum += (address >> (8 * i)) & 0xFF;
  out += 'S';
  out += static_cast<char>('0' + type);
  append_hex(out, count, 2);
  append_hex(out, address, address_bytes * 2);
  for (std::uint8_t b : data) {
    append_hex(out, b, 2);
    sum += b;
  }
  append_hex(out, ~sum & 0xFF, 2);
  out += '\n';
}

}  // namespace

std::string write_srecords(std::uint32_t first, std::uint32_t last, const std::function<std::uint8_t(std::uint32_t)>& read,
                           AddressForm form, std::string& error) {
  first &= 0xFFFFFF;
  last &= 0xFFFFFF;
  error.clear();
  std::string out;
  if (last < first) return out;
  // The address each byte is written under, and whether the next byte may
  // follow it in the same record.
  auto address_of = [&](std::uint32_t g) -> std::optional<std::uint32_t> {
    switch (form) {
      case AddressForm::Banked: return global_to_banked(g);
      case AddressForm::Local:
        if (auto l = global_to_local(g)) return *l;
        return std::nullopt;
      default: return g;
    }
  };
  const bool s1 = form == AddressForm::Local || (form != AddressForm::Banked && last < 0x10000);
  std::vector<std::uint8_t> data;
  std::uint32_t record_address = 0, next = 0;
  auto flush = [&] {
    if (!data.empty()) append_record(out, s1 ? 1 : 2, record_address, data);
    data.clear();
  };
  for (std::uint64_t g = first; g <= last; ++g) {
    const auto a = address_of(static_cast<std::uint32_t>(g));
    if (!a) {
      error = "no local address for 0x" + std::string();
      append_hex(error, static_cast<std::uint32_t>(g), 6);
      return {};
    }
    if (data.size() == 32 || (!data.empty() && *a != next)) flush();
    if (data.empty()) record_address = *a;
    data.push_back(read(static_cast<std::uint32_t>(g)));
    next = *a + 1;
  }
  flush();
  out += s1 ? "S903FFFFFE\n" : "S804FFFFFFFE\n";
  return out;
}

}  // namespace tav
