#include "mcbridge/text_encoding.h"

namespace mcb {

namespace {

constexpr uint16_t kSjisDouble[] = {
#include "sjis_table.inc"
};
constexpr unsigned kTrailFirst = 0x40;
constexpr unsigned kTrailCount = 0xFD - kTrailFirst;
static_assert(sizeof(kSjisDouble) / sizeof(kSjisDouble[0]) == 60 * kTrailCount);

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252's own characters in 0x80-0x9F; the five holes stay holes.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool sjisLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

char32_t sjisPair(uint8_t lead, uint8_t trail)
{
    if (trail < kTrailFirst || trail >= kTrailFirst + kTrailCount)
        return kReplacement;
    const unsigned row = lead <= 0x9F ? lead - 0x81u : lead - 0xE0u + 31u;
    const uint16_t u = kSjisDouble[row * kTrailCount + (trail - kTrailFirst)];
    return u ? char32_t(u) : kReplacement;
}

} // namespace

std::string textToUtf8(std::span<const uint8_t> bytes, Encoding encoding)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && bytes[i] != 0; ++i) {
        const uint8_t b = bytes[i];
        if (b < 0x80) {
            appendUtf8(out, b);
        } else if (encoding == Encoding::ShiftJis) {
            if (b >= 0xA1 && b <= 0xDF) {
                appendUtf8(out, 0xFF61 + (b - 0xA1u)); // half-width katakana
            } else if (sjisLead(b) && i + 1 < bytes.size() && bytes[i + 1] != 0) {
                appendUtf8(out, sjisPair(b, bytes[i + 1]));
                ++i;
            } else {
                appendUtf8(out, kReplacement);
            }
        } else if (b < 0xA0) {
            const uint16_t u = kCp1252High[b - 0x80];
            appendUtf8(out, u ? char32_t(u) : kReplacement);
        } else {
            appendUtf8(out, b);
        }
    }
    return out;
}

Encoding encodingForCode(std::span<const uint8_t> code)
{
    return code.size() > 3 && code[3] == 'J' ? Encoding::ShiftJis : Encoding::Ansi;
}

} // namespace mcb
