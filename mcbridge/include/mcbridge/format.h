// Making a blank card the way a console formats one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mcb {

enum class Encoding : uint16_t { Ansi = 0, ShiftJis = 1 };

struct FormatOptions {
    unsigned megabits = 16;
    Encoding encoding = Encoding::Ansi;
    uint64_t formatTime = 0;          // console ticks since 2000-01-01
    std::array<uint8_t, 12> serial{}; // all zero is allowed; consoles fill it
};

// 4, 8, 16 and 64 Mbit are the sizes a card comes in.
bool isCardSize(unsigned megabits);
constexpr uint64_t cardBytes(unsigned megabits) { return uint64_t(megabits) * 16 * 8192; }
std::optional<unsigned> megabitsForLength(uint64_t bytes);

// Options with the current time and a fresh serial.
FormatOptions freshFormat(unsigned megabits, Encoding encoding);

// The whole card image: header with size, encoding and checksum; both
// directories empty with counters 0 and 1; both maps with every save block
// free; save blocks erased.
std::vector<uint8_t> formatCard(const FormatOptions& options);

} // namespace mcb
