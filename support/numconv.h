// Number conversions shared by the command and expression parsers and the
// formatting engine.
#pragma once
#include <cstddef>
#include <cstdint>

namespace tav {

// Limits of the double conversions: a fixed form keeps at most this many
// integer digits and decimals, an exponent form at most 57 decimals, and a
// buffer of kDblTextMax characters holds any result.
inline constexpr int kDblFixedDigitsMax = 62;
inline constexpr int kDblExpDecimalsMax = 57;
inline constexpr int kDblTextMax = 128;
// A buffer of this size holds any integer text (32 binary digits and a sign).
inline constexpr int kNumTextMax = 34;

// Integer to text. Base 0 means 10; a negative base converts signed with the
// base's magnitude; a positive base converts the bit pattern unsigned. Lower-case
// digits, no leading zeros. Returns the characters written (no terminator).
int numtext16(char* buffer, std::uint16_t value, int base);
int numtext32(char* buffer, std::uint32_t value, int base);

// Double to text: fixed form with at most `intdigits` integer digits and
// `decimals` decimals; exponent form with `before` digits before the point.
// At most 17 significant digits (the exact ones when the value has no more,
// else the shortest that read back as the same double), then zeros; digits
// beyond the requested count are cut, not rounded. Not-a-number and
// infinities print as "nan", "inf", "-inf".
int dblfixed(char* buffer, double value, int intdigits, int decimals);
int dblexp(char* buffer, double value, int before, int decimals);

// Text to integer. Base 1 detects 0x/0b/0 prefixes. Returns characters consumed
// (blanks, sign and prefix included); 0 when nothing was read. A negative
// length reads up to the terminating NUL.
int numscan16(const char* text, int length, std::uint16_t* result, int base);
int numscan32(const char* text, int length, std::uint32_t* result, int base);

// Decimal text to double. Returns characters consumed; 0 when no digit was
// read. A negative length reads up to the terminating NUL.
int dblscan(const char* text, int length, double* result);

// Decodes one backslash escape; `cursor` is on the character after the
// backslash and is left on the escape's last character. A character found in
// `specials` gives the one's complement of its position there.
int escdecode(const char** cursor, const char* specials);

}  // namespace tav
