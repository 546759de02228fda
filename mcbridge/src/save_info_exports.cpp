// The C face of save containers and save descriptions.
#include "library.h"
#include "mcbridge/chain.h"
#include "mcbridge/save_container.h"
#include "mcbridge/save_info.h"
#include "mcbridge/text_encoding.h"
#include "save_blocks.h"
#include "save_file.h"

#include <algorithm>
#include <cstring>

using namespace mcb;

static_assert(int(ContainerFault::CannotWrite) == MCB_SAVE_CANNOT_WRITE);
static_assert(int(ContainerFault::CountMismatch) == MCB_SAVE_COUNT_MISMATCH);
static_assert(int(SaveFormat::Sav) == MCB_SAVE_SAV);
static_assert(int(AnimationMode::Bounce) == MCB_ANIMATION_BOUNCE);

namespace {

// Why the last file these exports looked at was refused.
thread_local ContainerFault lastFault = ContainerFault::None;

int32_t refuse(ContainerFault fault)
{
    lastFault = fault;
    const bool unreadable = fault == ContainerFault::CannotOpen ||
                            fault == ContainerFault::ReadFailed ||
                            fault == ContainerFault::CannotWrite;
    return fail(unreadable ? MCB_ERROR_FILE : MCB_ERROR_NOT_A_SAVE);
}

template <std::size_t N> void putText(char (&out)[N], const std::string& text)
{
    // Cut at a character boundary, so a long text stays valid UTF-8.
    std::size_t n = std::min(text.size(), N - 1);
    while (n > 0 && n < text.size() && (uint8_t(text[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

void fill(mcb_save_info& out, const SaveInfo& in, uint32_t format)
{
    std::memset(&out, 0, sizeof out);
    putText(out.code, in.code);
    putText(out.name, in.name);
    putText(out.title, in.title);
    putText(out.comment, in.comment);
    out.has_comment = in.hasComment;
    out.encoding = uint32_t(in.encoding);
    out.modified = in.modified;
    out.year = in.when.year;
    out.month = in.when.month;
    out.day = in.when.day;
    out.hour = in.when.hour;
    out.minute = in.when.minute;
    out.second = in.when.second;
    out.permissions = in.permissions;
    out.copy_counter = in.copyCounter;
    out.blocks = in.blocks;
    out.format = format;
    out.animation = uint32_t(in.icons.mode);
    out.frame_count = uint32_t(in.icons.frames.size());
    out.icon_complete = in.icons.complete;
    for (std::size_t i = 0; i < in.icons.frames.size() && i < MCB_ICON_FRAMES; ++i) {
        const IconFrameRgba& f = in.icons.frames[i];
        out.frames[i].format = f.format;
        out.frames[i].delay = f.delay * kTicksPerDelayStep;
        std::memcpy(out.frames[i].rgba, f.rgba.data(), f.rgba.size());
    }
}

Encoding cardEncoding(const uint8_t* header)
{
    return getBe16(header + kHeaderEncoding) == uint16_t(Encoding::ShiftJis) ? Encoding::ShiftJis
                                                                             : Encoding::Ansi;
}

int32_t describeSlot(uint32_t slot, mcb_save_info* info)
{
    if (!info || slot >= kSaveSlotCount)
        return fail(MCB_ERROR_BAD_ARGUMENT);
    Library& l = lib();
    if (!l.device || !l.cardSized)
        return fail(MCB_ERROR_NOT_LOADED);
    // The header tells the encoding, and with the counter sectors whether
    // the directory and map loaded are still the card's: a listing that
    // describes every save after one load reads the system area once, and
    // a card changed since (swapped, or written by another program) is
    // loaded again.
    uint8_t header[kSectorSize];
    const bool headerRead = readWholeSector(0, header);
    if (!(headerRead && systemAreaAsLoaded(header)) && !loadSystemArea())
        return fail(MCB_ERROR_NOT_LOADED);
    const Block& dir = *l.directory;
    const EntryRef entry = entryAt(dir, slot);
    if (entry.empty())
        return fail(MCB_ERROR_NO_SAVE);
    const Chain chain = followChain(*l.map, entry.firstBlock(), entry.blockCount(), saveArea());
    if (!chain.sound())
        return fail(MCB_ERROR_BROKEN_CHAIN);
    if (!headerRead)
        return fail(MCB_ERROR_IO);
    ChainSectors data(chain.blocks);
    const SaveInfo described = describeSave(entry, std::ref(data), cardEncoding(header));
    if (data.failed())
        return fail(MCB_ERROR_IO);
    fill(*info, described, 0);
    return 1;
}

} // namespace

extern "C" {

MCB_API int32_t mcb_save_format(const char* path)
{
    return guarded([&]() -> int32_t {
        lastFault = ContainerFault::None;
        if (!path)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        const SaveFile file(path);
        if (file.fault() != ContainerFault::None)
            return refuse(file.fault());
        return int32_t(file.container().format);
    });
}

MCB_API int32_t mcb_save_fault(void) { return int32_t(lastFault); }

MCB_API int32_t mcb_convert_save(const char* in, const char* out, int32_t format)
{
    return guarded([&]() -> int32_t {
        lastFault = ContainerFault::None;
        const auto f = formatFrom(format);
        if (!in || !out || !f)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        const ContainerFault fault = convertSave(in, out, *f);
        return fault == ContainerFault::None ? 1 : refuse(fault);
    });
}

MCB_API int32_t mcb_save_info_file(const char* path, mcb_save_info* info)
{
    return guarded([&]() -> int32_t {
        lastFault = ContainerFault::None;
        if (!path || !info)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        const SaveFile file(path);
        if (file.fault() != ContainerFault::None)
            return refuse(file.fault());
        const Container& c = file.container();
        BlockReader data(c.blocks, [&](unsigned index, Block& out) {
            return file.readData(uint64_t(index) * kBlockSize, out.data(), out.size());
        });
        const EntryRef entry{c.entry.data()};
        const SaveInfo described =
            describeSave(entry, std::ref(data), encodingForCode({c.entry.data(), kEntryCodeSize}));
        if (data.failed())
            return refuse(ContainerFault::ReadFailed);
        fill(*info, described, uint32_t(c.format));
        return 1;
    });
}

MCB_API int32_t mcb_save_info_slot(uint32_t slot, mcb_save_info* info)
{
    return guarded(Access::Read, [&] { return describeSlot(slot, info); });
}

MCB_API int mcb_describe_slot(mcb_card* card, uint32_t slot, mcb_save_info* info)
{
    return onCard(card, Access::Read, [&](int&) { return describeSlot(slot, info); });
}

MCB_API int mcb_describe_save(const void* bytes, size_t length, mcb_save_info* info)
{
    return offCard([&](int&) -> int32_t {
        if (!bytes || !info)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        ContainerFault fault = ContainerFault::None;
        const auto save =
            saveFromBytes(std::span(static_cast<const uint8_t*>(bytes), length), &fault);
        if (!save)
            return refuse(fault);
        BlockReader data(save->blocks, [&](unsigned index, Block& out) {
            std::copy_n(save->data.begin() + std::ptrdiff_t(index) * kBlockSize, kBlockSize,
                        out.begin());
            return true;
        });
        const EntryRef entry{save->entry.data()};
        const SaveInfo described = describeSave(
            entry, std::ref(data), encodingForCode({save->entry.data(), kEntryCodeSize}));
        fill(*info, described, uint32_t(save->format));
        return 1;
    });
}

} // extern "C"
