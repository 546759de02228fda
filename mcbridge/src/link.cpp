// The library's state, the raw link to the adapter and the link exports.
#include "library.h"

#include <cstring>
#include <new>

namespace mcb {

namespace {
thread_local Library* bound = nullptr;
} // namespace

Library& defaultCard()
{
    static Library state;
    return state;
}

Library& lib() { return bound ? *bound : defaultCard(); }

Library& threadCard()
{
    thread_local Library card;
    return card;
}

bool giveBytes(std::span<const uint8_t> bytes, void* out, std::size_t capacity, std::size_t* length)
{
    if (length)
        *length = bytes.size();
    // Nothing to give fits any buffer, a missing one too (and an empty
    // span's data may be null, which memcpy must never see).
    if (bytes.empty())
        return true;
    if (!out || capacity < bytes.size())
        return fail(MCB_ERROR_TOO_SMALL);
    std::memcpy(out, bytes.data(), bytes.size());
    return true;
}

Bound::Bound(Library& card) : previous_(bound) { bound = &card; }

Bound::~Bound() { bound = previous_; }

CallLock::CallLock(Library& card, Access access) : card_(card)
{
    if (access == Access::None || !card.device || card.writeLocked)
        return;
    if (access == Access::Read) {
        error_ = card.device->lock(LockMode::Shared, card.lockWait);
        shared_ = error_ == MCB_SUCCESS;
    } else if (card.device->readOnly()) {
        error_ = MCB_ERROR_READ_ONLY;
    } else {
        error_ = card.device->lock(LockMode::Exclusive, card.lockWait);
        card.writeLocked = error_ == MCB_SUCCESS;
    }
    if (error_ == MCB_ERROR_BUSY)
        card.lockHolder = card.device->lockHolder();
}

CallLock::~CallLock()
{
    if (shared_ && card_.device && !card_.writeLocked)
        card_.device->unlock();
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

} // namespace

int32_t openLink(Library& l)
{
    l.loaded = false; // whatever card is there now has not been read yet
    l.headerKnown = false;
    l.writeLocked = false;
    OpenResult found = l.byName ? openDevice(l.deviceName) : findAdapter();
    if (!found.adapter)
        return found.error;
    l.device = std::move(found.adapter);
    if (!l.directory || !l.map) {
        l.directory.reset(new (std::nothrow) Block{});
        l.map.reset(new (std::nothrow) Block{});
        if (!l.directory || !l.map) {
            l.directory.reset();
            l.map.reset();
            return MCB_ERROR_NO_MEMORY;
        }
    }
    return sendLinkBegin(0xFF) ? MCB_SUCCESS : MCB_ERROR_IO;
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
        const int32_t error = openLink(l);
        setError(window, error);
        return error == MCB_SUCCESS ? 1 : 0;
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
        // Closing it gives up the write lock.
        l.device.reset();
        l.writeLocked = false;
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
