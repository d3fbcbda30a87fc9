// The event dialogs' forms: the command lines a new event's fields make, the
// faults a form is refused for, and forms filled from events of the demo
// program that make the same event again or change it as edited.
#include "ui/model/event_form.h"

#include "ui/model/source_model.h"

#include "debug_session.h"
#include "events/event_table.h"

namespace tav {
namespace {

using Lines = std::vector<std::string>;

EventForm code(EventPlace place, std::string where, unsigned first = 0, unsigned last = 0) {
  EventForm f;
  f.place = place;
  f.where = std::move(where);
  f.first = first, f.last = last;
  return f;
}

EventForm data(std::string variable, char access, unsigned size = 0) {
  EventForm f;
  f.data = true;
  f.where = std::move(variable);
  f.access = access;
  f.size = size;
  return f;
}

template <typename Change>
EventForm with(EventForm f, Change change) {
  change(f);
  return f;
}

TEST(EventForm, NewEventsMakeTheirCommandLines) {
  using P = EventPlace;
  struct Case {
    EventForm form;
    Lines want;
  } cases[] = {
      {with(code(P::Lines, "main.c", 15), [](EventForm& f) { f.count = 3, f.condition = "g_int > 2", f.commands = "eval g_int"; }),
       {"break /C:3 main.c:15 {if (g_int > 2) {eval g_int}}"}},
      {with(code(P::Function, "gcd"), [](EventForm& f) { f.watch = true, f.active = false; }), {"watch /i gcd()"}},
      {code(P::Function, "main", 10, 12), {"break main():10:12"}},
      {with(code(P::Function, "main"), [](EventForm& f) { f.entry_only = true; }), {"break /e main()"}},
      {with(code(P::Function, "main", 9), [](EventForm& f) { f.entry_only = true; }), {"break main():9"}},
      {code(P::Function, ""), {"break ()"}},
      {code(P::Lines, "main.c", 15, 15), {"break main.c:15"}},
      {code(P::Lines, "", 20), {"break :20"}},
      {code(P::Lines, "main.c"), {"break main.c:"}},
      {code(P::Address, "4096"), {"break @0x1000"}},
      {code(P::Address, " 0x7fc02c "), {"break @0x7fc02c"}},
      {code(P::Expression, "g_int"), {"break g_int"}},
      {data("g_int", 'A'), {"dbreak /T:a g_int"}},
      {with(data("g_int", 'R', 1), [](EventForm& f) { f.count = 2; }), {"dbreak /T:r /C:2 *(unsigned char*)&g_int"}},
      {with(data("g_int", 'W', 4), [](EventForm& f) { f.watch = true, f.commands = "eval 1\neval 2"; }),
       {"dwatch /T:w *(unsigned long*)&g_int {eval 1;eval 2}"}},
      {with(data("g_int", 'W', 2), [](EventForm& f) { f.active = false; }),
       {"dbreak /T:w *(unsigned short*)&g_int", "dbreak /s 4"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(form_error(c.form), "") << c.want[0];
    EXPECT_EQ(event_lines(c.form, nullptr, 4).lines, c.want);
  }
}

TEST(EventForm, FaultyFormsSayWhy) {
  using P = EventPlace;
  struct Case {
    EventForm form;
    const char* starts;
  } cases[] = {
      {with(code(P::Function, "main"), [](EventForm& f) { f.count = 0; }), "The count"},
      {with(code(P::Function, "main"), [](EventForm& f) { f.count = 65536; }), "The count"},
      {code(P::Function, "ma in"), "Illegal function name"},
      {code(P::Function, "main()"), "Illegal function name"},
      {code(P::Lines, ""), "The file is missing"},
      {code(P::Lines, "main.c:3"), "Illegal file name"},
      {code(P::Lines, "my file.c", 3), "Illegal file name"},
      {code(P::Lines, "main.c", 0, 5), "A last line needs"},
      {code(P::Lines, "main.c", 9, 5), "The last line comes"},
      {code(P::Address, "0x"), "Illegal address"},
      {code(P::Address, "main"), "Illegal address"},
      {code(P::Address, "0x1000000"), "Illegal address"},
      {code(P::Expression, " "), "The expression is missing"},
      {code(P::Expression, "a,b"), "An expression cannot"},
      {with(code(P::Function, "main"), [](EventForm& f) { f.condition = "(a"; }), "Illegal condition"},
      {with(code(P::Function, "main"), [](EventForm& f) { f.condition = "a; go"; }), "Illegal condition"},
      {with(code(P::Function, "main"), [](EventForm& f) { f.commands = "if (1) {eval 1"; }), "The braces"},
      {with(code(P::Function, "main"), [](EventForm& f) { f.commands = "eval 1}"; }), "The braces"},
      {data("", 'A'), "Which variable"},
      {data("a;b", 'A'), "A variable cannot"},
      {data("g_int", 'A', 3), "The size"},
      {data("g_int", 'X'), "The access"},
  };
  for (const Case& c : cases) EXPECT_EQ(form_error(c.form).rfind(c.starts, 0), 0u) << c.starts << ": " << form_error(c.form);
  // A drive letter is part of a file name.
  EXPECT_EQ(form_error(code(P::Lines, "c:\\src\\a.c", 3)), "");
}

class EventEdit : public DebugSession {
 protected:
  void SetUp() override { load(); }
  // Makes an event as typed; returns it.
  const Event& make(const std::string& line) {
    run(line);
    const Event* e = d.events.find(d.events.GetLastBkptNum());
    EXPECT_TRUE(e) << line << errors();
    return *e;
  }
  void run_all(const Lines& lines) {
    for (const std::string& line : lines) run(line);
    EXPECT_EQ(errors(), "");
  }
};

TEST_F(EventEdit, FormsOfEventsMakeThemAgain) {
  // Lines apart: a position event inside another's lines would change that
  // one. A whole function or file comes back without lines.
  for (const char* line : {"break /C:3 main.c:15 {if (g_int > 2) {eval g_int}}", "watch /i gcd()", "break main():13:14",
                           "break @0x1000", "break g_int", "break main", "watch /C:2 main.c:20:22 {eval 1}",
                           "dbreak /T:r /C:2 *(unsigned char*)&g_int", "dwatch /T:w g_int {eval 1}", "dbreak /T:a g_int",
                           "break mathx.c:"}) {
    const EventForm form = event_form(make(line));
    EXPECT_EQ(form_error(form), "") << line;
    EXPECT_EQ(event_lines(form, nullptr, 0).lines, Lines{line});
    EXPECT_TRUE(event_lines(form, &form, 0).lines.empty()) << line;  // an edit that changes nothing
  }
}

TEST_F(EventEdit, EditsChangeTheEventAsTheDialogShowsIt) {
  make("break main.c:15 {eval 1}");
  make("break @0x1000");
  struct Case {
    const char* make;
    std::function<void(EventForm&)> edit;
    Lines want;
    std::uint16_t number;  // the edited event's number afterwards
  } cases[] = {
      // Count, commands and state change in place: the number stays.
      {"break /C:2 main.c:20 {eval 2}", [](EventForm& f) { f.count = 1, f.commands = "", f.active = false; },
       {"break /C:1 main.c:20 {}", "break /s 3"}, 3},
      {"break /i main.c:21", [](EventForm& f) { f.active = true; }, {"break /a 3"}, 3},
      // A new place or kind removes the event and makes it anew.
      {"break main.c:22", [](EventForm& f) { f.first = 23, f.watch = true; }, {"del /e 3", "watch main.c:23"}, 3},
      {"dbreak /T:a g_int", [](EventForm& f) { f.access = 'R', f.size = 2, f.active = false; },
       {"del /e 3", "dbreak /T:r *(unsigned short*)&g_int", "dbreak /s 3"}, 3},
  };
  for (const Case& c : cases) {
    const EventForm was = event_form(make(c.make));
    EventForm form = was;
    c.edit(form);
    const EventLines lines = event_lines(form, &was, next_event_number(d.events, was.number));
    EXPECT_EQ(lines.lines, c.want) << c.make;
    run_all(lines.lines);
    const Event* e = d.events.find(c.number);
    ASSERT_TRUE(e) << c.make;
    EXPECT_EQ(event_form(*e), with(form, [&](EventForm& f) { f.number = c.number; })) << c.make;
    run("del /e " + std::to_string(c.number));
  }
  EXPECT_EQ(d.events.events().size(), 2u);
}

TEST_F(EventEdit, AFailedChangeMakesTheOldEventAgain) {
  const EventForm was = event_form(make("dbreak /T:w /C:2 g_int"));
  EventForm form = was;
  form.where = "no_such_variable";
  const EventLines lines = event_lines(form, &was, next_event_number(d.events, was.number));
  EXPECT_EQ(lines.restore, Lines{"dbreak /T:w /C:2 g_int"});
  run(lines.lines.at(0));
  run(lines.lines.at(1));
  EXPECT_NE(errors(), "");
  run_all(lines.restore);
  ASSERT_EQ(d.events.events().size(), 1u);
  EXPECT_EQ(event_form(*d.events.events()[0]), was);
}

TEST_F(EventEdit, OverlappingLinesLeaveTheOuterEventAlone) {
  // The whole file (1) comes before a line of it (2) in the table: the table
  // would take a change at line 15 for the whole file's event.
  make("break @0x1000");
  make("break main.c:15 {eval 1}");
  run("del /e 1");
  const EventForm outer = event_form(make("watch /C:4 main.c:"));
  ASSERT_EQ(outer.number, 1);
  struct Case {
    std::function<void(EventForm&)> edit;
    Lines want;
    unsigned line;  // where the inner event is afterwards
  } cases[] = {
      {[](EventForm& f) { f.count = 3; }, {"del /e 1", "break /C:3 main.c:15 {eval 1}", "watch /C:4 main.c:"}, 15},
      {[](EventForm& f) { f.active = false; }, {"break /s 2"}, 15},
      // Made anew, the line's event comes first in the table and the file's after it.
      {[](EventForm& f) { f.first = 20; },
       {"del /e 1", "del /e 2", "break /C:3 /i main.c:20 {eval 1}", "watch /C:4 main.c:"}, 20},
  };
  for (const Case& c : cases) {
    const Event* inner = nullptr;  // the break; the file's is a watch
    for (const auto& e : d.events.events())
      if (!e->watch) inner = e.get();
    ASSERT_TRUE(inner);
    const EventForm was = event_form(*inner);
    EventForm form = was;
    c.edit(form);
    const auto captors = capturing_events(d.events, d.program.tables(), form, &was);
    const EventLines lines = event_lines(form, &was, next_event_number(d.events, was.number), captors);
    EXPECT_EQ(lines.lines, c.want);
    run_all(lines.lines);
    ASSERT_EQ(d.events.events().size(), 2u);
    for (const auto& e : d.events.events()) {
      EventForm now = event_form(*e);
      if (e->watch) {
        EXPECT_EQ(with(now, [](EventForm& f) { f.number = 1; }), outer) << "the whole file's event is untouched";
      } else {
        EXPECT_EQ(now.first, c.line);
        EXPECT_EQ(with(now, [&](EventForm& f) { f.number = was.number, f.first = was.first; }),
                  with(form, [&](EventForm& f) { f.first = was.first; }));
      }
    }
  }
  // The margin of the line shows the line's own event, not the file's.
  SourceModel source;
  source.set_text("main.c", "", SourceKind::C);
  EXPECT_EQ(source.margin(d, 20).event_number, d.events.events().front()->number);
}

TEST_F(EventEdit, NextNumberFillsTheFirstGap) {
  for (const char* line : {"break @0x1000", "break @0x1002", "break @0x1004", "break @0x1006"}) make(line);
  run("del /e 3");
  EXPECT_EQ(next_event_number(d.events), 3);
  EXPECT_EQ(next_event_number(d.events, 2), 2);
  EXPECT_EQ(next_event_number(d.events, 4), 3);
}

}  // namespace
}  // namespace tav
