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
