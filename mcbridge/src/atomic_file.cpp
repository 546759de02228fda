#include "mcbridge/atomic_file.h"

namespace mcb {

bool writeFileAtomically(const std::string& path, const void* data, std::size_t length,
                         bool durable)
{
    return bool(userfiles::writeFile(path, data, length, {.force = true, .durable = durable}));
}

NewFile writeNewFile(const std::string& path, const void* data, std::size_t length)
{
    const userfiles::WriteResult r = userfiles::writeFile(path, data, length, {.replace = false});
    if (r.refusal == userfiles::Refusal::Exists)
        return NewFile::Exists;
    return r ? NewFile::Written : NewFile::Failed;
}

} // namespace mcb
