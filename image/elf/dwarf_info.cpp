#include "image/elf/dwarf_info.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>

#include "image/elf/dwarf_cursor.h"
#include "image/elf/elf_file.h"
#include "image/elf/s12x_map.h"
#include "x12_writer.h"

namespace tav::elf {

namespace {

// Tags, attributes and forms used here.
enum : std::uint16_t {
  kTagArray = 0x01, kTagEnumeration = 0x04, kTagFormalParameter = 0x05, kTagLabel = 0x0A,
  kTagLexicalBlock = 0x0B, kTagMember = 0x0D, kTagPointer = 0x0F, kTagCompileUnit = 0x11,
  kTagStructure = 0x13, kTagSubroutineType = 0x15, kTagTypedef = 0x16, kTagUnion = 0x17,
  kTagSubrange = 0x21, kTagBaseType = 0x24, kTagConst = 0x26, kTagEnumerator = 0x28,
  kTagSubprogram = 0x2E, kTagVariable = 0x34, kTagVolatile = 0x35, kTagRestrict = 0x37,
  kTagUnspecifiedType = 0x3B,
};
enum : std::uint16_t {
  kAtLocation = 0x02, kAtName = 0x03, kAtByteSize = 0x0B, kAtBitOffset = 0x0C, kAtBitSize = 0x0D,
  kAtLowPc = 0x11, kAtHighPc = 0x12, kAtConstValue = 0x1C, kAtUpperBound = 0x2F,
  kAtCount = 0x37, kAtDataMemberLocation = 0x38, kAtDeclaration = 0x3C, kAtDeclLine = 0x3B,
  kAtEncoding = 0x3E, kAtExternal = 0x3F, kAtType = 0x49, kAtDataBitOffset = 0x6B,
  kAtLanguage = 0x13,
  // Our own: a parameter passed in a register and kept in the frame.
  kAtRegisterArgument = 0x2301,
};
constexpr std::uint64_t kLanguageAssembler = 0x8001;
enum : std::uint16_t {
  kFormAddr = 0x01, kFormBlock2 = 0x03, kFormBlock4 = 0x04, kFormData2 = 0x05, kFormData4 = 0x06,
  kFormData8 = 0x07, kFormString = 0x08, kFormBlock = 0x09, kFormBlock1 = 0x0A, kFormData1 = 0x0B,
  kFormFlag = 0x0C, kFormSdata = 0x0D, kFormStrp = 0x0E, kFormUdata = 0x0F, kFormRefAddr = 0x10,
  kFormRef1 = 0x11, kFormRef2 = 0x12, kFormRef4 = 0x13, kFormRef8 = 0x14, kFormRefUdata = 0x15,
  kFormIndirect = 0x16, kFormSecOffset = 0x17, kFormExprloc = 0x18, kFormFlagPresent = 0x19,
  kFormRefSig8 = 0x20,
};

constexpr std::uint8_t kOpAddr = 0x03, kOpPlusUconst = 0x23, kOpReg0 = 0x50, kOpBreg0 = 0x70,
                       kOpFbreg = 0x91;

struct Abbrev {
  std::uint16_t tag = 0;
  bool children = false;
  std::vector<std::pair<std::uint16_t, std::uint16_t>> specs;  // attribute, form
};

struct Value {
  std::uint16_t form = 0;
  std::uint64_t number = 0;  // constants, addresses, section offsets, references (section-relative)
  std::string_view text;     // strings, in their section
  const std::uint8_t* data = nullptr;  // blocks, in .debug_info
  std::size_t size = 0;
  bool is_block = false;

  std::vector<std::uint8_t> block() const { return {data, data + size}; }
};

struct Die {
  std::uint16_t tag = 0;
  std::uint32_t offset = 0;
  std::vector<std::pair<std::uint16_t, Value>> attrs;
  std::vector<std::size_t> children;

  const Value* get(std::uint16_t at) const {
    for (const auto& [a, v] : attrs)
      if (a == at) return &v;
    return nullptr;
  }
  std::optional<std::uint64_t> number(std::uint16_t at) const {
    const Value* v = get(at);
    if (!v || v->is_block) return std::nullopt;
    return v->number;
  }
  std::string name() const {
    const Value* v = get(kAtName);
    return v ? std::string(v->text) : std::string();
  }
};

bool is_reference(std::uint16_t form) {
  return form == kFormRef1 || form == kFormRef2 || form == kFormRef4 || form == kFormRef8 || form == kFormRefUdata ||
         form == kFormRefAddr;
}

// Parses every unit into one tree of DIEs.
class Parser {
 public:
  Parser(const std::vector<std::uint8_t>& info, const std::vector<std::uint8_t>& abbrev,
         const std::vector<std::uint8_t>& str, Warnings& w)
      : info_(info), abbrev_(abbrev), str_(str), w_(w) {}

  std::vector<Die> dies;
  std::vector<std::size_t> units;  // index of each unit's root DIE
  std::unordered_map<std::uint32_t, std::size_t> by_offset;

  void run() {
    std::size_t at = 0;
    while (at + 4 <= info_.size()) {
      Cursor c(info_, at, info_.size(), ".debug_info");
      std::uint64_t length = c.fixed(4);
      if (length >= 0xFFFFFFF0u) throw DwarfError("64-bit DWARF is not supported");
      if (length > info_.size() - c.pos()) throw DwarfError("truncated .debug_info unit");
      std::size_t end = c.pos() + length;
      Cursor u(info_, c.pos(), end, ".debug_info");
      version_ = static_cast<unsigned>(u.fixed(2));
      if (version_ < 2 || version_ > 4) throw DwarfError("unsupported DWARF version " + std::to_string(version_));
      std::uint64_t abbrev_offset = u.fixed(4);
      address_size_ = u.u8();
      if (address_size_ != 2 && address_size_ != 4) throw DwarfError("unsupported DWARF address size");
      unit_start_ = at;
      const auto& table = abbrevs(abbrev_offset);
      read_dies(u, table);
      at = end;
    }
  }

 private:
  const std::map<std::uint64_t, Abbrev>& abbrevs(std::uint64_t offset) {
    if (auto it = tables_.find(offset); it != tables_.end()) return it->second;
    if (offset >= abbrev_.size()) throw DwarfError("abbreviation offset outside .debug_abbrev");
    std::map<std::uint64_t, Abbrev> table;
    Cursor c(abbrev_, offset, abbrev_.size(), ".debug_abbrev");
    for (;;) {
      std::uint64_t code = c.uleb();
      if (code == 0) break;
      Abbrev a;
      a.tag = static_cast<std::uint16_t>(c.uleb());
      a.children = c.u8() != 0;
      for (;;) {
        auto name = static_cast<std::uint16_t>(c.uleb());
        auto form = static_cast<std::uint16_t>(c.uleb());
        if (name == 0 && form == 0) break;
        a.specs.emplace_back(name, form);
      }
      if (!table.emplace(code, std::move(a)).second) throw DwarfError("abbreviation code defined twice");
    }
    return tables_.emplace(offset, std::move(table)).first->second;
  }

  void read_dies(Cursor& u, const std::map<std::uint64_t, Abbrev>& table) {
    std::vector<std::size_t> parents;
    bool first = true;
    while (!u.done()) {
      auto offset = static_cast<std::uint32_t>(u.pos());
      std::uint64_t code = u.uleb();
      if (code == 0) {  // end of a sibling chain
        if (!parents.empty()) parents.pop_back();
        continue;
      }
      auto it = table.find(code);
      if (it == table.end()) throw DwarfError("unknown abbreviation code " + std::to_string(code));
      Die d;
      d.tag = it->second.tag;
      d.offset = offset;
      for (auto [name, form] : it->second.specs) d.attrs.emplace_back(name, read_value(u, form, 0));
      std::size_t index = dies.size();
      by_offset.emplace(offset, index);
      if (first) units.push_back(index);
      else if (!parents.empty()) dies[parents.back()].children.push_back(index);
      else w_.add("DWARF entries after the end of their unit are ignored");
      first = false;
      dies.push_back(std::move(d));
      if (it->second.children) parents.push_back(index);
    }
  }

  Value read_value(Cursor& u, std::uint16_t form, int depth) {
    Value v;
    v.form = form;
    auto block = [&](std::uint64_t n) {
      if (n > u.end() - u.pos()) throw DwarfError("truncated .debug_info unit");
      v.data = info_.data() + u.pos();
      v.size = static_cast<std::size_t>(n);
      u.skip(v.size);
      v.is_block = true;
    };
    switch (form) {
      case kFormAddr: v.number = u.fixed(address_size_); break;
      case kFormData1: case kFormRef1: case kFormFlag: v.number = u.u8(); break;
      case kFormData2: case kFormRef2: v.number = u.fixed(2); break;
      case kFormData4: case kFormRef4: case kFormSecOffset: v.number = u.fixed(4); break;
      case kFormData8: case kFormRef8: case kFormRefSig8: v.number = u.fixed(8); break;
      case kFormSdata: v.number = static_cast<std::uint64_t>(u.sleb()); break;
      case kFormUdata: case kFormRefUdata: v.number = u.uleb(); break;
      case kFormRefAddr: v.number = u.fixed(version_ == 2 ? address_size_ : 4); break;
      case kFormFlagPresent: v.number = 1; break;
      case kFormString: v.text = u.view(); break;
      case kFormStrp: {
        std::uint64_t at = u.fixed(4);
        if (at >= str_.size()) throw DwarfError("string offset outside .debug_str");
        Cursor s(str_, at, str_.size(), ".debug_str");
        v.text = s.view();
        break;
      }
      case kFormBlock1: block(u.u8()); break;
      case kFormBlock2: block(u.fixed(2)); break;
      case kFormBlock4: block(u.fixed(4)); break;
      case kFormBlock: case kFormExprloc: block(u.uleb()); break;
      case kFormIndirect:
        if (depth > 2) throw DwarfError("indirect DWARF forms nest too deeply");
        return read_value(u, static_cast<std::uint16_t>(u.uleb()), depth + 1);
      default: throw DwarfError("unknown DWARF form " + std::to_string(form));
    }
    // Unit-relative references become section offsets.
    if (is_reference(form) && form != kFormRefAddr) v.number += unit_start_;
    return v;
  }

  const std::vector<std::uint8_t>& info_;
  const std::vector<std::uint8_t>& abbrev_;
  const std::vector<std::uint8_t>& str_;
  Warnings& w_;
  std::map<std::uint64_t, std::map<std::uint64_t, Abbrev>> tables_;
  unsigned version_ = 2, address_size_ = 2;
  std::size_t unit_start_ = 0;
};

constexpr const char* kKnownBases[] = {
    "_Bool", "signed char", "char", "unsigned char", "short", "short int", "unsigned short", "int",
    "signed int", "unsigned int", "unsigned", "long", "long int", "unsigned long", "float", "double",
    "long double", "short _Fract", "long _Fract"};

// Turns the DIE tree into the program description.
class Builder {
 public:
  Builder(const Parser& p, SideProgram& out, Warnings& w) : p_(p), out_(out), w_(w) {}

  void run() {
    for (std::size_t u : p_.units) unit(p_.dies[u]);
  }

 private:
  const Die* die_at(const Value* ref) const {
    if (!ref) return nullptr;
    auto it = p_.by_offset.find(static_cast<std::uint32_t>(ref->number));
    if (it == p_.by_offset.end()) throw DwarfError("DWARF reference outside the unit");
    return &p_.dies[it->second];
  }
  const Die& child(std::size_t i) const { return p_.dies[i]; }

  // ------------------------------------------------------------ types

  std::string type_of(const Die& d, int depth = 0) { return type_text(die_at(d.get(kAtType)), depth); }

  std::string type_text(const Die* t, int depth) {
    if (!t) return "void";
    if (depth > 32) throw DwarfError("DWARF types nest too deeply");
    switch (t->tag) {
      case kTagBaseType: return base_name(*t);
      case kTagPointer: {
        std::uint64_t size = t->number(kAtByteSize).value_or(2);
        return std::string(size > 2 ? "*@0x40 " : "* ") + type_of(*t, depth + 1);
      }
      case kTagUnspecifiedType: return "void";
      case kTagConst: case kTagVolatile: case kTagRestrict: case kTagTypedef:
        return type_of(*t, depth + 1);
      case kTagSubroutineType: return "() " + type_of(*t, depth + 1);
      case kTagArray: {
        std::string dims;
        std::uint64_t total = 1;
        for (std::size_t c : t->children) {
          const Die& s = child(c);
          if (s.tag != kTagSubrange) continue;
          std::uint64_t n = 0;
          if (auto count = s.number(kAtCount)) n = *count;
          else if (auto upper = s.number(kAtUpperBound)) n = *upper + 1;
          if (n > 0xFFFF || (total *= std::max<std::uint64_t>(n, 1)) > 0xFFFFFF) {
            w_.add("arrays larger than 16 MB are shown with one element");
            n = 1;
          }
          dims += "[" + std::to_string(n) + "]";
        }
        return dims + " " + type_of(*t, depth + 1);
      }
      case kTagStructure: case kTagUnion: case kTagEnumeration: return aggregate(*t, depth);
      default:
        w_.add("DWARF type tag " + std::to_string(t->tag) + " is shown as int");
        return "int";
    }
  }

  std::string base_name(const Die& t) {
    std::string name = t.name();
    for (const char* k : kKnownBases)
      if (name == k) return name;
    std::uint64_t size = t.number(kAtByteSize).value_or(2);
    switch (t.number(kAtEncoding).value_or(5)) {
      case 0x02: return "_Bool";
      case 0x04: return size == 4 ? "float" : "double";
      case 0x06: return "char";
      case 0x08: return "unsigned char";
      case 0x0D: return size == 4 ? "long _Fract" : "short _Fract";
      case 0x07: case 0x10:
        if (size > 4) w_.add("64-bit integers are shown as unsigned long");
        return size == 1 ? "unsigned char" : size == 2 ? "unsigned int" : "unsigned long";
      default:
        if (size > 4) w_.add("64-bit integers are shown as long");
        return size == 1 ? "signed char" : size == 2 ? "int" : "long";
    }
  }

  static std::uint32_t member_offset(const Die& m) {
    const Value* v = m.get(kAtDataMemberLocation);
    if (!v) return 0;
    if (!v->is_block) return static_cast<std::uint32_t>(v->number);
    if (v->size > 0 && v->data[0] == kOpPlusUconst) {
      std::vector<std::uint8_t> b(v->data + 1, v->data + v->size);
      Cursor c(b, 0, b.size(), ".debug_info");
      return static_cast<std::uint32_t>(c.uleb());
    }
    return 0;
  }

  std::string aggregate(const Die& t, int depth) {
    const char* kind = t.tag == kTagStructure ? "struct" : t.tag == kTagUnion ? "union" : "enum";
    std::string tag = t.name();
    std::string key = std::string(kind) + " " + (tag.empty() ? "<anonymous@" + std::to_string(t.offset) + ">" : tag);
    auto found = keys_.find(key);
    if (found != keys_.end() && (!found->second.second || t.children.empty())) return key;  // complete already
    std::size_t index;
    if (found == keys_.end()) {
      index = out_.aggregates.size();
      SideAggregate a;
      a.key = key;
      a.kind = kind;
      a.tag = tag;
      out_.aggregates.push_back(a);
      keys_[key] = {index, t.children.empty()};
    } else {
      index = found->second.first;
      found->second.second = false;
    }
    if (t.children.empty()) return key;  // a declaration only
    keys_[key].second = false;
    std::vector<SideEntry> members;
    std::optional<std::uint32_t> size;
    if (auto s = t.number(kAtByteSize)) size = static_cast<std::uint32_t>(*s);
    std::string variant;
    if (t.tag == kTagEnumeration) {
      variant = size && *size == 1 ? "char" : size && *size == 4 ? "long" : "";
      // An underlying type (DWARF 3) tells a short or int enum from the plain one.
      if (const Die* u = die_at(t.get(kAtType)); u && u->tag == kTagBaseType && variant.empty()) {
        std::string n = base_name(*u);
        if (n == "short" || n == "unsigned short") variant = "short";
        if (n == "int" || n == "unsigned int") variant = "int";
      }
    }
    for (std::size_t c : t.children) {
      const Die& m = child(c);
      SideEntry e;
      e.name = m.name();
      if (t.tag == kTagEnumeration) {
        if (m.tag != kTagEnumerator) continue;
        const Value* v = m.get(kAtConstValue);
        std::int64_t value = 0;
        if (v && !v->is_block) {
          value = static_cast<std::int64_t>(v->number);
          // data1/2/4 constants are sign-extended as the enum is signed here
          if (v->form == kFormData1) value = static_cast<std::int8_t>(v->number);
          if (v->form == kFormData2) value = static_cast<std::int16_t>(v->number);
          if (v->form == kFormData4) value = static_cast<std::int32_t>(v->number);
        }
        e.value = value;
        members.push_back(e);
        continue;
      }
      if (m.tag != kTagMember) continue;
      e.type = type_of(m, depth + 1);
      e.offset = member_offset(m);
      if (auto bits = m.number(kAtBitSize)) {
        std::uint32_t unit_bytes = static_cast<std::uint32_t>(m.number(kAtByteSize).value_or(2));
        if (unit_bytes == 0 || unit_bytes > 4) unit_bytes = 2;
        const std::uint32_t unit_bits = unit_bytes * 8;
        std::uint64_t from_top = 0;  // bits above the field in its big-endian unit
        if (auto bo = m.number(kAtBitOffset)) {
          from_top = *bo;
        } else if (auto dbo = m.number(kAtDataBitOffset)) {
          *e.offset = static_cast<std::uint32_t>(*dbo / unit_bits * unit_bytes);
          from_top = *dbo % unit_bits;
        }
        if (*bits == 0 || *bits + from_top > unit_bits) {
          w_.add("bit-fields that straddle their unit are left out");
          continue;
        }
        e.bits = static_cast<unsigned>(*bits);
        e.bit_offset = static_cast<unsigned>(unit_bits - from_top - *bits);
        // The member's declared type decides the unit; keep its size consistent.
        e.type = unit_bytes == 1 ? "unsigned char" : unit_bytes == 4 ? "unsigned long" : "unsigned int";
        if (const Die* base = die_at(m.get(kAtType)); base && base->tag == kTagBaseType) {
          std::string n = base_name(*base);
          if (n.rfind("unsigned", 0) != 0 && n != "_Bool")
            e.type = unit_bytes == 1 ? "signed char" : unit_bytes == 4 ? "long" : "int";
        }
      }
      members.push_back(e);
    }
    SideAggregate& a = out_.aggregates[index];
    a.members = std::move(members);
    a.size = size;
    a.variant = variant;
    return key;
  }

  // ------------------------------------------------------------ entries

  // A location expression of one operation; false when it is more than that.
  bool location(const Die& d, SideEntry& e, bool argument, bool in_function) {
    const Value* v = d.get(kAtLocation);
    if (!v) return false;
    if (!v->is_block) {
      w_.add("variables with location lists are left out");
      return false;
    }
    const std::vector<std::uint8_t> b = v->block();
    if (b.empty()) return false;
    Cursor c(b, 1, b.size(), ".debug_info");
    std::uint8_t op = b[0];
    if (op == kOpAddr) {
      auto address = static_cast<std::uint32_t>(c.fixed(b.size() - 1 >= 4 ? 4 : b.size() - 1));
      e.value = local_to_global(address);
      e.storage_class = in_function ? x12::sclass::kStatic
                                    : (d.number(kAtExternal).value_or(0) ? x12::sclass::kExtern : x12::sclass::kStatic);
    } else if (op == kOpFbreg || (op >= kOpBreg0 && op < kOpBreg0 + 32)) {
      e.value = c.sleb();
      e.storage_class = argument ? x12::sclass::kArgument : x12::sclass::kAuto;
    } else if (op >= kOpReg0 && op < kOpReg0 + 32) {
      std::string r = dwarf_register_name(op - kOpReg0);
      if (r.empty()) {
        w_.add("variables in unknown registers are left out");
        return false;
      }
      e.reg = r;
      e.storage_class = argument ? x12::sclass::kRegisterArgument : x12::sclass::kRegister;
    } else {
      w_.add("variables with computed locations are left out");
      return false;
    }
    if (!c.done()) {
      w_.add("variables with computed locations are left out");
      return false;
    }
    return true;
  }

  void variables_of(const Die& scope, SideFunction& f, int depth) {
    if (depth > 64) throw DwarfError("DWARF scopes nest too deeply");
    for (std::size_t c : scope.children) {
      const Die& d = child(c);
      if (d.tag == kTagLexicalBlock) {
        variables_of(d, f, depth + 1);
        continue;
      }
      SideEntry e;
      e.name = d.name();
      if (e.name.empty()) continue;
      if (d.tag == kTagLabel) {
        auto pc = d.number(kAtLowPc);
        if (!pc) continue;
        e.storage_class = x12::sclass::kLocalLabel;
        e.type = "label";
        e.value = local_to_global(static_cast<std::uint32_t>(*pc));
      } else if (d.tag == kTagVariable || d.tag == kTagFormalParameter) {
        if (!location(d, e, d.tag == kTagFormalParameter, true)) continue;
        if (e.storage_class == x12::sclass::kArgument && d.number(kAtRegisterArgument).value_or(0))
          e.storage_class = x12::sclass::kRegisterArgument;
        e.type = type_of(d);
      } else {
        continue;
      }
      f.locals.push_back(std::move(e));
    }
  }

  void unit(const Die& cu) {
    if (cu.tag != kTagCompileUnit) return;
    SideFile file;
    file.source = cu.name();
    auto slash = file.source.find_last_of('/');
    file.name = slash == std::string::npos ? file.source : file.source.substr(slash + 1);
    // Compiler output assembled with .file/.loc: the assembler names the
    // functions by their symbols, which carry the C prefix "_".
    const std::string& n = file.name;
    c_symbols_ = cu.number(kAtLanguage).value_or(0) == kLanguageAssembler && n.size() > 2 &&
                 !n.ends_with(".s") && !n.ends_with(".S") && !n.ends_with(".asm");
    for (std::size_t c : cu.children) {
      const Die& d = child(c);
      if (d.tag == kTagSubprogram) {
        subprogram(d, file);
      } else if (d.tag == kTagVariable) {
        SideEntry e;
        e.name = d.name();
        if (e.name.empty() || d.number(kAtDeclaration).value_or(0) || !location(d, e, false, false)) continue;
        e.type = type_of(d);
        file.variables.push_back(std::move(e));
      } else if (d.tag == kTagTypedef) {
        SideEntry e;
        e.name = d.name();
        if (e.name.empty()) continue;
        e.type = type_of(d);
        if (typedefs_.emplace(e.name, e.type).second) file.typedefs.push_back(std::move(e));
      }
    }
    out_.files.push_back(std::move(file));
  }

  void subprogram(const Die& d, SideFile& file) {
    auto low = d.number(kAtLowPc);
    const Value* high = d.get(kAtHighPc);
    if (!low || !high || high->is_block) return;  // a declaration or inlined only
    SideFunction f;
    f.name = d.name();
    if (c_symbols_ && f.name.size() > 1 && f.name[0] == '_') f.name.erase(0, 1);
    if (f.name.empty()) return;
    f.low_pc = static_cast<std::uint32_t>(*low);
    f.high_pc = static_cast<std::uint32_t>(high->form == kFormAddr ? high->number : *low + high->number);
    if (*f.high_pc <= *f.low_pc) return;
    f.storage_class = d.number(kAtExternal).value_or(0) ? x12::sclass::kExtern : x12::sclass::kStatic;
    f.returns = type_of(d);
    if (auto line = d.number(kAtDeclLine)) f.start_line = static_cast<std::uint32_t>(*line);
    variables_of(d, f, 0);
    file.functions.push_back(std::move(f));
  }

  const Parser& p_;
  SideProgram& out_;
  Warnings& w_;
  std::map<std::string, std::pair<std::size_t, bool>> keys_;  // aggregate key: index, declaration only
  std::map<std::string, std::string> typedefs_;
  bool c_symbols_ = false;
};

}  // namespace

std::string dwarf_register_name(unsigned number) {
  // The register numbers of GCC for the 68HC11/68HC12 family.
  constexpr const char* kNames[] = {"x", "d", "y", "s", "pc", "a", "b", "ccr"};
  return number < std::size(kNames) ? kNames[number] : "";
}

void read_debug_info(const ElfFile& elf, SideProgram& out, Warnings& warnings) {
  const ElfSection* info = elf.find_section(".debug_info");
  if (!info) return;
  const ElfSection* abbrev = elf.find_section(".debug_abbrev");
  if (!abbrev) throw DwarfError(".debug_info without .debug_abbrev");
  const ElfSection* str = elf.find_section(".debug_str");
  const std::vector<std::uint8_t> info_bytes = elf.contents(*info), abbrev_bytes = elf.contents(*abbrev);
  const std::vector<std::uint8_t> str_bytes = str ? elf.contents(*str) : std::vector<std::uint8_t>{};
  Parser p(info_bytes, abbrev_bytes, str_bytes, warnings);
  p.run();
  Builder(p, out, warnings).run();
}

}  // namespace tav::elf
