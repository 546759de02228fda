#include "simulated_adapter.h"

#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/ioctl.h>

#include <linux/usbdevice_fs.h>

namespace usbtest {

namespace {

void put16(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

// The owned reference umockdev hands out, released at the end of a scope.
struct Data {
    UMockdevIoctlData* p;
    explicit Data(UMockdevIoctlData* d) : p(d) {}
    ~Data()
    {
        if (p)
            umockdev_ioctl_data_unref(p);
    }
    Data(const Data&) = delete;
    Data& operator=(const Data&) = delete;
    explicit operator bool() const { return p != nullptr; }
    UMockdevIoctlData* operator->() const { return p; }
};

} // namespace

std::vector<uint8_t> descriptorBytes(const UsbDevice& device)
{
    std::vector<uint8_t> body;
    for (std::size_t i = 0; i < device.interfaces.size(); ++i) {
        const Interface& itf = device.interfaces[i];
        for (std::size_t a = 0; a < itf.alternates.size(); ++a) {
            const AltSetting& alt = itf.alternates[a];
            body.insert(body.end(), {9, 4, uint8_t(i), uint8_t(a), uint8_t(alt.endpoints.size()),
                                     0xFF, 0, 0, 0});
            for (const Endpoint& e : alt.endpoints) {
                const bool bulk = e.attributes == 2;
                body.insert(body.end(), {7, 5, e.address, e.attributes});
                put16(body, bulk ? 512 : 64);
                body.push_back(bulk ? 0 : 10);
            }
        }
    }
    std::vector<uint8_t> out = {18, 1};
    put16(out, 0x0200); // USB 2.0
    out.insert(out.end(), {0, 0, 0, 64});
    put16(out, device.vendor);
    put16(out, device.product);
    put16(out, 0x0100);
    out.insert(out.end(), {0, 0, 0, 1});
    out.insert(out.end(), {9, 2});
    put16(out, unsigned(9 + body.size()));
    out.insert(out.end(), {uint8_t(device.interfaces.size()), 1, 0, 0x80, 50});
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

SimulatedAdapter::SimulatedAdapter(UsbDevice device, std::vector<uint8_t> image, mcb::Faults faults,
                                   AfterDrop afterDrop)
    : device_(std::move(device)), afterDrop_(afterDrop), handler_(umockdev_ioctl_base_new()),
      card_(std::make_shared<mcb::MemoryMedium>(std::move(image))),
      traffic_(std::make_shared<mcb::Traffic>()), adapter_(card_, traffic_, faults)
{
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(onIoctl), this);
}

SimulatedAdapter::~SimulatedAdapter()
{
    g_signal_handlers_disconnect_by_data(handler_, this);
    g_object_unref(handler_);
    for (const Finished& f : finished_)
        umockdev_ioctl_data_unref(f.urb);
    for (UMockdevIoctlData* u : hanging_)
        umockdev_ioctl_data_unref(u);
}

int SimulatedAdapter::onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, void* self)
{
    return static_cast<SimulatedAdapter*>(self)->handle(client);
}

void SimulatedAdapter::pullPlug()
{
    std::lock_guard lock(mutex_);
    unplugged_ = true;
}

bool SimulatedAdapter::unplugged() const
{
    std::lock_guard lock(mutex_);
    return unplugged_;
}

std::vector<uint8_t> SimulatedAdapter::image() const
{
    std::lock_guard lock(mutex_);
    return card_->bytes();
}

mcb::Traffic SimulatedAdapter::traffic() const
{
    std::lock_guard lock(mutex_);
    return *traffic_;
}

std::vector<SimulatedAdapter::Urb> SimulatedAdapter::urbs() const
{
    std::lock_guard lock(mutex_);
    return urbs_;
}

std::vector<unsigned> SimulatedAdapter::claims() const
{
    std::lock_guard lock(mutex_);
    return claims_;
}

std::map<unsigned, unsigned> SimulatedAdapter::altSettings() const
{
    std::lock_guard lock(mutex_);
    return alt_;
}

unsigned SimulatedAdapter::discarded() const
{
    std::lock_guard lock(mutex_);
    return discarded_;
}

bool SimulatedAdapter::handle(UMockdevIoctlClient* client)
{
    std::lock_guard lock(mutex_);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    // Reaping goes on after a disconnect, so that libusb can collect what
    // was cut off; everything else finds the device gone.
    if (unplugged_ && request != USBDEVFS_REAPURB && request != USBDEVFS_REAPURBNDELAY) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return true;
    }
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        Data caps(umockdev_ioctl_data_resolve(arg, 0, sizeof(uint32_t), nullptr));
        const uint32_t value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                               USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
        std::memcpy(caps->data, &value, sizeof value);
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_DISCONNECT_CLAIM: // both start with the interface number
        claims_.push_back(interfaceArgument(arg));
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    case USBDEVFS_RELEASEINTERFACE: umockdev_ioctl_client_complete(client, 0, 0); return true;
    case USBDEVFS_SETINTERFACE: {
        Data d(umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_setinterface), nullptr));
        usbdevfs_setinterface s;
        std::memcpy(&s, d->data, sizeof s);
        const bool exists = s.interface < device_.interfaces.size() &&
                            s.altsetting < device_.interfaces[s.interface].alternates.size();
        if (exists)
            alt_[s.interface] = s.altsetting;
        umockdev_ioctl_client_complete(client, exists ? 0 : -1, exists ? 0 : EINVAL);
        return true;
    }
    case USBDEVFS_SUBMITURB: submit(client, arg); return true;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: reap(client, arg); return true;
    case USBDEVFS_DISCARDURB: discard(client, arg); return true;
    default:
        // Anything else (giving a kernel driver back, say): no such thing here.
        umockdev_ioctl_client_complete(client, -1, ENOTTY);
        return true;
    }
}

unsigned SimulatedAdapter::interfaceArgument(UMockdevIoctlData* arg)
{
    Data d(umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned), nullptr));
    unsigned value = 0;
    if (d)
        std::memcpy(&value, d->data, sizeof value);
    return value;
}

bool SimulatedAdapter::endpointActive(uint8_t endpoint) const
{
    for (std::size_t i = 0; i < device_.interfaces.size(); ++i) {
        const auto found = alt_.find(unsigned(i));
        const unsigned alt = found == alt_.end() ? 0 : found->second;
        for (const Endpoint& e : device_.interfaces[i].alternates.at(alt).endpoints)
            if (e.address == endpoint)
                return true;
    }
    return false;
}

void SimulatedAdapter::submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    Data urbData(umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr));
    usbdevfs_urb urb;
    std::memcpy(&urb, urbData->data, sizeof urb);
    // The kernel knows only the endpoints of the interfaces' current
    // settings; the adapter is spoken to in bulk transfers only.
    if (urb.type != USBDEVFS_URB_TYPE_BULK || !endpointActive(urb.endpoint)) {
        umockdev_ioctl_client_complete(client, -1, ENOENT);
        return;
    }
    Data buffer(umockdev_ioctl_data_resolve(urbData.p, offsetof(usbdevfs_urb, buffer),
                                            std::size_t(urb.buffer_length), nullptr));
    const uint16_t length = uint16_t(std::clamp(urb.buffer_length, 0, 0xFFFF));
    int32_t count = 0;
    if (buffer && urb.endpoint == device_.packetsOut)
        count = adapter_.write(buffer->data, length);
    else if (buffer && urb.endpoint == device_.answersIn)
        count = adapter_.read(buffer->data, length);
    urbs_.push_back({urb.endpoint, urb.buffer_length, count, 0});

    UMockdevIoctlData* kept = umockdev_ioctl_data_ref(urbData.p);
    if (count > 0) {
        finished_.push_back({kept, 0, count});
    } else if (adapter_.linkDropped() && afterDrop_ == AfterDrop::Unplugged) {
        // Cut off by the disconnect, as the host controller ends URBs in
        // flight when the device goes.
        unplugged_ = true;
        urbs_.back().status = -ESHUTDOWN;
        finished_.push_back({kept, -ESHUTDOWN, 0});
    } else {
        // A device with nothing to send or no room to take bytes keeps
        // saying "not yet": only the host's time-out ends the transfer.
        hanging_.push_back(kept);
    }
    umockdev_ioctl_client_complete(client, 0, 0);
}

void SimulatedAdapter::reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    if (finished_.empty()) {
        umockdev_ioctl_client_complete(client, -1, unplugged_ ? ENODEV : EAGAIN);
        return;
    }
    const Finished f = finished_.front();
    finished_.erase(finished_.begin());
    usbdevfs_urb urb;
    std::memcpy(&urb, f.urb->data, sizeof urb);
    urb.status = f.status;
    urb.actual_length = f.actual;
    std::memcpy(f.urb->data, &urb, sizeof urb);
    Data slot(umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr));
    umockdev_ioctl_data_set_ptr(slot.p, 0, f.urb);
    umockdev_ioctl_data_unref(f.urb);
    umockdev_ioctl_client_complete(client, 0, 0);
}

void SimulatedAdapter::discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg)
{
    // The argument is the URB's address in the client itself.
    unsigned long address = 0;
    std::memcpy(&address, arg->data, std::min<std::size_t>(sizeof address, arg->data_len));
    const auto it = std::find_if(hanging_.begin(), hanging_.end(),
                                 [&](UMockdevIoctlData* u) { return u->client_addr == address; });
    if (it == hanging_.end()) {
        umockdev_ioctl_client_complete(client, -1, EINVAL);
        return;
    }
    finished_.push_back({*it, -ENOENT, 0});
    hanging_.erase(it);
    ++discarded_;
    umockdev_ioctl_client_complete(client, 0, 0);
}

std::string TestBed::unavailable()
{
    const char* preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload"))
        return "umockdev's preload library is not loaded: run this test through "
               "umockdev-wrapper, as ctest does";
    return {};
}

TestBed::TestBed() : bed_(umockdev_testbed_new()) {}

TestBed::~TestBed() { g_object_unref(bed_); }

std::string TestBed::plug(const UsbDevice& device, SimulatedAdapter* adapter)
{
    const unsigned address = nextAddress_++;
    char node[32], name[16], ids[64];
    std::snprintf(node, sizeof node, "bus/usb/001/%03u", address);
    std::snprintf(name, sizeof name, "1-%u", address - 1);
    std::snprintf(ids, sizeof ids, "A: idVendor=%04x\\n\nA: idProduct=%04x\\n\n", device.vendor,
                  device.product);
    // The node answers before the device is announced, so that whoever
    // hears of it can open it at once.
    if (adapter)
        umockdev_testbed_attach_ioctl(bed_, (std::string("/dev/") + node).c_str(),
                                      adapter->handler(), nullptr);
    std::string hex;
    for (uint8_t b : descriptorBytes(device)) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", b);
        hex += two;
    }
    const std::string record =
        std::string("P: /devices/usb1/") + name + "\n" +
        (adapter ? std::string("N: ") + node + "\n" : std::string()) +
        "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: BUSNUM=001\n" +
        "E: DEVNUM=" + std::to_string(address) + "\n" + "E: DEVNAME=/dev/" + node + "\n" +
        "A: busnum=1\\n\n" + "A: devnum=" + std::to_string(address) + "\\n\n" +
        "A: speed=480\\n\nA: bConfigurationValue=1\\n\n" + ids + "H: descriptors=" + hex + "\n";
    umockdev_testbed_add_from_string(bed_, record.c_str(), nullptr);
    const std::string sysPath = std::string("/sys/devices/usb1/") + name;
    umockdev_testbed_uevent(bed_, sysPath.c_str(), "add");
    return sysPath;
}

void TestBed::unplug(const std::string& sysPath, SimulatedAdapter* adapter)
{
    if (adapter)
        adapter->pullPlug();
    umockdev_testbed_uevent(bed_, sysPath.c_str(), "remove");
    umockdev_testbed_remove_device(bed_, sysPath.c_str());
}

} // namespace usbtest
