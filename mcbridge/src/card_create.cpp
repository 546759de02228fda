// A blank card image that is another card: the per-game cards a split
// writes carry the identity of the card their saves came from, so that saves
// bound to that card's serial keep working on them.
#include "library.h"

#include "mcbridge/atomic_file.h"
#include "mcbridge/card_build.h"
#include "mcbridge/format.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mcb;

namespace {

// Writes the bytes under a temporary name beside path, flushed, then links
// them in under path: the link fails when path exists, however late another
// program made it, so nothing is ever written over.
int32_t createWhole(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const auto slash = path.rfind('/');
    std::string temp = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) +
                       ".new-card.XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return MCB_ERROR_FILE;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    const bool written = done == bytes.size() && ::fsync(fd) == 0;
    ::fchmod(fd, 0644);
    ::close(fd);
    int32_t result = MCB_SUCCESS;
    if (!written)
        result = MCB_ERROR_FILE;
    else if (::link(temp.c_str(), path.c_str()) != 0)
        result = errno == EEXIST ? MCB_ERROR_EXISTS : MCB_ERROR_FILE;
    ::unlink(temp.c_str());
    if (result == MCB_SUCCESS && !syncFolderOf(path))
        result = MCB_ERROR_FILE;
    return result;
}

} // namespace

extern "C" {

MCB_API int mcb_create_image_as(const char* path, uint32_t megabits, int32_t encoding,
                                const uint8_t* identity)
{
    return offCard([&](int&) -> int32_t {
        if (!path || !*path || !isCardSize(megabits) || (encoding != 0 && encoding != 1))
            return fail(MCB_ERROR_BAD_ARGUMENT);
        CardIdentity id{};
        if (identity)
            std::copy_n(identity, id.size(), id.begin());
        else
            id = identityOf(formatCard(freshFormat(megabits, Encoding::Ansi)));
        const CardBuilder blank(megabits, encoding ? Encoding::ShiftJis : Encoding::Ansi, id);
        const int32_t error = createWhole(path, blank.image());
        return error ? fail(error) : 1;
    });
}

} // extern "C"
