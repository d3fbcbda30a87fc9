// The two loaders for images without debug information: S-record and Intel
// Hex text, and plain binary images.
#pragma once
#include <cstdint>

#include "image/banked_address.h"
#include "image/byte_view.h"
#include "image/load_host.h"

namespace tav {

class Memory;
class SymbolTable;

struct TextLoadOptions {
  AddressForm form = AddressForm::Auto;  // Auto: banked when the image says so
  bool erased_flash = false;  // flash sectors the image touches read 0xFF where it writes nothing
};

// Text records. `format` receives 'S' or ':' from the end record. Addresses
// are converted from `options.form`; in Auto, an image with data above the
// global flash in a paged window is banked, an image of 16-bit records only
// that holds the reset vector is local, others are global. A 16-bit entry
// address is a local address unless the form is Global. A form other than
// global is reported.
LoadResult load_text_records(ByteView file, Memory& memory, SymbolTable& symbols, LoadHost& host, char* format,
                             const TextLoadOptions& options = {});

// A plain binary image at address 0. `read_failed` reports that the file could
// not be read to its end (what was read is loaded).
LoadResult load_binary_image(ByteView file, bool read_failed, Memory& memory, SymbolTable& symbols, LoadHost& host);

// Text lines as the reader sees them: at most 511 characters, a longer line
// is read as two.
inline constexpr std::size_t kTextLineMax = 511;

}  // namespace tav
