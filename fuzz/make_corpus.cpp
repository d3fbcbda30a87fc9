// Writes the starting inputs of the image fuzz targets into two directories:
// well-formed object files and text records that reach deep into the readers.
#include <cstdio>
#include <filesystem>
#include <string>

#include "large_program.h"
#include "sample_program.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <object-dir> <text-dir>\n", argv[0]);
    return 2;
  }
  namespace fs = std::filesystem;
  using namespace tav::testing;
  const fs::path objects = argv[1], texts = argv[2];
  fs::create_directories(objects);
  fs::create_directories(texts);
  write_file((objects / "sample.x12").string(), sample_program().object.bytes());
  LargeProgramShape small;
  small.files = 3;
  small.functions = 3;
  small.lines = 2;
  write_file((objects / "small.x12").string(), large_program(small).bytes());
  write_file((texts / "srec.s19").string(),
             std::string_view("S00600004844521B\nS1130000285F245F2212226A000424290008237C2A\n"
                              "S2080F0000112233448C\nS30900FC0000DEADBEEF00\nS5030002FA\nS9030000FC\n"));
  write_file((texts / "hex.hex").string(),
             std::string_view(":10010000214601360121470136007EFE09D2190140\n:02001200AABB00\n:00000001FF\n"));
  return 0;
}
