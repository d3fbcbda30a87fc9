// The formatting engine: Tav's own directive language ("%+04hi", "%- 6p",
// "0b%+016z", "%.10d", ...), not printf's. Arguments are 32-bit slots: an
// integer takes one, a double two, a text one, a byte run two (pointer, length).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace tav {

// Receives the output piece by piece: once per literal run, field and fill character.
using EmitFn = void (*)(void* ctx, const char* bytes, std::size_t count);

// A run of raw bytes for the "%b" conversion (a pointer slot and a 16-bit length slot).
struct Bytes {
  const void* data;
  std::uint16_t size;
};

// One argument as the engine sees it: one or two 32-bit slots.
class FmtArg {
 public:
  template <class T, std::enable_if_t<std::is_integral_v<T> || std::is_enum_v<T>, int> = 0>
  FmtArg(T v) : kind_(Int), u_(static_cast<std::uint32_t>(v)) {}
  FmtArg(double d) : kind_(Double), d_(d) {}
  FmtArg(const char* s) : kind_(Text), s_(s ? s : "") {}
  FmtArg(const std::string& s) : kind_(Text), s_(s.c_str()) {}
  FmtArg(Bytes b) : kind_(Run), b_(b) {}

  enum Kind { Int, Double, Text, Run };
  Kind kind() const { return kind_; }
  std::uint32_t u() const { return u_; }
  double d() const { return d_; }
  const char* s() const { return s_; }
  Bytes b() const { return b_; }

 private:
  Kind kind_;
  union {
    std::uint32_t u_;
    double d_;
    const char* s_;
    Bytes b_;
  };
};

// The engine proper over an explicit argument list.
void fmtout_list(EmitFn emit, void* ctx, std::string_view format, const FmtArg* args, std::size_t count);

template <class... A>
void fmtout(EmitFn emit, void* ctx, std::string_view format, const A&... args) {
  const FmtArg list[sizeof...(A) + 1] = {FmtArg(args)..., FmtArg(0)};
  fmtout_list(emit, ctx, format, list, sizeof...(A));
}

// Formats into a bounded buffer; surplus bytes are dropped. Returns the count
// stored; no terminator is written.
std::size_t fmtbuf_list(char* buffer, std::size_t capacity, std::string_view format, const FmtArg* args,
                        std::size_t count);

template <class... A>
std::size_t fmtbuf(char* buffer, std::size_t capacity, std::string_view format, const A&... args) {
  const FmtArg list[sizeof...(A) + 1] = {FmtArg(args)..., FmtArg(0)};
  return fmtbuf_list(buffer, capacity, format, list, sizeof...(A));
}

// Convenience for callers that want a std::string.
std::string fmtstr_list(std::string_view format, const FmtArg* args, std::size_t count);

template <class... A>
std::string fmtstr(std::string_view format, const A&... args) {
  const FmtArg list[sizeof...(A) + 1] = {FmtArg(args)..., FmtArg(0)};
  return fmtstr_list(format, list, sizeof...(A));
}

}  // namespace tav
