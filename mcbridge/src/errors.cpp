// The English words and names of the error codes, and the version.
#include "library.h"

#include <cstdlib>

namespace {

struct ErrorWords {
    const char* name;
    const char* text;
};

// Indexed by the positive code; the handle calls' codes are their negatives.
constexpr ErrorWords kErrors[] = {
    {"MCB_OK", "success"},
    {"MCB_E_NO_DEVICE", "no adapter is configured (set MCBRIDGE_DEVICE or give a device)"},
    {"MCB_E_BAD_DEVICE", "the device string is not usb:VVVV:PPPP, a device path, image:PATH or "
                         "folder:PATH"},
    {"MCB_E_NOT_FOUND", "the adapter or card image was not found"},
    {"MCB_E_ACCESS", "permission to open the adapter or card image was denied"},
    {"MCB_E_IMAGE_SIZE", "the card image is not 512 KiB, 1, 2, 4, 8 or 16 MiB long (a 4, 8, 16, "
                         "32, 64 or 128 Mbit card)"},
    {"MCB_E_IO", "the adapter did not answer"},
    {"MCB_E_NO_MEMORY", "out of memory"},
    {"MCB_E_NOT_SUPPORTED", "USB adapters are not supported by this build"},
    {"MCB_E_NOT_A_CARD", "not a formatted memory card"},
    {"MCB_E_DAMAGED", "the card's directory or block map is damaged; the card needs repair"},
    {"MCB_E_BROKEN_CHAIN", "the save's chain of blocks is broken"},
    {"MCB_E_NO_ROOM", "not enough free blocks on the card"},
    {"MCB_E_NO_SLOT", "the card's directory is full"},
    {"MCB_E_READ_BACK", "the card does not hold what was written"},
    {"MCB_E_AMBIGUOUS", "two saves on the card have that name and game code"},
    {"MCB_E_NO_SAVE", "no such save on the card"},
    {"MCB_E_NOT_A_SAVE", "the file is not a save file"},
    {"MCB_E_FILE", "a file could not be read or written"},
    {"MCB_E_NOT_LOADED", "the card's directory has not been read"},
    {"MCB_E_BAD_ARGUMENT", "invalid argument"},
    {"MCB_E_OTHER_CARD", "the image was made from another card"},
    {"MCB_E_FAILED", "the operation failed"},
    {"MCB_E_IMAGE_LENGTH", "the image is not as large as the card"},
    {"MCB_E_NOT_OPEN", "no adapter is open"},
    {"MCB_E_IMAGE_HEADER", "the card image begins with another tool's header; only plain images "
                           "(.gcp, .raw) are read"},
    {"MCB_E_BUSY", "the card is in use by another program"},
    {"MCB_E_CHANGED", "the card was changed or swapped during the write"},
    {"MCB_E_TOO_SMALL", "the buffer is too small"},
    {"MCB_E_READ_ONLY", "the card may only be read"},
    {"MCB_E_EXISTS", "the card holds a save of that name already"},
    {"MCB_E_JOURNAL", "the card was changed elsewhere since"},
    {"MCB_E_JOURNAL_FILE", "the journal could not be written or read; the card was not changed"},
};

const ErrorWords* wordsFor(int code)
{
    if (code == INT32_MIN)
        return nullptr;
    const unsigned index = unsigned(std::abs(code));
    return index < std::size(kErrors) ? &kErrors[index] : nullptr;
}

} // namespace

extern "C" {

MCB_API const char* mcb_strerror(int code)
{
    const ErrorWords* w = wordsFor(code);
    return w ? w->text : "unknown error";
}

MCB_API const char* mcb_error_name(int code)
{
    const ErrorWords* w = wordsFor(code);
    return w ? w->name : "MCB_E_UNKNOWN";
}

MCB_API uint32_t mcb_version(void) { return MCB_API_VERSION; }

} // extern "C"
