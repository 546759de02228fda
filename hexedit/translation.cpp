#include "hexedit/translation.h"

#include "hexedit/codepages.h"

namespace {

// clang-format off
constexpr std::array<uint8_t, 128> cMacToISO = {
    0xC4, 0xC5, 0xC7, 0xC9, 0xD1, 0xD6, 0xDC, 0xE1, 0xE0, 0xE2, 0xE4, 0xE3, 0xE5, 0xE7, 0xE9, 0xE8,
    0xEA, 0xEB, 0xED, 0xEC, 0xEE, 0xEF, 0xF1, 0xF3, 0xF2, 0xF4, 0xF6, 0xF5, 0xFA, 0xF9, 0xFB, 0xFC,
    0xDD, 0xB0, 0xA2, 0xA3, 0xA7, 0x80, 0xB6, 0xDF, 0xAE, 0xA9, 0x81, 0xB4, 0xA8, 0x82, 0xC6, 0xD8,
    0x83, 0xB1, 0xBE, 0x84, 0xA5, 0xB5, 0x8F, 0x85, 0xBD, 0xBC, 0x86, 0xAA, 0xBA, 0x87, 0xE6, 0xF8,
    0xBF, 0xA1, 0xAC, 0x88, 0x9F, 0x89, 0x90, 0xAB, 0xBB, 0x8A, 0xA0, 0xC0, 0xC3, 0xD5, 0x91, 0xA6,
    0xAD, 0x8B, 0xB3, 0xB2, 0x8C, 0xB9, 0xF7, 0xD7, 0xFF, 0x8D, 0x8E, 0xA4, 0xD0, 0xF0, 0xDE, 0xFE,
    0xFD, 0xB7, 0x92, 0x93, 0x94, 0xC2, 0xCA, 0xC1, 0xCB, 0xC8, 0xCD, 0xCE, 0xCF, 0xCC, 0xD3, 0xD4,
    0x95, 0xD2, 0xDA, 0xDB, 0xD9, 0x9E, 0x96, 0x97, 0xAF, 0x98, 0x99, 0x9A, 0xB8, 0x9B, 0x9C, 0x9D,
};
// clang-format on

constexpr std::array<uint8_t, 128> InvertMac()
{
    std::array<uint8_t, 128> t{};
    for (int i = 0; i < 128; ++i)
        t[cMacToISO[i] - 0x80] = uint8_t(0x80 + i);
    return t;
}

struct Run {
    uint8_t from, to, iso;
};

// EBCDIC code ranges and the ISO code of their first member.
constexpr Run cEbcdicRuns[] = {
    {0x40, 0x40, 0x20}, {0x4B, 0x4B, 0x2E}, {0x4C, 0x4C, 0x3C}, {0x4D, 0x4D, 0x28},
    {0x4E, 0x4E, 0x2B}, {0x4F, 0x4F, 0xFE}, {0x50, 0x50, 0x26}, {0x51, 0x51, 0x26},
    {0x5A, 0x5A, 0x21}, {0x5B, 0x5B, 0x24}, {0x5C, 0x5C, 0x2A}, {0x5D, 0x5D, 0x29},
    {0x5E, 0x5E, 0x3B}, {0x60, 0x60, 0x2D}, {0x61, 0x61, 0x2F}, {0x6A, 0x6A, 0x7C},
    {0x6B, 0x6B, 0x2C}, {0x6C, 0x6C, 0x25}, {0x6D, 0x6D, 0x5F}, {0x6E, 0x6F, 0x3E},
    {0x79, 0x79, 0x60}, {0x7A, 0x7A, 0x3A}, {0x7B, 0x7B, 0x23}, {0x7C, 0x7C, 0x40},
    {0x7D, 0x7D, 0x27}, {0x7E, 0x7E, 0x3D}, {0x7F, 0x7F, 0x22}, {0x81, 0x89, 0x61},
    {0x91, 0x99, 0x6A}, {0xA1, 0xA1, 0x7E}, {0xA2, 0xA9, 0x73}, {0xC1, 0xC9, 0x41},
    {0xD1, 0xD9, 0x4A}, {0xE0, 0xE0, 0x5C}, {0xE2, 0xE9, 0x53}, {0xF0, 0xF9, 0x30},
};

constexpr std::array<uint8_t, 256> BuildEbcdicToIso()
{
    std::array<uint8_t, 256> t{};
    for (const Run& r : cEbcdicRuns)
        for (int c = r.from; c <= r.to; ++c)
            t[c] = uint8_t(r.iso + (c - r.from));
    return t;
}

// Where two EBCDIC codes share an ISO code (0x50 and 0x51 for "&"), the
// lower one is written.
constexpr std::array<uint8_t, 256> BuildIsoToEbcdic()
{
    constexpr auto forward = BuildEbcdicToIso();
    std::array<uint8_t, 256> t{};
    for (int e = 255; e > 0; --e)
        if (forward[e] != 0)
            t[forward[e]] = uint8_t(e);
    return t;
}

constexpr int cNoChar = -1;

// The character a byte stands for under a translation, before masking, or
// cNoChar.
int RawChar(TTranslationType aType, uint8_t b)
{
    switch (aType) {
    case ttAnsi: return AnsiToChar(b).unicode();
    case ttDos8: return OEMChar(b).unicode();
    case ttASCII: return b < 0x80 ? OEMChar(b).unicode() : cNoChar;
    case ttMac: return AnsiToChar(b < 0x80 ? b : ctMacToISO[b - 0x80]).unicode();
    case ttEBCDIC: return ctEBCDICToISO[b] == 0 ? cNoChar : AnsiToChar(ctEBCDICToISO[b]).unicode();
    }
    return cNoChar;
}

} // namespace

const std::array<uint8_t, 128> ctMacToISO = cMacToISO;
const std::array<uint8_t, 128> ctISOToMac = InvertMac();
const std::array<uint8_t, 256> ctEBCDICToISO = BuildEbcdicToIso();
const std::array<uint8_t, 256> ctISOToEBCDIC = BuildIsoToEbcdic();

QChar TranslateToDisplay(TTranslationType aType, uint8_t aByte, QChar aMaskChar,
                         bool aMaskWhiteSpaces)
{
    const int c = RawChar(aType, aByte);
    // Besides the codes below 32, masking covers DEL and the C1 controls
    // (the codes Windows-1252 leaves unassigned): fonts draw them as empty
    // boxes or not at all.
    if (c == cNoChar || (aMaskWhiteSpaces && (c < 32 || (c >= 0x7F && c < 0xA0))))
        return aMaskChar;
    return QChar(c);
}

int TranslateFromChar(TTranslationType aType, QChar aChar)
{
    const char16_t u = aChar.unicode();
    switch (aType) {
    case ttAnsi: {
        const int a = CharToAnsi(aChar);
        return a < 32 ? -1 : a;
    }
    case ttDos8: return u < 32 ? -1 : CharOEM(aChar);
    case ttASCII: return u < 32 || u > 127 ? -1 : CharOEM(aChar);
    case ttMac: {
        const int a = CharToAnsi(aChar);
        if (a < 32)
            return -1;
        return a < 0x80 ? a : ctISOToMac[a - 0x80];
    }
    case ttEBCDIC: {
        const int a = CharToAnsi(aChar);
        return a < 0 ? -1 : ctISOToEBCDIC[a];
    }
    }
    return -1;
}

void TranslateBufferFromAnsi(TTranslationType TType, const uint8_t* aBuffer, uint8_t* bBuffer,
                             int aCount)
{
    for (int i = 0; i < aCount; ++i) {
        const uint8_t b = aBuffer[i];
        switch (TType) {
        case ttDos8:
        case ttASCII: {
            // A character code page 437 lacks becomes "?", as the platform's
            // own ANSI to OEM conversion writes it.
            const int o = CharOEM(AnsiToChar(b));
            bBuffer[i] = o < 0 ? uint8_t('?') : uint8_t(o);
            break;
        }
        case ttMac: bBuffer[i] = b < 0x80 ? b : ctISOToMac[b - 0x80]; break;
        case ttEBCDIC: bBuffer[i] = ctISOToEBCDIC[b]; break;
        default: bBuffer[i] = b; break;
        }
    }
}

std::array<uint8_t, 256> CaseFoldTable(TTranslationType aType)
{
    std::array<uint8_t, 256> fold{};
    for (int b = 0; b < 256; ++b) {
        fold[b] = uint8_t(b);
        const int c = RawChar(aType, uint8_t(b));
        if (c == cNoChar)
            continue;
        const int lower = QChar(c).toLower().unicode();
        if (lower == c)
            continue;
        for (int l = 0; l < 256; ++l) {
            if (RawChar(aType, uint8_t(l)) == lower) {
                fold[b] = uint8_t(l);
                break;
            }
        }
    }
    return fold;
}
