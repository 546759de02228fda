// Every test program starts with the journal turned off: a test's changes to
// its cards must not add records to the user's own journal. The journal's
// tests point it at a folder of their own.
#include <cstdlib>

namespace {

const bool journalOff = [] { return ::setenv("MCBRIDGE_JOURNAL", "off", 1) == 0; }();

} // namespace
