// Save files and cards made to order for tests, written without the library
// so that the library's reading can be checked against them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mcbtest {

struct SaveSpec {
    std::string code = "GTSE01";
    std::string name = "save";
    unsigned blocks = 1;
    uint8_t seed = 1;         // varies the data bytes
    uint8_t bannerFormat = 2; // the entry's banner format byte
    uint32_t pictureOffset = 0;
};

// The 64-byte entry; first block and count as given.
std::vector<uint8_t> makeEntry(const SaveSpec& spec, unsigned firstBlock, unsigned blockCount);

// A save file: entry (first block 0), then blocks of patterned data.
std::vector<uint8_t> makeSaveFile(const SaveSpec& spec);

// Puts a save file's entry into slot and its data at firstBlock of a card
// image, in both directory and map copies, checksums resealed. The block
// count is the file's.
void placeSave(std::vector<uint8_t>& image, unsigned slot, const std::vector<uint8_t>& saveFile,
               unsigned firstBlock);

// As placeSave, but the save's blocks are the ones given, chained in that
// order, as a console leaves a save after deletes. The entry's first block
// is blocks[0].
void placeChainedSave(std::vector<uint8_t>& image, unsigned slot,
                      const std::vector<uint8_t>& saveFile, const std::vector<unsigned>& blocks);

// Sets a block's entry in both map copies (or only in copy 0 or 1),
// checksums resealed: the way to break a chain.
void setMapEntryOnCard(std::vector<uint8_t>& image, unsigned block, uint16_t value,
                       int onlyCopy = -1);

// The bytes of the save's blocks as they stand in a card image.
std::vector<uint8_t> blocksOf(const std::vector<uint8_t>& image, unsigned firstBlock,
                              unsigned count);
std::vector<uint8_t> blocksOf(const std::vector<uint8_t>& image,
                              const std::vector<unsigned>& blocks);

// A save that describes itself: comment lines, time, permissions and an icon
// of up to eight frames after an optional banner, laid out as the console
// stores them, so that a reader's decoding can be checked pixel by pixel.
struct MadeFrame {
    unsigned format =
        2; // 0 none, 1 indices + shared palette, 2 direct colour, 3 indices + own palette
    unsigned delay = 2; // 1, 2 or 3; 0 ends the icon
};

struct DescribedSaveSpec {
    SaveSpec save; // code, name, blocks, seed
    uint8_t bannerFlags =
        0; // entry byte 7: banner kind in bits 0-1 (1 indexed, 2 direct), bounce in bit 2
    std::vector<MadeFrame> frames;
    uint32_t pictureOffset = 0x40;
    uint32_t commentOffset = 0; // 0xFFFFFFFF: none
    std::vector<uint8_t> title; // raw bytes in the card's encoding, up to 32
    std::vector<uint8_t> comment;
    uint32_t modified = 0;
    uint8_t permissions = 0x04;
    uint8_t copyCounter = 0;
};

// The save file (entry, then blocks).
std::vector<uint8_t> makeDescribedSave(const DescribedSaveSpec& spec);

// The colour (opaque 5-5-5 with bit 15 set) the made save stores for pixel
// (x, y) of frame number frame when that frame has the given format.
uint16_t madeIconColour(unsigned frame, unsigned format, unsigned x, unsigned y);

// The two other single-save containers, laid out by hand from their
// published layouts: the magic, the entry (at 0x110 in a .gcs; at 0x80 in a
// .sav, with its 16-bit fields byte-swapped), then the data.
extern const std::vector<uint8_t> kGcsMagic;
extern const std::vector<uint8_t> kSavMagic;
std::vector<uint8_t> asGcs(const std::vector<uint8_t>& plain);
std::vector<uint8_t> asSav(const std::vector<uint8_t>& plain);

std::vector<uint8_t> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A fresh, empty folder for one test, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

} // namespace mcbtest
