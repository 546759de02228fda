#include "cards/card_status.h"

#include "cards/card_link.h"
#include "cards/gclink.h"
#include "cards/second_card.h"
#include "commands/failure_reason.h"

#include "i18n/texts.h"

#include <QFile>
#include <QFileInfo>

#include <unistd.h>

CardProbe probeCard(mcb_receiver* window)
{
    CardProbe probe;
    probe.readOnly = deviceIsReadOnlyImage();
    CardLink card;
    if (const int opened = card.open(mainDevice(), window); opened != MCB_OK) {
        probe.error = errorOf(opened);
        switch (probe.error) {
        case MCB_ERROR_NO_DEVICE: probe.state = CardState::NoAdapter; break;
        // No USB adapter plugged in (the program's default when none was
        // chosen): the user needs to know how to choose one.
        case MCB_ERROR_NOT_FOUND:
            probe.state = mainDevice().startsWith(QLatin1String("usb:")) ? CardState::NoAdapter
                                                                         : CardState::NoAnswer;
            break;
        // A file that is no card image at all: the same to the user as an
        // unformatted card.
        case MCB_ERROR_IMAGE_SIZE:
        case MCB_ERROR_BAD_DEVICE:
        // The card answered, but its header is no formatted card's.
        case MCB_ERROR_NOT_A_CARD: probe.state = CardState::NotACard; break;
        default: probe.state = CardState::NoAnswer; break;
        }
        return probe;
    }
    // The header was read at the open; the size is all the probe needs,
    // and a damaged directory (which the listing names) still has one.
    mcb_card_info info{};
    info.size = sizeof info;
    const int described = mcb_describe_card(card.get(), &info);
    if (described < 0 && described != MCB_E_DAMAGED) {
        probe.error = errorOf(described);
        probe.state = probe.error == MCB_ERROR_IO ? CardState::NoAnswer : CardState::NotACard;
    } else {
        probe.state = CardState::Ready;
        GCLINK::applyCardSize(int(info.megabits));
    }
    return probe;
}

CardProbe unreadableCard(int32_t error, bool readOnly)
{
    CardProbe probe;
    probe.error = error;
    probe.readOnly = readOnly;
    probe.state = error == MCB_ERROR_IO ? CardState::NoAnswer : CardState::NotACard;
    return probe;
}

QString cardStatusText(const CardProbe& probe)
{
    switch (probe.state) {
    case CardState::NoAdapter: return say_st_noadapter;
    case CardState::NoAnswer: return say_st_noanswer;
    case CardState::NotACard: return say_st_notacard;
    case CardState::Ready: break;
    }
    return {};
}

QString cardNoticeText(const CardProbe& probe)
{
    switch (probe.state) {
    case CardState::NoAdapter: return say_n_noadapter;
    case CardState::NoAnswer: return say_n_noanswer + reasonText(probe.error);
    case CardState::NotACard: return say_n_notacard + reasonText(probe.error);
    case CardState::Ready: break;
    }
    return probe.readOnly ? say_n_readonly : QString();
}

std::function<bool(const QString&)> imageWritable = [](const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
};

bool deviceIsReadOnlyImage()
{
    const QString device = mainDevice();
    if (!device.startsWith(QLatin1String("image:")))
        return false;
    const QString path = device.mid(6);
    // A missing image is made by the library, writable.
    return QFileInfo::exists(path) && !imageWritable(path);
}
