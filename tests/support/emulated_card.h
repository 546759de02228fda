// An emulated adapter over a card held in memory, installed as the adapter
// the library finds, with its traffic and faults in the test's hands.
#pragma once

#include "card_medium.h"
#include "emulated_adapter.h"
#include "mcbridge.h"
#include "mcbridge/format.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace mcbtest {

// A card with worn-out cells: the bytes at stuckAtZero read back as zero
// whatever is programmed there, as flash past its life does.
class WornMedium : public mcb::MemoryMedium {
public:
    using MemoryMedium::MemoryMedium;
    bool writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override;
    std::vector<uint64_t> stuckAtZero;
};

class EmulatedCard {
public:
    explicit EmulatedCard(unsigned megabits = 4, mcb::Encoding encoding = mcb::Encoding::Ansi);
    explicit EmulatedCard(std::vector<uint8_t> image);
    ~EmulatedCard();
    EmulatedCard(const EmulatedCard&) = delete;
    EmulatedCard& operator=(const EmulatedCard&) = delete;

    std::vector<uint8_t>& image() { return medium_->bytes(); }
    mcb::Traffic& traffic() { return *traffic_; }
    void resetTraffic(bool keepPackets = true);

    // Applied from the next OpenDevice on, counted from that open.
    mcb::Faults faults;
    // While unplugged, OpenDevice finds nothing.
    bool plugged = true;
    // Byte offsets of the card that no longer hold what is written to them.
    std::vector<uint64_t>& stuckAtZero() { return medium_->stuckAtZero; }
    // The adapter of the current connection, if any.
    mcb::EmulatedAdapter* adapter() const { return adapter_; }

private:
    void install();
    std::shared_ptr<WornMedium> medium_;
    std::shared_ptr<mcb::Traffic> traffic_;
    mcb::EmulatedAdapter* adapter_ = nullptr;
};

// Cards in memory behind device strings of the test's choosing, for the
// handle calls: mcb_open("mem:A") opens the card added as "mem:A", through an
// emulated adapter with that card's own traffic count and faults (applied
// from each open on, as the adapter counts them). A card not plugged in is
// not found.
class NamedCards {
public:
    struct Card {
        std::shared_ptr<mcb::CardMedium> medium;
        std::shared_ptr<mcb::Traffic> traffic = std::make_shared<mcb::Traffic>();
        mcb::Faults faults;
        bool plugged = true;
        std::vector<uint8_t>& image();
    };
    NamedCards();
    ~NamedCards();
    NamedCards(const NamedCards&) = delete;
    NamedCards& operator=(const NamedCards&) = delete;
    Card& add(const std::string& device, std::vector<uint8_t> image);
    // A card whose medium the test made itself.
    Card& add(const std::string& device, std::shared_ptr<mcb::CardMedium> medium);
    Card& operator[](const std::string& device) { return cards_.at(device); }

private:
    std::map<std::string, Card> cards_;
};

// Records every progress message the library sends.
struct ProgressLog {
    ProgressLog();
    mcb_receiver receiver{};
    std::vector<uintptr_t> wparams;
    std::vector<intptr_t> lparams;
    void clear();
    std::size_t steps() const;             // messages with wParam 0
    std::vector<uintptr_t> counts() const; // the non-zero wParams, in order
};

// OpenDevice and GetCardMemory, as the program's commands do.
bool connect(mcb_receiver* receiver = nullptr);

} // namespace mcbtest
