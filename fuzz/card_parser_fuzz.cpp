// Any card image: checked, loaded, listed and pictured. Nothing may crash,
// leak or read outside its buffers, and reading a card never writes to it.
#include "fuzz_card.h"
#include "mcbridge.h"
#include "mcbridge/inspect.h"

#include <vector>

using namespace mcbfuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::vector<uint8_t> image = cardFrom({data, size});
    const mcb::CardReport report = mcb::inspectCard(image);
    for (const mcb::SaveInfo& s : report.saves)
        if (s.slot >= mcb::kSaveSlotCount)
            violation("a save listed outside the directory", long(s.slot));

    FuzzCard card(image);
    if (!connect())
        return 0;
    if (InitSaverInfo()) {
        const std::string picture = scratch() + "/picture.bmp";
        for (uint32_t slot = 0; slot < 128; ++slot) {
            char name[33] = {}, code[7] = {};
            uint16_t blocks = 0;
            if (GetSaverInfo(slot, name, code, &blocks))
                GetSaverPIC(slot, picture.c_str());
        }
        char found[33] = {};
        FindSaver(picture.c_str(), found);
    }
    // The save file as a program would hold it in memory: an entry, then
    // the data the entry claims, taken from the input and zero-padded.
    if (size >= 64) {
        // At most 16 blocks, so that one run stays quick; the entry says so.
        const unsigned claimed = std::min<unsigned>((unsigned(data[56]) << 8) | data[57], 16);
        std::vector<uint8_t> file(64 + std::size_t(claimed) * mcb::kBlockSize, 0);
        std::copy_n(data, std::min(size, file.size()), file.begin());
        mcb::putBe16(&file[mcb::kEntryBlockCount], uint16_t(claimed));
        GetBitmap(file.data(), (scratch() + "/file.bmp").c_str());
    }
    if (card.traffic().sectorWrites != 0 || card.traffic().erases != 0 || card.image() != image)
        violation("reading the card wrote to it", long(card.traffic().sectorWrites));
    return 0;
}
