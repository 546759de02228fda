// What a program that shows saves needs besides the card: a save's texts in
// the encoding its game code implies, and the names emulators give save
// files in a folder. Both are the library's own rules, exported so that a
// program does not link a second copy of the card file system to reach them.
#include "library.h"
#include "mcbridge/folder_names.h"
#include "mcbridge/text_encoding.h"

#include <cstring>
#include <span>

namespace mcb {

extern "C" {

MCB_API int mcb_save_text(const void* bytes, size_t length, const char* code, char* out,
                          size_t capacity, size_t* out_length)
{
    return offCard([&](int& size) -> int32_t {
        if ((!bytes && length) || !code)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        const auto* raw = static_cast<const uint8_t*>(bytes);
        const std::span<const uint8_t> text(
            raw, length ? strnlen(static_cast<const char*>(bytes), length) : 0);
        const std::string utf8 =
            textToUtf8(text, encodingForCode(std::span(reinterpret_cast<const uint8_t*>(code),
                                                       strnlen(code, kEntryCodeSize))));
        // The terminator travels with the text; the length does not count it.
        const std::span<const uint8_t> given(reinterpret_cast<const uint8_t*>(utf8.c_str()),
                                             utf8.size() + 1);
        if (!giveBytes(given, out, capacity, out_length))
            return 0;
        size = int(utf8.size());
        return 1;
    });
}

MCB_API int mcb_folder_names(const uint8_t* entries, size_t count, int32_t format,
                             const char* taken, size_t taken_length, char* out, size_t capacity,
                             size_t* out_length)
{
    return offCard([&](int& size) -> int32_t {
        if ((!entries && count) || (!taken && taken_length) || format < MCB_SAVE_GCI ||
            format > MCB_SAVE_SAV)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        std::vector<std::array<uint8_t, kEntrySize>> list(count);
        for (size_t i = 0; i < count; ++i)
            std::memcpy(list[i].data(), entries + i * kEntrySize, kEntrySize);
        std::vector<std::string> names;
        for (size_t at = 0; at < taken_length;) {
            const size_t end = strnlen(taken + at, taken_length - at);
            if (end > 0)
                names.emplace_back(taken + at, end);
            at += end + 1;
        }
        std::vector<uint8_t> joined;
        for (const std::string& n : folderNamesFor(list, SaveFormat(format), names)) {
            joined.insert(joined.end(), n.begin(), n.end());
            joined.push_back(0);
        }
        if (!giveBytes(joined, out, capacity, out_length))
            return 0;
        size = int(count);
        return 1;
    });
}

} // extern "C"

} // namespace mcb
