// An adapter on USB reached through libusb: the first device with the given
// vendor and product, its bulk OUT and IN endpoints taken from the active
// configuration.
#include "adapter.h"
#include "usb_settings.h"

#include "mcbridge.h"

#include <algorithm>
#include <atomic>
#include <libusb.h>
#include <limits>

namespace mcb {

namespace {

constexpr std::chrono::milliseconds kDefaultTimeout{5000};
std::atomic<long long> timeoutMs{kDefaultTimeout.count()};

// The whole transfer or nothing. A packet or sector that crossed only in part
// is no more use than one that did not cross at all, and its count must not
// let a caller that checks only for "some bytes" take it for a success; a
// time-out that let part of it through is such a partial transfer too.
int32_t whole(int rc, int done, uint16_t length)
{
    return rc == 0 && done == int(length) ? int32_t(length) : 0;
}

class UsbAdapter : public Adapter {
public:
    UsbAdapter(libusb_context* ctx, libusb_device_handle* h, int iface, uint8_t out, uint8_t in)
        : ctx_(ctx), handle_(h), interface_(iface), out_(out), in_(in)
    {
    }
    ~UsbAdapter() override { release(); }
    int32_t write(const uint8_t* data, uint16_t length) override
    {
        int done = 0;
        const int rc = libusb_bulk_transfer(handle_, out_, const_cast<uint8_t*>(data), length,
                                            &done, timeout());
        return whole(rc, done, length);
    }
    int32_t read(uint8_t* data, uint16_t length) override
    {
        int done = 0;
        const int rc = libusb_bulk_transfer(handle_, in_, data, length, &done, timeout());
        return whole(rc, done, length);
    }
    bool close() override
    {
        release();
        return true;
    }
    int kind() const override { return MCB_KIND_USB; }

private:
    static unsigned timeout() { return unsigned(usbTimeout().count()); }
    void release()
    {
        if (handle_) {
            libusb_release_interface(handle_, interface_);
            libusb_close(handle_);
            handle_ = nullptr;
        }
        if (ctx_) {
            libusb_exit(ctx_);
            ctx_ = nullptr;
        }
    }
    libusb_context* ctx_;
    libusb_device_handle* handle_;
    int interface_;
    uint8_t out_;
    uint8_t in_;
};

int32_t errorFor(int rc)
{
    switch (rc) {
    case LIBUSB_ERROR_ACCESS: return MCB_ERROR_ACCESS;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND: return MCB_ERROR_NOT_FOUND;
    case LIBUSB_ERROR_NO_MEM: return MCB_ERROR_NO_MEMORY;
    default: return MCB_ERROR_IO;
    }
}

struct BulkPair {
    int interface = 0;
    int alternate = 0;
    uint8_t out = 0;
    uint8_t in = 0;
};

// The first interface setting that has both a bulk OUT and a bulk IN
// endpoint. It may be an alternate setting: the interface is then switched to
// it after claiming, since the device takes transfers only on the endpoints
// of an interface's current setting.
bool findBulkEndpoints(libusb_device* dev, BulkPair& pair)
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(dev, &config) != 0 &&
        libusb_get_config_descriptor(dev, 0, &config) != 0)
        return false;
    bool found = false;
    for (int i = 0; i < config->bNumInterfaces && !found; ++i) {
        const libusb_interface& itf = config->interface[i];
        for (int a = 0; a < itf.num_altsetting && !found; ++a) {
            const libusb_interface_descriptor& d = itf.altsetting[a];
            int o = -1, n = -1;
            for (int e = 0; e < d.bNumEndpoints; ++e) {
                const libusb_endpoint_descriptor& ep = d.endpoint[e];
                if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                    continue;
                if ((ep.bEndpointAddress & LIBUSB_ENDPOINT_DIR_MASK) == LIBUSB_ENDPOINT_IN)
                    n = n < 0 ? ep.bEndpointAddress : n;
                else
                    o = o < 0 ? ep.bEndpointAddress : o;
            }
            if (o >= 0 && n >= 0) {
                pair = {d.bInterfaceNumber, d.bAlternateSetting, uint8_t(o), uint8_t(n)};
                found = true;
            }
        }
    }
    libusb_free_config_descriptor(config);
    return found;
}

} // namespace

void setUsbTimeout(std::chrono::milliseconds timeout)
{
    // libusb takes an unsigned count of milliseconds, 0 meaning "wait forever".
    const long long limit = std::numeric_limits<unsigned>::max();
    timeoutMs =
        timeout.count() > 0 ? std::min<long long>(timeout.count(), limit) : kDefaultTimeout.count();
}

std::chrono::milliseconds usbTimeout() { return std::chrono::milliseconds(timeoutMs.load()); }

OpenResult openUsbAdapter(uint16_t vendor, uint16_t product)
{
    OpenResult r;
    libusb_context* ctx = nullptr;
    if (libusb_init(&ctx) != 0) {
        r.error = MCB_ERROR_IO;
        return r;
    }
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(ctx, &list);
    libusb_device* match = nullptr;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor d;
        if (libusb_get_device_descriptor(list[i], &d) == 0 && d.idVendor == vendor &&
            d.idProduct == product) {
            match = libusb_ref_device(list[i]);
            break;
        }
    }
    if (count >= 0)
        libusb_free_device_list(list, 1);
    if (!match) {
        libusb_exit(ctx);
        r.error = count < 0 ? errorFor(int(count)) : MCB_ERROR_NOT_FOUND;
        return r;
    }
    BulkPair pair;
    libusb_device_handle* h = nullptr;
    int rc = findBulkEndpoints(match, pair) ? libusb_open(match, &h) : LIBUSB_ERROR_NOT_FOUND;
    libusb_unref_device(match);
    if (rc == 0) {
        libusb_set_auto_detach_kernel_driver(h, 1);
        rc = libusb_claim_interface(h, pair.interface);
        if (rc == 0 && pair.alternate != 0) {
            rc = libusb_set_interface_alt_setting(h, pair.interface, pair.alternate);
            if (rc != 0)
                libusb_release_interface(h, pair.interface);
        }
        if (rc != 0)
            libusb_close(h);
    }
    if (rc != 0) {
        libusb_exit(ctx);
        r.error = errorFor(rc);
        return r;
    }
    r.adapter = std::make_unique<UsbAdapter>(ctx, h, pair.interface, pair.out, pair.in);
    return r;
}

} // namespace mcb
