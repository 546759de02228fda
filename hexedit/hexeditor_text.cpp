// The content as hex text, the byte search and the character translation.
#include "hexedit/hexeditor.h"

#include "hexedit/hexconvert.h"
#include "hexedit/translation.h"
#include "hexedit/waitcursor.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int32_t cScanChunk = 1 << 20;

const uint8_t* FindBytes(const uint8_t* aHay, std::size_t aHayLen, const uint8_t* aNeedle,
                         std::size_t aNeedleLen)
{
#ifdef __GLIBC__
    return static_cast<const uint8_t*>(memmem(aHay, aHayLen, aNeedle, aNeedleLen));
#else
    const uint8_t* end = aHay + aHayLen;
    const uint8_t* hit =
        std::search(aHay, end, std::boyer_moore_horspool_searcher(aNeedle, aNeedle + aNeedleLen));
    return hit == end ? nullptr : hit;
#endif
}

} // namespace

QChar THexEditor::TranslateToAnsiChar(uint8_t aByte) const
{
    return TranslateToDisplay(fTranslation, aByte, fMaskChar, fMaskWhiteSpaces);
}

int THexEditor::TranslateFromAnsiChar(QChar aChar) const
{
    return TranslateFromChar(fTranslation, aChar);
}

QByteArray THexEditor::AsHex()
{
    const int32_t size = GetDataSize();
    if (size == 0)
        return {};
    QByteArray text(qsizetype(size) * 2, Qt::Uninitialized);
    std::vector<uint8_t> chunk(std::size_t(std::min(size, cScanChunk)));
    for (int32_t done = 0; done < size;) {
        const int32_t n = std::min(cScanChunk, size - done);
        if (!GetMemAtPos(chunk.data(), done, n))
            return {};
        ConvertBinToHex(chunk.data(), text.data() + qsizetype(done) * 2, n, fSwapNibbles != 0);
        done += n;
    }
    return text;
}

void THexEditor::SetAsHex(const QByteArray& aValue)
{
    std::vector<uint8_t> bytes(std::size_t(aValue.size() / 2 + 1));
    int translated = 0;
    ConvertHexToBin(aValue.constData(), bytes.data(), int(aValue.size()), fSwapNibbles != 0,
                    translated);
    const int32_t size = GetDataSize();
    // The text stands for the whole content: with a fixed size, a text of
    // another length is refused rather than written over part of it.
    if (fNoSizeChange && translated != size)
        return;
    if (size > 0) {
        SetSelStart(0);
        SetSelEnd(size - 1);
    }
    ReplaceSelection(bytes.data(), translated);
}

int32_t THexEditor::Find(uint8_t* aBuffer, int32_t aCount, int32_t aStart, int32_t aEnd,
                         bool IgnoreCase, bool SearchText)
{
    aEnd = std::min(aEnd, GetDataSize() - 1);
    aStart = std::max(aStart, 0);
    if (!aBuffer || aCount <= 0 || int64_t(aEnd) - aStart + 1 < aCount)
        return -1;
    TWaitCursor wait;
    if (SearchText && fTranslation != ttAnsi)
        TranslateBufferFromAnsi(fTranslation, aBuffer, aBuffer, aCount);
    std::array<uint8_t, 256> fold{};
    if (IgnoreCase) {
        // Letter case as the translation shows the bytes, so that "a" also
        // finds "A" in EBCDIC or DOS text.
        fold = CaseFoldTable(fTranslation);
        for (int32_t i = 0; i < aCount; ++i)
            aBuffer[i] = fold[aBuffer[i]];
    }
    // Chunks overlap by one pattern length less one byte, so a match across
    // a chunk border is found in the later chunk.
    std::vector<uint8_t> chunk(std::size_t(
        std::min<int64_t>(int64_t(aEnd) - aStart + 1, int64_t(cScanChunk) + aCount - 1)));
    int64_t pos = aStart;
    while (pos + aCount - 1 <= aEnd) {
        const int64_t n = std::min<int64_t>(int64_t(aEnd) + 1 - pos, int64_t(chunk.size()));
        if (!GetMemAtPos(chunk.data(), int32_t(pos), int32_t(n)))
            return -1;
        if (IgnoreCase)
            for (int64_t i = 0; i < n; ++i)
                chunk[std::size_t(i)] = fold[chunk[std::size_t(i)]];
        if (const uint8_t* hit =
                FindBytes(chunk.data(), std::size_t(n), aBuffer, std::size_t(aCount)))
            return int32_t(pos + (hit - chunk.data()));
        pos += n - (aCount - 1);
    }
    return -1;
}
