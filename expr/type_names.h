// C type names as casts and sizeof spell them (base type keywords, typedef
// names of the program, struct/union/enum tags), and declaration texts.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "image/debug_tables.h"

namespace tav {

// A keyword that can begin or continue a type name ("unsigned", "int", "struct", ...).
bool is_type_keyword(std::string_view word);

// The base type code of a list of specifier keywords ("unsigned", "char"),
// or 0 when the combination is not a type. Qualifiers are ignored.
std::uint8_t base_from_keywords(const std::vector<std::string>& words);

// A typedef entry (class 17) of that name: the function's own first, then
// the file-level ones in file-list order.
const SymbolEntry* find_typedef(const DebugTables& tables, const FunctionBlock* scope, std::string_view name);

// The aggregate with that tag for "struct", "union" or "enum"; `code`
// receives the base type code entries of that aggregate carry.
const AggregateRecord* find_tag(const DebugTables& tables, std::string_view keyword, std::string_view tag,
                                std::uint8_t* code);

// "int *p", "struct s v", "char a[4]": the type and name of an entry as
// declared (storage class not included).
std::string declaration_text(const SymbolEntry& e);
// The type alone, as in a cast: "unsigned char", "struct s *".
std::string type_text(std::uint32_t type, const AggregateRecord* aggregate);

}  // namespace tav
