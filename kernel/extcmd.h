// Command words that extension libraries register. execcmd offers every line
// to them before it looks at the command table.
#pragma once
#include <functional>
#include <list>
#include <string>
#include <vector>

namespace tav {

struct ExtCommand {
  std::string name;
  std::function<void(const char* line)> handler;  // may be empty
  std::vector<std::string> received;               // every line routed here, oldest first
};

class ExtCommandRegistry {
 public:
  // Newest registration is offered the line first.
  ExtCommand& add(std::string name, std::function<void(const char* line)> handler);

  // Routes a line that begins with a registered word (compared byte for byte,
  // nothing after the word examined). Returns false when no word matches.
  bool offer(const char* line);

  bool has(const char* word) const;
  // Takes a word away again (its extension was closed); an unknown entry is ignored.
  void remove(const ExtCommand* entry);

 private:
  const ExtCommand* match(const char* line) const;
  std::list<ExtCommand> entries_;
};

}  // namespace tav
