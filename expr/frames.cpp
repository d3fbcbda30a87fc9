#include "expr/frames.h"

#include <string>

#include "sim/memory.h"
#include "sim/registers.h"

namespace tav {

namespace {

// Start-record flag that makes an XGATE function take its frame base from R1.
constexpr std::uint8_t kFrameFromR1 = 0x10;

bool is_dot(const FunctionBlock& f) { return f.is_dot(); }

}  // namespace

FrameStacks::FrameStacks(Memory& memory, Registers& registers) : memory_(memory), registers_(registers) {}

bool FrameStacks::is_xgate_unit(const FunctionBlock& f) {
  return f.coprocessor != 0 || (f.file && f.file->coprocessor != 0);
}

int FrameStacks::register_argument_width(const FunctionBlock& f) {
  const SymbolEntry* e = nullptr;
  for (const SymbolEntry& s : f.locals)
    if (s.storage_class == 7 || s.storage_class == 23) {
      e = &s;
      break;
    }
  if (!e) return 0;
  int bits = 0;
  if (top_derivation(e->type) != Derivation::None) {
    std::uint32_t attr = e->pointer_attr;
    if (attr == 0 && !e->derivation_words().empty()) attr = e->derivation_words().front();
    bits = (attr & 0x40u) ? 32 : 16;
  } else {
    switch (base_code(e->type)) {
      case kShortFract:
      case kShortEnum: bits = 16; break;
      case kLongFract:
      case kLongEnum: bits = 32; break;
      case kCharEnum: bits = 8; break;
      case kIntEnum: bits = 24; break;
      default: bits = base_code(e->type); break;
    }
  }
  if (bits >= 32) return 4;
  if (bits >= 16) return 2;
  return e->value == 0 ? 1 : 2;
}

std::uint16_t FrameStacks::xgate_register(int n) const {
  // Read without reporting the access: this is the debugger's own bookkeeping.
  const std::uint32_t at = kXgateR0Addr + 2u * static_cast<std::uint32_t>(n);
  return static_cast<std::uint16_t>(memory_.peek(at) << 8 | memory_.peek(at + 1));
}

std::uint32_t FrameStacks::frame_base(const FunctionBlock& f) const {
  const int k = register_argument_width(f);
  if (!is_xgate_unit(f)) return (static_cast<std::uint32_t>(registers_.cpu().sp) - static_cast<std::uint32_t>(k)) & 0xFFFFFFu;
  if (f.start && (f.start->flags & kFrameFromR1)) return xgate_register(1);
  const std::uint32_t r7 = xgate_register(7);
  return (r7 - static_cast<std::uint32_t>(k == 0 ? 2 : k)) & 0xFFFFu;
}

void FrameStacks::push(FunctionBlock& f, Core core) {
  Frame frame;
  frame.function = &f;
  frame.base = frame_base(f);
  frame.core = core;
  frame.line = f.first_line;
  frame.entry_cycles = now();
  stack(core).push_back(frame);
}

void FrameStacks::update(const DebugRecord& record, Core core, CoreState state) {
  if (!state.active || state.interrupt_pending) return;
  std::vector<Frame>& frames = stack(core);
  if (record.is_start()) {
    FunctionBlock* f = record.starts ? record.starts : record.function;
    if (!f) return;
    if (f->start) ++f->start->hits;
    push(*f, core);
    if (report_ && !is_dot(*f)) report_(*f, core, true);
  } else if (record.is_end()) {
    if (frames.empty()) {
      if (errors_) {
        std::string text = " EXITING non called function ->";
        text += record_label(record);
        text += "\nCode Probably BROKEN TARGET =";
        text += std::to_string(static_cast<int>(core));
        text += "\n";
        errors_(text);
      }
      return;
    }
    const Frame left = frames.back();
    if (report_ && left.function && !is_dot(*left.function)) report_(*left.function, core, false);
    frames.pop_back();
    const int c = static_cast<int>(core);
    last_left_[c] = left;
    has_last_left_[c] = true;
    // The profiling history: cycles spent in the call, kept on its end record.
    DebugRecord* end = left.function ? left.function->end : nullptr;
    if (end) end->cycles += now() - left.entry_cycles;
    if (!follow_innermost_ && current_core_ == core && current_index_ >= frames.size())
      current_index_ = frames.empty() ? 0 : frames.size() - 1;
  } else if (record.is_line()) {
    if (!frames.empty()) frames.back().line = record.line;
  }
}

void FrameStacks::adopt(FunctionBlock& function, Core core) { push(function, core); }

void FrameStacks::reset() {
  for (int c = 0; c < 2; ++c) {
    stacks_[c].clear();
    has_last_left_[c] = false;
    last_left_[c] = Frame{};
  }
  reset_current();
}

std::vector<const Frame*> FrameStacks::walk(Core core) const {
  std::vector<const Frame*> out;
  const auto& frames = stack(core);
  for (auto it = frames.rbegin(); it != frames.rend(); ++it) out.push_back(&*it);
  return out;
}

const Frame* FrameStacks::innermost(Core core) const {
  const auto& frames = stack(core);
  return frames.empty() ? nullptr : &frames.back();
}

const Frame* FrameStacks::last_left(Core core) const {
  const int c = static_cast<int>(core);
  return has_last_left_[c] ? &last_left_[c] : nullptr;
}

const Frame* FrameStacks::innermost_of(const FunctionBlock* function, Core core) const {
  const auto& frames = stack(core);
  for (auto it = frames.rbegin(); it != frames.rend(); ++it)
    if (it->function == function) return &*it;
  return nullptr;
}

bool FrameStacks::in_stack(const FunctionBlock* function) const {
  return innermost_of(function, Core::Cpu12) || innermost_of(function, Core::Xgate);
}

Core FrameStacks::current_core() const {
  if (!follow_innermost_) return current_core_;
  return stack(Core::Cpu12).empty() && !stack(Core::Xgate).empty() ? Core::Xgate : Core::Cpu12;
}

const Frame* FrameStacks::current() const {
  const Core core = current_core();
  const auto& frames = stack(core);
  if (frames.empty()) return nullptr;
  if (follow_innermost_) return &frames.back();
  return &frames[current_index_ < frames.size() ? current_index_ : frames.size() - 1];
}

void FrameStacks::reset_current() {
  follow_innermost_ = true;
  current_index_ = 0;
}

namespace {
constexpr std::size_t kNone = static_cast<std::size_t>(-1);
}

bool FrameStacks::move_up() {
  return move_up_to([](const Frame&) { return true; });
}

bool FrameStacks::move_up_to(const std::function<bool(const Frame&)>& matches) {
  const Core core = current_core();
  const auto& frames = stack(core);
  if (frames.empty()) return false;
  std::size_t at = follow_innermost_ ? frames.size() - 1 : current_index_;
  std::size_t found = kNone;
  for (std::size_t i = at; i-- > 0;)
    if (matches(frames[i])) {
      found = i;
      break;
    }
  if (found == kNone) return false;
  current_core_ = core;
  current_index_ = found;
  follow_innermost_ = false;
  return true;
}

bool FrameStacks::move_down() {
  const Core core = current_core();
  const auto& frames = stack(core);
  if (frames.empty() || follow_innermost_ || current_index_ + 1 >= frames.size()) return false;
  current_core_ = core;
  ++current_index_;
  if (current_index_ + 1 == frames.size()) follow_innermost_ = true;
  return true;
}

bool FrameStacks::move_top() {
  const Core core = current_core();
  if (stack(core).empty()) return false;
  current_core_ = core;
  current_index_ = 0;
  follow_innermost_ = stack(core).size() == 1;
  return true;
}

bool FrameStacks::move_bottom() {
  if (stack(current_core()).empty()) return false;
  reset_current();
  return true;
}

}  // namespace tav
