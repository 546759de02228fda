#include "mcbridge/save_info.h"

#include "mcbridge/save_container.h"
#include "mcbridge/text_encoding.h"

namespace mcb {

namespace {

constexpr unsigned kSecondsPerDay = 86400;

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void civilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(yoe + era * 400 + (month <= 2));
}

std::string fieldText(const uint8_t* p, std::size_t width)
{
    std::size_t n = 0;
    while (n < width && p[n] != 0)
        ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

std::vector<uint8_t> bytesAt(const SaveBytes& data, uint64_t at, std::size_t length)
{
    std::vector<uint8_t> out;
    for (std::size_t i = 0; i < length; ++i) {
        const auto b = data(at + i);
        if (!b)
            break;
        out.push_back(*b);
    }
    return out;
}

} // namespace

CalendarTime calendarFromConsoleSeconds(uint32_t seconds)
{
    constexpr int64_t kDaysFrom1970To2000 = 10957;
    CalendarTime t;
    civilFromDays(kDaysFrom1970To2000 + seconds / kSecondsPerDay, t.year, t.month, t.day);
    const unsigned rest = seconds % kSecondsPerDay;
    t.hour = int(rest / 3600);
    t.minute = int(rest / 60 % 60);
    t.second = int(rest % 60);
    return t;
}

SaveInfo describeSave(EntryRef e, const SaveBytes& data, Encoding encoding)
{
    SaveInfo info;
    info.code = fieldText(e.p + kEntryCode, kEntryCodeSize);
    info.name = fieldText(e.p + kEntryName, kEntryNameSize);
    info.encoding = encoding;
    info.modified = getBe32(e.p + kEntryModified);
    info.when = calendarFromConsoleSeconds(info.modified);
    info.permissions = e.p[kEntryPermissions];
    info.copyCounter = e.p[kEntryCopyCounter];
    info.blocks = e.blockCount();
    const uint32_t at = getBe32(e.p + kEntryCommentOffset);
    if (at != kNoOffset) {
        const std::vector<uint8_t> title = bytesAt(data, at, kCommentLineSize);
        const std::vector<uint8_t> comment =
            bytesAt(data, uint64_t(at) + kCommentLineSize, kCommentLineSize);
        info.hasComment = !title.empty();
        info.title = textToUtf8(title, encoding);
        info.comment = textToUtf8(comment, encoding);
    }
    info.icons = decodeIcons(e, data);
    return info;
}

std::optional<uint8_t> BlockReader::operator()(uint64_t offset)
{
    const uint64_t index = offset / kBlockSize;
    if (index >= count_)
        return std::nullopt;
    auto it = blocks_.find(unsigned(index));
    if (it == blocks_.end()) {
        std::optional<Block> block(std::in_place);
        if (!read_(unsigned(index), *block)) {
            block.reset();
            failed_ = true;
        }
        it = blocks_.emplace(unsigned(index), std::move(block)).first;
    }
    if (!it->second)
        return std::nullopt;
    return (*it->second)[offset % kBlockSize];
}

} // namespace mcb
