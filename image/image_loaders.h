// The two loaders for images without debug information: S-record and Intel
// Hex text, and plain binary images.
#pragma once
#include <cstdint>

#include "image/byte_view.h"
#include "image/load_host.h"

namespace tav {

class Memory;
class SymbolTable;

// Text records. `format` receives 'S' or ':' from the end record.
LoadResult load_text_records(ByteView file, Memory& memory, SymbolTable& symbols, LoadHost& host, char* format);

// A plain binary image at address 0. `read_failed` reports that the file could
// not be read to its end (what was read is loaded).
LoadResult load_binary_image(ByteView file, bool read_failed, Memory& memory, SymbolTable& symbols, LoadHost& host);

// Text lines as the reader sees them: at most 511 characters, a longer line
// is read as two.
inline constexpr std::size_t kTextLineMax = 511;

}  // namespace tav
