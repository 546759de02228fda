// Undo, and the clipboard: bytes travel as hex text, or as plain text.
#include "editor/save_edit_form.h"

#include "hexedit/codepages.h"
#include "hexedit/hexconvert.h"
#include "hexedit/hexeditor.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

QByteArray TSaveEditForm::AnsiBytes(const QString& aText)
{
    QByteArray bytes;
    bytes.reserve(aText.size());
    for (const QChar c : aText) {
        const int b = CharToAnsi(c);
        bytes.append(b < 0 ? '?' : char(b));
    }
    return bytes;
}

void TSaveEditForm::Rckgngig1Click()
{
    if (HexEditor1->CanUndo())
        HexEditor1->Undo();
}

void TSaveEditForm::CopySelection()
{
    int32_t count = HexEditor1->SelCount();
    const int32_t start = std::min(HexEditor1->SelStart(), HexEditor1->SelEnd());
    const QByteArray bytes = HexEditor1->BufferFromFile(start, count);
    QByteArray text(2 * qsizetype(count) + 1, Qt::Uninitialized);
    ConvertBinToHex(reinterpret_cast<const uint8_t*>(bytes.constData()), text.data(), count, false);
    text.chop(1);
    QGuiApplication::clipboard()->setText(QString::fromLatin1(text));
}

void TSaveEditForm::Kopieren1Click()
{
    Bearbeiten1Click();
    if (Kopieren1->isEnabled())
        CopySelection();
}

void TSaveEditForm::Ausschneiden1Click()
{
    Bearbeiten1Click();
    if (!Ausschneiden1->isEnabled())
        return;
    CopySelection();
    HexEditor1->DeleteSelection();
}

void TSaveEditForm::Einfgen1Click()
{
    Bearbeiten1Click();
    if (!Einfgen1->isEnabled())
        return;
    QByteArray text = AnsiBytes(QGuiApplication::clipboard()->text());
    auto* bytes = reinterpret_cast<uint8_t*>(text.data());
    int count = 0;
    ConvertHexToBin(text.constData(), bytes, int(text.size()), false, count);
    HexEditor1->ReplaceSelection(bytes, count);
}

void TSaveEditForm::PasteText1Click()
{
    Bearbeiten1Click();
    if (!Einfgen1->isEnabled())
        return;
    const QByteArray text = AnsiBytes(QGuiApplication::clipboard()->text());
    HexEditor1->ReplaceSelection(reinterpret_cast<const uint8_t*>(text.constData()),
                                 int32_t(text.size()));
}
