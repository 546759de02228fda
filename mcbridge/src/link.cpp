// The library's state, the raw link to the adapter and the link exports.
#include "library.h"

#include <new>

namespace mcb {

Library& lib()
{
    static Library state;
    return state;
}

Library::~Library()
{
    if (device)
        device->close();
}

SaveArea saveArea()
{
    Library& l = lib();
    return l.cardSized ? saveAreaFor(l.userBlockCount) : SaveArea{};
}

void progress(uintptr_t wParam)
{
    mcb_receiver* r = lib().progressWindow;
    if (r && r->send)
        r->send(r->context, WM_CARD_PROGRESS, wParam, 0);
}

int32_t RawWrite(const void* buffer, uint32_t length)
{
    Library& l = lib();
    if (!l.device)
        return 0;
    return l.device->write(static_cast<const uint8_t*>(buffer), uint16_t(length));
}

int32_t RawRead(void* buffer, uint32_t length)
{
    Library& l = lib();
    if (!l.device)
        return 0;
    return l.device->read(static_cast<uint8_t*>(buffer), uint16_t(length));
}

namespace {

// OpenDevice's reason goes both to the receiver, where callers have always
// looked, and to mcb_last_error.
void setError(mcb_receiver* r, int32_t error)
{
    if (r)
        r->error = error;
    if (error != MCB_SUCCESS)
        fail(error);
}

} // namespace

} // namespace mcb

using namespace mcb;

extern "C" {

MCB_API int32_t OpenDevice(mcb_receiver* window)
{
    return guarded([&]() -> int32_t {
        Library& l = lib();
        l.progressWindow = window;
        l.loaded = false; // whatever card is there now has not been read yet
        OpenResult found = findAdapter();
        if (!found.adapter) {
            setError(window, found.error);
            return 0;
        }
        l.device = std::move(found.adapter);
        if (!l.directory || !l.map) {
            l.directory.reset(new (std::nothrow) Block{});
            l.map.reset(new (std::nothrow) Block{});
            if (!l.directory || !l.map) {
                l.directory.reset();
                l.map.reset();
                setError(window, MCB_ERROR_NO_MEMORY);
                return 0;
            }
        }
        if (!sendLinkBegin(0xFF)) {
            setError(window, MCB_ERROR_IO);
            return 0;
        }
        setError(window, MCB_SUCCESS);
        return 1;
    });
}

MCB_API int32_t CloseDevice(void)
{
    return guarded([&]() -> int32_t {
        Library& l = lib();
        if (!l.device)
            return fail(MCB_ERROR_NOT_OPEN);
        sendLinkEnd();
        const bool closed = l.device->close();
        // A handle whose close failed is no use to anyone: forget it too, or
        // every later command would find the adapter "still connected".
        l.device.reset();
        l.loaded = false;
        return closed ? 1 : fail(MCB_ERROR_IO);
    });
}

MCB_API int32_t IsConnected(void) { return lib().device ? 1 : 0; }

MCB_API void* DriverHandle(void) { return lib().device.get(); }

} // extern "C"

extern "C" {

MCB_API int32_t mcb_last_error(void) { return lib().lastError; }

MCB_API int32_t mcb_space(uint32_t* needed, uint32_t* free)
{
    const Library& l = lib();
    if (l.lastError != MCB_ERROR_NO_ROOM)
        return 0;
    if (needed)
        *needed = l.spaceNeeded;
    if (free)
        *free = l.spaceFree;
    return 1;
}

} // extern "C"
