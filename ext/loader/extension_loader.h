// Finds extension libraries in the program's extension folders and on the
// extension path, probes them, keeps the available and loaded lists, loads
// and closes them, and gives each loaded extension its command word.
//
// A library is tried in a throwaway child process first (open, entry points,
// CheckExtension, and InitExtension when it is about to be loaded): a library
// that crashes or hangs there is reported and skipped, and the debugger
// itself never runs it. Only what passes is opened in the debugger.
#pragma once
#include <list>
#include <string>
#include <vector>

#include "kernel/ext_notices.h"

namespace tav {

class Debugger;
struct ExtCommand;

class ExtensionLoader : public ExtensionControl {
 public:
  // The folders beside the executable, in the order they are searched.
  static const std::vector<std::string>& folder_names();

  ExtensionLoader(Debugger& d, std::string program_dir);
  ~ExtensionLoader() override;
  ExtensionLoader(const ExtensionLoader&) = delete;
  ExtensionLoader& operator=(const ExtensionLoader&) = delete;

  // Start-up: every folder, then the extension path (Options/ExtenPath).
  void startup_scan();
  // Off: the peripheral models of the IOREGS folder are not loaded by
  // themselves (they stay available for extload), so the bare core runs.
  // Options/Peripherals "0", "no" or "off" in the configuration does the same.
  void set_peripherals(bool on) { peripherals_ = on; }
  void scan_folder(const std::string& name);
  void scan_path() override;
  // Calls every loaded extension's CloseExtension, newest first (program exit).
  void close_all();

  std::vector<Item> available() const override;
  std::vector<Item> loaded() const override;
  bool load(const std::string& name, std::string& reason) override;
  bool close(const std::string& name, std::string& reason) override;

 private:
  struct Record {
    bool from_path = false;
    std::string path, description, help, version, command, options;
  };
  struct Loaded {
    Record record;
    void* handle = nullptr;
    bool autoloaded = false;
    void (*close_entry)() = nullptr;
    ExtCommand* command = nullptr;
    bool has_entry = false;          // a CallExtension for the command word
    std::vector<std::string> calls;  // lines routed to it, oldest first
  };
  static Item item_of(const Record& r);

  void scan_directory(const std::string& dir, bool from_path, bool may_autoload = true);
  void probe(const std::string& path, bool check_duplicates, bool may_autoload);
  bool load_record(const Record& r, bool autoloaded, std::string& reason);
  void report(const std::string& path, const std::string& reason);
  const Record* find_available(const std::string& name) const;

  Debugger& d_;
  std::string program_dir_;
  bool peripherals_ = true;
  std::list<Record> available_;  // newest found first
  std::list<Loaded> loaded_;     // newest loaded first
};

}  // namespace tav
