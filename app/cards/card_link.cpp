#include "cards/card_link.h"

#include "commands/failure_reason.h"

#include <cstring>

int CardLink::open(const QString& device, mcb_receiver* receiver)
{
    close();
    const QByteArray name = device.toLocal8Bit();
    const int code = mcb_open(name.isEmpty() ? "" : name.constData(), &fCard);
    if (code != MCB_OK)
        return code;
    mcb_set_receiver(fCard, receiver);
    return MCB_OK;
}

void CardLink::close()
{
    mcb_close(fCard);
    fCard = nullptr;
}

namespace {

QByteArray bounded(const QByteArray& field)
{
    const qsizetype nul = field.indexOf('\0');
    return nul < 0 ? field : field.left(nul);
}

// Asks for bytes into a buffer of the size expected, and once more with the
// size the library names when that was too small.
template <typename Call> QByteArray fetched(qsizetype expected, Call&& call)
{
    QByteArray out(expected, '\0');
    size_t length = 0;
    int code = call(out.data(), size_t(out.size()), &length);
    if (code == MCB_E_TOO_SMALL) {
        out.resize(qsizetype(length));
        code = call(out.data(), size_t(out.size()), &length);
    }
    if (code < 0)
        return {};
    out.truncate(qsizetype(length));
    return out;
}

} // namespace

std::optional<SlotEntry> entryAt(mcb_card* card, unsigned slot)
{
    QByteArray raw(MCB_ENTRY_SIZE, '\0');
    if (mcb_entry(card, slot, reinterpret_cast<uint8_t*>(raw.data()), size_t(raw.size())) < 0)
        return std::nullopt;
    const auto* e = reinterpret_cast<const uint8_t*>(raw.constData());
    SlotEntry s;
    s.name = bounded(raw.mid(MCB_ENTRY_NAME, MCB_ENTRY_NAME_SIZE));
    s.code = bounded(raw.mid(MCB_ENTRY_GAME, MCB_ENTRY_CODE_SIZE));
    s.blocks = unsigned(e[MCB_ENTRY_BLOCK_COUNT] << 8 | e[MCB_ENTRY_BLOCK_COUNT + 1]);
    s.raw = raw;
    return s;
}

QByteArray readSave(mcb_card* card, unsigned slot)
{
    const std::optional<SlotEntry> e = entryAt(card, slot);
    const qsizetype expected =
        MCB_ENTRY_SIZE + (e ? qsizetype(e->blocks) * MCB_BLOCK_SIZE : MCB_BLOCK_SIZE);
    return fetched(expected, [&](char* out, size_t capacity, size_t* length) {
        return mcb_read_save(card, slot, MCB_SAVE_GCI, out, capacity, length);
    });
}

std::optional<QByteArray> convertSave(const QByteArray& bytes, int32_t format)
{
    bool failed = false;
    QByteArray out = fetched(bytes.size(), [&](char* to, size_t capacity, size_t* length) {
        const int code = mcb_convert_bytes(bytes.constData(), size_t(bytes.size()), format, to,
                                           capacity, length);
        failed = code < 0 && code != MCB_E_TOO_SMALL;
        return code;
    });
    if (failed || out.isEmpty())
        return std::nullopt;
    return out;
}

QByteArray slotBitmap(mcb_card* card, unsigned slot)
{
    return fetched(MCB_BITMAP_MAX, [&](char* out, size_t capacity, size_t* length) {
        return mcb_slot_bitmap(card, slot, reinterpret_cast<uint8_t*>(out), capacity, length);
    });
}

QByteArray saveBitmap(const QByteArray& bytes)
{
    return fetched(MCB_BITMAP_MAX, [&](char* out, size_t capacity, size_t* length) {
        return mcb_save_bitmap(bytes.constData(), size_t(bytes.size()),
                               reinterpret_cast<uint8_t*>(out), capacity, length);
    });
}

QString withCodeReason(const QString& what, int code, mcb_card* card)
{
    QString text = withReason(what, errorOf(code));
    if (code != MCB_E_BUSY || !card)
        return text;
    char holder[128] = {};
    if (mcb_lock_holder(card, holder, sizeof holder) > 0 && text.endsWith(QLatin1Char(']'))) {
        text.chop(1);
        text += QStringLiteral(": ") + QString::fromLocal8Bit(holder) + QLatin1Char(']');
    }
    return text;
}

QString withCardReason(const QString& what, mcb_card* card)
{
    return withCodeReason(what, card ? mcb_card_error(card) : MCB_E_NOT_OPEN, card);
}

QByteArray cardImage(mcb_card* card)
{
    mcb_card_info info{};
    info.size = sizeof info;
    if (mcb_describe_card(card, &info) < 0)
        return {};
    QByteArray image(qsizetype(MCB_CARD_BYTES(info.megabits)), '\0');
    size_t length = 0;
    if (mcb_read_image(card, image.data(), size_t(image.size()), &length) < 0)
        return {};
    image.truncate(qsizetype(length));
    return image;
}
