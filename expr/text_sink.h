// Where formatted values go: an emit function and its context, the same pair
// the formatting engine writes through (the kernel's putout_emit fits).
#pragma once
#include <string>
#include <string_view>

#include "support/fmt.h"

namespace tav {

struct TextSink {
  EmitFn emit = nullptr;
  void* ctx = nullptr;

  void put(std::string_view text) const {
    if (emit && !text.empty()) emit(ctx, text.data(), text.size());
  }
  template <class... A>
  void fmt(std::string_view format, const A&... args) const {
    if (emit) fmtout(emit, ctx, format, args...);
  }
};

// Collects the text in a string (tests, view models).
class StringSink {
 public:
  TextSink sink() { return TextSink{&StringSink::append, this}; }
  const std::string& text() const { return text_; }
  std::string take() { return std::move(text_); }
  void clear() { text_.clear(); }

 private:
  static void append(void* self, const char* bytes, std::size_t count) {
    static_cast<StringSink*>(self)->text_.append(bytes, count);
  }
  std::string text_;
};

}  // namespace tav
