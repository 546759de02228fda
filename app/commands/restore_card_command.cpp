#include "commands/restore_card_command.h"

#include "cards/card_session.h"
#include "cards/gclink.h"
#include "commands/card_images.h"
#include "commands/card_save_checks.h"
#include "commands/command_host.h"
#include "commands/failure_reason.h"
#include "commands/folder_files.h"
#include "commands/user_file.h"

#include "i18n/texts.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

// What the card holds after a failed restore of image: read back whole and
// compared, so "the whole image" is said only when it is so.
QString afterRestore(mcb_card* card, const QByteArray& image)
{
    const QByteArray back = cardImage(card);
    if (back.isEmpty())
        return say_cardunreadable;
    return back == image ? say_cardholdsimage : QString();
}

// A name in folder for the card as it is before a restore, from the time, that
// no file has yet: a restore never writes over an older one.
QString freeKeptName(const QString& folder)
{
    const QString base =
        QStringLiteral("card before restore ") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
    QString path = folder + QLatin1Char('/') + base + QStringLiteral(".gcp");
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder + QLatin1Char('/') + base + QLatin1Char(' ') + QString::number(n) +
               QStringLiteral(".gcp");
    return path;
}

// How an image goes onto the card: as it is when it was read from this
// card (its identity bytes, the header's first 32, are the card's); when
// it was read from another, as the user answers. Nothing when the user
// cancels. unfit gets why the image cannot go on at all: one that is not as
// long as the card is refused before anything is asked or kept.
std::optional<int32_t> restoreMode(CommandHost& host, mcb_card* card, const QByteArray& image,
                                   const QString& path, int32_t& unfit)
{
    unfit = MCB_SUCCESS;
    mcb_card_info info{};
    info.size = sizeof info;
    if (const int described = mcb_describe_card(card, &info); described < 0) {
        unfit = errorOf(described);
        return MCB_RESTORE_SAME_CARD;
    }
    if (uint64_t(image.size()) != MCB_CARD_BYTES(info.megabits)) {
        // Never written: the library checks an image's length before
        // anything else, and says why it is no image of this card (another
        // tool's header in front of it, or the wrong length).
        unfit = errorOf(
            mcb_write_image(card, image.constData(), size_t(image.size()), MCB_RESTORE_SAME_CARD));
        if (unfit == MCB_SUCCESS)
            unfit = MCB_ERROR_IMAGE_LENGTH;
        return MCB_RESTORE_SAME_CARD;
    }
    if (image.left(sizeof info.identity) ==
        QByteArray(reinterpret_cast<const char*>(info.identity), sizeof info.identity))
        return MCB_RESTORE_SAME_CARD;
    switch (host.dialogs().choose(Say_ask_OtherCard.arg(path), host.title(),
                                  {say_keepidentity, say_overwriteidentity, say_cancel})) {
    case 0: return MCB_RESTORE_KEEP_IDENTITY;
    case 1: return MCB_RESTORE_FORCE;
    default: return std::nullopt;
    }
}

} // namespace

RestoreCardCommand::RestoreCardCommand(CommandHost& host, CardSession& session, QString folder)
    : CardCommand(host, session), fFolder(std::move(folder))
{
}

void RestoreCardCommand::run()
{
    const int last = GCLINK::nmem / 16 - 1;
    fHost.progressRange(0, last);
    const std::optional<QString> path =
        fHost.dialogs().openFileName(imageDialog(fFolder, QStringLiteral("GCP")));
    if (!path)
        return;
    // An image is at most the largest card; one longer is no image.
    const std::optional<QByteArray> image =
        readLocalFile(QFile::encodeName(*path), qint64(MCB_CARD_BYTES(MCB_LARGEST_CARD)) + 1);
    if (!image) {
        fHost.tell(withReason(say_writecardfailed + *path, MCB_ERROR_FILE));
        return;
    }
    int32_t unfit = MCB_SUCCESS;
    const std::optional<int32_t> how = restoreMode(fHost, card(), *image, *path, unfit);
    if (!how)
        return;
    // The card as it is goes into a file first, whatever the image: a
    // restore replaces every save on the card. An image that cannot go on
    // is refused before that. The kept image is on the disk, flushed,
    // before the card is written.
    fHost.busy(say_saver_reading);
    const QString kept = freeKeptName(fFolder);
    const QByteArray before = unfit == MCB_SUCCESS ? cardImage(card()) : QByteArray();
    if (unfit != MCB_SUCCESS) {
        fHost.tell(withReason(say_writecardfailed + *path, unfit));
    } else if (before.isEmpty() || !writeNewUserFile(kept, before)) {
        fHost.tell(before.isEmpty() ? withCardReason(say_cardnotkept + *path, card())
                                    : withReason(say_cardnotkept + *path, MCB_ERROR_FILE));
        fHost.idle();
    } else {
        fHost.progressRange(0, last);
        fHost.busy(say_saver_writing);
        const int code = mcb_write_image(card(), image->constData(), size_t(image->size()), *how);
        if (code == MCB_OK) {
            fHost.changed(CommandHost::Changed::CardList);
            fHost.progressAt(last);
            fHost.tell(say_cardkept + kept);
        } else {
            if (code == MCB_E_CHANGED)
                markListingStale();
            const QString failed = withCodeReason(*path, code, card());
            // The failure may have come after the last write: the card is
            // read back before the user is told it may be incomplete. On a
            // link of its own: the failure may have ended this one.
            const QString holds =
                fSession.reopen() ? afterRestore(card(), *image) : say_cardunreadable;
            fHost.tell((holds.isEmpty() ? say_writecardfailed + failed
                                        : say_writecardfailed + withOutcome(failed, holds)) +
                       QLatin1Char('\n') + say_cardkept + kept);
            // Whatever the card holds now, the list must not show the old saves.
            fHost.changed(CommandHost::Changed::CardList);
        }
    }
    fHost.unselect(CommandHost::List::Files);
}
