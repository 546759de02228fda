#include "userfiles/temp_names.h"

#include <cctype>
#include <unistd.h>

namespace userfiles {

namespace {

constexpr std::string_view kMark = ".cardsuite-";
// A name is at most 255 bytes; what is kept of the target's own name leaves
// room for the mark, the process id and mkstemp's six letters.
constexpr std::size_t kKeptName = 200;

std::string mark() { return std::string(kMark) + std::to_string(getpid()) + "-XXXXXX"; }

} // namespace

std::string tempPatternBeside(const std::string& target)
{
    const auto slash = target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    return dir + "." + base.substr(0, kKeptName) + mark();
}

std::string tempPatternIn(const std::string& folder, const std::string& purpose)
{
    return folder + "/" + purpose.substr(0, kKeptName) + mark();
}

bool isTempName(std::string_view name, pid_t* maker)
{
    const auto at = name.rfind(kMark);
    if (at == std::string_view::npos)
        return false;
    std::string_view rest = name.substr(at + kMark.size());
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9 || rest.size() != dash + 7)
        return false;
    long pid = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(rest[i])))
            return false;
        pid = pid * 10 + (rest[i] - '0');
    }
    for (std::size_t i = dash + 1; i < rest.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(rest[i])))
            return false;
    if (maker)
        *maker = pid_t(pid);
    return pid > 0;
}

} // namespace userfiles
