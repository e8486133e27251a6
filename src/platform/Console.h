#pragma once

namespace platform {

// Whether standard error is a terminal, on which progress may rewrite its line. On Windows a
// console is also switched to UTF-8 output, so names beyond ASCII show as they are.
bool PrepareProgressTerminal();

// Columns of the terminal on standard error; 80 when unknown.
int TerminalColumns();

// Calls handler when the user presses Ctrl+C (and, on Windows, Ctrl+Break), and on Linux when
// the program is asked to end (SIGTERM) or its terminal goes (SIGHUP). It runs in a signal
// handler or on a thread of the system's, so it may only store to lock-free atomics. A second
// request ends the program as usual, and so does every one after OnInterrupt(nullptr).
void OnInterrupt(void (*handler)());

// A write to a closed pipe fails with an error the program sees, instead of ending it unasked
// (SIGPIPE on Linux; nothing to do on Windows).
void IgnoreBrokenPipe();

// For a window program: from now on a request to end it (SIGTERM, SIGHUP at a desktop logout)
// only sets what TerminationRequested reads, so the program can end as a close would. Nothing
// on Windows, where the session's end reaches the windows as a close.
void CatchTermination();
bool TerminationRequested();

} // namespace platform
