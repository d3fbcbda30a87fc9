// The monitors (expressions the monitor view keeps up to date) as the event
// and session commands see them: "write /m" saves them, "del /m" and
// "zero /m" remove them. The monitor command's owner implements it.
#pragma once
#include <string>

namespace tav {

class MonitorList {
 public:
  virtual ~MonitorList() = default;
  // One "monit <expression>" line per monitor.
  virtual std::string saved() const = 0;
  // "del /m": "*" or a list; returns where the list ended.
  virtual const char* del(const char* args) = 0;
  virtual void clear() = 0;
};

}  // namespace tav
