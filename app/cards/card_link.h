#pragma once

// A card the program holds open by handle for the length of a command: the
// card in the adapter, or the second card shown on the PC side. Saves move
// between a card and the program through memory, as the library's handle
// calls give them.

#include "mcbridge.h"

#include <QByteArray>
#include <QString>

#include <optional>

class CardLink {
public:
    CardLink() = default;
    ~CardLink() { close(); }
    CardLink(const CardLink&) = delete;
    CardLink& operator=(const CardLink&) = delete;

    // Opens the card device names (closing the one held before), its
    // progress going to receiver. MCB_OK, or why it could not be opened.
    int open(const QString& device, mcb_receiver* receiver);
    void close();
    bool isOpen() const { return fCard != nullptr; }
    mcb_card* get() const { return fCard; }

private:
    mcb_card* fCard = nullptr;
};

// A directory slot's entry as last loaded: its 64 bytes, and the name and
// code as the card compares them (up to a NUL).
struct SlotEntry {
    QByteArray raw;
    QByteArray name;
    QByteArray code;
    unsigned blocks = 0;
};
std::optional<SlotEntry> entryAt(mcb_card* card, unsigned slot);

// The save in slot as a plain save file, read whole from the card; empty
// when it could not be (mcb_card_error says why).
QByteArray readSave(mcb_card* card, unsigned slot);

// Every sector of the card, read into memory; empty when it could not be
// (mcb_card_error says why).
QByteArray cardImage(mcb_card* card);

// A save's bytes (any form) in another mcb_save_format; nothing when they
// are no save.
std::optional<QByteArray> convertSave(const QByteArray& bytes, int32_t format);

// The banner bitmap of the save in slot, or of a save's bytes; empty when
// there is none.
QByteArray slotBitmap(mcb_card* card, unsigned slot);
QByteArray saveBitmap(const QByteArray& bytes);

// A handle call's negative code as the mcb_error the notices word.
inline int32_t errorOf(int code) { return code < 0 ? -code : code; }

// what + the reason the handle's last call failed, in the user's language;
// for a card held by another program, who holds it when that can be told.
QString withCardReason(const QString& what, mcb_card* card);
QString withCodeReason(const QString& what, int code, mcb_card* card = nullptr);
