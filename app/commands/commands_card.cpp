// Backing up the whole card into an image file and restoring one.
#include "cards/card_link.h"
#include "cards/gclink.h"
#include "commands/card_save_checks.h"
#include "commands/failure_reason.h"
#include "commands/user_file.h"
#include "window/folder_files.h"
#include "window/main_form.h"
#include "window/save_list_view.h"

#include "i18n/texts.h"
#include "skin/dialogs.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

// A .raw image holds the same bytes as a .gcp; the filter chosen in the
// backup dialog decides which name a new file gets.
skin::FileDialogSpec imageDialog(const QString& folder, const QString& suffix,
                                 const QString& fileName = QString())
{
    return {QString(), folder, fileName,
            QStringLiteral("GC saver format (*.GCP *.gcp);;") + say_rawimagefilter, suffix};
}

// A backup's suggested name tells cards and days apart in a folder of many:
// the card's size as the status area shows it, and today's date. Its
// extension is the dialog's first filter's, which the dialog starts on.
QString backupName(const QDate& day)
{
    QString size = GCLINK::Size;
    size.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
    return QStringLiteral("card-") + size + QLatin1Char('-') + day.toString(Qt::ISODate) +
           QStringLiteral(".gcp");
}

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
std::optional<int32_t> restoreMode(mcb_card* card, const QByteArray& image, const QString& path,
                                   const QString& title, int32_t& unfit)
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
    switch (skin::dialogs().choose(Say_ask_OtherCard.arg(path), title,
                                   {say_keepidentity, say_overwriteidentity, say_cancel})) {
    case 0: return MCB_RESTORE_KEEP_IDENTITY;
    case 1: return MCB_RESTORE_FORCE;
    default: return std::nullopt;
    }
}

} // namespace

void TMainForm::ReadCardBtnClick()
{
    runCommand(b1, [this] {
        const int last = GCLINK::nmem / 16 - 1;
        Bar_Init(0, last);
        const std::optional<QString> path = skin::dialogs().saveFileName(
            imageDialog(saverDir(), QStringLiteral("gcp"), backupName(QDate::currentDate())));
        bool force = false;
        if (!path || !mayReplaceOutput(*path, windowTitle(), &force))
            return;
        repaint();
        showBusy(say_saver_reading);
        const QByteArray image = cardImage(link());
        if (image.isEmpty()) {
            OkBtnExe(withCardReason(say_readcardfailed + *path, link()));
        } else if (replaceUserFile(*path, image, force)) {
            Bar_pos(last);
            // Said as a single save's backup says it: a long copy that ends
            // without a word looks like one that stopped.
            OkBtnExe(say_Backupcomplete);
        } else {
            // The older file of that name, if any, is left as it was.
            OkBtnExe(withReason(say_readcardfailed + *path, MCB_ERROR_FILE));
        }
        showFreeBlocks();
        ListView1->clearSelection();
        ListView2->clearSelection();
    });
}

void TMainForm::WriteCardBtnClick()
{
    runCommand(b2, [this] {
        const int last = GCLINK::nmem / 16 - 1;
        Bar_Init(0, last);
        const std::optional<QString> path =
            skin::dialogs().openFileName(imageDialog(saverDir(), QStringLiteral("GCP")));
        if (!path)
            return;
        // An image is at most the largest card; one longer is no image.
        const std::optional<QByteArray> image =
            readLocalFile(QFile::encodeName(*path), qint64(MCB_CARD_BYTES(MCB_LARGEST_CARD)) + 1);
        if (!image) {
            OkBtnExe(withReason(say_writecardfailed + *path, MCB_ERROR_FILE));
            return;
        }
        int32_t unfit = MCB_SUCCESS;
        const std::optional<int32_t> how = restoreMode(link(), *image, *path, windowTitle(), unfit);
        if (!how)
            return;
        repaint();
        // The card as it is goes into a file first, whatever the image: a
        // restore replaces every save on the card. An image that cannot go
        // on is refused before that. The kept image is on the disk,
        // flushed, before the card is written.
        showBusy(say_saver_reading);
        const QString kept = freeKeptName(saverDir());
        const QByteArray before = unfit == MCB_SUCCESS ? cardImage(link()) : QByteArray();
        if (unfit != MCB_SUCCESS) {
            OkBtnExe(withReason(say_writecardfailed + *path, unfit));
        } else if (before.isEmpty() || !writeNewUserFile(kept, before)) {
            OkBtnExe(before.isEmpty() ? withCardReason(say_cardnotkept + *path, link())
                                      : withReason(say_cardnotkept + *path, MCB_ERROR_FILE));
            showFreeBlocks();
        } else {
            Bar_Init(0, last);
            showBusy(say_saver_writing);
            const int code =
                mcb_write_image(link(), image->constData(), size_t(image->size()), *how);
            if (code == MCB_OK) {
                ShowGC();
                Bar_pos(last);
                OkBtnExe(say_cardkept + kept);
            } else {
                if (code == MCB_E_CHANGED)
                    markListingStale();
                const QString failed = withCodeReason(*path, code, link());
                // The failure may have come after the last write: the card is
                // read back before the user is told it may be incomplete.
                // On a link of its own: the failure may have ended this one.
                const QString holds =
                    connectAdapter() ? afterRestore(link(), *image) : say_cardunreadable;
                OkBtnExe((holds.isEmpty() ? say_writecardfailed + failed
                                          : say_writecardfailed + withOutcome(failed, holds)) +
                         QLatin1Char('\n') + say_cardkept + kept);
                // Whatever the card holds now, the list must not show the old saves.
                ShowGC();
            }
        }
        ListView2->clearSelection();
    });
}
