#pragma once

// What stands between the user and the card: no adapter set, an adapter that
// does not answer, no formatted card in it, or a card image that may only be
// read. The status line names it briefly; a notice says why and what to do.

#include "mcbridge.h"

#include <QString>

#include <functional>

enum class CardState { NoAdapter, NoAnswer, NotACard, Ready };

struct CardProbe {
    CardState state = CardState::NoAdapter;
    int32_t error = MCB_SUCCESS; // the library's reason when not Ready
    bool readOnly = false;       // a card image the user may not write
};

// Opens the adapter, asks the card's size and closes again, like
// GCLINK::InitConnectCard (whose size state it fills), keeping why it failed.
CardProbe probeCard(mcb_receiver* window);

// The card a ShowGC could not list: the directory the library refused.
CardProbe unreadableCard(int32_t error, bool readOnly);

// The short text for the status line; empty for a card that is ready.
QString cardStatusText(const CardProbe& probe);
// The notice for a user who asked for the card: what is wrong and why.
QString cardNoticeText(const CardProbe& probe);

// True when the device chosen is a card image file the user may not write:
// the library then opens it for reading only and every write fails.
bool deviceIsReadOnlyImage();
// Whether the user may write the image file at path (access(2) by default);
// tests, which may run as root, replace it.
extern std::function<bool(const QString& path)> imageWritable;
