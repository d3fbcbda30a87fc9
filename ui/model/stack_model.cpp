#include "ui/model/stack_model.h"

#include "kernel/debugger.h"

namespace tav {

namespace {

void place_at(Debugger& d, std::uint32_t address, StackRow& row) {
  row.address = address;
  // Code outside every function (start-up code, a library without debug
  // information) has no source even when a line record lies below it.
  if (!d.program.tables().function_at(address)) return;
  const DebugRecord* r = d.program.tables().record_covering(address);
  if (!r || !r->function) return;
  row.line = r->line;
  if (row.function.empty()) row.function = std::string(r->function->name);
  if (r->function->file) row.file = std::string(r->function->file->name);
}

std::uint32_t pc_of(Debugger& d, Core core) {
  if (core == Core::Cpu12) return d.registers.ReadPC();
  std::uint32_t pc = 0;
  d.event_host.xgate_pc(pc);
  return pc;
}

}  // namespace

std::vector<StackRow> stack_rows(Debugger& d, Core core) {
  std::vector<StackRow> rows;
  const Frame* current = d.frames.current();
  const std::vector<const Frame*> frames = d.frames.walk(core);
  for (const Frame* f : frames) {
    StackRow row;
    row.index = static_cast<int>(rows.size());
    row.core = core;
    row.current = f == current;
    if (f->function) row.function = std::string(f->function->name);
    if (row.index == 0) {
      place_at(d, pc_of(d, core), row);
    } else if (f->function && f->function->file) {
      row.file = std::string(f->function->file->name);
      row.line = f->line;
      if (const DebugRecord* r = d.program.tables().line_address(f->function->file, f->line)) row.address = r->value;
    }
    rows.push_back(std::move(row));
  }
  if (rows.empty() && core == Core::Cpu12) {
    StackRow row;
    row.current = true;
    place_at(d, pc_of(d, core), row);
    rows.push_back(std::move(row));
  }
  return rows;
}

StackRow pc_row(Debugger& d, Core core) {
  StackRow row;
  row.core = core;
  row.current = core == Core::Cpu12;
  place_at(d, core == Core::Cpu12 ? d.registers.ReadPC() : d.xgate.quiet_ppc(), row);
  return row;
}

FrameSelection::FrameSelection(Debugger& d, Core core, int index) : d_(d), saved_(d.frames.current()) {
  const std::vector<const Frame*> frames = d.frames.walk(core);
  if (index < 0 || index >= static_cast<int>(frames.size())) return;
  frame_ = frames[static_cast<std::size_t>(index)];
  if (core != Core::Cpu12) return;  // expressions read XGATE frames through the frame itself
  d.frames.move_bottom();
  for (int i = 0; i < index; ++i) d.frames.move_up();
}

FrameSelection::~FrameSelection() {
  if (d_.frames.current() == saved_) return;
  // Walk back to the frame that was current (moves stay within the CPU12's stack).
  d_.frames.move_bottom();
  while (d_.frames.current() != saved_ && d_.frames.move_up()) {
  }
  if (d_.frames.current() != saved_) d_.frames.move_bottom();
}

}  // namespace tav
