#include "commands/save_names.h"

#include "mcbridge.h"

QString decodeSaveName(const QByteArray& raw, const QByteArray& code)
{
    // The library's own tables, as cardtool and the save descriptions use.
    const QByteArray terminated = code.left(MCB_ENTRY_CODE_SIZE);
    QByteArray out(raw.size() * 3 + 1, '\0');
    size_t length = 0;
    const int n = mcb_save_text(raw.constData(), size_t(raw.size()), terminated.constData(),
                                out.data(), size_t(out.size()), &length);
    return n < 0 ? QString() : shownText(out.left(n));
}

QString shownText(const QByteArray& utf8)
{
    QByteArray out(qsizetype(MCB_ESCAPED_CAPACITY(size_t(utf8.size()))), '\0');
    const int n =
        mcb_escape_text(utf8.constData(), size_t(utf8.size()), out.data(), size_t(out.size()));
    return n < 0 ? QString() : QString::fromUtf8(out.constData(), n);
}

bool isRemovedFromFileNames(unsigned char byte)
{
    switch (byte) {
    case 0x00:
    case '"':
    case '\'':
    case '*':
    case ',':
    case '.':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
    case 0x99: return true;
    default: return false;
    }
}

QByteArray fileNameBytes(const QByteArray& name, bool stopAtNul)
{
    QByteArray out;
    for (const char c : name) {
        if (c == '\0' && stopAtNul)
            break;
        if (!isRemovedFromFileNames(static_cast<unsigned char>(c)))
            out.append(c);
    }
    return out;
}

QString withoutRemovedCharacters(const QString& name)
{
    QString out;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == 0x2122 || (u < 0x80 && isRemovedFromFileNames(static_cast<unsigned char>(u))))
            continue;
        out.append(c);
    }
    return out;
}
