// What the data views show, kept by the kernel so that commands can change
// it: the monitors (expressions the monitor view keeps up to date: "monit",
// "del /m", "write /m", "zero /m") and the scope of the variable browser
// ("vars"). The event and session commands see the monitors as a MonitorList.
#pragma once
#include <string>
#include <vector>

namespace tav {

struct FileEntry;
struct FunctionBlock;

class MonitorList {
 public:
  virtual ~MonitorList() = default;
  // One "monit <expression>" line per monitor.
  virtual std::string saved() const = 0;
  // "del /m": "*" or a list; returns where the list ended.
  virtual const char* del(const char* args) = 0;
  virtual void clear() = 0;
};

struct Monitor {
  std::string expression;
  char letter = 0;  // display format letter; 0: the type's own
};

class Monitors : public MonitorList {
 public:
  void add(std::string expression, char letter);
  // Monitors are numbered from 1 in the order they were added.
  bool remove(std::size_t number);
  const std::vector<Monitor>& list() const { return list_; }
  std::vector<Monitor>& list() { return list_; }

  std::string saved() const override;
  const char* del(const char* args) override;
  void clear() override { list_.clear(); }

 private:
  std::vector<Monitor> list_;
};

// The variable browser's choice: the whole program, one file or one function.
struct VariablesScope {
  const FileEntry* file = nullptr;          // set: only this file
  const FunctionBlock* function = nullptr;  // set: only this function
  bool values = false;                      // "/v": with values
  bool addresses = false;                   // "/a": with addresses
};

}  // namespace tav
