// Our temporary files, removed when the process is ended by SIGINT, SIGTERM
// or SIGHUP. The handler may only make async-signal-safe calls: it unlinks
// the paths of a fixed table and then lets the signal take its course.
#pragma once

namespace userfiles {

// At most this many temporary files are protected at once; more are still
// written, only not removed on a signal.
constexpr int kMaxTempFiles = 16;

// Adds path to the table; returns its entry, -1 when the table is full.
int registerTemp(const char* path);
// Forgets the entry (the file was renamed into place or removed).
void forgetTemp(int entry);

// Installs the handlers for SIGINT, SIGTERM and SIGHUP, except for a signal
// the process ignores (nohup). After the clean-up a handler that was there
// before runs; else the signal is raised again with its default action, so
// the exit status says which signal ended the process.
void removeTempsOnSignals();

} // namespace userfiles
