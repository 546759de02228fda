// The byte link to an adapter: one blocking write or read per call, returning
// the byte count (0 on failure), no retries. Backends: USB through libusb, a
// device node, and the emulated adapter over a card image.
#pragma once

#include "file_lock.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
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

    // Sharing the card with other programs (see file_lock.h): an mcb_error.
    // A USB adapter needs none: its interface is claimed by one process.
    virtual int32_t lock(LockMode, std::chrono::milliseconds) { return 0; }
    virtual void unlock() {}
    virtual std::string lockHolder() const { return {}; }
    // True when the card may only be read (an image the user may not write).
    virtual bool readOnly() const { return false; }
    // False once the card behind the adapter is no longer the one opened:
    // an image file replaced by another file of its name.
    virtual bool sameMedium() const { return true; }
    // An mcb_card_kind.
    virtual int kind() const = 0;
    // Every call that reads or changes the card begins with begin(); every
    // call that changes it ends with settle(), told whether the change
    // succeeded. A card kept in another form than sectors (a folder of save
    // files) reads that form again in begin() when another program changed
    // it (true: what was loaded before is gone), and in settle() writes the
    // change through (or, after a failure, drops it): an mcb_error,
    // MCB_SUCCESS when the card and its form agree.
    virtual bool begin() { return false; }
    virtual int32_t settle(bool /*succeeded*/) { return 0; }
};

struct OpenResult {
    std::unique_ptr<Adapter> adapter;
    int32_t error = 0; // an mcb_error code when adapter is null
};

// Opens the backend a device string names (see mcbridge.h).
OpenResult openDevice(std::string_view device);

// Tests put cards of their own behind device strings of their choosing: the
// hook answers first, and nothing (std::nullopt) lets the string be read as
// usual. An empty function removes it.
using DeviceHook = std::function<std::optional<OpenResult>(std::string_view device)>;
void setDeviceHook(DeviceHook hook);

// Finding the adapter: by default the device string in MCBRIDGE_DEVICE. Tests
// put their own finder in its place; an empty function restores the default.
using AdapterFinder = std::function<OpenResult()>;
void setAdapterFinder(AdapterFinder finder);
OpenResult findAdapter();

} // namespace mcb
