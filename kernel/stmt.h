// The statement layer between docmd and execcmd: if/else, while, do ... while,
// return and { } groups, with C conditions over the debugged program.
#pragma once

namespace tav {

class Debugger;

// Runs one statement and returns the position after it; null when the rest
// of the line must not run ("return", or a condition that failed).
const char* stmt(Debugger& d, const char* text, int mode);

// Runs the statements of a line one after another, up to its end.
// Null when a statement ended the sequence.
const char* stmts(Debugger& d, const char* text, int mode);

// The position after one statement, without running it: a group up to its
// matching "}", an if/while/do with its bodies, otherwise up to and
// including the next ";".
const char* skipstmt(Debugger& d, const char* text);

}  // namespace tav
