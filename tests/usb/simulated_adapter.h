// The adapter as a USB device simulated in user space: a umockdev test bed
// holds its sysfs entry and descriptors, and its device node answers the
// usbfs requests libusb makes (claiming interfaces, submitting, reaping and
// discarding URBs). What the bulk transfers carry is played by the emulated
// adapter over a card held in memory, so that libusb, the library's USB
// backend and everything above them run as they would on the bus.
#pragma once

#include "card_medium.h"
#include "emulated_adapter.h"

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace usbtest {

// The descriptors a device shows; endpoint attributes are the transfer type
// (2 bulk, 3 interrupt).
struct Endpoint {
    uint8_t address;
    uint8_t attributes = 2;
};
struct AltSetting {
    std::vector<Endpoint> endpoints;
};
struct Interface {
    std::vector<AltSetting> alternates;
};
struct UsbDevice {
    uint16_t vendor = 0;
    uint16_t product = 0;
    std::vector<Interface> interfaces;
    // Where the adapter takes its packets and sends its answers.
    uint8_t packetsOut = 0;
    uint8_t answersIn = 0;
};

// The adapter as the tests plug it: these ids, one interface with a bulk OUT
// and a bulk IN endpoint.
constexpr uint16_t kVendor = 0xfff0;
constexpr uint16_t kProduct = 0x0c4d;
inline UsbDevice adapterDevice()
{
    UsbDevice device;
    device.vendor = kVendor;
    device.product = kProduct;
    device.interfaces = {Interface{{AltSetting{{Endpoint{0x01}, Endpoint{0x81}}}}}};
    device.packetsOut = 0x01;
    device.answersIn = 0x81;
    return device;
}

// The device string that names a USB device with these ids.
inline std::string deviceString(uint16_t vendor, uint16_t product)
{
    char s[16];
    std::snprintf(s, sizeof s, "usb:%04x:%04x", vendor, product);
    return s;
}

// The device, configuration, interface and endpoint descriptors, as sysfs
// shows them in a device's "descriptors" file.
std::vector<uint8_t> descriptorBytes(const UsbDevice& device);

// What a device does once the emulated adapter behind it has dropped its
// link (a fault injected with mcb::Faults).
enum class AfterDrop {
    StopsAnswering, // every later URB stays pending: libusb's time-out ends it
    Unplugged,      // the URB in flight fails as cut off, every later request with ENODEV
};

// Answers one device node's usbfs requests. Lives on umockdev's thread as
// well as the test's: everything it keeps is behind one lock.
class SimulatedAdapter {
public:
    SimulatedAdapter(UsbDevice device, std::vector<uint8_t> image, mcb::Faults faults = {},
                     AfterDrop afterDrop = AfterDrop::StopsAnswering);
    ~SimulatedAdapter();
    SimulatedAdapter(const SimulatedAdapter&) = delete;
    SimulatedAdapter& operator=(const SimulatedAdapter&) = delete;

    const UsbDevice& device() const { return device_; }
    UMockdevIoctlBase* handler() const { return handler_; }

    // The plug is pulled: every request but reaping fails with ENODEV.
    void pullPlug();
    bool unplugged() const;

    struct Urb {
        uint8_t endpoint;
        int length;
        int actual;
        int status;
    };
    // Copies taken under the lock.
    std::vector<uint8_t> image() const;
    mcb::Traffic traffic() const;
    std::vector<Urb> urbs() const;        // every URB submitted, answered or not
    std::vector<unsigned> claims() const; // interfaces claimed, in order
    std::map<unsigned, unsigned> altSettings() const;
    unsigned discarded() const; // URBs cancelled by libusb (time-outs)

private:
    struct Finished {
        UMockdevIoctlData* urb;
        int status;
        int actual;
    };
    static int onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self);
    bool handle(UMockdevIoctlClient* client);
    void submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    void discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg);
    bool endpointActive(uint8_t endpoint) const;
    unsigned interfaceArgument(UMockdevIoctlData* arg);

    const UsbDevice device_;
    const AfterDrop afterDrop_;
    UMockdevIoctlBase* handler_;

    mutable std::mutex mutex_;
    std::shared_ptr<mcb::MemoryMedium> card_;
    std::shared_ptr<mcb::Traffic> traffic_;
    mcb::EmulatedAdapter adapter_;
    bool unplugged_ = false;
    std::vector<Finished> finished_;          // answered, waiting to be reaped
    std::vector<UMockdevIoctlData*> hanging_; // never to be answered
    std::vector<Urb> urbs_;
    std::vector<unsigned> claims_;
    std::map<unsigned, unsigned> alt_;
    unsigned discarded_ = 0;
};

// A umockdev test bed: sysfs, /dev and uevents of its own for everything in
// this process that goes through umockdev's preload library.
class TestBed {
public:
    // Why no test bed can run in this process, or empty when one can.
    static std::string unavailable();

    TestBed();
    ~TestBed();
    TestBed(const TestBed&) = delete;
    TestBed& operator=(const TestBed&) = delete;

    // Puts a device on bus 1 and announces it with an "add" uevent. With an
    // adapter it gets a device node answered by it; without, libusb can list
    // it but not open it. Returns the device's sysfs path.
    std::string plug(const UsbDevice& device, SimulatedAdapter* adapter = nullptr);
    // Pulls the plug: the adapter (if any) fails from now on, a "remove"
    // uevent goes out and the device leaves sysfs.
    void unplug(const std::string& sysPath, SimulatedAdapter* adapter = nullptr);

private:
    UMockdevTestbed* bed_;
    unsigned nextAddress_ = 2;
};

} // namespace usbtest
