// Backing up the whole card into an image file and restoring one.
#include "card_save_checks.h"
#include "failure_reason.h"
#include "gclink.h"
#include "main_form.h"
#include "save_list_view.h"

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

// What the card holds after a failed restore of the image at path: read back
// whole and compared, so "the whole image" is said only when it is so.
QString afterRestore(TMainForm& form, const QString& path)
{
    CardScratch scratch;
    const QString back = scratch.path(QStringLiteral("back.gcp"));
    if (IsConnected())
        CloseDevice();
    QFile image(path), read(back);
    if (!scratch.ok() || !OpenDevice(form.window()) || GetCardMemory() == 0 ||
        !ReadCardToFile(QFile::encodeName(back).constData()) || !image.open(QIODevice::ReadOnly) ||
        !read.open(QIODevice::ReadOnly))
        return say_cardunreadable;
    // Both are card images, at most 16 MiB.
    return image.size() == read.size() && image.readAll() == read.readAll() ? say_cardholdsimage
                                                                            : QString();
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

// How the image at path goes onto the card: as it is when it was read from
// this card; when it was read from another, as the user answers. Nothing
// when the user cancels. unfit gets why the image cannot go on at all.
std::optional<int32_t> restoreMode(const QString& path, const QString& title, int32_t& unfit)
{
    unfit = MCB_SUCCESS;
    if (mcb_check_image(QFile::encodeName(path).constData()))
        return MCB_RESTORE_SAME_CARD;
    if (mcb_last_error() != MCB_ERROR_OTHER_CARD) {
        unfit = mcb_last_error();
        return MCB_RESTORE_SAME_CARD;
    }
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
        if (!path || (QFileInfo::exists(*path) &&
                      !skin::dialogs().askYesNo(i18n::overwriteQuestion(*path), windowTitle())))
            return;
        repaint();
        showBusy(say_saver_reading);
        if (ReadCardToFile(QFile::encodeName(*path).constData())) {
            Bar_pos(last);
            // Said as a single save's backup says it: a long copy that ends
            // without a word looks like one that stopped.
            OkBtnExe(say_Backupcomplete);
        } else {
            // The older file of that name, if any, is left as it was.
            OkBtnExe(withLastReason(say_readcardfailed + *path));
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
        int32_t unfit = MCB_SUCCESS;
        const std::optional<int32_t> how = restoreMode(*path, windowTitle(), unfit);
        if (!how)
            return;
        const QByteArray image = QFile::encodeName(*path);
        repaint();
        // The card as it is goes into a file first, whatever the image: a
        // restore replaces every save on the card. An image the library
        // refuses outright is refused before that.
        showBusy(say_saver_reading);
        const QString kept = freeKeptName(saverDir());
        if (unfit != MCB_SUCCESS) {
            OkBtnExe(withReason(say_writecardfailed + *path, unfit));
        } else if (!ReadCardToFile(QFile::encodeName(kept).constData())) {
            OkBtnExe(withLastReason(say_cardnotkept + *path));
            showFreeBlocks();
        } else {
            Bar_Init(0, last);
            showBusy(say_saver_writing);
            if (mcb_restore_card(image.constData(), *how)) {
                ShowGC();
                Bar_pos(last);
                OkBtnExe(say_cardkept + kept);
            } else {
                const QString failed = withLastReason(*path);
                // The failure may have come after the last write: the card is
                // read back before the user is told it may be incomplete.
                const QString holds = afterRestore(*this, *path);
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
