#include "save_maker.h"

#include "mcbridge/cardfs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mcbtest {

using namespace mcb;

std::vector<uint8_t> makeEntry(const SaveSpec& spec, unsigned firstBlock, unsigned blockCount)
{
    std::vector<uint8_t> e(kEntrySize, 0x00);
    std::memcpy(&e[kEntryCode], spec.code.data(), std::min(spec.code.size(), kEntryCodeSize));
    e[6] = 0xFF;
    e[kEntryBannerFormat] = spec.bannerFormat;
    std::memcpy(&e[kEntryName], spec.name.data(), std::min(spec.name.size(), kEntryNameSize));
    putBe32(&e[kEntryPictureOffset], spec.pictureOffset);
    putBe16(&e[kEntryIconFormat], 0);
    putBe16(&e[kEntryIconSpeed], 0);
    e[0x34] = 0x04; // permissions: public
    putBe16(&e[kEntryFirstBlock], uint16_t(firstBlock));
    putBe16(&e[kEntryBlockCount], uint16_t(blockCount));
    putBe16(&e[0x3A], 0xFFFF);
    return e;
}

std::vector<uint8_t> makeSaveFile(const SaveSpec& spec)
{
    std::vector<uint8_t> f = makeEntry(spec, 0, spec.blocks);
    f.resize(kEntrySize + spec.blocks * kBlockSize);
    uint32_t x = 0x9E3779B9u * (spec.seed + 1u);
    for (std::size_t i = kEntrySize; i < f.size(); ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        f[i] = uint8_t(x);
    }
    return f;
}

namespace {

// Applies change to both directory and map copies, then reseals them with
// the map's free count and last allocated block brought up to date.
template <typename Change>
void editSystemArea(std::vector<uint8_t>& image, Change change, int onlyCopy = -1)
{
    const unsigned saveBlocks = unsigned(image.size() / kBlockSize) - kSystemBlocks;
    for (int copy = 0; copy < 2; ++copy) {
        if (onlyCopy >= 0 && copy != onlyCopy)
            continue;
        Block dir, map;
        std::memcpy(dir.data(), &image[kDirectoryBlock[copy] * kBlockSize], kBlockSize);
        std::memcpy(map.data(), &image[kMapBlock[copy] * kBlockSize], kBlockSize);
        change(dir, map);
        sealDirectory(dir);
        unsigned used = 0;
        for (unsigned b = kSystemBlocks; b < kSystemBlocks + saveBlocks && b < kMapBlockLimit; ++b)
            used += mapEntry(map, b) != kMapFreeEntry;
        putBe16(&map[kMapFree], uint16_t(saveBlocks - used));
        putBe16(&map[kMapLastAllocated], uint16_t(used + 4));
        sealMap(map);
        std::memcpy(&image[kDirectoryBlock[copy] * kBlockSize], dir.data(), kBlockSize);
        std::memcpy(&image[kMapBlock[copy] * kBlockSize], map.data(), kBlockSize);
    }
}

void place(std::vector<uint8_t>& image, unsigned slot, const std::vector<uint8_t>& saveFile,
           unsigned firstBlock, const std::vector<unsigned>& blocks)
{
    const unsigned count = unsigned((saveFile.size() - kEntrySize) / kBlockSize);
    editSystemArea(image, [&](Block& dir, Block& map) {
        std::memcpy(&dir[slot * kEntrySize], saveFile.data(), kEntrySize);
        putBe16(&dir[slot * kEntrySize + kEntryFirstBlock], uint16_t(firstBlock));
        putBe16(&dir[slot * kEntrySize + kEntryBlockCount], uint16_t(count));
        for (std::size_t i = 0; i < blocks.size(); ++i)
            if (blocks[i] < kMapBlockLimit)
                setMapEntry(map, blocks[i],
                            i + 1 == blocks.size() ? kMapLastEntry : uint16_t(blocks[i + 1]));
    });
    for (std::size_t i = 0; i < blocks.size() && i < count; ++i) {
        const std::size_t at = std::size_t(blocks[i]) * kBlockSize;
        if (at + kBlockSize <= image.size())
            std::memcpy(&image[at], &saveFile[kEntrySize + i * kBlockSize], kBlockSize);
    }
}

} // namespace

void placeChainedSave(std::vector<uint8_t>& image, unsigned slot,
                      const std::vector<uint8_t>& saveFile, const std::vector<unsigned>& blocks)
{
    place(image, slot, saveFile, blocks.at(0), blocks);
}

void placeSave(std::vector<uint8_t>& image, unsigned slot, const std::vector<uint8_t>& saveFile,
               unsigned firstBlock)
{
    const unsigned count = unsigned((saveFile.size() - kEntrySize) / kBlockSize);
    std::vector<unsigned> blocks;
    for (unsigned b = firstBlock; b < firstBlock + count; ++b)
        blocks.push_back(b);
    place(image, slot, saveFile, firstBlock, blocks);
}

void setMapEntryOnCard(std::vector<uint8_t>& image, unsigned block, uint16_t value, int onlyCopy)
{
    editSystemArea(
        image, [&](Block&, Block& map) { setMapEntry(map, block, value); }, onlyCopy);
}

std::vector<uint8_t> blocksOf(const std::vector<uint8_t>& image, unsigned firstBlock,
                              unsigned count)
{
    const auto begin = image.begin() + std::ptrdiff_t(firstBlock * kBlockSize);
    return {begin, begin + std::ptrdiff_t(count * kBlockSize)};
}

namespace {

// Tile addresses of a 32-pixel-wide picture: 8 x 4 tiles of bytes, 4 x 4
// tiles of 16-bit words.
std::size_t iconByte(unsigned x, unsigned y)
{
    return (y / 4) * 128 + (x / 8) * 32 + (y % 4) * 8 + x % 8;
}
std::size_t iconWord(unsigned x, unsigned y)
{
    return 2 * ((y / 4) * 128 + (x / 4) * 16 + (y % 4) * 4 + x % 4);
}

uint8_t madeIndex(unsigned frame, unsigned x, unsigned y)
{
    return uint8_t(x + 32 * y + 7 * frame);
}

// Palette 0 is the shared one; frame f's own palette is f + 1.
uint16_t madePaletteColour(unsigned palette, unsigned index)
{
    return uint16_t(0x8000 | (index & 31) << 10 | (index >> 5) << 5 | (palette & 31));
}

void put16(std::vector<uint8_t>& v, std::size_t at, uint16_t value)
{
    v[at] = uint8_t(value >> 8);
    v[at + 1] = uint8_t(value);
}

void putPalette(std::vector<uint8_t>& v, std::size_t at, unsigned palette)
{
    for (unsigned i = 0; i < 256; ++i)
        put16(v, at + 2 * i, madePaletteColour(palette, i));
}

} // namespace

uint16_t madeIconColour(unsigned frame, unsigned format, unsigned x, unsigned y)
{
    if (format == 2)
        return uint16_t(0x8000 | x << 10 | y << 5 | (frame * 3 + 1) % 32);
    return madePaletteColour(format == 3 ? frame + 1 : 0, madeIndex(frame, x, y));
}

std::vector<uint8_t> makeDescribedSave(const DescribedSaveSpec& spec)
{
    SaveSpec s = spec.save;
    s.bannerFormat = spec.bannerFlags;
    s.pictureOffset = spec.pictureOffset;
    std::vector<uint8_t> f = makeSaveFile(s);
    uint8_t* e = f.data();
    putBe32(e + 0x28, spec.modified);
    e[0x34] = spec.permissions;
    e[0x35] = spec.copyCounter;
    putBe32(e + 0x3C, spec.commentOffset);

    std::vector<uint8_t> data(f.begin() + kEntrySize, f.end());
    if (spec.commentOffset != 0xFFFFFFFF) {
        std::vector<uint8_t> lines(64, 0);
        std::copy_n(spec.title.begin(), std::min<std::size_t>(spec.title.size(), 32),
                    lines.begin());
        std::copy_n(spec.comment.begin(), std::min<std::size_t>(spec.comment.size(), 32),
                    lines.begin() + 32);
        std::copy(lines.begin(), lines.end(), data.begin() + spec.commentOffset);
    }
    std::size_t at = spec.pictureOffset;
    if ((spec.bannerFlags & 3) == 1)
        at += 96 * 32 + 512;
    else if ((spec.bannerFlags & 3) == 2)
        at += 96 * 32 * 2;
    uint16_t formats = 0, speeds = 0;
    bool shared = false;
    for (unsigned i = 0; i < spec.frames.size() && i < 8; ++i) {
        const MadeFrame& fr = spec.frames[i];
        formats = uint16_t(formats | (fr.format & 3) << (2 * i));
        speeds = uint16_t(speeds | (fr.delay & 3) << (2 * i));
        if (fr.format == 2) {
            for (unsigned y = 0; y < 32; ++y)
                for (unsigned x = 0; x < 32; ++x)
                    put16(data, at + iconWord(x, y), madeIconColour(i, 2, x, y));
            at += 2048;
        } else if (fr.format == 1 || fr.format == 3) {
            for (unsigned y = 0; y < 32; ++y)
                for (unsigned x = 0; x < 32; ++x)
                    data[at + iconByte(x, y)] = madeIndex(i, x, y);
            at += 1024;
            if (fr.format == 3) {
                putPalette(data, at, i + 1);
                at += 512;
            }
            shared |= fr.format == 1;
        }
    }
    if (shared)
        putPalette(data, at, 0);
    putBe16(e + kEntryIconFormat, formats);
    putBe16(e + kEntryIconSpeed, speeds);
    std::copy(data.begin(), data.end(), f.begin() + kEntrySize);
    return f;
}

std::vector<uint8_t> blocksOf(const std::vector<uint8_t>& image,
                              const std::vector<unsigned>& blocks)
{
    std::vector<uint8_t> out;
    for (unsigned b : blocks) {
        const auto begin = image.begin() + std::ptrdiff_t(b * kBlockSize);
        out.insert(out.end(), begin, begin + std::ptrdiff_t(kBlockSize));
    }
    return out;
}

std::vector<uint8_t> readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

TempDir::TempDir()
{
    std::string pattern =
        (std::filesystem::temp_directory_path() / "cardsuite-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

const std::vector<uint8_t> kGcsMagic = {'G', 'C', 'S', 'A', 'V', 'E'};
const std::vector<uint8_t> kSavMagic = {0x44, 0x41, 0x54, 0x45, 0x4C, 0x47,
                                        0x43, 0x5F, 0x53, 0x41, 0x56, 0x45};

std::vector<uint8_t> asGcs(const std::vector<uint8_t>& plain)
{
    std::vector<uint8_t> out(0x150, 0);
    std::copy(kGcsMagic.begin(), kGcsMagic.end(), out.begin());
    std::copy_n(plain.begin(), 64, out.begin() + 0x110);
    out.insert(out.end(), plain.begin() + 64, plain.end());
    return out;
}

std::vector<uint8_t> asSav(const std::vector<uint8_t>& plain)
{
    std::vector<uint8_t> out(0xC0, 0);
    std::copy(kSavMagic.begin(), kSavMagic.end(), out.begin());
    std::copy_n(plain.begin(), 64, out.begin() + 0x80);
    for (std::size_t p : {0x06, 0x2C, 0x2E, 0x30, 0x32, 0x34, 0x36, 0x38, 0x3A, 0x3C, 0x3E})
        std::swap(out[0x80 + p], out[0x80 + p + 1]);
    out.insert(out.end(), plain.begin() + 64, plain.end());
    return out;
}

} // namespace mcbtest
