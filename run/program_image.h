// Loading a program and listing or marking its files and functions, over a
// given program: the command language ("load", "files", "funcs", "activ",
// "deact") and the kernel console share them.
#pragma once
#include <string_view>

#include "image/load_host.h"

namespace tav {

class Debugger;
class Program;
struct FunctionBlock;

// The commands over a given program.
const char* image_load(Debugger& d, Program& program, const char* args, int mode);
const char* image_files(Debugger& d, Program& program, const char* args, int mode);
const char* image_funcs(Debugger& d, Program& program, const char* args, int mode);
const char* image_activ(Debugger& d, Program& program, const char* args, int mode);
const char* image_deact(Debugger& d, Program& program, const char* args, int mode);

// A function's mark in the function lists: " (on)   ", " (off)  " or " (act)  ".
std::string_view function_mark(const FunctionBlock& f);

// What a load shows goes through the kernel: output, errors, the status line,
// the progress gauge and the stop request.
class KernelLoadHost : public LoadHost {
 public:
  explicit KernelLoadHost(Debugger& d) : d_(d) {}
  ~KernelLoadHost() override;
  void output(std::string_view text) override;
  void error(std::string_view text) override;
  void status(std::string_view text) override;
  void progress(std::string_view title, std::uint32_t count) override;
  void step() override;
  bool stop_requested() override;
  bool no_duplicate_files() override;
  void refresh_views() override;

 private:
  Debugger& d_;
  bool gauge_open_ = false;
  unsigned polls_ = 0;
};

}  // namespace tav
