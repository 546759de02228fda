#include "save_names.h"

#include <cerrno>
#include <iconv.h>

QString decodeSaveName(const QByteArray& raw, const QByteArray& code)
{
    const char* encoding = code.size() >= 4 && code[3] == 'J' ? "SHIFT_JIS" : "CP1252";
    iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == iconv_t(-1))
        return QString::fromLatin1(raw);
    QByteArray out(raw.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(raw.constData());
    std::size_t inLeft = std::size_t(raw.size());
    char* o = out.data();
    std::size_t outLeft = std::size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &outLeft) != std::size_t(-1))
            break;
        if ((errno != EILSEQ && errno != EINVAL) || outLeft < 3)
            break;
        // U+FFFD for a byte that is no character of the encoding.
        *o++ = char(0xEF);
        *o++ = char(0xBF);
        *o++ = char(0xBD);
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    out.truncate(out.size() - qsizetype(outLeft));
    return QString::fromUtf8(out);
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
