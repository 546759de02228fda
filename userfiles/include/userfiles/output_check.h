// Whether a path may be written as a user's output. We may run as root,
// where access() grants everything: a file is judged by its mode bits and
// owner, the way the user who protected it meant them.
#pragma once

#include <string>

namespace userfiles {

enum class Refusal {
    None,
    Protected,    // an existing file its owner may not write (chmod a-w)
    SymbolicLink, // the path is a symbolic link
    NotAFile,     // a directory, device, FIFO or socket
    Exists,       // a file of that name, where none may be replaced
    Failed,       // the file could not be written; error() says why
};

// None when path may be written as an output: it does not exist yet, or it
// is a regular file the caller may write. With force, protected files and
// links are allowed (a link is then written through to its target); what is
// no regular file never is.
Refusal checkOutput(const std::string& path, bool force);

// Whether a file of this mode may be written by a user who is root, its
// owner, or in its group, judged by the bits alone: root honours a file
// with no write bit at all as protected.
struct Writer {
    bool root = false;
    bool owner = false;
    bool inGroup = false;
};
bool writableByMode(unsigned mode, Writer writer);

// A short English reason, for the command line.
const char* refusalText(Refusal refusal);

} // namespace userfiles
