// cardtool run as a script would run it: its output, its messages and its
// exit status.
#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace cardtooltest {

struct Result {
    int status = -1;
    std::string out; // standard output and standard error together
};

// A run that hangs is killed after a while and reports status 124, so a hang
// fails the test instead of stopping the suite.
inline Result cardtool(const std::string& args, const std::string& env = "")
{
    const std::string cmd = env + " timeout 60 " CARDTOOL " " + args + " 2>&1";
    Result r;
    FILE* p = popen(cmd.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

inline bool says(const Result& r, const std::string& text)
{
    return r.out.find(text) != std::string::npos;
}

} // namespace cardtooltest
