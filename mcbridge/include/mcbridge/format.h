// Making a blank card the way a console formats one.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mcb {

enum class Encoding : uint16_t { Ansi = 0, ShiftJis = 1 };

struct FormatOptions {
    unsigned megabits = 16;
    Encoding encoding = Encoding::Ansi;
    uint64_t formatTime = 0;          // console ticks since 2000-01-01
    std::array<uint8_t, 12> serial{}; // all zero is allowed; consoles fill it
};

// 4, 8, 16 and 64 Mbit are the sizes a console's own cards come in; 32 and
// 128 Mbit are what emulators and larger cards of other makes use. All six
// share the one layout, the largest still well inside what the map can name.
inline constexpr unsigned kCardSizes[] = {4, 8, 16, 32, 64, 128};
bool isCardSize(unsigned megabits);
constexpr uint64_t cardBytes(unsigned megabits) { return uint64_t(megabits) * 16 * 8192; }
std::optional<unsigned> megabitsForLength(uint64_t bytes);

// Some tools put a header of their own in front of the card's bytes. Such a
// file is a card image all the same, but written back as it is it would shift
// every sector: it is recognised so that it can be refused by name. head holds
// the file's first bytes (kHeadedImageProbe of them, or the whole file when
// shorter); the answer is the length of the extra header, when the bytes
// behind it begin with an intact card header naming the size that is left.
inline constexpr std::size_t kLargestExtraHeader = 8192;
inline constexpr std::size_t kHeadedImageProbe = kLargestExtraHeader + 512;
std::optional<std::size_t> extraHeaderLength(uint64_t fileLength, std::span<const uint8_t> head);

// Options with the current time and a fresh serial.
FormatOptions freshFormat(unsigned megabits, Encoding encoding);

// The whole card image: header with size, encoding and checksum; both
// directories empty with counters 0 and 1; both maps with every save block
// free; save blocks erased.
std::vector<uint8_t> formatCard(const FormatOptions& options);

} // namespace mcb
