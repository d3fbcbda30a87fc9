#include "ext/loader/extension_loader.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "ext/loader/trial.h"
#include "kernel/config.h"
#include "kernel/debugger.h"

namespace tav {

namespace {

template <class Fn>
Fn entry(void* handle, const char* name) {
  return reinterpret_cast<Fn>(dlsym(handle, name));
}

std::string text_of(void* handle, const char* name) {
  auto fn = entry<const char* (*)()>(handle, name);
  const char* text = fn ? fn() : nullptr;
  return text ? text : "";
}

std::string file_part(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// An extension is named by its full path, its file name, or its file name without ".so".
bool names(const std::string& path, const std::string& name) {
  const std::string file = file_part(path);
  return name == path || name == file || name + ".so" == file;
}

}  // namespace

const std::vector<std::string>& ExtensionLoader::folder_names() {
  static const std::vector<std::string> kFolders = {"IOREGS", "INTERRUPTS", "ANALYZER", "AUTOLOAD",
                                                    "EXTENSIONS", "GRAPHICS", "KERNELS", "PANELS"};
  return kFolders;
}

ExtensionLoader::ExtensionLoader(Debugger& d, std::string program_dir)
    : d_(d), program_dir_(std::move(program_dir)) {
  d_.extensions = this;
}

ExtensionLoader::~ExtensionLoader() {
  // Libraries stay loaded: their callbacks may still sit in the registries.
  for (Loaded& l : loaded_)
    if (l.command) d_.ext_commands.remove(l.command);
  if (d_.extensions == this) d_.extensions = nullptr;
}

void ExtensionLoader::startup_scan() {
  std::string setting = config_read(d_, "Options", "Peripherals", "");
  for (char& c : setting) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (setting == "0" || setting == "no" || setting == "off") peripherals_ = false;
  for (const std::string& folder : folder_names()) {
    d_.host.status(StatusField::Left, "Searching " + folder);
    scan_folder(folder);
  }
  scan_path();
  d_.host.status(StatusField::Left, " Command");
}

void ExtensionLoader::scan_folder(const std::string& name) {
  scan_directory(program_dir_ + "/" + name, false, peripherals_ || name != "IOREGS");
}

void ExtensionLoader::scan_path() {
  const std::string path = config_read(d_, "Options", "ExtenPath", "");
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t bar = path.find('|', start);
    if (bar == std::string::npos) bar = path.size();
    std::string dir = path.substr(start, bar - start);
    while (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.pop_back();
    std::replace(dir.begin(), dir.end(), '\\', '/');
    if (!dir.empty()) {
      d_.host.status(StatusField::Left, "Searching " + dir + "/*.so");
      scan_directory(dir, true);
    }
    start = bar + 1;
  }
}

void ExtensionLoader::scan_directory(const std::string& dir, bool from_path, bool may_autoload) {
  DIR* listing = opendir(dir.c_str());
  if (!listing) return;  // a folder that does not exist holds no extensions
  std::vector<std::string> entries;
  while (const dirent* e = readdir(listing)) {
    const std::string name = e->d_name;
    if (name.empty() || name[0] == '.' || name.size() < 4 || name.compare(name.size() - 3, 3, ".so") != 0)
      continue;
    entries.push_back(name);
  }
  closedir(listing);
  std::sort(entries.begin(), entries.end());  // the same order on every file system
  for (const std::string& name : entries) {
    const std::string full = dir + "/" + name;
    struct stat st {};
    if (stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
      report(full, "not a regular file");
      continue;
    }
    probe(full, from_path, may_autoload);
  }
}

void ExtensionLoader::probe(const std::string& path, bool check_duplicates, bool may_autoload) {
  if (check_duplicates)
    for (const Record& r : available_)
      if (r.path == path) return;
  const TrialResult trial = try_extension(path, TrialInit::IfAutomatic, d_.host.frame_object(Host::FrameObject::Main));
  if (trial.outcome == TrialResult::Rejected) return;  // made for another target: listed nowhere
  if (trial.outcome == TrialResult::Failed) {
    report(path, trial.reason);
    return;
  }
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* e = dlerror();
    report(path, std::string("not a loadable library: ") + (e ? e : "unknown error"));
    return;
  }
  Record r;
  r.from_path = check_duplicates;
  r.path = path;
  r.description = text_of(h, "GetExtensionDescription");
  r.help = text_of(h, "GetExtensionHelp");
  r.options = text_of(h, "GetCommandOptions");
  r.command = text_of(h, "GetCommandName");
  r.version = text_of(h, "GetExtensionVersion");
  const int type = entry<int (*)()>(h, "GetExtensionLoadType")();
  if ((type & 4) && may_autoload) {
    d_.host.status(StatusField::Left, "Loading: " + file_part(path));
    std::string reason;
    if (!load_record(r, true, reason)) report(path, reason);
    d_.host.status(StatusField::Left, "Command");
  } else {
    available_.push_front(std::move(r));
  }
  dlclose(h);  // a loaded extension holds its own handle
}

bool ExtensionLoader::load_record(const Record& r, bool autoloaded, std::string& reason) {
  void* h = dlopen(r.path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) {
    const char* e = dlerror();
    reason = std::string("not a loadable library: ") + (e ? e : "unknown error");
    return false;
  }
  auto init = entry<int (*)(void*, void*, void*)>(h, "InitExtension");
  Loaded& l = loaded_.emplace_front();
  l.record = r;
  l.handle = h;
  l.autoloaded = autoloaded;
  l.close_entry = entry<void (*)()>(h, "CloseExtension");
  // Every routed line is kept for the loaded-extensions view, also when the
  // extension has no CallExtension to receive it.
  auto fn = r.command.empty() ? nullptr : entry<int (*)(const char*)>(h, "CallExtension");
  l.has_entry = fn != nullptr;
  Loaded* kept = &l;
  std::function<void(const char*)> call = [fn, kept](const char* line) {
    if (fn) fn(line);
    kept->calls.emplace_back(line);
  };
  if (!init || init(d_.host.frame_object(Host::FrameObject::Main), nullptr, h) == 0) {
    loaded_.pop_front();
    dlclose(h);
    reason = init ? "InitExtension refused to load" : "missing entry point InitExtension";
    return false;
  }
  if (!r.command.empty()) l.command = &d_.ext_commands.add(r.command, std::move(call));
  return true;
}

void ExtensionLoader::report(const std::string& path, const std::string& reason) {
  d_.host.message_box("Extension skipped", path + ": " + reason);
}

void ExtensionLoader::close_all() {
  for (Loaded& l : loaded_)
    if (l.close_entry) l.close_entry();
}

ExtensionControl::Item ExtensionLoader::item_of(const Record& r) {
  Item item;
  item.description = r.description;
  item.path = r.path;
  item.command = r.command;
  item.help = r.help;
  item.version = r.version;
  item.options = r.options;
  return item;
}

std::vector<ExtensionControl::Item> ExtensionLoader::available() const {
  std::vector<Item> items;
  for (const Record& r : available_) items.push_back(item_of(r));
  return items;
}

std::vector<ExtensionControl::Item> ExtensionLoader::loaded() const {
  std::vector<Item> items;
  for (const Loaded& l : loaded_) {
    Item item = item_of(l.record);
    item.autoloaded = l.autoloaded;
    item.has_entry = l.has_entry;
    item.has_close = l.close_entry != nullptr;
    item.calls = l.calls;
    items.push_back(std::move(item));
  }
  return items;
}

const ExtensionLoader::Record* ExtensionLoader::find_available(const std::string& name) const {
  for (const Record& r : available_)
    if (names(r.path, name)) return &r;
  return nullptr;
}

bool ExtensionLoader::load(const std::string& name, std::string& reason) {
  const Record* r = find_available(name);
  if (!r) {
    reason = "not an available extension";
    return false;
  }
  const TrialResult trial = try_extension(r->path, TrialInit::Always, d_.host.frame_object(Host::FrameObject::Main));
  if (trial.outcome != TrialResult::Accepted) {
    reason = trial.outcome == TrialResult::Rejected ? "it does not support this target" : trial.reason;
    return false;
  }
  return load_record(*r, false, reason);
}

bool ExtensionLoader::close(const std::string& name, std::string& reason) {
  for (auto it = loaded_.begin(); it != loaded_.end(); ++it) {
    if (!names(it->record.path, name)) continue;
    if (it->autoloaded) {
      reason = "it was loaded automatically";
      return false;
    }
    if (!it->close_entry) {
      reason = "it has no CloseExtension";
      return false;
    }
    it->close_entry();
    if (it->command) d_.ext_commands.remove(it->command);
    // The library stays mapped: callbacks it failed to unregister must not
    // point into freed code.
    loaded_.erase(it);
    return true;
  }
  reason = "not a loaded extension";
  return false;
}

}  // namespace tav
