#pragma once

namespace platform {

// Whether standard error is a terminal, on which progress may rewrite its line. On Windows a
// console is also switched to UTF-8 output, so names beyond ASCII show as they are.
bool PrepareProgressTerminal();

// Columns of the terminal on standard error; 80 when unknown.
int TerminalColumns();

// Calls handler when the user presses Ctrl+C (and, on Windows, Ctrl+Break). It runs in a signal
// handler or on a thread of the system's, so it may only store to lock-free atomics. A second
// press ends the program as usual, and so does every press after OnInterrupt(nullptr).
void OnInterrupt(void (*handler)());

} // namespace platform
