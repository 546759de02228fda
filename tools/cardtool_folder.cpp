#include "cardtool_folder.h"

#include "mcbridge.h"

#include <cstdio>
#include <sys/stat.h>

namespace cardtool {

namespace {

const char* reasonText(uint32_t reason)
{
    switch (reason) {
    case MCB_ASIDE_NOT_A_SAVE: return "not a save file";
    case MCB_ASIDE_NO_ROOM: return "no room on a card of this size";
    case MCB_ASIDE_NO_SLOT: return "the directory is full";
    case MCB_ASIDE_TWIN: return "a second file of a save shown";
    default: return "left alone";
    }
}

} // namespace

std::string folderProblem(const std::string& device)
{
    if (device.rfind("folder:", 0) != 0)
        return {};
    std::string path = device.substr(7);
    path = path.substr(0, path.rfind('?'));
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return "the folder " + path + " does not exist (make it first to start a folder card)";
    if (!S_ISDIR(st.st_mode))
        return path + " is not a folder";
    return {};
}

void printSetAside(const std::string& device)
{
    if (device.rfind("folder:", 0) != 0)
        return;
    mcb_card* card = nullptr;
    if (mcb_open(device.c_str(), &card) != MCB_OK)
        return;
    const int count = mcb_folder_file(card, 0, nullptr);
    if (count > 0)
        std::printf("Files left alone in the folder:\n");
    for (int i = 0; i < count; ++i) {
        mcb_aside_file f{};
        f.size = sizeof f;
        if (mcb_folder_file(card, uint32_t(i), &f) >= 0)
            std::printf("  %s (%s)\n", f.name, reasonText(f.reason));
    }
    mcb_close(card);
}

} // namespace cardtool
