// A blank card image that is another card: the per-game cards a split
// writes carry the identity of the card their saves came from, so that saves
// bound to that card's serial keep working on them.
#include "library.h"

#include "mcbridge/card_build.h"
#include "mcbridge/format.h"

using namespace mcb;

extern "C" {

MCB_API int mcb_create_image_as(const char* path, uint32_t megabits, int32_t encoding,
                                const uint8_t* identity)
{
    return offCard([&](int&) -> int32_t {
        if (!path || !*path || !isCardSize(megabits) || (encoding != 0 && encoding != 1))
            return fail(MCB_ERROR_BAD_ARGUMENT);
        CardIdentity id{};
        if (identity)
            std::copy_n(identity, id.size(), id.begin());
        else
            id = identityOf(formatCard(freshFormat(megabits, Encoding::Ansi)));
        const CardBuilder blank(megabits, encoding ? Encoding::ShiftJis : Encoding::Ansi, id);
        const std::vector<uint8_t> image = blank.image();
        return newImage(path, image);
    });
}

} // extern "C"
