// The saves of the demo card: made-up games whose banners and icons are
// drawn here, one in each picture format a save can carry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

struct DemoSave {
    std::string fileName;       // for a save file: name + ".GCI"
    std::vector<uint8_t> bytes; // a whole save file: entry, then blocks
};

std::vector<DemoSave> demoSaves();

} // namespace demo
