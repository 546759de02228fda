/*
 * mcbridge: talks to a USB memory-card adapter and knows the card's file
 * system.
 *
 * Two ways in. The handle calls (mcb_open and the calls taking an mcb_card,
 * at the end of this header) hold any number of cards at once, on any mix
 * of adapters and card images, each with its own last error; calls on
 * different handles may run on different threads at the same time, while
 * one handle is used by one thread at a time. They return 0 (or a count) on
 * success and a negative MCB_E_ code on failure, and move saves and card
 * images through the caller's memory.
 *
 * The fifteen original exports (OpenDevice ... GetBitmap) and the mcb_
 * functions that take no handle work on one default card, from one thread
 * at a time, as they always have: results are 32-bit integers where 0 means
 * failure, and the adapter is chosen by the device string in the
 * MCBRIDGE_DEVICE environment variable, read at every OpenDevice.
 *
 * Device strings:
 *
 *   usb:VVVV:PPPP   first USB device with that vendor:product (hexadecimal)
 *   /dev/...        a character device, opened read-write and blocking
 *   image:PATH      the emulated adapter over a card image file (every
 *                   512-byte sector of the card in order); a missing file is
 *                   created as a freshly formatted 16 Mbit card
 *   folder:PATH     a folder of plain .gci save files, one per save, named as
 *                   the emulator's folder mode names them, shown as a card;
 *                   "?size=N" gives its size in megabits (4 ... 128) or in
 *                   save blocks (59 ... 2043; the emulator's 2043 unless
 *                   given), "&encoding=sjis" (or ansi) its encoding. A change
 *                   writes each changed save's file whole and flushed before
 *                   the file it replaces goes; other files are left alone
 *                   (see mcb_folder_file). A missing folder is created.
 *
 * Unset or empty means no adapter.
 *
 * Texts (paths, a save's 32-byte file name, its 6-byte game code) are byte
 * strings owned by the caller for the duration of the call; out-buffers are
 * the caller's and come with their capacity. Nothing the library allocates
 * is freed by the caller, and the other way round, but for the handle that
 * mcb_open gives and mcb_close takes back.
 *
 * The library produces no text of its own but the English descriptions of
 * its error codes (mcb_strerror) for command-line tools.
 *
 * Directory slots are numbered 0 to MCB_SLOTS - 1 (126) everywhere; the
 * directory's 128th place holds its trailer and is never a save.
 */
#ifndef MCBRIDGE_H
#define MCBRIDGE_H

#include <stddef.h>
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

/* The card's geometry. A card of M megabits has M x 16 blocks, of which the
 * first MCB_SYSTEM_BLOCKS are its header, two directory copies and two
 * allocation map copies; the rest hold saves. */
#define MCB_SECTOR_SIZE 512
#define MCB_BLOCK_SIZE 8192 /* 16 sectors */
#define MCB_SYSTEM_BLOCKS 5
#define MCB_SLOTS 127     /* directory slots for saves */
#define MCB_ENTRY_SIZE 64 /* a directory entry, also the head of a save file */
#define MCB_CARD_BLOCKS(megabits) ((megabits)*16u)
#define MCB_SAVE_BLOCKS(megabits) (MCB_CARD_BLOCKS(megabits) - MCB_SYSTEM_BLOCKS)
#define MCB_CARD_BYTES(megabits) (MCB_CARD_BLOCKS(megabits) * (uint64_t)MCB_BLOCK_SIZE)
#define MCB_SMALLEST_CARD 4  /* megabits */
#define MCB_LARGEST_CARD 128 /* megabits */
/* The most blocks one save can have: the largest card's save area. */
#define MCB_LARGEST_SAVE_BLOCKS MCB_SAVE_BLOCKS(MCB_LARGEST_CARD)
/* The longest plain save file: its entry, then its blocks. */
#define MCB_LARGEST_SAVE_FILE (MCB_ENTRY_SIZE + (uint64_t)MCB_LARGEST_SAVE_BLOCKS * MCB_BLOCK_SIZE)

/* Fields of a directory entry (big-endian numbers). */
#define MCB_ENTRY_GAME 0  /* 4-byte game id; its fourth letter is the region */
#define MCB_ENTRY_MAKER 4 /* 2-byte maker code; game and maker are the 6-byte code */
#define MCB_ENTRY_CODE_SIZE 6
#define MCB_ENTRY_NAME 8 /* 32-byte file name, NUL-padded */
#define MCB_ENTRY_NAME_SIZE 32
#define MCB_ENTRY_FIRST_BLOCK 54
#define MCB_ENTRY_BLOCK_COUNT 56

/* Why a call failed: left in mcb_receiver.error by OpenDevice, and kept for
 * mcb_last_error by every call. */
enum mcb_error {
    MCB_SUCCESS = 0,
    MCB_ERROR_NO_DEVICE = 1,     /* no device string: no adapter is configured */
    MCB_ERROR_BAD_DEVICE = 2,    /* the device string is not one of the forms above */
    MCB_ERROR_NOT_FOUND = 3,     /* no such USB device, device node or image file */
    MCB_ERROR_ACCESS = 4,        /* the device or file exists but may not be opened */
    MCB_ERROR_IMAGE_SIZE = 5,    /* the image's length is not that of a card of any size */
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
    MCB_ERROR_FAILED = 22,       /* the call failed for a reason not listed above */
    MCB_ERROR_IMAGE_LENGTH = 23, /* the image is not as large as the card */
    MCB_ERROR_NOT_OPEN = 24,     /* no adapter is open: OpenDevice first */
    MCB_ERROR_IMAGE_HEADER = 25, /* the card image has another tool's header in front */
    MCB_ERROR_BUSY = 26,         /* another program is writing to the card */
    MCB_ERROR_CHANGED = 27,      /* the card was changed or swapped during the write */
    MCB_ERROR_TOO_SMALL = 28,    /* the caller's buffer is too small */
    MCB_ERROR_READ_ONLY = 29,    /* the card may only be read */
    MCB_ERROR_EXISTS = 30,       /* the card holds a save of that name and code already */
    MCB_ERROR_JOURNAL = 31,     /* the card was changed elsewhere since the journal's last record */
    MCB_ERROR_JOURNAL_FILE = 32 /* the journal's record could not be written or read */
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

/* ---- Errors and versions ---------------------------------------------------
 *
 * The handle calls return these negative codes, each the negative of the
 * mcb_error above with the same name. */
enum mcb_status {
    MCB_OK = 0,
    MCB_E_NO_DEVICE = -MCB_ERROR_NO_DEVICE,
    MCB_E_BAD_DEVICE = -MCB_ERROR_BAD_DEVICE,
    MCB_E_NOT_FOUND = -MCB_ERROR_NOT_FOUND,
    MCB_E_ACCESS = -MCB_ERROR_ACCESS,
    MCB_E_IMAGE_SIZE = -MCB_ERROR_IMAGE_SIZE,
    MCB_E_IO = -MCB_ERROR_IO,
    MCB_E_NO_MEMORY = -MCB_ERROR_NO_MEMORY,
    MCB_E_NOT_SUPPORTED = -MCB_ERROR_NOT_SUPPORTED,
    MCB_E_NOT_A_CARD = -MCB_ERROR_NOT_A_CARD,
    MCB_E_DAMAGED = -MCB_ERROR_DAMAGED,
    MCB_E_BROKEN_CHAIN = -MCB_ERROR_BROKEN_CHAIN,
    MCB_E_NO_ROOM = -MCB_ERROR_NO_ROOM,
    MCB_E_NO_SLOT = -MCB_ERROR_NO_SLOT,
    MCB_E_READ_BACK = -MCB_ERROR_READ_BACK,
    MCB_E_AMBIGUOUS = -MCB_ERROR_AMBIGUOUS,
    MCB_E_NO_SAVE = -MCB_ERROR_NO_SAVE,
    MCB_E_NOT_A_SAVE = -MCB_ERROR_NOT_A_SAVE,
    MCB_E_FILE = -MCB_ERROR_FILE,
    MCB_E_NOT_LOADED = -MCB_ERROR_NOT_LOADED,
    MCB_E_BAD_ARGUMENT = -MCB_ERROR_BAD_ARGUMENT,
    MCB_E_OTHER_CARD = -MCB_ERROR_OTHER_CARD,
    MCB_E_FAILED = -MCB_ERROR_FAILED,
    MCB_E_IMAGE_LENGTH = -MCB_ERROR_IMAGE_LENGTH,
    MCB_E_NOT_OPEN = -MCB_ERROR_NOT_OPEN,
    MCB_E_IMAGE_HEADER = -MCB_ERROR_IMAGE_HEADER,
    MCB_E_BUSY = -MCB_ERROR_BUSY,
    MCB_E_CHANGED = -MCB_ERROR_CHANGED,
    MCB_E_TOO_SMALL = -MCB_ERROR_TOO_SMALL, /* nothing was written to the buffer */
    MCB_E_READ_ONLY = -MCB_ERROR_READ_ONLY,
    MCB_E_EXISTS = -MCB_ERROR_EXISTS,
    MCB_E_JOURNAL = -MCB_ERROR_JOURNAL,
    MCB_E_JOURNAL_FILE = -MCB_ERROR_JOURNAL_FILE
};

/* An English description of an error code, for command-line tools: either
 * sign is taken (MCB_E_IO and MCB_ERROR_IO give the same text). Never null;
 * the text is the library's and lives as long as it is loaded. */
MCB_API const char* mcb_strerror(int code);

/* The code's name ("MCB_E_IO"), for logs; "MCB_E_UNKNOWN" for none. */
MCB_API const char* mcb_error_name(int code);

/* The interface this header describes: (major << 16) | minor. A program
 * may use the calls of a library whose mcb_version() has the same major
 * number and a minor number at least its own MCB_API_VERSION's. */
#define MCB_API_VERSION 0x00020000u
MCB_API uint32_t mcb_version(void);

/* An English description of an mcb_error code, for command-line tools. */
static inline const char* mcb_error_text(int32_t error) { return mcb_strerror(error); }

/* ---- Link ---------------------------------------------------------------- */

/* Opens the adapter and sends the begin packet. Remembers the receiver for
 * later progress messages. 1 when open, 0 otherwise. */
MCB_API int32_t OpenDevice(mcb_receiver* window);

/* Sends the end packet and closes the adapter. Non-zero when an open adapter
 * was closed, 0 when none was open (MCB_ERROR_NOT_OPEN) or the close failed. */
MCB_API int32_t CloseDevice(void);

/* 1 while an adapter is held open, else 0. */
MCB_API int32_t IsConnected(void);

/* The open adapter as an opaque handle, null when closed. */
MCB_API void* DriverHandle(void);

/* ---- Card size ----------------------------------------------------------- */

/* The card's size in megabits (4, 8, 16, 32, 64, 128), 0 when it could not be read
 * (MCB_ERROR_NOT_A_CARD when the header names no size). Opens the adapter
 * itself when it is closed (and leaves it open). */
MCB_API int32_t GetCardMemory(void);

/* ---- Directory ----------------------------------------------------------- */

/* Loads the card's current directory and allocation map. 1 on success; 0 when
 * they cannot be read or neither copy of one of them is intact. */
MCB_API int32_t InitSaverInfo(void);

/* The save in directory slot index as last loaded: 32 name bytes and 6 code
 * bytes (no terminator) and its block count. 1 when the slot holds a save, 0
 * for an empty slot or any index past the last slot (126). */
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
 * as long as the card (else MCB_ERROR_IMAGE_LENGTH, or MCB_ERROR_IMAGE_HEADER
 * for a card image behind another tool's header) and hold an intact
 * directory and map (else MCB_ERROR_DAMAGED), and it must have been read
 * from this card: an image whose identity bytes (see mcb_restore_card)
 * differ from the card's is refused with MCB_ERROR_OTHER_CARD. All of this
 * is checked before the first erase. Every sector written is read back and
 * compared (MCB_ERROR_READ_BACK). 1 on success. */
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

/* The bytes of the bitmap file GetSaverPIC and GetBitmap write, into out
 * (capacity bytes) instead of a file: a program that shows the pictures needs
 * no file for them. *size gets the length the bitmap takes (at most
 * MCB_BITMAP_MAX), also when capacity is too small (then 0,
 * MCB_ERROR_BAD_ARGUMENT). 1 on success. */
#define MCB_BITMAP_MAX 8192
MCB_API int32_t mcb_saver_bitmap(uint32_t index, uint8_t* out, uint32_t capacity, uint32_t* size);
MCB_API int32_t mcb_file_bitmap(const void* image, uint8_t* out, uint32_t capacity, uint32_t* size);

/* The 64-byte directory entry of the save in slot index as last loaded by
 * InitSaverInfo, read from memory only: a program can tell from it whether a
 * save it has seen before changed. 1 on success; 0 with MCB_ERROR_NO_SAVE for
 * an empty slot or an index past the last slot. */
MCB_API int32_t mcb_saver_entry(uint32_t index, uint8_t* entry);

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
 * exactly the save in one directory slot, as GetSaverInfo numbers them. The name-based
 * DownLoadSaver, DeleteSaver and UpLoadSaver (when it would replace a save) refuse such twins with
 * MCB_ERROR_AMBIGUOUS.
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
 * is not needed), fail with MCB_ERROR_BAD_ARGUMENT for a slot past the last
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

/* ---- Whole-card images of other cards -------------------------------------
 *
 * The first 32 bytes of a card's header are its identity: the console that
 * formatted the card derives them from its own flash ID and the moment of
 * formatting. Some games (F-Zero GX, Phantasy Star Online Episode I & II and
 * Episode III) bind their saves to a serial folded from these bytes (the XOR
 * of them taken as two big-endian 32-bit words per 8 bytes) and refuse a
 * save whose serial is not the card's. An image read from one card and
 * written as it is onto another gives that card the first card's identity.
 *
 * Every save upload (UpLoadSaver, mcb_replace_slot) re-signs such a save
 * made on another card for the card it goes onto: the card's serial written
 * where the game keeps it and the game's checksum recomputed, as consoles
 * do. A save that already holds the card's serial is written unchanged. */

/* How mcb_restore_card treats an image read from another card. */
enum mcb_restore {
    MCB_RESTORE_SAME_CARD = 0,    /* refuse it: MCB_ERROR_OTHER_CARD, as WriteFileToCard */
    MCB_RESTORE_FORCE = 1,        /* write it as it is: the card takes the image's identity */
    MCB_RESTORE_KEEP_IDENTITY = 2 /* write everything but the identity bytes, which stay the
                                   * card's (the header's checksum recomputed); the image's
                                   * serial-bound saves are re-signed for this card */
};

/* Whether the image file at path may be written over the card by
 * WriteFileToCard, without writing anything: 1 when it may; 0 with
 * MCB_ERROR_OTHER_CARD when it was read from another card (and would be
 * written by mcb_restore_card with MCB_RESTORE_FORCE or
 * MCB_RESTORE_KEEP_IDENTITY), or with the reason WriteFileToCard would give
 * when it cannot be written at all. Reads the card's header sector. */
MCB_API int32_t mcb_check_image(const char* path);

/* WriteFileToCard with a choice for an image of another card: how is an
 * mcb_restore (anything else: MCB_ERROR_BAD_ARGUMENT, nothing written).
 * 1 on success. */
MCB_API int32_t mcb_restore_card(const char* path, int32_t how);

/* ---- Save files in other containers, and what a save says about itself ---
 *
 * Besides the plain save file (the 64-byte entry, then the blocks), saves
 * travel in two containers other tools write: ".gcs" (a 0x150-byte header,
 * the entry at 0x110) and ".sav" (a 0xC0-byte header, the entry at 0x80 with
 * some fields byte-swapped). The library knows a file by its content (magic
 * and length), never by its name. A file it does not take as a save is
 * refused before anything else happens; mcb_save_fault() then says why. */

/* The three forms of a save file. */
enum mcb_save_format {
    MCB_SAVE_GCI = 1, /* the entry, then the blocks */
    MCB_SAVE_GCS = 2, /* ".gcs" container */
    MCB_SAVE_SAV = 3  /* ".sav" container */
};

/* Why a file was not taken as a save. */
enum mcb_save_fault {
    MCB_SAVE_OK = 0,
    MCB_SAVE_CANNOT_OPEN = 1,      /* missing or not readable */
    MCB_SAVE_NOT_REGULAR = 2,      /* a folder, device or pipe, not a file */
    MCB_SAVE_READ_FAILED = 3,      /* reading the file failed part-way */
    MCB_SAVE_TRUNCATED_HEADER = 4, /* shorter than its header */
    MCB_SAVE_NO_CONTAINER = 5,     /* a container's length without its magic */
    MCB_SAVE_WRONG_MAGIC = 6,      /* one container's magic, another's length */
    MCB_SAVE_PARTIAL_BLOCK = 7,    /* the data is not a whole number of blocks */
    MCB_SAVE_NO_BLOCKS = 8,        /* no block of data */
    MCB_SAVE_TOO_LARGE = 9,        /* more blocks than any card holds */
    MCB_SAVE_EMPTY_ENTRY = 10,     /* the entry is that of an empty slot */
    MCB_SAVE_COUNT_MISMATCH = 11,  /* the entry's block count disagrees with the length */
    MCB_SAVE_CANNOT_WRITE = 12     /* the converted file could not be written */
};

/* An English description of an mcb_save_fault code, for command-line tools. */
static inline const char* mcb_save_fault_text(int32_t fault)
{
    switch (fault) {
    case MCB_SAVE_OK: return "a save file";
    case MCB_SAVE_CANNOT_OPEN: return "the file does not exist or may not be read";
    case MCB_SAVE_NOT_REGULAR: return "not a regular file";
    case MCB_SAVE_READ_FAILED: return "the file could not be read to its end";
    case MCB_SAVE_TRUNCATED_HEADER: return "the file is shorter than its header: it is truncated";
    case MCB_SAVE_NO_CONTAINER:
        return "the file has the length of a .gcs or .sav container but not its magic";
    case MCB_SAVE_WRONG_MAGIC:
        return "the file begins with one container's magic but has the length of another";
    case MCB_SAVE_PARTIAL_BLOCK:
        return "the save's data is not a whole number of 8 KiB blocks: the file is cut short or "
               "padded";
    case MCB_SAVE_NO_BLOCKS: return "the file holds no block of save data";
    case MCB_SAVE_TOO_LARGE: return "the file holds more blocks than any card";
    case MCB_SAVE_EMPTY_ENTRY: return "the file's directory entry is empty";
    case MCB_SAVE_COUNT_MISMATCH:
        return "the block count in the file's directory entry disagrees with its length";
    case MCB_SAVE_CANNOT_WRITE: return "the converted file could not be written";
    default: return "unknown fault";
    }
}

/* The form of the save file at path (an mcb_save_format), 0 when it is not a
 * save file: mcb_last_error() is then MCB_ERROR_NOT_A_SAVE (or
 * MCB_ERROR_FILE when it could not be read) and mcb_save_fault() says why. */
MCB_API int32_t mcb_save_format(const char* path);

/* Why the last mcb_save_format, mcb_convert_save or mcb_save_info_file
 * refused its file (an mcb_save_fault); MCB_SAVE_OK after one that took it. */
MCB_API int32_t mcb_save_fault(void);

/* Writes the save in the file at in (any of the three forms) to a file at
 * out in the given mcb_save_format, replacing it only when the whole file was
 * written. Data blocks and entry travel unchanged (the entry's block count is
 * the true one); a container's header also carries the save's title and
 * comment lines. in and out may be the same path. 1 on success. */
MCB_API int32_t mcb_convert_save(const char* in, const char* out, int32_t format);

#define MCB_ICON_SIZE 32  /* an icon frame is 32 x 32 pixels */
#define MCB_ICON_FRAMES 8 /* at most eight frames */

/* Permission bits of a save. */
#define MCB_PERMISSION_PUBLIC 0x04
#define MCB_PERMISSION_NO_COPY 0x08
#define MCB_PERMISSION_NO_MOVE 0x10

/* How the icon's frames follow one another. */
enum mcb_animation {
    MCB_ANIMATION_LOOP = 0,  /* 1, 2, 3, 1, 2, 3, ... */
    MCB_ANIMATION_BOUNCE = 1 /* 1, 2, 3, 2, 1, 2, ... */
};

/* One frame of a save's icon. */
typedef struct mcb_icon_frame {
    /* How the frame is stored: 1 8-bit colour indices with a palette shared
     * by the frames, 2 16-bit colours, 3 8-bit colour indices with a palette
     * of its own; 0 when the frame stores no picture and shows the next
     * frame's (fully transparent when no later frame has one). */
    uint32_t format;
    /* How long the frame stays, in the console's video frames (1/60 s): 4, 8
     * or 12. */
    uint32_t delay;
    /* 32 rows of 32 pixels, top row first, 4 bytes a pixel: red, green, blue,
     * alpha (255 opaque). */
    uint8_t rgba[MCB_ICON_SIZE * MCB_ICON_SIZE * 4];
} mcb_icon_frame;

/* Everything a save says about itself. A plain structure the caller owns
 * (about 33 KiB): the library only fills it. Texts end with a NUL. */
typedef struct mcb_save_info {
    char code[7];         /* game code, as stored */
    char name[33];        /* file name, as stored */
    char title[97];       /* first comment line, UTF-8; empty without a comment */
    char comment[97];     /* second comment line, UTF-8 */
    uint32_t has_comment; /* 1 when the save carries comment lines */
    /* The encoding the texts were read in: 0 Windows-1252, 1 Shift-JIS (the
     * card's own; for a save file, Shift-JIS when its game code's fourth
     * letter is 'J'). */
    uint32_t encoding;
    uint32_t modified; /* seconds since 2000-01-01 00:00:00, the console's local time */
    int32_t year, month, day, hour, minute, second; /* the same as a calendar date */
    uint32_t permissions;                           /* MCB_PERMISSION_ bits */
    uint32_t copy_counter;                          /* how often the save was copied */
    uint32_t blocks;                                /* block count */
    uint32_t format;        /* the file's mcb_save_format; 0 for a card save */
    uint32_t animation;     /* an mcb_animation */
    uint32_t frame_count;   /* 0 to 8; 0: the save has no icon */
    uint32_t icon_complete; /* 0 when some picture data lay beyond the save */
    mcb_icon_frame frames[MCB_ICON_FRAMES];
} mcb_save_info;

/* Describes the save file at path (any of the three forms) into *info.
 * Reads only the file's header and the blocks that hold the comment and the
 * icon. 1 on success; 0 with mcb_save_fault() set when the file is refused. */
MCB_API int32_t mcb_save_info_file(const char* path, mcb_save_info* info);

/* Describes the card save in directory slot into *info. Needs an
 * open adapter whose card size was read (GetCardMemory); reloads the
 * directory and map first (unless the card's header and the sectors that
 * hold their counters show the ones last loaded still current), and reads
 * the save's data by following its chain in the map, only the sectors that
 * hold the comment and the icon. 1 on success; 0 with MCB_ERROR_NO_SAVE
 * for an empty slot, MCB_ERROR_BROKEN_CHAIN when the chain cannot be
 * followed, MCB_ERROR_IO when a block cannot be read. */
MCB_API int32_t mcb_save_info_slot(uint32_t slot, mcb_save_info* info);

/* ---- Checking, repairing and recovering a card ----------------------------
 *
 * mcb_check_card, mcb_repair_card and mcb_recover_list each leave a list of
 * findings in the library, read one at a time with mcb_finding_at (and the
 * blocks a finding names with mcb_finding_blocks). The list is the library's
 * and stays until the next of these three calls, or mcb_recover_slot; the
 * caller only copies records out of it. Each of the three reads the card's
 * header, both directory copies and both map copies (80 sectors) and needs
 * an open adapter whose card size was read (GetCardMemory). */

/* How much a finding weighs. */
enum mcb_severity {
    MCB_SEVERITY_INFO = 0,    /* what the card holds and which copies are in use */
    MCB_SEVERITY_WARNING = 1, /* a console still reads the card, but repair would mend this */
    MCB_SEVERITY_FAULT = 2    /* a console or emulator rejects the card, or a save is lost */
};

/* What a finding says. The fields it uses are named; the others are 0 or -1. */
enum mcb_finding_kind {
    /* Check: the copy of a structure (detail: 1 directory, 2 map) in use,
     * copy 0 or 1; count: its update counter; expected: why it is used (an
     * mcb_copy_reason); other_slot: the other copy's state (0 intact and
     * older, 1 damaged, 2 intact with the same counter). */
    MCB_FINDING_COPY_IN_USE = 1,
    /* Check: copy of structure detail fails its checksum. One damaged copy
     * of the four (directory and map copies, a map with a wrong free count
     * counted as damaged) is a warning, as a console mends it from its twin;
     * two are a fault. */
    MCB_FINDING_COPY_DAMAGED = 2,
    /* Check: the header's checksum does not hold. */
    MCB_FINDING_HEADER_DAMAGED = 3,
    /* Check: the header says count Mbit, the card holds expected Mbit. */
    MCB_FINDING_HEADER_SIZE = 4,
    /* Check: the save in slot (name, code), count blocks; its chain from
     * mcb_finding_blocks. */
    MCB_FINDING_SAVE = 5,
    /* Check: the save in slot has a broken chain (detail: an mcb_chain_fault);
     * the blocks it reaches from mcb_finding_blocks. */
    MCB_FINDING_BROKEN_CHAIN = 6,
    /* Check: the save in slot claims count blocks, its chain holds expected. */
    MCB_FINDING_COUNT_DISAGREES = 7,
    /* Check: the saves in slot and other_slot share count blocks, the first
     * being block; all of them from mcb_finding_blocks. */
    MCB_FINDING_SHARED_BLOCKS = 8,
    /* Check: count blocks the map marks used belong to no save (leaked); the
     * first is block, all of them from mcb_finding_blocks. A warning: a
     * console reads such a card, as it does one whose saves share blocks. */
    MCB_FINDING_LEAKED_BLOCKS = 9,
    /* Check: copy of the map (detail 2) says count blocks are free, its
     * entries mark expected free; weighed as a damaged copy. */
    MCB_FINDING_FREE_COUNT = 10,
    /* Check: the saves in slot and other_slot have the same name and code. */
    MCB_FINDING_TWIN_SAVES = 11,

    /* Repair: copy of structure detail is rebuilt from the other copy. */
    MCB_REPAIR_REBUILD_COPY = 32,
    /* Repair: count leaked blocks are freed (mcb_finding_blocks); expected
     * blocks are free afterwards. */
    MCB_REPAIR_FREE_BLOCKS = 33,
    /* Repair: the map copy kept (none is valid, or the valid one lacks a
     * save the other reaches) has its free count go from count to
     * expected. */
    MCB_REPAIR_FREE_COUNT = 34,
    /* Repair: the save in slot (name, code) is left as it is, its chain being
     * broken or shared (detail: an mcb_chain_fault); its data can still be
     * copied out with mcb_download_damaged. */
    MCB_REPAIR_SAVE_LEFT = 35,
    /* Repair: a finding of kind detail that repair does not mend (the header,
     * twin saves, or a structure with no intact copy). */
    MCB_REPAIR_NOT_MENDED = 36,

    /* Recover: the save in slot of the directory copy not in use (name, code,
     * count blocks, the first being block) is deleted from the card in use
     * and all its blocks are still free; detail: an mcb_recover_source. */
    MCB_RECOVERABLE = 48
};

/* Why a copy is the one in use. */
enum mcb_copy_reason {
    MCB_COPY_NEWER = 0,      /* both copies hold; this one's counter is newer */
    MCB_COPY_ONLY_INTACT = 1 /* the other copy is damaged */
};

/* How a save's chain of blocks is broken. */
enum mcb_chain_fault {
    MCB_CHAIN_SOUND = 0,
    MCB_CHAIN_NO_BLOCKS = 1,  /* the entry claims no blocks */
    MCB_CHAIN_OUTSIDE = 2,    /* a link leads outside the save area */
    MCB_CHAIN_FREE_BLOCK = 3, /* a link leads to a block the map calls free */
    MCB_CHAIN_LOOP = 4,       /* a link leads back into the chain */
    MCB_CHAIN_ENDS_EARLY = 5, /* the chain ends before the entry's count */
    MCB_CHAIN_TOO_LONG = 6,   /* the chain goes on past the entry's count */
    MCB_CHAIN_SHARED = 7      /* the chain runs into another save's */
};

/* Where a recoverable save's blocks were learnt from. */
enum mcb_recover_source {
    MCB_RECOVER_CHAIN = 0, /* its chain in the map copy not in use, or a single block */
    MCB_RECOVER_RUN = 1    /* no map copy keeps its chain: the blocks from its first on,
                              which are its own only when it was written in one run */
};

/* One finding, copied out of the library's list by mcb_finding_at. */
typedef struct mcb_finding {
    int32_t kind;       /* an mcb_finding_kind */
    int32_t severity;   /* an mcb_severity */
    int32_t detail;     /* see the kind */
    int32_t copy;       /* 0 or 1 for a copy of a structure, else -1 */
    int32_t slot;       /* a directory slot, else -1 */
    int32_t other_slot; /* a second slot, else -1 */
    uint32_t block;     /* a block number */
    uint32_t count;
    uint32_t expected;
    uint32_t blocks; /* how many blocks mcb_finding_blocks gives */
    char name[33];   /* the save's name bytes as stored, NUL-terminated */
    char code[7];    /* its game code bytes */
} mcb_finding;

/* Checks the card the way a console would see it, and more: the copies in
 * use and why, every save with its chain, broken chains, counts that disagree
 * with chains, blocks claimed twice, leaked blocks, a wrong free count, twin
 * saves and a header that disagrees with the card. Writes nothing. 1 when
 * the card was read and checked, whatever it holds: *count findings are
 * listed and *sound is 1 when none of them is a fault. Either pointer may be
 * null. */
MCB_API int32_t mcb_check_card(uint32_t* count, int32_t* sound);

/* Plans (apply 0) or makes (apply 1) the repairs the check calls for:
 * rebuilding a damaged copy from the intact one, freeing leaked blocks and
 * correcting the free count. The copies kept are chosen by what directory
 * and map say together: of the pairs whose checksums hold that reach every
 * save the card gives back now, the one that reaches the most (the
 * console's own on a tie), so a newest map whose only fault is its free
 * count is corrected rather than replaced by an older copy. Saves with broken or shared chains are
 * listed (MCB_REPAIR_SAVE_LEFT) and never touched. Changes are written through the same crash-safe
 * commit as every other change: a cut leaves the card as it was or as repaired. 1 when planned (and
 * made): *count items are listed, none when the card needs no repair. 0 with MCB_ERROR_DAMAGED when
 * neither copy of the directory or of the map is intact (nothing to rebuild from). */
MCB_API int32_t mcb_repair_card(int32_t apply, uint32_t* count);

/* Lists the saves that the directory copy not in use still describes, that
 * the copy in use no longer holds under their name and code, and whose
 * blocks are all free (or owned by no save and chained as the save's, as a
 * recovery cut short leaves them): the saves deleted by the card's last change (every
 * change, the library's as a console's, rewrites the copy not in use, so
 * this reaches one change back). 1 when listed (*count MCB_RECOVERABLE
 * items, perhaps none). */
MCB_API int32_t mcb_recover_list(uint32_t* count);

/* Puts back the save that slot of the directory copy not in use describes
 * (as mcb_recover_list numbers it): its entry into the same slot of the
 * directory in use when that is empty, else into the first empty one, and
 * its chain into the map, through the crash-safe commit. The slot it went to
 * is stored in *placed (may be null). When the copies not in use describe
 * the card with the save (as after the delete that removed it), the copies
 * in use are written, map first: a cut at any write leaves a card that loads
 * with the save back, or with the save still listed here, its blocks marked
 * used by no save until it is put back. After a failure part-way the list
 * of findings says which, read from the card again: one MCB_FINDING_SAVE
 * (the slot it is back in), one MCB_RECOVERABLE (it can still be put back),
 * or none when the card could not be read. 1 on success; 0 with
 * MCB_ERROR_NO_SAVE
 * when that slot lists no recoverable save, MCB_ERROR_NO_SLOT when the
 * directory is full. */
MCB_API int32_t mcb_recover_slot(uint32_t slot, uint32_t* placed);

/* The finding at index of the list the last of the calls above left, copied
 * into *out. 1 when index is in the list, else 0 (MCB_ERROR_BAD_ARGUMENT). */
MCB_API int32_t mcb_finding_at(uint32_t index, mcb_finding* out);

/* The block numbers of the finding at index, copied into out (capacity
 * entries; out may be null when capacity is 0). Returns how many the finding
 * names, which may exceed capacity; 0 with MCB_ERROR_BAD_ARGUMENT for an
 * index out of the list, and 0 for a finding that names no blocks. */
MCB_API int32_t mcb_finding_blocks(uint32_t index, uint16_t* out, uint32_t capacity);

/* Copies what the card holds for a save whose chain is broken (which
 * mcb_download_slot refuses) into a save file at path: the blocks of its
 * chain when the chain reaches the entry's count of distinct blocks before
 * it breaks, else the entry's count of blocks from its first block on (those
 * inside the save area). *source (may be null) says which: an
 * mcb_recover_source. The file's entry counts the blocks written. The data
 * may hold other saves' blocks: it is a rescue, not a copy. 1 when written;
 * a save whose chain is sound is copied as mcb_download_slot does. */
MCB_API int32_t mcb_download_damaged(uint32_t slot, const char* path, int32_t* source);

/* ==== Cards by handle ========================================================
 *
 * An mcb_card is one open card: an adapter, or a card image through the
 * emulated adapter, named by a device string. Any number may be open at
 * once. Every call below takes its handle first, returns MCB_OK (0), a
 * count, or a negative MCB_E_ code, and keeps that code for mcb_card_error.
 * A handle is used by one thread at a time; different handles may be used
 * by different threads at the same time.
 *
 * Writing: a handle takes the card's write lock at its first change (or at
 * mcb_lock) and keeps it until mcb_close. On a card image the lock is an
 * advisory lock on the file, which every program built on this library
 * honours; a USB adapter is claimed by one process at a time anyway. A
 * second writer waits for the lock a short time (mcb_set_lock_wait, 5
 * seconds unless set) and then fails with MCB_E_BUSY; mcb_lock_holder says
 * who holds it when that can be told. Calls that only read take the lock
 * shared for the length of the call, so a reader never keeps a writer
 * waiting for longer than one read.
 *
 * Before every change of the directory, the card's header and the system
 * area last read are read again: when they differ (another card was put in,
 * or the image was replaced), nothing is written to the system area, the
 * blocks already written stay free, and the call fails with MCB_E_CHANGED.
 */

typedef struct mcb_card mcb_card;

/* Opens the card a device string names (NULL: the one MCBRIDGE_DEVICE
 * names) and reads its header. *out gets the handle, to be given back to
 * mcb_close; it stays NULL on failure. MCB_OK, or why the card could not be
 * opened: MCB_E_NO_DEVICE, MCB_E_BAD_DEVICE, MCB_E_NOT_FOUND, MCB_E_ACCESS,
 * MCB_E_IMAGE_SIZE, MCB_E_IMAGE_HEADER, MCB_E_NOT_SUPPORTED, MCB_E_IO,
 * MCB_E_NOT_A_CARD, MCB_E_NO_MEMORY. */
MCB_API int mcb_open(const char* device, mcb_card** out);

/* Ends the link, releases the write lock and frees the handle. NULL is
 * ignored. */
MCB_API void mcb_close(mcb_card* card);

/* The code the handle's last call returned (MCB_OK after a success). */
MCB_API int mcb_card_error(const mcb_card* card);

/* Progress of the handle's long calls goes to receiver, as WM_CARD_PROGRESS
 * messages (see mcb_receiver); NULL for none. The receiver must stay valid
 * while the handle uses it. */
MCB_API int mcb_set_receiver(mcb_card* card, mcb_receiver* receiver);

/* How long a change waits for another writer's lock, in milliseconds (0:
 * not at all). */
MCB_API int mcb_set_lock_wait(mcb_card* card, uint32_t milliseconds);

/* Takes the write lock now (see above), for a caller that reads what it is
 * about to change. MCB_OK, MCB_E_BUSY or MCB_E_READ_ONLY. */
MCB_API int mcb_lock(mcb_card* card);

/* After MCB_E_BUSY: who holds the lock, as "program (pid N)" when it can be
 * told, into out (capacity bytes, NUL-terminated). The length written, 0
 * when the holder is unknown, MCB_E_TOO_SMALL when it does not fit. */
MCB_API int mcb_lock_holder(mcb_card* card, char* out, size_t capacity);

/* What kind of card a handle holds. */
enum mcb_card_kind {
    MCB_KIND_USB = 1,   /* an adapter on USB */
    MCB_KIND_NODE = 2,  /* an adapter behind a device node */
    MCB_KIND_IMAGE = 3, /* a card image file */
    MCB_KIND_FOLDER = 4 /* a folder of save files */
};

/* What a card is. Structures that may grow carry their size first: set it
 * to sizeof the structure before the call. */
typedef struct mcb_card_info {
    uint32_t size;
    uint32_t kind;        /* an mcb_card_kind */
    uint32_t megabits;    /* 4, 8, 16, 32, 64 or 128 */
    uint32_t save_blocks; /* MCB_SAVE_BLOCKS(megabits) */
    uint32_t free_blocks; /* free for a new save, as the last load found them */
    uint32_t saves;       /* saves in the directory, as last loaded */
    uint32_t encoding;    /* 0 Windows-1252, 1 Shift-JIS */
    uint32_t read_only;   /* 1 when the card may only be read */
    uint8_t identity[32]; /* the header's identity bytes (see mcb_restore_card) */
} mcb_card_info;

/* Reads the card's directory and allocation map (MCB_E_DAMAGED when neither
 * copy of one of them is intact) and returns the number of saves. The
 * card's header is read again too: a change refused with MCB_E_CHANGED
 * because another program formatted the card (a new identity) goes through
 * once the card is listed again. */
MCB_API int mcb_load(mcb_card* card);

/* The card as the last mcb_load found it (loads it when it was not). When
 * the load fails, what the card's header says (kind, megabits, save_blocks,
 * encoding, read_only, identity) is filled all the same. */
MCB_API int mcb_describe_card(mcb_card* card, mcb_card_info* info);

/* The 64-byte directory entry of the save in slot as last loaded into entry
 * (capacity bytes, at least MCB_ENTRY_SIZE). MCB_E_NO_SAVE for an empty
 * slot, MCB_E_BAD_ARGUMENT for a slot past the last. */
MCB_API int mcb_entry(mcb_card* card, uint32_t slot, uint8_t* entry, size_t capacity);

/* The save in slot, read from the card (the directory reloaded first,
 * following the save's chain of blocks), as a save file of the given
 * mcb_save_format into out (capacity bytes). *length gets the file's length,
 * also when it does not fit: then MCB_E_TOO_SMALL and nothing is written to
 * out. Returns the length on success. */
MCB_API int mcb_read_save(mcb_card* card, uint32_t slot, int32_t format, void* out, size_t capacity,
                          size_t* length);

/* How mcb_write_save places a save. */
enum mcb_write_policy {
    MCB_WRITE_NEW = 0,          /* as a new save; refused when one of its name and code is there */
    MCB_WRITE_REPLACE_NAME = 1, /* in place of the save of its name and code, else as a new one */
    MCB_WRITE_REPLACE_SLOT = 2  /* in place of the save in the request's slot, which must have
                                   the same name and code */
};

/* Flags of a write request. */
#define MCB_WRITE_NO_RESIGN                                                                        \
    0x1 /* refuse (MCB_E_OTHER_CARD) a save bound to another card's                                \
           serial rather than re-sign it for this one */
#define MCB_WRITE_DELETE_FIRST                                                                     \
    0x2 /* when the save it replaces leaves too little room beside                                 \
           it, delete that save first; the caller has kept a copy */

typedef struct mcb_write_request {
    uint32_t size;  /* sizeof(mcb_write_request) */
    int32_t policy; /* an mcb_write_policy */
    uint32_t slot;  /* for MCB_WRITE_REPLACE_SLOT */
    uint32_t flags; /* MCB_WRITE_ flags */
} mcb_write_request;

/* How a write ended. */
enum mcb_write_result {
    MCB_WRITTEN = 0, /* the card holds the new save */
    MCB_REFUSED = 1, /* nothing was written: the reason says why */
    MCB_FAILED = 2   /* the write failed part-way: holds says what the card holds now */
};

/* What the card holds for the save after a failed write, read back from
 * the card and compared with the bytes that were written (re-signed, when
 * they were) and with the save that was there. */
enum mcb_holds {
    MCB_HOLDS_UNKNOWN = 0, /* the card or the save could not be read again */
    MCB_HOLDS_NEW = 1,     /* the new save, whole */
    MCB_HOLDS_OLD = 2,     /* the save that was there before, whole */
    MCB_HOLDS_NONE = 3,    /* no save of that name and code (in that slot) */
    MCB_HOLDS_OTHER = 4    /* a save of that name and code that is neither */
};

typedef struct mcb_write_outcome {
    uint32_t size;            /* sizeof(mcb_write_outcome) */
    int32_t result;           /* an mcb_write_result */
    int32_t reason;           /* MCB_OK when written; else the MCB_E_ code the call returned */
    int32_t slot;             /* the slot written, or the slot of the save it would replace; -1 */
    int32_t other_slot;       /* for MCB_E_AMBIGUOUS, the second save of that name; else -1 */
    uint32_t blocks_needed;   /* the save's blocks */
    uint32_t blocks_free;     /* free blocks before the write */
    uint32_t blocks_replaced; /* the blocks of the save it replaces (0 for a new save) */
    int32_t holds;            /* an mcb_holds; MCB_HOLDS_NEW when written */
    uint32_t resigned;        /* 1 when the save was re-signed for this card */
    uint32_t deleted_first;   /* 1 when the old save was deleted before the new one was written */
} mcb_write_outcome;

/* Puts a save (any of the three forms, length bytes at save) onto the card
 * by the request's policy. Every refusal is decided before anything is
 * written: MCB_E_NOT_A_SAVE (see mcb_parse_save), MCB_E_EXISTS (policy NEW),
 * MCB_E_AMBIGUOUS (two saves of that name), MCB_E_NO_SAVE or
 * MCB_E_BAD_ARGUMENT (slot empty or holding another save), MCB_E_NO_ROOM
 * (blocks_needed, blocks_free and blocks_replaced say how short),
 * MCB_E_NO_SLOT, MCB_E_BROKEN_CHAIN (the save it would replace),
 * MCB_E_OTHER_CARD (with MCB_WRITE_NO_RESIGN). The old save stays whole on
 * the card until the new one is written and read back. outcome may be NULL.
 * MCB_OK when written. */
MCB_API int mcb_write_save(mcb_card* card, const void* save, size_t length,
                           const mcb_write_request* request, mcb_write_outcome* outcome);

/* Removes the save in slot (the directory reloaded first). outcome (may be
 * NULL) says, after a failure part-way, whether the card still holds the
 * save (MCB_HOLDS_OLD) or not (MCB_HOLDS_NONE). */
MCB_API int mcb_delete_save(mcb_card* card, uint32_t slot, mcb_write_outcome* outcome);

/* Every sector of the card into out (capacity bytes, at least the card's
 * MCB_CARD_BYTES). *length as for mcb_read_save. Returns MCB_OK. */
MCB_API int mcb_read_image(mcb_card* card, void* out, size_t capacity, size_t* length);

/* Writes a whole-card image (length bytes) over the card, as
 * mcb_restore_card does with how (an mcb_restore). The image is checked
 * whole before anything is written; the card's system area is written last,
 * after its header was found unchanged, and everything written is read back.
 */
MCB_API int mcb_write_image(mcb_card* card, const void* image, size_t length, int32_t how);

/* Formats the card as a console does: every save gone, a new identity, the
 * card's size kept, texts in the given encoding (0 Windows-1252, 1
 * Shift-JIS). Written and read back as mcb_write_image writes an image. */
MCB_API int mcb_format(mcb_card* card, int32_t encoding);

/* Makes a blank card image file of megabits (4, 8, 16, 32, 64 or 128) at
 * path, formatted as mcb_format would. Never over a file that is there
 * (MCB_E_EXISTS); the file appears whole, flushed to the disk, or not at
 * all (MCB_E_FILE). */
MCB_API int mcb_create_image(const char* path, uint32_t megabits, int32_t encoding);

/* The card's banner of the save in slot as a bitmap file's bytes (see
 * mcb_saver_bitmap). Returns the bitmap's length; *size as *length above. */
MCB_API int mcb_slot_bitmap(mcb_card* card, uint32_t slot, uint8_t* out, size_t capacity,
                            size_t* size);

/* Describes the card save in slot (see mcb_save_info_slot). */
MCB_API int mcb_describe_slot(mcb_card* card, uint32_t slot, mcb_save_info* info);

/* Check, repair and recovery as mcb_check_card, mcb_repair_card,
 * mcb_recover_list and mcb_recover_slot do, on the handle's card; their
 * findings stay with the handle, read with mcb_card_finding and
 * mcb_card_finding_blocks (which returns how many blocks the finding
 * names). */
MCB_API int mcb_check(mcb_card* card, uint32_t* count, int32_t* sound);
MCB_API int mcb_repair(mcb_card* card, int32_t apply, uint32_t* count);
MCB_API int mcb_recover_find(mcb_card* card, uint32_t* count);
MCB_API int mcb_recover(mcb_card* card, uint32_t slot, uint32_t* placed);
MCB_API int mcb_card_finding(mcb_card* card, uint32_t index, mcb_finding* out);
MCB_API int mcb_card_finding_blocks(mcb_card* card, uint32_t index, uint16_t* out, size_t capacity);

/* What the card holds for a save whose chain is broken, as
 * mcb_download_damaged gives it, as a plain save file into out; *length as
 * for mcb_read_save, *source an mcb_recover_source (may be NULL). */
MCB_API int mcb_rescue_save(mcb_card* card, uint32_t slot, void* out, size_t capacity,
                            size_t* length, int32_t* source);

/* ---- Save files in memory ---------------------------------------------- */

/* What a save file's bytes are. */
typedef struct mcb_save_view {
    uint32_t size;                 /* sizeof(mcb_save_view) */
    int32_t format;                /* an mcb_save_format */
    int32_t fault;                 /* an mcb_save_fault: MCB_SAVE_OK when taken */
    uint32_t blocks;               /* the save's blocks */
    uint64_t data_offset;          /* where its blocks start in the bytes */
    uint8_t entry[MCB_ENTRY_SIZE]; /* its entry in the card's byte order, true block count */
} mcb_save_view;

/* Recognises a save file from its bytes, by content as mcb_save_format does
 * by path. MCB_OK, or MCB_E_NOT_A_SAVE with view->fault saying why. */
MCB_API int mcb_parse_save(const void* bytes, size_t length, mcb_save_view* view);

/* The save in bytes (any form) in another mcb_save_format, into out as for
 * mcb_read_save. Returns the length. */
MCB_API int mcb_convert_bytes(const void* bytes, size_t length, int32_t format, void* out,
                              size_t capacity, size_t* out_length);

/* The banner of the save in bytes (any form) as a bitmap file's bytes. */
MCB_API int mcb_save_bitmap(const void* bytes, size_t length, uint8_t* out, size_t capacity,
                            size_t* size);

/* Describes the save in bytes (any form), as mcb_save_info_file does. */
MCB_API int mcb_describe_save(const void* bytes, size_t length, mcb_save_info* info);

/* ---- Names and texts of saves ----------------------------------------- */

/* A save's text field (its file name, length bytes at bytes, up to the
 * first NUL) as UTF-8, read in the encoding its 6-byte game code implies
 * (Shift-JIS for a code whose fourth letter is 'J', else Windows-1252), into
 * out (capacity bytes, NUL-terminated). *length (may be NULL) gets the
 * capacity the text needs with its terminator, also when it does not fit
 * (MCB_E_TOO_SMALL). Returns the text's length without the terminator. */
MCB_API int mcb_save_text(const void* bytes, size_t length, const char* code, char* out,
                          size_t capacity, size_t* length_out);

/* File names (without a folder) for count saves written into one folder in
 * the given mcb_save_format, as emulators keeping a card as a folder name
 * them: maker code, game code and name joined by '-', bytes a file system
 * refuses written as "__xx__", and "-2", "-3"... for names that would be
 * the same (also in another letter case) or that are taken. entries holds
 * the saves' 64-byte directory entries one after the other; taken the
 * folder's present names, each ended by a NUL (taken_length bytes in all).
 * The names go into out one after the other, each ended by a NUL; *length
 * as for mcb_save_text. Returns count. */
MCB_API int mcb_folder_names(const uint8_t* entries, size_t count, int32_t format,
                             const char* taken, size_t taken_length, char* out, size_t capacity,
                             size_t* length);

/* ---- Card texts on screen ---------------------------------------------- */

/* The longest text mcb_escape_text takes, and the capacity that always
 * holds its escaped form (four characters a byte at most, and the NUL). */
#define MCB_ESCAPED_LENGTH_LIMIT (64u * 1024u * 1024u)
#define MCB_ESCAPED_CAPACITY(length) ((length)*4u + 1u)

/* A card's text (a game or maker code, a name, a title, a comment), already
 * decoded to UTF-8 (length bytes at text), as it may be shown on a terminal
 * or in a window: every C0 control, DEL and byte that is no part of valid
 * UTF-8 as \xNN (two upper-case hex digits), every C1 control
 * (U+0080..U+009F) as \u00NN; all other text unchanged. Into out (capacity
 * bytes, NUL-terminated). Returns the escaped length without the NUL;
 * MCB_E_TOO_SMALL when it does not fit (nothing written). With out NULL and
 * capacity 0 only the length is returned. */
MCB_API int mcb_escape_text(const char* text, size_t length, char* out, size_t capacity);

/* ---- Folder cards -------------------------------------------------------- */

/* Why a file in a folder card's folder is not one of the card's saves. */
enum mcb_set_aside {
    MCB_ASIDE_NOT_A_SAVE = 1, /* not a plain .gci save file */
    MCB_ASIDE_NO_ROOM = 2,    /* a save the card of the folder's size has no blocks left for */
    MCB_ASIDE_NO_SLOT = 3,    /* a save past the directory's 127 places */
    MCB_ASIDE_TWIN = 4        /* a second file of a save (same code and name) shown already */
};

typedef struct mcb_aside_file {
    uint32_t size;   /* sizeof(mcb_aside_file) */
    uint32_t reason; /* an mcb_set_aside */
    char name[256];  /* the file's name in the folder, NUL-terminated */
} mcb_aside_file;

/* The files of a folder card (MCB_KIND_FOLDER) set aside: never shown,
 * written over or removed. Returns how many there are (0 for other cards);
 * when index is below that and out is not NULL, the index-th goes to out. */
MCB_API int mcb_folder_file(mcb_card* card, uint32_t index, mcb_aside_file* out);

/* As mcb_create_image, but the new card has the identity given (the first
 * 32 bytes of another card's header, as mcb_card_info.identity holds them;
 * NULL for a fresh one): saves bound to that card's serial work on it. The
 * file is written whole and flushed under another name and only then linked
 * in under path, so a file at path, however late it appeared, is never
 * written over (MCB_E_EXISTS). */
MCB_API int mcb_create_image_as(const char* path, uint32_t megabits, int32_t encoding,
                                const uint8_t* identity);

/* ---- The journal -------------------------------------------------------- */

/* The journal. Before any change writes to a card (a save written or
 * deleted, an image restored, a format, a repair, a recovery, an undo) the
 * library keeps what the change will overwrite in a record: the card's
 * identity and size, its system area, and every block of a save that the
 * change overwrites or frees (a change that writes the card's header keeps
 * every block). The record is written and synced, file and folder, before
 * the first write to the card; when it cannot be, the change fails with
 * MCB_E_JOURNAL_FILE and the card is not touched. After the change the
 * record gets the system area the change left.
 *
 * Records go to $XDG_DATA_HOME/cardsuite/journal (~/.local/share/...), or to
 * the folder in MCBRIDGE_JOURNAL ("off" turns the journal off), unless
 * mcb_set_journal says otherwise for a card. The last 100 records or 256 MiB
 * are kept, whichever is less; older ones are dropped first. Records follow a
 * card by its identity, not by its device string: an image of a card is the
 * card. */
#define MCB_JOURNAL_OFF 0x1u

/* Where the card's records go: folder (NULL for the default above), or
 * none with MCB_JOURNAL_OFF. Ends a record under way. */
MCB_API int mcb_set_journal(mcb_card* card, const char* folder, uint32_t flags);
/* mcb_set_journal, mcb_set_journal_limits, mcb_journal_begin and
 * mcb_journal_end take NULL for the default card of the original exports. */

/* The journal's bounds for the records this card adds: at most records
 * records and bytes bytes in the folder (0 for the defaults). */
MCB_API int mcb_set_journal_limits(mcb_card* card, uint32_t records, uint64_t bytes);

/* Makes the changes until the matching mcb_journal_end one record, named
 * what (at most 63 bytes are kept): a batch, a gather, an edit written back.
 * Groups nest; the outermost names the record. mcb_journal_end fails with
 * MCB_E_BAD_ARGUMENT when no group is open. mcb_close ends an open group. */
MCB_API int mcb_journal_begin(mcb_card* card, const char* what);
MCB_API int mcb_journal_end(mcb_card* card);

typedef struct mcb_journal_entry {
    uint32_t size;    /* sizeof(mcb_journal_entry) */
    uint32_t number;  /* the record's number, for mcb_undo */
    int64_t time;     /* when the change began, seconds since 1970 (UTC) */
    uint32_t undoes;  /* for an undo: the record it went back to before; else 0 */
    uint32_t blocks;  /* save blocks the record keeps */
    int32_t complete; /* 0 when the change was cut short */
    uint32_t reserved;
    char what[64];   /* "upload", "replace", "delete", "write card", "repair",
                        "undo to before #N", or the group's name */
    char saves[256]; /* the saves it touched, "name (CODE), ..." (cut at 255 bytes) */
} mcb_journal_entry;

/* The records for the card in the handle, newest first, into out (capacity
 * entries; each entry's size set by the caller). Returns how many there
 * are, which may be more than capacity. */
MCB_API int mcb_journal_list(mcb_card* card, mcb_journal_entry* out, size_t capacity);

/* Puts the card back as it was before record number (0: the latest for the
 * card) and every later one. Only when the card's system area is what the
 * latest record left, and every record followed the one before; otherwise
 * MCB_E_JOURNAL ("the card was changed elsewhere since") and nothing is
 * written. MCB_E_BAD_ARGUMENT for a number with no record for this card.
 * The undo is journalled itself, so it can be undone. When an undo was cut
 * short, the card is one a console reads, and the next mcb_undo finishes
 * that undo (whatever number it is given). */
MCB_API int mcb_undo(mcb_card* card, uint32_t number);

#ifdef __cplusplus
}
#endif

#endif /* MCBRIDGE_H */
