#include "side_file.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tav::mkx12 {

using nlohmann::json;

namespace {

[[noreturn]] void fail(const std::string& where, const std::string& what) {
  throw SideError(where + ": " + what);
}

std::string required(const json& j, const char* key, const std::string& where) {
  if (!j.is_object() || !j.contains(key) || !j.at(key).is_string())
    fail(where, std::string("missing string \"") + key + "\"");
  return j.at(key).get<std::string>();
}

std::string text(const json& j, const char* key, const std::string& where, std::string def = {}) {
  if (!j.contains(key)) return def;
  if (!j.at(key).is_string()) fail(where, std::string("\"") + key + "\" must be a string");
  return j.at(key).get<std::string>();
}

template <typename T>
std::optional<T> number(const json& j, const char* key, const std::string& where) {
  if (!j.contains(key)) return std::nullopt;
  const json& v = j.at(key);
  if (!v.is_number_integer()) fail(where, std::string("\"") + key + "\" must be an integer");
  return static_cast<T>(v.get<std::int64_t>());
}

std::optional<std::uint8_t> class_of(const json& j, const std::string& where) {
  if (!j.contains("class")) return std::nullopt;
  const json& v = j.at("class");
  if (v.is_number_integer()) {
    auto n = v.get<std::int64_t>();
    if (n < 0 || n > 255) fail(where, "storage class out of range");
    return static_cast<std::uint8_t>(n);
  }
  if (v.is_string()) {
    if (auto c = storage_class_from_name(v.get<std::string>())) return c;
    fail(where, "unknown storage class \"" + v.get<std::string>() + "\"");
  }
  fail(where, "\"class\" must be a name or a number");
}

void lines_of(const json& j, const std::string& where, std::optional<std::uint32_t>& first,
              std::optional<std::uint32_t>& last) {
  if (!j.contains("lines")) return;
  const json& v = j.at("lines");
  if (!v.is_array() || v.size() != 2 || !v[0].is_number_integer() || !v[1].is_number_integer())
    fail(where, "\"lines\" must be [first, last]");
  first = v[0].get<std::uint32_t>();
  last = v[1].get<std::uint32_t>();
}

SideEntry entry_of(const json& j, const std::string& where_outer) {
  std::string where = where_outer + "." + (j.is_object() && j.contains("name") && j["name"].is_string()
                                               ? j["name"].get<std::string>() : std::string("?"));
  SideEntry e;
  e.name = required(j, "name", where);
  e.storage_class = class_of(j, where);
  e.type = text(j, "type", where);
  e.value = number<std::int64_t>(j, "value", where);
  if (j.contains("symbol")) e.symbol = text(j, "symbol", where);
  if (j.contains("register")) {
    e.reg = text(j, "register", where);
    if (!register_code(*e.reg)) fail(where, "unknown register \"" + *e.reg + "\"");
  }
  e.extra = number<std::int64_t>(j, "extra", where);
  e.bits = number<unsigned>(j, "bits", where);
  e.bit = number<unsigned>(j, "bit", where);
  e.offset = number<std::uint32_t>(j, "offset", where);
  return e;
}

std::vector<SideEntry> entries_of(const json& j, const char* key, const std::string& where) {
  std::vector<SideEntry> out;
  if (!j.contains(key)) return out;
  if (!j.at(key).is_array()) fail(where, std::string("\"") + key + "\" must be an array");
  for (const json& e : j.at(key)) out.push_back(entry_of(e, where));
  return out;
}

SideAggregate aggregate_of(const json& j) {
  SideAggregate a;
  a.key = required(j, "key", "aggregate");
  std::string where = "aggregate " + a.key;
  auto space = a.key.find(' ');
  a.kind = a.key.substr(0, space);
  if (a.kind != "struct" && a.kind != "union" && a.kind != "enum")
    fail(where, "key must begin with struct, union or enum");
  a.tag = text(j, "tag", where, space == std::string::npos ? "" : a.key.substr(space + 1));
  a.variant = text(j, "variant", where);
  if (a.kind == "enum" && !a.variant.empty() && a.variant != "char" && a.variant != "short" &&
      a.variant != "int" && a.variant != "long")
    fail(where, "enum variant must be char, short, int or long");
  a.size = number<std::uint32_t>(j, "size", where);
  a.members = entries_of(j, "members", where);
  return a;
}

SideFunction function_of(const json& j, const std::string& file) {
  SideFunction f;
  std::string where = file + ": function";
  f.name = required(j, "name", where);
  where = file + ": " + f.name + "()";
  f.symbol = text(j, "symbol", where, "_" + f.name);
  if (j.contains("end_symbol")) f.end_symbol = text(j, "end_symbol", where);
  if (auto c = class_of(j, where)) f.storage_class = *c;
  f.returns = text(j, "returns", where, "int");
  lines_of(j, where, f.first_line, f.last_line);
  f.start_line = number<std::uint32_t>(j, "start_line", where);
  if (j.contains("plus")) {
    if (!j.at("plus").is_boolean()) fail(where, "\"plus\" must be true or false");
    f.plus = j.at("plus").get<bool>();
  }
  f.locals = entries_of(j, "locals", where);
  return f;
}

SideFile file_of(const json& j) {
  SideFile f;
  f.name = required(j, "name", "file");
  std::string where = "file " + f.name;
  f.source = text(j, "source", where, f.name);
  f.object = text(j, "object", where);
  if (auto u = number<std::int64_t>(j, "unit", where)) {
    if (*u < 0 || *u > 255) fail(where, "unit code out of range");
    f.unit = static_cast<std::uint8_t>(*u);
  }
  lines_of(j, where, f.first_line, f.last_line);
  f.typedefs = entries_of(j, "typedefs", where);
  if (j.contains("defines")) {
    for (const json& d : j.at("defines")) {
      SideDefine def;
      def.name = required(d, "name", where + " define");
      def.value = text(d, "value", where + " define " + def.name);
      f.defines.push_back(def);
    }
  }
  f.variables = entries_of(j, "variables", where);
  if (j.contains("functions"))
    for (const json& fn : j.at("functions")) f.functions.push_back(function_of(fn, where));
  return f;
}

}  // namespace

SideProgram parse_side_file(const std::string& source) {
  json j;
  try {
    j = json::parse(source, nullptr, true, /*ignore_comments=*/true);
  } catch (const json::exception& e) {
    throw SideError(std::string("side file is not valid JSON: ") + e.what());
  }
  if (!j.is_object()) throw SideError("side file must hold a JSON object");
  try {
    SideProgram p;
    p.program = text(j, "program", "program");
    p.entry = text(j, "entry", "program", "__stext");
    if (j.contains("aggregates"))
      for (const json& a : j.at("aggregates")) p.aggregates.push_back(aggregate_of(a));
    if (j.contains("files"))
      for (const json& f : j.at("files")) p.files.push_back(file_of(f));
    if (j.contains("xgate_sections")) {
      const json& x = j.at("xgate_sections");
      if (!x.is_array()) fail("xgate_sections", "must be a list of section names");
      for (const json& name : x) {
        if (!name.is_string()) fail("xgate_sections", "must be a list of section names");
        p.xgate_sections.push_back(name.get<std::string>());
      }
    }
    if (j.contains("kernel_variables"))
      for (const json& k : j.at("kernel_variables")) {
        SideKernelVariable v;
        v.name = required(k, "name", "kernel_variables");
        if (v.name.size() < 2 || v.name[0] != '.') fail("kernel_variables." + v.name, "the name must begin with \".\"");
        const auto value = number<std::int64_t>(k, "value", "kernel_variables." + v.name);
        if (!value) fail("kernel_variables." + v.name, "missing \"value\"");
        v.value = static_cast<std::uint32_t>(*value);
        p.kernel_variables.push_back(v);
      }
    return p;
  } catch (const json::exception& e) {
    throw SideError(std::string("side file: ") + e.what());
  }
}

SideProgram load_side_file(const std::string& path) {
  std::ifstream f(path);
  if (!f) throw SideError("cannot open " + path);
  std::stringstream ss;
  ss << f.rdbuf();
  return parse_side_file(ss.str());
}

}  // namespace tav::mkx12
