// Writes the fuzz targets' first inputs: cards and saves shaped like real
// ones, made with the project's own formatter and save maker.
//   make_fuzz_seeds CARD_DIR UPLOAD_DIR
#include "mcbridge/banner_encode.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"
#include "save_maker.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace mcb;
using namespace mcbtest;

namespace {

// The card as fuzz input: erased flash at its end is left off (the targets
// read a short input as a card whose later blocks are erased).
std::vector<uint8_t> trimmed(std::vector<uint8_t> image)
{
    while (!image.empty() && image.back() == 0xFF)
        image.pop_back();
    return image;
}

bool write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::vector<uint8_t> withPicture(SaveSpec spec)
{
    spec.pictureOffset = 0x40;
    auto f = makeSaveFile(spec);
    std::vector<uint8_t> pic;
    if (spec.bannerFormat == 0) {
        uint16_t format = 0, speed = 0;
        pic = encodeIcons({{kIconIndexedShared, {}}, {kIconDirect, {}}}, format, speed);
        putBe16(&f[kEntryIconFormat], format);
        putBe16(&f[kEntryIconSpeed], speed);
    } else {
        Banner art;
        for (std::size_t i = 0; i < art.size(); ++i)
            art[i] = uint16_t(i * 7);
        pic = encodeBanner(art, spec.bannerFormat);
    }
    if (64 + 0x40 + pic.size() <= f.size())
        std::copy(pic.begin(), pic.end(), f.begin() + 64 + 0x40);
    return f;
}

// Re-chains a save's blocks in the given order in both map copies, as a
// console leaves a save allocated after deletes.
void rechain(std::vector<uint8_t>& image, unsigned slot, const std::vector<unsigned>& blocks)
{
    for (unsigned c = 0; c < 2; ++c) {
        Block dir, map;
        std::memcpy(dir.data(), &image[kDirectoryBlock[c] * kBlockSize], kBlockSize);
        std::memcpy(map.data(), &image[kMapBlock[c] * kBlockSize], kBlockSize);
        for (std::size_t i = 0; i < blocks.size(); ++i)
            setMapEntry(map, blocks[i],
                        i + 1 == blocks.size() ? kMapLastEntry : uint16_t(blocks[i + 1]));
        putBe16(&dir[slot * kEntrySize + kEntryFirstBlock], uint16_t(blocks[0]));
        const uint16_t counter = mapCounter(map);
        refreshMapHeader(map, 59);
        putBe16(&map[kMapCounter], counter);
        sealMap(map);
        sealDirectory(dir);
        std::memcpy(&image[kDirectoryBlock[c] * kBlockSize], dir.data(), kBlockSize);
        std::memcpy(&image[kMapBlock[c] * kBlockSize], map.data(), kBlockSize);
    }
}

std::vector<uint8_t> uploadInput(const std::vector<uint8_t>& save, const std::vector<uint8_t>& card)
{
    std::vector<uint8_t> in = {uint8_t(save.size() >> 8), uint8_t(save.size())};
    in.insert(in.end(), save.begin(), save.end());
    const auto c = trimmed(card);
    in.insert(in.end(), c.begin(), c.end());
    return in;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s CARD_DIR UPLOAD_DIR\n", argv[0]);
        return 2;
    }
    const std::string cards = argv[1], uploads = argv[2];

    const auto empty = formatCard(FormatOptions{4});
    auto pictures = empty;
    unsigned block = 5, slot = 0;
    for (uint8_t format : {uint8_t(1), uint8_t(2), uint8_t(93), uint8_t(0)}) {
        placeSave(pictures, slot++,
                  withPicture({.name = "pic" + std::to_string(format),
                               .blocks = 2,
                               .seed = format,
                               .bannerFormat = format}),
                  block);
        block += 2;
    }
    auto scattered = empty;
    placeSave(scattered, 0, makeSaveFile({.name = "A", .blocks = 2}), 5);
    placeSave(scattered, 1, makeSaveFile({.name = "B", .blocks = 3, .seed = 2}), 8);
    rechain(scattered, 1, {10, 7, 8});
    auto oneMapErased = pictures;
    std::memset(&oneMapErased[kMapBlock[0] * kBlockSize], 0xFF, kBlockSize);
    auto japanese = formatCard(FormatOptions{4, Encoding::ShiftJis});
    placeSave(japanese, 3, makeSaveFile({.code = "GZLJ01", .name = "zelda", .blocks = 4}), 20);

    bool ok = true;
    const std::pair<const char*, const std::vector<uint8_t>*> cardSeeds[] = {
        {"empty", &empty},
        {"pictures", &pictures},
        {"scattered", &scattered},
        {"one-map-erased", &oneMapErased},
        {"japanese", &japanese}};
    for (const auto& [name, image] : cardSeeds)
        ok = write(cards + "/" + name, trimmed(*image)) && ok;

    const auto newSave = makeSaveFile({.name = "N", .blocks = 2, .seed = 9});
    const auto replaceB = makeSaveFile({.name = "B", .blocks = 3, .seed = 11});
    const auto picture = withPicture({.name = "pic2", .blocks = 1, .seed = 5, .bannerFormat = 2});
    ok = write(uploads + "/new-on-empty", uploadInput(newSave, empty)) && ok;
    ok = write(uploads + "/new-on-pictures", uploadInput(newSave, pictures)) && ok;
    ok = write(uploads + "/replace-scattered", uploadInput(replaceB, scattered)) && ok;
    ok = write(uploads + "/replace-picture", uploadInput(picture, pictures)) && ok;
    ok = write(uploads + "/one-map-erased", uploadInput(newSave, oneMapErased)) && ok;
    if (!ok)
        std::fprintf(stderr, "could not write the seeds\n");
    return ok ? 0 : 1;
}
