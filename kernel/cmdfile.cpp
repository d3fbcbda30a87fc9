#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <utility>

#include "kernel/debugger.h"
#include "kernel/files.h"
#include "support/messages.h"

namespace tav {

namespace {
// Command files may run command files; a file that runs itself must end
// somewhere short of the stack's end.
constexpr int kMaxNesting = 100;

// Opening a FIFO without a writer must not block: the file is opened
// without waiting and then read as usual (a FIFO nobody writes ends at once).
FilePtr open_text(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  FilePtr f(::fdopen(fd, "r"));
  if (!f) ::close(fd);
  return f;
}

enum class LineRead { Line, End, Binary };

// One line with its newline, at most 511 characters (a longer line goes on as
// the next one). A NUL byte means the file is no text: reading ends there
// rather than going through a device like /dev/zero forever.
LineRead read_line(std::FILE* f, std::string& line) {
  constexpr std::size_t kMaxLine = 511;
  line.clear();
  int c;
  while (line.size() < kMaxLine && (c = std::getc(f)) != EOF) {
    if (c == '\0') return LineRead::Binary;
    line += static_cast<char>(c);
    if (c == '\n') break;
  }
  return line.empty() ? LineRead::End : LineRead::Line;
}

FilePtr open_command_file(const Debugger& d, const std::string& name) {
  FilePtr f = open_text(name);
  std::string_view path = d.source_path;
  while (!f && !path.empty()) {
    std::size_t bar = path.find('|');
    std::string dir(path.substr(0, bar));
    path = bar == std::string_view::npos ? std::string_view() : path.substr(bar + 1);
    if (dir.empty()) continue;
    dir = host_path(dir);
    if (dir.back() == '/') dir.pop_back();
    f = open_text(dir + "/" + name);
  }
  return f;
}
}  // namespace

int cmdfile(Debugger& d, const char* name) {
  KernelState& k = d.kernel;
  FilePtr f;
  if (k.cmdfile_depth < kMaxNesting) f = open_command_file(d, host_path(name));
  if (!f) {
    errout(d, {name, ": ", msgtext(22), "\n"});
    return 0;
  }
  // The file is one command: a stop request ends it, not just its current line.
  CommandScope scope(d.run);
  ++k.cmdfile_depth;
  const std::string outer_name = std::exchange(k.cmdfile_name, name);
  const int outer_line = std::exchange(k.cmdfile_line, 0);
  bool close_seen = false;
  std::string text;
  for (;;) {
    if (d.run.stop_requested()) break;
    const LineRead got = read_line(f.get(), text);
    if (got == LineRead::End) break;
    if (got == LineRead::Binary) {
      errout(d, {name, ": not a command file (it holds a NUL byte)\n"});
      break;
    }
    k.in_command_file = true;
    ++k.cmdfile_line;
    char* line = text.data();
    std::size_t n = text.size();
    if (n >= 2 && line[n - 2] == '\r' && line[n - 1] == '\n') {
      line[n - 2] = '\n';
      line[--n] = '\0';
    }
    if (!k.echo_off) putout(d, line, n);
    if (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = '\0';
    docmd(d, line, 1);
    end_of_line(d);
    if (!close_seen && d.host.pump_events()) close_seen = true;
  }
  k.cmdfile_name = outer_name;
  k.cmdfile_line = outer_line;
  k.in_command_file = false;
  --k.cmdfile_depth;
  if (close_seen) k.close_requested = true;
  return 1;
}

}  // namespace tav
