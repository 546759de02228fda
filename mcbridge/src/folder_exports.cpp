// The calls only folder cards answer.
#include "emulated_adapter.h"
#include "folder_medium.h"
#include "library.h"

#include <algorithm>
#include <cstring>

namespace {

const mcb::FolderMedium* folderOf(const mcb::Library& l)
{
    auto* adapter = dynamic_cast<mcb::EmulatedAdapter*>(l.device.get());
    return adapter ? dynamic_cast<const mcb::FolderMedium*>(&adapter->medium()) : nullptr;
}

} // namespace

extern "C" {

MCB_API int mcb_folder_file(mcb_card* card, uint32_t index, mcb_aside_file* out)
{
    return mcb::onCard(card, mcb::Access::Read, [&](int& value) -> int32_t {
        if (out && out->size < sizeof(mcb_aside_file))
            return mcb::fail(MCB_ERROR_BAD_ARGUMENT);
        const mcb::FolderMedium* folder = folderOf(*card);
        if (!folder)
            return 1; // no folder, nothing set aside
        const auto& aside = folder->setAside();
        value = int(aside.size());
        if (out && index < aside.size()) {
            const std::string& name = aside[index].name;
            const std::size_t n = std::min(name.size(), sizeof out->name - 1);
            std::memcpy(out->name, name.data(), n);
            out->name[n] = '\0';
            out->reason = uint32_t(aside[index].reason);
        }
        return 1;
    });
}

} // extern "C"
