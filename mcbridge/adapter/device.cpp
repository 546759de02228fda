// Choosing a backend from the device string.
#include "adapter.h"
#include "emulated_adapter.h"
#include "folder_medium.h"

#include "mcbridge.h"

#include <charconv>
#include <cstdlib>
#include <string>

namespace mcb {

OpenResult openUsbAdapter(uint16_t vendor, uint16_t product); // usb_adapter.cpp
OpenResult openNodeAdapter(const std::string& path);          // node_adapter.cpp

namespace {

AdapterFinder& finder()
{
    static AdapterFinder f;
    return f;
}

DeviceHook& deviceHook()
{
    static DeviceHook h;
    return h;
}

bool parseHex16(std::string_view s, uint16_t& out)
{
    if (s.empty() || s.size() > 4)
        return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out, 16);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

} // namespace

OpenResult openDevice(std::string_view device)
{
    if (deviceHook())
        if (std::optional<OpenResult> mine = deviceHook()(device))
            return std::move(*mine);
    OpenResult r;
    if (device.empty()) {
        r.error = MCB_ERROR_NO_DEVICE;
        return r;
    }
    if (device.starts_with("image:")) {
        const std::string path(device.substr(6));
        if (path.empty()) {
            r.error = MCB_ERROR_BAD_DEVICE;
            return r;
        }
        auto medium = FileMedium::open(path, r.error);
        if (!medium)
            return r;
        const char* faults = std::getenv("MCBRIDGE_FAULTS");
        r.adapter = std::make_unique<EmulatedAdapter>(std::move(medium), nullptr,
                                                      parseFaults(faults ? faults : ""));
        return r;
    }
    if (device.starts_with("folder:")) {
        const char* faults = std::getenv("MCBRIDGE_FAULTS");
        const std::string_view faultText = faults ? faults : "";
        auto medium = FolderMedium::open(parseFolderSpec(device.substr(7)), r.error,
                                         parseFolderFaults(faultText));
        if (!medium)
            return r;
        r.adapter =
            std::make_unique<EmulatedAdapter>(std::move(medium), nullptr, parseFaults(faultText));
        return r;
    }
    if (device.starts_with("usb:")) {
        const std::string_view ids = device.substr(4);
        const auto colon = ids.find(':');
        uint16_t vendor = 0, product = 0;
        if (colon == std::string_view::npos || !parseHex16(ids.substr(0, colon), vendor) ||
            !parseHex16(ids.substr(colon + 1), product)) {
            r.error = MCB_ERROR_BAD_DEVICE;
            return r;
        }
        return openUsbAdapter(vendor, product);
    }
    if (device.front() == '/')
        return openNodeAdapter(std::string(device));
    r.error = MCB_ERROR_BAD_DEVICE;
    return r;
}

void setAdapterFinder(AdapterFinder f) { finder() = std::move(f); }

void setDeviceHook(DeviceHook h) { deviceHook() = std::move(h); }

OpenResult findAdapter()
{
    if (finder())
        return finder()();
    const char* device = std::getenv("MCBRIDGE_DEVICE");
    return openDevice(device ? device : "");
}

} // namespace mcb
