#include "mcbridge/atomic_file.h"

namespace mcb {

bool writeFileAtomically(const std::string& path, const void* data, std::size_t length,
                         bool durable)
{
    return bool(userfiles::writeFile(path, data, length, {.force = true, .durable = durable}));
}

} // namespace mcb
