// Going to a position, jumping, and searching forward for bytes or text.
#include "editor/save_edit_form.h"

#include "hexedit/hexeditor.h"

#include "skin/dialogs.h"

#include <QScopeGuard>

#include <limits>

namespace {

// A decimal number, or a hexadecimal one after "$"; -1 when the entry is
// neither or lies outside the positions a document can have.
int32_t ParsePosition(const QString& aEntry)
{
    bool ok = false;
    const qlonglong value = aEntry.startsWith(QLatin1Char('$')) ? aEntry.mid(1).toLongLong(&ok, 16)
                                                                : aEntry.toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return -1;
    return int32_t(value);
}

// Hex digits of the entry, two to a byte; an odd count gets a leading 0.
QByteArray HexPattern(const QString& aEntry)
{
    QString digits;
    for (const QChar c : aEntry.toLower())
        if (QStringLiteral("0123456789abcdef").contains(c))
            digits += c;
    if (digits.size() % 2 != 0)
        digits.prepend(QLatin1Char('0'));
    return QByteArray::fromHex(digits.toLatin1());
}

} // namespace

void TSaveEditForm::Goto1Click()
{
    if (HexEditor1->DataSize() == 0)
        return;
    // Typing goes on in the data, not in whatever the dialog left focused.
    const auto backToData = qScopeGuard([this] { HexEditor1->setFocus(Qt::OtherFocusReason); });
    const std::optional<QString> entry =
        skin::dialogs().text(QStringLiteral("Goto file position..."),
                             QStringLiteral("(prefix \"0x\" or \"$\" means hex)"),
                             QString::number(HexEditor1->GetCursorPos()));
    if (!entry)
        return;
    QString position = *entry;
    if (position.toLower().startsWith(QLatin1String("0x")))
        position.replace(0, 2, QLatin1Char('$'));
    if (!HexEditor1->Seek(ParsePosition(position), 0, true))
        Error(QStringLiteral("Invalid position"));
}

void TSaveEditForm::Amount40001Click()
{
    const std::optional<QString> entry =
        skin::dialogs().text(QStringLiteral("Jump amount"), QStringLiteral("Enter new value:"),
                             QString::number(JumpOffs));
    if (!entry)
        return;
    bool ok = false;
    const int value = entry->toInt(&ok);
    if (ok)
        JumpOffs = value;
}

void TSaveEditForm::JumpBy(int64_t aDistance)
{
    const int64_t limited = std::clamp<int64_t>(aDistance, std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max());
    HexEditor1->Seek(int32_t(limited), 1, false);
}

void TSaveEditForm::Jumpforward1Click() { JumpBy(JumpOffs); }

void TSaveEditForm::Jumpbackward1Click() { JumpBy(-int64_t(JumpOffs)); }

void TSaveEditForm::SelectMatch()
{
    HexEditor1->SetSelStart(FindPos + FindLen - 1);
    HexEditor1->SetSelEnd(FindPos);
}

void TSaveEditForm::Find1Click()
{
    if (HexEditor1->DataSize() == 0)
        return;
    // Typing goes on in the data, not in whatever the dialog left focused.
    const auto backToData = qScopeGuard([this] { HexEditor1->setFocus(Qt::OtherFocusReason); });
    FindPos = -1;
    FindICase = false;
    FindBuf.clear();
    FindLen = 0;
    const std::optional<QString> entry = skin::dialogs().text(
        QStringLiteral("Find Data"),
        QStringLiteral("\"t..\" ascii, \"T..\" + ignore case, else search hex"), FindStr);
    if (!entry)
        return;
    FindStr = *entry;
    if (FindStr.isEmpty())
        return;
    const QChar first = FindStr.at(0);
    const bool text = first == QLatin1Char('t') || first == QLatin1Char('T');
    const QByteArray pattern = text ? AnsiBytes(FindStr.mid(1)) : HexPattern(FindStr);
    if (pattern.isEmpty())
        return;
    FindBuf = pattern;
    FindLen = int32_t(pattern.size());
    FindICase = first == QLatin1Char('T');
    // A text search rewrites the pattern in place into what it matches;
    // Find next searches for that form.
    FindPos =
        HexEditor1->Find(reinterpret_cast<uint8_t*>(FindBuf.data()), FindLen,
                         HexEditor1->GetCursorPos(), HexEditor1->DataSize() - 1, FindICase, text);
    if (FindPos == -1)
        skin::dialogs().information(QStringLiteral("Data not found."), windowTitle());
    else
        SelectMatch();
}

void TSaveEditForm::FindNext1Click()
{
    if (HexEditor1->DataSize() == 0)
        return;
    // Typing goes on in the data, not in whatever the dialog left focused.
    const auto backToData = qScopeGuard([this] { HexEditor1->setFocus(Qt::OtherFocusReason); });
    if (FindStr.isEmpty()) {
        Find1Click();
        return;
    }
    if (HexEditor1->SelEnd() == FindPos)
        FindPos += 1;
    const int32_t start = FindPos == -1 ? 0 : FindPos;
    FindPos = HexEditor1->Find(reinterpret_cast<uint8_t*>(FindBuf.data()), FindLen, start,
                               HexEditor1->DataSize() - 1, FindICase, false);
    if (FindPos == -1)
        skin::dialogs().information(QStringLiteral("Data not found."), windowTitle());
    else
        SelectMatch();
}
