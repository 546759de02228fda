// The escaping of card texts, for programs that show them.
#include "library.h"
#include "mcbridge/escape_text.h"

#include <climits>
#include <cstring>

using namespace mcb;

MCB_API int mcb_escape_text(const char* text, size_t length, char* out, size_t capacity)
{
    return offCard([&](int& value) -> int32_t {
        if ((!text && length > 0) || length > MCB_ESCAPED_LENGTH_LIMIT)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        const std::string shown = escapeText(std::string_view(text ? text : "", length));
        value = int(shown.size());
        if (!out && capacity == 0)
            return 1;
        if (!out || capacity < shown.size() + 1)
            return fail(MCB_ERROR_TOO_SMALL);
        std::memcpy(out, shown.c_str(), shown.size() + 1);
        return 1;
    });
}
