// The byte link to an adapter: one blocking write or read per call, returning
// the byte count (0 on failure), no retries. Backends: USB through libusb, a
// device node, and the emulated adapter over a card image.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace mcb {

class Adapter {
public:
    virtual ~Adapter() = default;
    virtual int32_t write(const uint8_t* data, uint16_t length) = 0;
    virtual int32_t read(uint8_t* data, uint16_t length) = 0;
    // Releases the device; false when the release itself failed.
    virtual bool close() = 0;
    // Real adapters need a moment between a read command and its data.
    virtual bool pausesBeforeRead() const { return true; }
};

struct OpenResult {
    std::unique_ptr<Adapter> adapter;
    int32_t error = 0; // an mcb_error code when adapter is null
};

// Opens the backend a device string names (see mcbridge.h).
OpenResult openDevice(std::string_view device);

// Finding the adapter: by default the device string in MCBRIDGE_DEVICE. Tests
// put their own finder in its place; an empty function restores the default.
using AdapterFinder = std::function<OpenResult()>;
void setAdapterFinder(AdapterFinder finder);
OpenResult findAdapter();

} // namespace mcb
