#include "commands/failure_reason.h"

#include "mcbridge.h"

#include "i18n/texts.h"

QString reasonText(int32_t error)
{
    switch (error) {
    case MCB_SUCCESS: return {};
    case MCB_ERROR_NO_DEVICE: return say_why_nodevice;
    case MCB_ERROR_BAD_DEVICE: return say_why_baddevice;
    case MCB_ERROR_NOT_FOUND: return say_why_notfound;
    case MCB_ERROR_ACCESS: return say_why_access;
    case MCB_ERROR_IMAGE_SIZE: return say_why_imagesize;
    case MCB_ERROR_IO: return say_why_io;
    case MCB_ERROR_NO_MEMORY: return say_why_nomemory;
    case MCB_ERROR_NOT_SUPPORTED: return say_why_notsupported;
    case MCB_ERROR_NOT_A_CARD: return say_why_notacard;
    case MCB_ERROR_DAMAGED: return say_why_damaged;
    case MCB_ERROR_BROKEN_CHAIN: return say_why_brokenchain;
    case MCB_ERROR_NO_ROOM: return say_why_noroom;
    case MCB_ERROR_NO_SLOT: return say_why_noslot;
    case MCB_ERROR_READ_BACK: return say_why_readback;
    case MCB_ERROR_AMBIGUOUS: return say_why_ambiguous;
    case MCB_ERROR_NO_SAVE: return say_why_nosave;
    case MCB_ERROR_NOT_A_SAVE: return say_why_notasave;
    case MCB_ERROR_FILE: return say_why_file;
    case MCB_ERROR_NOT_LOADED: return say_why_notloaded;
    case MCB_ERROR_BAD_ARGUMENT: return say_why_badargument;
    case MCB_ERROR_OTHER_CARD: return say_why_othercard;
    case MCB_ERROR_IMAGE_LENGTH: return say_why_imagelength;
    case MCB_ERROR_NOT_OPEN: return say_why_notopen;
    case MCB_ERROR_IMAGE_HEADER: return say_why_imageheader;
    case MCB_ERROR_BUSY: return say_why_busy;
    case MCB_ERROR_CHANGED: return say_why_changed;
    case MCB_ERROR_READ_ONLY: return say_why_readonly;
    case MCB_ERROR_EXISTS: return say_why_exists;
    case MCB_ERROR_JOURNAL: return say_why_journal;
    case MCB_ERROR_JOURNAL_FILE: return say_why_journalfile;
    default: break;
    }
    // A reason this program does not know yet (a newer library) is still a
    // failure; the library's own English beats saying nothing.
    return error == MCB_ERROR_FAILED ? say_why_failed : QString::fromLatin1(mcb_error_text(error));
}

QString withReason(const QString& what, int32_t error)
{
    const QString reason = reasonText(error);
    return reason.isEmpty() ? what : what + QStringLiteral(" [") + reason + QLatin1Char(']');
}
