// The journal's calls: where a card's records go, groups, the history of a
// card and undo.
#include "journal.h"
#include "library.h"

#include <algorithm>
#include <cstring>

using namespace mcb;

namespace {

void copyText(char* to, std::size_t capacity, const std::string& text)
{
    const std::size_t n = std::min(capacity - 1, text.size());
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
}

// The journal's settings and groups reach the default card too: the
// original exports write through it.
Library* orDefault(mcb_card* card) { return card ? static_cast<Library*>(card) : &defaultCard(); }

} // namespace

extern "C" {

MCB_API int mcb_set_journal(mcb_card* card, const char* folder, uint32_t flags)
{
    return onCard(orDefault(card), Access::None, [&](int&) -> int32_t {
        if (flags & ~MCB_JOURNAL_OFF)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        journalSet(lib(), flags & MCB_JOURNAL_OFF, folder ? folder : "");
        return 1;
    });
}

MCB_API int mcb_set_journal_limits(mcb_card* card, uint32_t records, uint64_t bytes)
{
    return onCard(orDefault(card), Access::None, [&](int&) -> int32_t {
        journalLimits(lib(), records, bytes);
        return 1;
    });
}

MCB_API int mcb_journal_begin(mcb_card* card, const char* what)
{
    return onCard(orDefault(card), Access::None, [&](int&) -> int32_t {
        journalBegin(lib(), std::string(what ? what : "").substr(0, 63));
        return 1;
    });
}

MCB_API int mcb_journal_end(mcb_card* card)
{
    return onCard(orDefault(card), Access::None, [&](int&) -> int32_t {
        return journalEnd(lib()) ? 1 : fail(MCB_ERROR_BAD_ARGUMENT);
    });
}

MCB_API int mcb_journal_list(mcb_card* card, mcb_journal_entry* out, size_t capacity)
{
    return onCard(card, Access::None, [&](int& count) -> int32_t {
        Library& l = lib();
        if (!out && capacity > 0)
            return fail(MCB_ERROR_BAD_ARGUMENT);
        for (std::size_t i = 0; i < capacity; ++i)
            if (out[i].size < sizeof(mcb_journal_entry))
                return fail(MCB_ERROR_BAD_ARGUMENT);
        if (!l.cardSized || !l.headerKnown)
            return fail(MCB_ERROR_NOT_LOADED);
        const std::string folder = journalFolder(l);
        if (folder.empty())
            return 1;
        const uint32_t sectors = (unsigned(l.userBlockCount) + kSystemBlocks) * kSectorsPerBlock;
        auto records = recordsFor(folder, l.headerOnCard.data(), sectors);
        std::reverse(records.begin(), records.end());
        int n = 0;
        for (const JournalRecord& r : records) {
            if (std::size_t(n) < capacity) {
                mcb_journal_entry& e = out[n];
                e.number = r.number;
                e.time = r.time;
                e.undoes = r.undoes;
                e.blocks = uint32_t(r.keptBlocks.size());
                e.complete = r.complete ? 1 : 0;
                e.reserved = 0;
                copyText(e.what, sizeof e.what, r.complete ? r.what : "unfinished");
                copyText(e.saves, sizeof e.saves, r.saves);
            }
            ++n;
        }
        count = n;
        return 1;
    });
}

MCB_API int mcb_undo(mcb_card* card, uint32_t number)
{
    return onCard(card, Access::Change, [&](int&) -> int32_t { return undoTo(number); });
}

} // extern "C"
