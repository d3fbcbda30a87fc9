// The variable browsers' tree on the demo program: groups per file and
// function, members and elements read when opened, the three formats, the
// format letters, a frozen tree against one that follows a step, the locals
// and globals lists and the values a step changed.
#include "ui/model/variable_tree.h"

#include <algorithm>

#include "debug_session.h"

namespace tav {
namespace {

class VariableTreeOnDemo : public DebugSession {
 protected:
  void SetUp() override { load(); }

  // The path of the item reached by these names, opening each on the way.
  ItemPath open_path(VariableTree& tree, const std::vector<std::string>& names) {
    ItemPath path;
    const std::vector<VariableItem>* level = &tree.items();
    for (const std::string& name : names) {
      std::size_t i = 0;
      while (i < level->size() && (*level)[i].name != name) ++i;
      EXPECT_LT(i, level->size()) << name;
      if (i == level->size()) return path;
      path.push_back(i);
      tree.open(d, path);
      level = &tree.item(path)->children;
    }
    return path;
  }
  const VariableItem& at(VariableTree& tree, const std::vector<std::string>& names) {
    static const VariableItem kMissing = [] {
      VariableItem m;
      m.name = "(missing)";
      return m;
    }();
    const VariableItem* item = tree.item(open_path(tree, names));
    return item && item->name == names.back() ? *item : kMissing;
  }
  // A data address of the demo as the tables give it: its RAM at 0x2000 is
  // RAM page 0xFE.
  static std::string ram_address(std::uint32_t local) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", 0x0FE000u | (local & 0x0FFFu));
    return text;
  }
};

TEST_F(VariableTreeOnDemo, ProgramTreeInTheThreeFormats) {
  VariableTree tree(VariableTree::Scope::Program);
  tree.refresh(d);
  EXPECT_STREQ(tree.title(), "Application Variables Browser");
  std::vector<std::string> files;
  for (const VariableItem& g : tree.items()) files.push_back(g.name);
  EXPECT_EQ(files, (std::vector<std::string>{"main.c", "mathx.c", "types.c"}));

  const std::string g_int_at = ram_address(symbol("_g_int"));
  const VariableItem& g_int = at(tree, {"types.c", "g_int"});
  EXPECT_EQ(item_line(g_int, VariableFormat::Brief), "g_int : extern int");
  EXPECT_EQ(item_line(g_int, VariableFormat::Standard), "g_int : extern int = -2");
  EXPECT_EQ(item_line(g_int, VariableFormat::Full), "g_int : extern int at " + g_int_at + " = -2");

  struct Case {
    std::vector<std::string> names;
    const char* type;
    const char* value;
  } cases[] = {
      {{"types.c", "g_box", "br", "x"}, "int", "11"},
      {{"types.c", "g_box", "colour"}, "unsigned char", "3"},
      {{"types.c", "g_table", "g_table[2]", "g_table[2][1]"}, "int", "10"},
      {{"types.c", "g_nodes", "g_nodes[2]", "next"}, "struct node *", " NULL"},
      {{"types.c", "g_head", "*g_head", "next", "*next", "value"}, "int", "20"},
      {{"types.c", "g_flags", "level"}, "char bit-field", "5"},
      {{"types.c", "g_flags", "offset"}, "bit-field", "500000"},
      {{"types.c", "g_rec", "mode"}, "enum mode", "MODE_STOP"},
      {{"types.c", "g_level"}, "extern (char) enum level", "LEVEL_HIGH"},
      {{"main.c", "s_round"}, "static int", "0"},
      {{"mathx.c", "next_id()", "id"}, "static int", "100"},
  };
  for (const Case& c : cases) {
    const VariableItem& item = at(tree, c.names);
    EXPECT_EQ(item.type, c.type) << c.names.back();
    EXPECT_EQ(item.value, c.value) << c.names.back();
  }
  // Aggregates show their members instead of a value; a local of a function
  // that has no frame shows so.
  EXPECT_EQ(at(tree, {"types.c", "g_box"}).value, "");
  EXPECT_EQ(at(tree, {"mathx.c", "fib()", "n"}).value, "(no frame)");

  const std::string saved = tree.save_text();
  EXPECT_EQ(saved.rfind("\n\t\tApplication Variables Browser\n\n", 0), 0u);
  EXPECT_NE(saved.find("\n  g_box : extern struct rect\n    tl : struct point\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\n      x : int = 11\n"), std::string::npos);
  tree.set_format(VariableFormat::Full);
  EXPECT_NE(tree.save_text().find("g_int : extern int at " + g_int_at + " = -2\n"), std::string::npos);
  EXPECT_EQ(tree.info_text(open_path(tree, {"types.c", "g_int"})), "at " + g_int_at + "\nextern int g_int\nin (types.c)");
}

TEST_F(VariableTreeOnDemo, FormatLetters) {
  VariableTree tree(VariableTree::Scope::Program);
  tree.refresh(d);
  const ItemPath box = open_path(tree, {"types.c", "g_box"});
  open_path(tree, {"types.c", "g_box", "br"});
  ASSERT_TRUE(tree.set_letter(d, box, 'x'));
  EXPECT_EQ(at(tree, {"types.c", "g_box", "br", "x"}).value, "0xb");  // members follow their aggregate
  EXPECT_EQ(at(tree, {"types.c", "g_box", "colour"}).value, "0x3");
  struct Case {
    std::vector<std::string> names;
    char letter;
    const char* value;
  } cases[] = {
      {{"types.c", "g_small"}, 'b', "0b111"},  {{"types.c", "g_small"}, 'o', "07"},
      {{"types.c", "g_char"}, 'c', "'T'"},     {{"types.c", "g_int"}, 'u', "4294967294"},
      {{"types.c", "g_short"}, 'x', "0xfb2e"}, {{"types.c", "g_rec", "name"}, 'S', "\"sensor\""},
      {{"types.c", "g_names", "g_names[1]"}, 'S', "\"run\""}, {{"types.c", "g_uchar"}, 'd', "200"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(tree.set_letter(d, open_path(tree, c.names), c.letter));
    EXPECT_EQ(at(tree, c.names).value, c.value) << c.names.back() << " /" << c.letter;
  }
  // A letter stays with its item when the tree reads again, and so does a
  // closed group (its variables still read).
  tree.close({0});
  tree.refresh(d);
  EXPECT_EQ(at(tree, {"types.c", "g_box", "br", "x"}).value, "0xb");
  EXPECT_FALSE(tree.items()[0].open);
  EXPECT_FALSE(tree.items()[0].children.empty());
  EXPECT_FALSE(tree.set_letter(d, {0}, 'x'));  // a file group has no value
}

TEST_F(VariableTreeOnDemo, FrozenKeepsWhatAutoRefreshFollows) {
  run("go main.c:18");  // f = factorial(FACT_N);
  ASSERT_EQ(where(), "main:18") << errors();
  VariableTree follows(VariableTree::Scope::Function), frozen(VariableTree::Scope::Function);
  VariableTree file(VariableTree::Scope::File), program(VariableTree::Scope::Program);
  VariableTree still(VariableTree::Scope::Program);
  for (VariableTree* t : {&follows, &frozen, &file, &program, &still}) t->refresh(d);
  EXPECT_EQ(at(still, {"types.c", "g_total"}).value, "0");
  still.set_frozen(true);
  ASSERT_EQ(follows.items().size(), 1u);
  EXPECT_EQ(follows.items()[0].name, "main()");
  EXPECT_EQ(at(follows, {"main()", "total"}).value, "47");  // 5 + 8 + 13 + 21
  EXPECT_EQ(at(follows, {"main()", "f"}).value, "0");
  EXPECT_EQ(file.items()[0].name, "main.c");
  frozen.set_frozen(true);

  run("step");  // into factorial, then past its entry
  run("ostep");
  ASSERT_EQ(where(), "factorial:24") << errors();
  for (VariableTree* t : {&follows, &frozen, &file, &program}) t->refresh(d);
  EXPECT_EQ(follows.items()[0].name, "factorial()");
  EXPECT_EQ(at(follows, {"factorial()", "n"}).value, "10");
  EXPECT_EQ(at(follows, {"factorial()", "n"}).expression, "n");
  EXPECT_EQ(file.items()[0].name, "mathx.c");
  EXPECT_EQ(frozen.items()[0].name, "main()");
  EXPECT_EQ(at(frozen, {"main()", "total"}).value, "47");
  EXPECT_EQ(at(frozen, {"main()", "f"}).value, "0");
  // Elsewhere a caller's locals read through its own frame.
  const VariableItem& total = at(program, {"main.c", "main()", "total"});
  EXPECT_EQ(total.expression, "main():total");
  EXPECT_EQ(total.value, "47");
  frozen.set_frozen(false);
  frozen.refresh(d);
  EXPECT_EQ(frozen.items()[0].name, "factorial()");

  run("go main.c:20");  // past g_total = (s32)f;
  for (VariableTree* t : {&program, &still}) t->refresh(d);
  EXPECT_EQ(at(program, {"types.c", "g_total"}).value, "3628800");
  EXPECT_EQ(at(still, {"types.c", "g_total"}).value, "0");
}

std::vector<std::string> names(const VariableTree& tree) {
  std::vector<std::string> list;
  for (const VariableItem& item : tree.items()) list.push_back(item.name + (item.changed ? " changed" : ""));
  return list;
}

TEST_F(VariableTreeOnDemo, LocalsFollowTheFrameAndMarkWhatAStepChanged) {
  VariableTree locals(VariableTree::Scope::Locals);
  run("go main.c:15");  // results[i] = fib(i + 5);
  run("step");
  run("ostep");  // past the entry
  ASSERT_EQ(where(), "fib:16") << errors();
  locals.refresh(d, true);
  EXPECT_EQ(locals.caption(), "Locals of fib()");
  EXPECT_EQ(names(locals), (std::vector<std::string>{"n", "first"}));  // new function: nothing to compare with
  EXPECT_EQ(locals.items()[0].value, "5");
  EXPECT_EQ(locals.items()[0].type, "argument int");
  EXPECT_TRUE(locals.note().empty());

  run("ostep");  // if (n < 2)
  ASSERT_EQ(where(), "fib:18") << errors();
  locals.refresh(d, true);
  EXPECT_EQ(names(locals), (std::vector<std::string>{"n", "first"}));  // neither changed
  run("ostep");
  ASSERT_EQ(where(), "fib:19") << errors();
  locals.refresh(d, true);
  EXPECT_EQ(names(locals), (std::vector<std::string>{"n", "first changed"}));
  EXPECT_EQ(locals.items()[1].value, "3");  // fib(4)
  // A command's reading keeps the marks of the last stop.
  locals.refresh(d, false);
  EXPECT_EQ(names(locals), (std::vector<std::string>{"n", "first changed"}));

  run("go main.c:16");  // back in main, its own locals
  locals.refresh(d, true);
  EXPECT_EQ(locals.caption(), "Locals of main()");
  EXPECT_EQ(names(locals), (std::vector<std::string>{"i", "total", "f"}));
}

TEST_F(VariableTreeOnDemo, ARecursiveCallIsNotComparedWithItsCaller) {
  VariableTree locals(VariableTree::Scope::Locals);
  run("go main.c:15");
  run("step");
  run("ostep");
  run("ostep");  // first = fib(n - 1); in fib(5)
  ASSERT_EQ(where(), "fib:18") << errors();
  locals.refresh(d, true);
  run("step");  // into fib(4): its n is not fib(5)'s n changed
  for (int i = 0; i < 2 && where() != "fib:16"; ++i) run("ostep");
  ASSERT_EQ(where(), "fib:16") << errors();
  locals.refresh(d, true);
  EXPECT_EQ(locals.items()[0].value, "4");
  EXPECT_EQ(names(locals), (std::vector<std::string>{"n", "first"}));
}

TEST_F(VariableTreeOnDemo, GlobalsAreTheFileLevelVariablesOfEveryFile) {
  VariableTree globals(VariableTree::Scope::Globals);
  globals.refresh(d);
  EXPECT_EQ(globals.caption(), "Globals");
  const std::vector<std::string> list = names(globals);
  for (const char* name : {"results", "s_round", "call_count", "g_int", "g_box", "g_head"})
    EXPECT_NE(std::find(list.begin(), list.end(), name), list.end()) << name;
  for (const char* local : {"id", "n", "total"})
    EXPECT_EQ(std::find(list.begin(), list.end(), local), list.end()) << local;
  for (const VariableItem& item : globals.items()) EXPECT_FALSE(item.group) << item.name;
  EXPECT_EQ(at(globals, {"s_round"}).expression, "main.c:s_round");
  EXPECT_EQ(at(globals, {"g_box", "br", "x"}).value, "11");

  run("go main.c:20");  // past g_total = (s32)f;
  globals.refresh(d, true);
  EXPECT_TRUE(at(globals, {"g_total"}).changed);
  EXPECT_FALSE(at(globals, {"g_int"}).changed);
  EXPECT_FALSE(at(globals, {"g_box", "br", "x"}).changed);
}

TEST_F(DebugSession, EmptyLocalsAndGlobalsSayWhy) {
  VariableTree locals(VariableTree::Scope::Locals), globals(VariableTree::Scope::Globals);
  locals.refresh(d);
  globals.refresh(d);
  EXPECT_TRUE(locals.items().empty());
  EXPECT_EQ(locals.note(), "Not in a function with debug information");
  EXPECT_EQ(globals.note(), "The program has no global variables");
}

}  // namespace
}  // namespace tav
