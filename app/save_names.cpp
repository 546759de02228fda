#include "save_names.h"

#include "mcbridge/text_encoding.h"

#include <span>

QString decodeSaveName(const QByteArray& raw, const QByteArray& code)
{
    // The library's own tables, as cardtool and the save descriptions use.
    const auto bytes = [](const QByteArray& b) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(b.constData()),
                                        std::size_t(b.size()));
    };
    return QString::fromStdString(mcb::textToUtf8(bytes(raw), mcb::encodingForCode(bytes(code))));
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
