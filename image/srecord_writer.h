// Motorola S-record text of a range of target memory, as the memory views'
// "S-Records" item and the "srec" command write it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "image/banked_address.h"

namespace tav {

// A global address as the CPU12 sees it after reset (the inverse of
// local_to_global); nothing when the reset map does not show it.
std::optional<std::uint16_t> global_to_local(std::uint32_t global);

// The records of [first, last] (global addresses, last included), each byte
// read with `read`. Global form: both ends are masked to 24 bits, S1 records
// with four address digits when both lie below 0x10000, S2 records with six
// otherwise; at most 32 data bytes per record; "S903FFFFFE" or
// "S804FFFFFFFE" ends the text. Banked form: flash bytes under their
// page × 0x10000 + window address, other bytes global, S2 records that never
// cross a flash page. Local form: S1 records of the CPU12 addresses; empty
// with `error` set when a byte has no local address.
std::string write_srecords(std::uint32_t first, std::uint32_t last, const std::function<std::uint8_t(std::uint32_t)>& read,
                           AddressForm form, std::string& error);

}  // namespace tav
