// The program as a map: its symbols with their addresses (the symbol list
// and the symbol selection), and its loaded sections with where they lie,
// how large they are, what they hold and which source files have code in
// them (the application map). Each line knows where a double click goes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tav {

class Debugger;
struct FunctionBlock;

// What a line stands for, so that a host can go there.
enum class MapTarget : std::uint8_t {
  None,      // a heading or a line without a place
  Function,  // a function with source: its file at `line`
  Code,      // code without source: the disassembly at `address`
  Data,      // data: a memory view at `address`
};

struct MapLine {
  std::string text;
  MapTarget target = MapTarget::None;
  std::uint32_t address = 0;
  std::string name;  // the symbol's name (symbol lines)
  std::string file;  // Function: the source file
  unsigned line = 0; // Function: the line to show
};

// The line a view of a function's file starts at: two lines above the
// function when there are lines above it.
unsigned function_view_line(const FunctionBlock& f);

enum class SymbolOrder { Address, Name };

// The program's symbols (kernel variables left out), one line each:
// address, kind and name, and the file of a function.
std::vector<MapLine> symbol_lines(Debugger& d, SymbolOrder order);

// The symbol lines whose name holds `filter`, upper and lower case alike; all for an empty filter.
std::vector<MapLine> matching_symbols(const std::vector<MapLine>& lines, std::string_view filter);

// The application map: a heading, then one line per loaded section (name,
// start, end, size, kind, source files with code in it), then the totals.
// Without a section list (S-records, Hex, binary images) the loaded memory
// ranges stand for the sections.
std::vector<MapLine> application_map(Debugger& d);

}  // namespace tav
