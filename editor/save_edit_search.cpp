// Going to a position, jumping, and searching for bytes or text.
#include "editor/save_edit_form.h"

#include "hexedit/codepages.h"
#include "hexedit/hexeditor.h"
#include "hexedit/translation.h"

#include "skin/dialogs.h"

#include <QRegularExpression>
#include <QScopeGuard>

#include <algorithm>
#include <cctype>
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

// Hex digits, two to a byte; blanks may stand between bytes. Nothing when
// the entry is anything else, or holds no digit at all.
std::optional<QByteArray> HexPattern(const QString& aEntry)
{
    QByteArray bytes;
    for (const QString& group :
         aEntry.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts)) {
        const bool digits = std::all_of(group.begin(), group.end(), [](QChar c) {
            return c.unicode() < 0x80 && std::isxdigit(c.unicode());
        });
        if (!digits || group.size() % 2 != 0)
            return std::nullopt;
        bytes += QByteArray::fromHex(group.toLatin1());
    }
    if (bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

// The ANSI bytes of the characters; nothing when one has no byte, rather
// than searching for some other character in its place.
std::optional<QByteArray> TextPattern(const QString& aEntry)
{
    QByteArray bytes;
    for (const QChar c : aEntry) {
        const int b = CharToAnsi(c);
        if (b < 0)
            return std::nullopt;
        bytes += char(b);
    }
    return bytes;
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
    skin::SearchSpec question{QStringLiteral("Find Data"),   QStringLiteral("Search for:"),
                              QStringLiteral("Text"),        QStringLiteral("Hex"),
                              QStringLiteral("Ignore case"), {FindStr, FindHex, FindICase}};
    QByteArray pattern;
    // A cancelled or refused entry keeps the last search for Find next.
    for (;;) {
        const std::optional<skin::SearchEntry> entry = skin::dialogs().search(question);
        if (!entry || entry->text.isEmpty())
            return;
        question.initial = *entry;
        const std::optional<QByteArray> bytes =
            entry->hex ? HexPattern(entry->text) : TextPattern(entry->text);
        if (bytes) {
            pattern = *bytes;
            break;
        }
        Error(QStringLiteral("\"") + entry->text +
              (entry->hex ? QStringLiteral("\" cannot be read as hex bytes.\r\nType two hex digits "
                                           "(0-9, A-F) for each byte, or choose Text.")
                          : QStringLiteral("\" has characters that no byte stands for.\r\n"
                                           "Search for their bytes with Hex.")));
    }
    const skin::SearchEntry& entry = question.initial;
    FindStr = entry.text;
    FindHex = entry.hex;
    FindICase = !entry.hex && entry.ignoreCase;
    FindBuf = pattern;
    FindLen = int32_t(pattern.size());
    // Typed characters become the bytes the current translation shows as
    // them, once, so that every later pass and Find next search that form.
    if (!entry.hex) {
        auto* bytes = reinterpret_cast<uint8_t*>(FindBuf.data());
        TranslateBufferFromAnsi(HexEditor1->Translation(), bytes, bytes, FindLen);
    }
    SearchFrom(HexEditor1->GetCursorPos());
}

void TSaveEditForm::FindNext1Click()
{
    if (HexEditor1->DataSize() == 0)
        return;
    // Typing goes on in the data, not in whatever the dialog left focused.
    const auto backToData = qScopeGuard([this] { HexEditor1->setFocus(Qt::OtherFocusReason); });
    if (FindLen == 0) {
        Find1Click();
        return;
    }
    // On past the match still selected, so overlapping matches are found;
    // from the caret once the user has moved on.
    const bool matchSelected = FindPos != -1 && HexEditor1->SelEnd() == FindPos;
    SearchFrom(matchSelected ? FindPos + 1 : HexEditor1->GetCursorPos());
}

void TSaveEditForm::SearchFrom(int32_t aStart)
{
    ShowNotice({});
    auto* pattern = reinterpret_cast<uint8_t*>(FindBuf.data());
    const int32_t last = HexEditor1->DataSize() - 1;
    FindPos = HexEditor1->Find(pattern, FindLen, aStart, last, FindICase, false);
    bool wrapped = false;
    if (FindPos == -1 && aStart > 0) {
        // Every match that starts before aStart, also one running over it.
        const int32_t end = int32_t(std::min<int64_t>(last, int64_t(aStart) + FindLen - 2));
        FindPos = HexEditor1->Find(pattern, FindLen, 0, end, FindICase, false);
        wrapped = FindPos != -1;
    }
    if (FindPos == -1) {
        skin::dialogs().information(QStringLiteral("Data not found."), windowTitle());
        return;
    }
    SelectMatch();
    if (wrapped)
        ShowNotice(QStringLiteral("Search wrapped to the start"));
}
