#include "cardtool_history.h"

#include "mcbridge.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace cardtool {

namespace {

struct Closer {
    void operator()(mcb_card* c) const { mcb_close(c); }
};
using Card = std::unique_ptr<mcb_card, Closer>;

int failed(const std::string& what)
{
    std::fprintf(stderr, "cardtool: %s\n", what.c_str());
    return 1;
}

Card openCard(const std::string& device, std::string& error)
{
    mcb_card* c = nullptr;
    const int status = mcb_open(device.empty() ? nullptr : device.c_str(), &c);
    if (status != MCB_OK)
        error = std::string("cannot open the card: ") + mcb_strerror(status);
    return Card(c);
}

std::vector<mcb_journal_entry> records(mcb_card* card, std::string& error)
{
    const int n = mcb_journal_list(card, nullptr, 0);
    if (n < 0) {
        error = std::string("cannot read the journal: ") + mcb_strerror(n);
        return {};
    }
    std::vector<mcb_journal_entry> out(static_cast<std::size_t>(n));
    for (auto& e : out)
        e.size = sizeof e;
    const int again = mcb_journal_list(card, out.data(), out.size());
    out.resize(again < 0 ? 0 : std::min<std::size_t>(std::size_t(again), out.size()));
    return out;
}

// Card texts may hold control bytes; the terminal gets none of them.
std::string printable(const char* text)
{
    std::string s;
    for (const char* p = text; *p; ++p)
        s += (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F) ? '?' : *p;
    return s;
}

std::string line(const mcb_journal_entry& e)
{
    char when[32] = "?";
    const std::time_t t = std::time_t(e.time);
    std::tm local{};
    if (localtime_r(&t, &local))
        std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &local);
    std::string s = "#" + std::to_string(e.number) + "  " + when + "  " + printable(e.what);
    if (e.saves[0])
        s += ": " + printable(e.saves);
    if (e.blocks)
        s += "  (" + std::to_string(e.blocks) + (e.blocks == 1 ? " block" : " blocks") + " kept)";
    if (!e.complete)
        s += "  [cut short]";
    return s;
}

} // namespace

int history(const std::string& device)
{
    std::string error;
    const Card card = openCard(device, error);
    if (!card)
        return failed(error);
    const auto list = records(card.get(), error);
    if (!error.empty())
        return failed(error);
    if (list.empty()) {
        std::printf("The journal holds no change to this card.\n");
        return 0;
    }
    std::printf("Changes to this card, newest first ('cardtool undo N' puts the card back as "
                "it was before change N):\n");
    for (const mcb_journal_entry& e : list)
        std::printf("  %s\n", line(e).c_str());
    return 0;
}

int undo(const std::string& device, const std::vector<std::string>& args)
{
    uint32_t number = 0;
    if (args.size() > 1)
        return 2;
    if (args.size() == 1) {
        const std::string& a = args[0];
        if (a.empty() || a.size() > 9 || a.find_first_not_of("0123456789") != std::string::npos ||
            std::stoul(a) == 0) {
            std::fprintf(stderr,
                         "cardtool: '%s' is no change number (see 'cardtool history')\n"
                         "Try 'cardtool --help'.\n",
                         a.c_str());
            return 2;
        }
        number = uint32_t(std::stoul(a));
    }
    std::string error;
    const Card card = openCard(device, error);
    if (!card)
        return failed(error);
    const auto before = records(card.get(), error);
    if (!error.empty())
        return failed(error);
    if (before.empty())
        return failed("nothing to undo: the journal holds no change to this card");
    const int status = mcb_undo(card.get(), number);
    if (status == MCB_E_JOURNAL)
        return failed(std::string("cannot undo: ") + mcb_strerror(status) +
                      " (the journal's last change to it is #" +
                      std::to_string(before.front().number) + "; see 'cardtool history')");
    if (status == MCB_E_BAD_ARGUMENT)
        return failed(number ? "no change #" + std::to_string(number) +
                                   " to this card in the journal (see 'cardtool history')"
                             : std::string("nothing left to undo on this card"));
    if (status != MCB_OK)
        return failed(std::string("the undo failed: ") + mcb_strerror(status) +
                      "; run 'cardtool undo' again to finish it");
    // The undo's own record names the change it went back to.
    const auto after = records(card.get(), error);
    const uint32_t target = after.empty() ? number : after.front().undoes;
    std::printf("Put the card back as it was before change #%u:\n", target);
    for (const mcb_journal_entry& e : before)
        if (e.number >= target)
            std::printf("  undone %s\n", line(e).c_str());
    if (!after.empty())
        std::printf("This undo is change #%u: 'cardtool undo %u' puts the card back as it was "
                    "before it.\n",
                    after.front().number, after.front().number);
    return 0;
}

} // namespace cardtool
