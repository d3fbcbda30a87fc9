// The notifications extensions register for (load, reset, status, session,
// update), and what the console commands about extensions ask of the loader.
// The kernel calls these at the moments they name; the exported interface
// (ext/) fills the lists and provides the loader.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "events/callback_list.h"

namespace tav {

using NoticeFn = void (*)(std::uint32_t value);
using FileNoticeFn = void (*)(const char* file, std::uint32_t value);

// Update kinds: target memory changed or was redisplayed; data views refreshed.
inline constexpr std::uint32_t kUpdateMemory = 2;
inline constexpr std::uint32_t kUpdateData = 4;

struct ExtensionNotices {
  CallbackList<FileNoticeFn> load;     // (file, 0 before reading / 1 after success)
  CallbackList<NoticeFn> reset;        // (0) at the end of "zero"
  CallbackList<NoticeFn> status;       // (1) the target starts running, (0) it stops
  CallbackList<FileNoticeFn> session;  // (file, 1 loaded / 0 written)
  CallbackList<NoticeFn> update;       // (kUpdateMemory or kUpdateData)

  static void call(CallbackList<NoticeFn>& list, std::uint32_t value) {
    if (!list.empty()) list.dispatch([value](auto& e) { e.fn(value); });
  }
  static void call(CallbackList<FileNoticeFn>& list, const char* file, std::uint32_t value) {
    if (!list.empty()) list.dispatch([file, value](auto& e) { e.fn(file, value); });
  }
  // The update kinds a refresh of these views (host.h View bits) stands for.
  void views_refreshed(unsigned views);
};

// The extension loader as the console's extension commands see it.
class ExtensionControl {
 public:
  virtual ~ExtensionControl() = default;
  struct Item {
    std::string description;
    std::string path;
    std::string command;  // command word, empty when none
    bool autoloaded = false;
    std::string help, version, options;  // version empty when the extension names none
    bool has_entry = false;              // loaded with a command word and a CallExtension
    bool has_close = false;              // loaded with a CloseExtension
    std::vector<std::string> calls;      // loaded: the command lines routed to it, oldest first
  };
  virtual std::vector<Item> available() const = 0;  // newest found first
  virtual std::vector<Item> loaded() const = 0;     // newest loaded first
  // Loads an available extension named by its file name (with or without
  // ".so") or its full path; false with a reason when that fails.
  virtual bool load(const std::string& name, std::string& reason) = 0;
  virtual bool close(const std::string& name, std::string& reason) = 0;
  // Probes the directories of the extension path (Options/ExtenPath) again.
  virtual void scan_path() = 0;
};

}  // namespace tav
