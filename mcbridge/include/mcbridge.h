/*
 * mcbridge: talks to a USB memory-card adapter and knows the card's file
 * system.
 *
 * One adapter at a time, one thread: every call blocks until the adapter has
 * answered, and none may be made from two threads at once. The adapter is
 * chosen by the device string in the MCBRIDGE_DEVICE environment variable,
 * read at every OpenDevice:
 *
 *   usb:VVVV:PPPP   first USB device with that vendor:product (hexadecimal)
 *   /dev/...        a character device, opened read-write and blocking
 *   image:PATH      the emulated adapter over a card image file (every
 *                   512-byte sector of the card in order); a missing file is
 *                   created as a freshly formatted 16 Mbit card
 *
 * Unset or empty means no adapter.
 *
 * Results are 32-bit integers; 0 means failure. Texts (paths, a save's
 * 32-byte file name, its 6-byte game code) are byte strings owned by the
 * caller for the duration of the call; out-buffers are the caller's. Nothing
 * the library allocates is freed by the caller, and the other way round.
 *
 * The library produces no text of its own. Why OpenDevice could not open an
 * adapter is left as a code in the receiver (mcb_receiver.error); why any
 * call failed is kept until the next call (mcb_last_error). mcb_error_text
 * turns either into English for command-line tools.
 */
#ifndef MCBRIDGE_H
#define MCBRIDGE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(MCBRIDGE_BUILDING)
#define MCB_API __attribute__((visibility("default")))
#else
#define MCB_API
#endif

/* The progress message: sent before the steps of an operation with wParam =
 * the number of steps to come (or sixteen times that for a whole-card
 * image), then once per step with wParam = 0. lParam is always 0. */
#define WM_CARD_PROGRESS 0x44E

/* Why a call failed: left in mcb_receiver.error by OpenDevice, and kept for
 * mcb_last_error by every call. */
enum mcb_error {
    MCB_SUCCESS = 0,
    MCB_ERROR_NO_DEVICE = 1,     /* no device string: no adapter is configured */
    MCB_ERROR_BAD_DEVICE = 2,    /* the device string is not one of the forms above */
    MCB_ERROR_NOT_FOUND = 3,     /* no such USB device, device node or image file */
    MCB_ERROR_ACCESS = 4,        /* the device or file exists but may not be opened */
    MCB_ERROR_IMAGE_SIZE = 5,    /* the image's length is not that of a 4, 8, 16 or 64 Mbit card */
    MCB_ERROR_IO = 6,            /* reading or writing the adapter failed */
    MCB_ERROR_NO_MEMORY = 7,     /* the card buffers could not be allocated */
    MCB_ERROR_NOT_SUPPORTED = 8, /* USB support was not built into this library */
    MCB_ERROR_NOT_A_CARD = 9,    /* the card's header is not that of a formatted card */
    MCB_ERROR_DAMAGED = 10,      /* the directory or map is damaged: the card needs repair */
    MCB_ERROR_BROKEN_CHAIN = 11, /* the save's chain of blocks is broken */
    MCB_ERROR_NO_ROOM = 12,      /* not enough free blocks (see mcb_space) */
    MCB_ERROR_NO_SLOT = 13,      /* the directory has no free place for another save */
    MCB_ERROR_READ_BACK = 14,    /* what the card holds differs from what was written */
    MCB_ERROR_AMBIGUOUS = 15,    /* two saves on the card have that name and code */
    MCB_ERROR_NO_SAVE = 16,      /* no save with that name and code, or an empty slot */
    MCB_ERROR_NOT_A_SAVE = 17,   /* the file is not a save file */
    MCB_ERROR_FILE = 18,         /* a file on the computer could not be read or written */
    MCB_ERROR_NOT_LOADED = 19,   /* the directory was not loaded in this connection */
    MCB_ERROR_BAD_ARGUMENT = 20, /* a null pointer or an index out of range */
    MCB_ERROR_OTHER_CARD = 21,   /* the image was made from another card */
    MCB_ERROR_FAILED = 22        /* the call failed for a reason not listed above */
};

/*
 * Stands in for the window that receives the progress messages. The library
 * calls send(context, WM_CARD_PROGRESS, wParam, lParam) synchronously, on the
 * caller's thread, while an operation runs.
 *
 * OpenDevice keeps the pointer (as it would keep a window handle): the
 * receiver must stay valid until the next OpenDevice with another receiver.
 * A null receiver, or one whose send is null, gets no messages.
 * OpenDevice (and GetCardMemory when it opens the adapter itself) set error
 * to MCB_SUCCESS or to the reason the adapter could not be opened.
 */
typedef struct mcb_receiver {
    void (*send)(void* context, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void* context;
    int32_t error;
} mcb_receiver;

/* An English description of an mcb_error code, for command-line tools. */
static inline const char* mcb_error_text(int32_t error)
{
    switch (error) {
    case MCB_SUCCESS: return "success";
    case MCB_ERROR_NO_DEVICE:
        return "no adapter is configured (set MCBRIDGE_DEVICE or give a device)";
    case MCB_ERROR_BAD_DEVICE:
        return "the device string is not usb:VVVV:PPPP, a device path or image:PATH";
    case MCB_ERROR_NOT_FOUND: return "the adapter or card image was not found";
    case MCB_ERROR_ACCESS: return "permission to open the adapter or card image was denied";
    case MCB_ERROR_IMAGE_SIZE:
        return "the card image is not 512 KiB, 1 MiB, 2 MiB or 8 MiB long (a 4, 8, 16 or 64 Mbit "
               "card)";
    case MCB_ERROR_IO: return "the adapter did not answer";
    case MCB_ERROR_NO_MEMORY: return "out of memory";
    case MCB_ERROR_NOT_SUPPORTED: return "USB adapters are not supported by this build";
    case MCB_ERROR_NOT_A_CARD: return "not a formatted memory card";
    case MCB_ERROR_DAMAGED:
        return "the card's directory or block map is damaged; the card needs repair";
    case MCB_ERROR_BROKEN_CHAIN: return "the save's chain of blocks is broken";
    case MCB_ERROR_NO_ROOM: return "not enough free blocks on the card";
    case MCB_ERROR_NO_SLOT: return "the card's directory is full";
    case MCB_ERROR_READ_BACK: return "the card does not hold what was written";
    case MCB_ERROR_AMBIGUOUS: return "two saves on the card have that name and game code";
    case MCB_ERROR_NO_SAVE: return "no such save on the card";
    case MCB_ERROR_NOT_A_SAVE: return "the file is not a save file";
    case MCB_ERROR_FILE: return "a file could not be read or written";
    case MCB_ERROR_NOT_LOADED: return "the card's directory has not been read";
    case MCB_ERROR_BAD_ARGUMENT: return "invalid argument";
    case MCB_ERROR_OTHER_CARD: return "the image was made from another card";
    case MCB_ERROR_FAILED: return "the operation failed";
    default: return "unknown error";
    }
}

/* ---- Link ---------------------------------------------------------------- */

/* Opens the adapter and sends the begin packet. Remembers the receiver for
 * later progress messages. 1 when open, 0 otherwise. */
MCB_API int32_t OpenDevice(mcb_receiver* window);

/* Sends the end packet and closes the adapter. Non-zero when an open adapter
 * was closed, 0 when none was open. */
MCB_API int32_t CloseDevice(void);

/* 1 while an adapter is held open, else 0. */
MCB_API int32_t IsConnected(void);

/* The open adapter as an opaque handle, null when closed. */
MCB_API void* DriverHandle(void);

/* ---- Card size ----------------------------------------------------------- */

/* The card's size in megabits (4, 8, 16, 64), 0 when it could not be read.
 * Opens the adapter itself when it is closed (and leaves it open). */
MCB_API int32_t GetCardMemory(void);

/* ---- Directory ----------------------------------------------------------- */

/* Loads the card's current directory and allocation map. 1 on success; 0 when
 * they cannot be read or neither copy of one of them is intact. */
MCB_API int32_t InitSaverInfo(void);

/* The save in directory slot index (0..127) as last loaded: 32 name bytes and
 * 6 code bytes (no terminator) and its block count. 1 when the slot holds a
 * save, 0 for an empty slot or an index of 128 or more. */
MCB_API int32_t GetSaverInfo(uint32_t index, char* name, char* code, uint16_t* blockCount);

/* 1 when the card holds a save with the name and code of the save file at
 * path; the name is copied to name (at least 33 bytes) with a terminator. */
MCB_API int32_t FindSaver(const char* path, char* name);

/* ---- Save transfer ------------------------------------------------------- */

/* Copies the card save (name, code) into a save file at path: its 64-byte
 * directory entry, then its blocks. 1 when the whole save was written. */
MCB_API int32_t DownLoadSaver(const char* name, const char* code, const char* path);

/* Puts the save file at path onto the card, as a new save or in place of the
 * card's save with the same name and code. Needs InitSaverInfo earlier in the
 * same connection. 1 on success. */
MCB_API int32_t UpLoadSaver(const char* path);

/* Removes the card save (name, code). 1 on success. */
MCB_API int32_t DeleteSaver(const char* name, const char* code);

/* ---- Whole card ---------------------------------------------------------- */

/* Reads every sector of the card into an image file at path. 1 on success. */
MCB_API int32_t ReadCardToFile(const char* path);

/* Writes the image file at path over the whole card. The file must be exactly
 * as long as the card. 1 on success. */
MCB_API int32_t WriteFileToCard(const char* path);

/* ---- Pictures ------------------------------------------------------------ */

/* Writes the banner of the save in directory slot index (as last loaded) as a
 * 96 x 32, 16-bit bitmap file at path. 1 when the file was written. */
MCB_API int32_t GetSaverPIC(uint32_t index, const char* path);

/* The same for a save file already in memory: image holds its 64-byte entry
 * and then its data. The library reads no further than 64 + block count x
 * 8192 bytes, the block count taken from the entry and capped at 1019 (the
 * largest card's save area); the caller's buffer must be that long. */
MCB_API int32_t GetBitmap(const void* image, const char* path);

/* ---- Why a call failed ----------------------------------------------------
 *
 * The functions below carry the mcb_ prefix; they came after the fifteen
 * above and leave them as they are. */

/* Why the last call into the library failed, as an mcb_error code;
 * MCB_SUCCESS after a call that succeeded. Every exported function sets it. */
MCB_API int32_t mcb_last_error(void);

/* After an upload refused with MCB_ERROR_NO_ROOM: the blocks the save needs
 * and the blocks the card has free. 1 when the last call was such a refusal
 * (and the counts were stored), 0 otherwise. Either pointer may be null. */
MCB_API int32_t mcb_space(uint32_t* needed, uint32_t* free);

/* ---- Saves by directory slot ----------------------------------------------
 *
 * A card can hold two saves with the same name and game code; these act on
 * exactly the save in one directory slot (0..126, as GetSaverInfo numbers
 * them). The name-based DownLoadSaver, DeleteSaver and UpLoadSaver (when it
 * would replace a save) refuse such twins with MCB_ERROR_AMBIGUOUS.
 *
 * Every call that reads or frees a save follows its chain of blocks through
 * the allocation map; a save whose chain is broken (it loops, leaves the save
 * area, ends early or late, or runs into another save's) is neither read nor
 * freed: MCB_ERROR_BROKEN_CHAIN. Blocks written are read back and compared
 * before the directory changes: MCB_ERROR_READ_BACK when they differ, the
 * old save still whole. A save is never written over its own old blocks: with
 * too few free blocks the call fails with MCB_ERROR_NO_ROOM (see mcb_space).
 *
 * The three taking a slot reload the card's directory first (InitSaverInfo
 * is not needed), fail with MCB_ERROR_BAD_ARGUMENT for a slot of 127 or more
 * and with MCB_ERROR_NO_SAVE when the slot is empty. */

/* The slot of the card save (name, code) in the directory as last loaded;
 * -1 when there is none (MCB_ERROR_NO_SAVE), and also -1 (with
 * mcb_last_error() == MCB_ERROR_AMBIGUOUS) when more than one save matches. */
MCB_API int32_t mcb_find_slot(const char* name, const char* code);

/* Copies the save in slot into a save file at path. 1 when the whole save
 * was written; on failure any older file at path is left as it was. */
MCB_API int32_t mcb_download_slot(uint32_t slot, const char* path);

/* Removes the save in slot. 1 on success. */
MCB_API int32_t mcb_delete_slot(uint32_t slot);

/* Puts the save file at path onto the card in place of the save in slot,
 * which must have the file's name and code (else MCB_ERROR_BAD_ARGUMENT). A
 * file that is not a plain save file (entry, then as many blocks as the entry
 * counts) fails with MCB_ERROR_NOT_A_SAVE before the card is touched. The old
 * save stays whole on the card until the new one has been written and read
 * back. 1 on success. */
MCB_API int32_t mcb_replace_slot(uint32_t slot, const char* path);

#ifdef __cplusplus
}
#endif

#endif /* MCBRIDGE_H */
