#include "fuzz_card.h"

#include "adapter.h"
#include "mcbridge.h"
#include "mcbridge/format.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace mcbfuzz {

std::vector<uint8_t> cardFrom(std::span<const uint8_t> input)
{
    std::vector<uint8_t> image(mcb::cardBytes(4), 0xFF);
    std::copy_n(input.begin(), std::min(input.size(), image.size()), image.begin());
    return image;
}

FuzzCard::FuzzCard(std::vector<uint8_t> image)
    : medium_(std::make_shared<mcb::MemoryMedium>(std::move(image))),
      traffic_(std::make_shared<mcb::Traffic>())
{
    traffic_->keepPackets = true;
    mcb::setAdapterFinder([this] {
        mcb::OpenResult r;
        r.adapter = std::make_unique<mcb::EmulatedAdapter>(medium_, traffic_);
        return r;
    });
}

FuzzCard::~FuzzCard()
{
    CloseDevice();
    mcb::setAdapterFinder({});
}

bool connect()
{
    if (IsConnected())
        CloseDevice();
    return OpenDevice(nullptr) && GetCardMemory() != 0;
}

const std::string& scratch()
{
    // The folder's name outlives every static object, so that it can still
    // be removed when the process exits.
    static char path[] = "/tmp/mcbridge-fuzz-XXXXXX";
    static const std::string dir = [] {
        if (!mkdtemp(path))
            std::abort();
        std::atexit([] { std::filesystem::remove_all(path); });
        return std::string(path);
    }();
    return dir;
}

void violation(const char* what, long detail)
{
    std::fprintf(stderr, "fuzz check failed: %s (%ld)\n", what, detail);
    std::abort();
}

} // namespace mcbfuzz
