// The card list and the file list, the listing command, and the shortcuts
// on the lists.
#include "gclink.h"
#include "main_form.h"
#include "save_list_view.h"
#include "save_names.h"

#include "i18n/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace {

// A save file: its 64-byte directory entry, then its 8 KB blocks. No save is
// larger than the save area of the largest card (2,043 blocks).
constexpr qsizetype cEntrySize = 64;
constexpr qsizetype cBlockSize = 8192;
constexpr int cEntryBlockCount = 56;
constexpr unsigned cLargestSaveBlocks = GCLINK::Max_BlockonCard128;
constexpr qint64 cLargestSaveFile = cEntrySize + qint64(cLargestSaveBlocks) * cBlockSize;

QByteArray bounded(const char* p, std::size_t width)
{
    return QByteArray(p, qsizetype(strnlen(p, width)));
}

} // namespace

void TMainForm::ShowGC()
{
    ImageList1.clear();
    ListView1->clear();
    int picture = 0;
    FreeBlock = GCLINK::Max_block;
    if (!strGameIDList)
        strGameIDList.emplace();
    else
        strGameIDList->clear();

    if (InitSaverInfo()) {
        const QByteArray bmp = QFile::encodeName(workPath(QStringLiteral("icon.bmp")));
        for (unsigned j = 0; j < 128; ++j) {
            std::memset(StrGameName, 0, sizeof StrGameName);
            std::memset(StrGameID, 0, sizeof StrGameID);
            if (!GetSaverInfo(j, StrGameName, StrGameID, &WBlockCount))
                continue;
            // A broken directory ends the listing here; what came before stays.
            if (FreeBlock < 0 || WBlockCount == 0)
                break;
            const QByteArray name = bounded(StrGameName, 32);
            const QByteArray code = bounded(StrGameID, 6);
            strGameIDList->append(QString::fromLatin1(code));
            const QString caption = decodeSaveName(name, code) + QStringLiteral("\r\n(") +
                                    QString::number(WBlockCount) + QLatin1Char(')');
            QListWidgetItem* item = ListView1->addSave(caption, picture);
            item->setData(TSaveListView::RawNameRole, name);
            item->setData(TSaveListView::RawCodeRole, code);
            item->setData(TSaveListView::SlotRole, int(j));
            appendPicture(ImageList1, QFile::decodeName(bmp), GetSaverPIC(j, bmp.constData()) != 0);
            item->setIcon(QIcon(ImageList1.constLast()));
            FreeBlock -= WBlockCount;
            ++picture;
        }
    }
    showFreeBlocks();
}

void TMainForm::GetFilePIC()
{
    if (fSecond) {
        ShowSecondCard();
        return;
    }
    mapIndex = 0;
    ImageList2.clear();
    ListView2->clear();
    const QString bmp = workPath(QStringLiteral("picture.bmp"));
    const QByteArray bmpPath = QFile::encodeName(bmp);
    QDir dir(saverDir());
    dir.setNameFilters({QStringLiteral("*.GCI")}); // any letter case
    const QFileInfoList files =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& fi : files) {
        QFile f(fi.filePath());
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // Read no more than a save can hold, and give the library at least as
        // much as the entry claims, zero-padded: no file in the folder can
        // make it read past the buffer.
        QByteArray buffer = f.read(cLargestSaveFile);
        f.close();
        const QString caption = fi.fileName() + QStringLiteral("\r\n(") +
                                QString::number(fi.size() / 8192) + QLatin1Char(')');
        ListView2->addSave(caption, mapIndex++);
        bool made = false;
        if (buffer.size() >= cEntrySize) {
            const auto* e = reinterpret_cast<const uint8_t*>(buffer.constData());
            const unsigned claimed = std::min<unsigned>(
                unsigned(e[cEntryBlockCount] << 8 | e[cEntryBlockCount + 1]), cLargestSaveBlocks);
            const qsizetype need = cEntrySize + qsizetype(claimed) * cBlockSize;
            if (buffer.size() < need)
                buffer.append(QByteArray(need - buffer.size(), '\0'));
            made = GetBitmap(buffer.constData(), bmpPath.constData()) != 0;
        }
        appendPicture(ImageList2, bmp, made);
    }
    ListView2->refreshPictures();
}

void TMainForm::UpDateBtnClick()
{
    if (!enterGate(b0))
        return;
    CommandScope scope(*this);
    if (connectAdapter()) {
        Bar_Init(0, 10);
        showBusy(i18n::busyText(say_saver_LOADING));
        ShowGC();
        Bar_pos(10);
        Enable_Btn(true);
        ENBtn_click();
    }
    CloseDevice();
    Bar_pos(0);
}

void TMainForm::ListView1DblClick()
{
    if (MaybeOk())
        DownLoadBtnClick();
    else
        OkBtnExe(Say_INFORM1);
}

void TMainForm::ListView2DblClick()
{
    if (MaybeOk())
        UpLoadBtnClick();
    else
        OkBtnExe(Say_INFORM1);
}

void TMainForm::ListView1DragDrop(TSaveListView* source)
{
    if (source && MaybeOk())
        UpLoadBtnClick();
    else
        OkBtnExe(Say_INFORM1);
}

void TMainForm::ListView2DragDrop(TSaveListView* source)
{
    if (source && MaybeOk())
        DownLoadBtnClick();
    else
        OkBtnExe(Say_INFORM1);
}
