// A folder of save files shown as a card: the emulator's folder mode keeps a
// card as one plain .gci file per save, named as folder_names.h names them.
// The card the library sees is built in memory from the files (as a console
// would leave a card freshly filled), and a call that changed it writes the
// saves it changed back as files when it ends (settle). Files that are not
// saves, and saves that do not fit on a card of the folder's size, are set
// aside: never shown, never written over, never removed.
//
// The folder keeps one file of the card's own, kCardFile: the card's
// identity and its system area as the files hold it. The identity is made
// from the folder's place on the disk (its device and inode) and kept in
// the file at the card's first change; from then on it goes where the
// folder goes (a copied folder is a copy of the card, as a copied image
// is), and no other folder has it. Looking at a folder card writes
// nothing. The system area lets the card be built again exactly as the
// library left it, so that the journal finds it as its last record left
// it; when the saves in the folder no longer match it (the emulator or a
// file manager changed them), the card is built afresh from the files, with
// the same identity.
#pragma once

#include "card_medium.h"

#include "mcbridge/card_build.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/format.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mcb {

// Why a file of the folder is not shown as a save (mcb_folder_file's reason).
enum class SetAside : uint32_t { NotASave = 1, NoRoom = 2, NoSlot = 3, Twin = 4 };

struct FolderFile {
    std::string name;
    SetAside reason;
};

// Faults on the file system for tests: the nth save file written (counted
// from 1 since the card was opened) stops half-way, as a failing disk or a
// full one (ENOSPC) would stop it. From MCBRIDGE_FAULTS as file-fail=N and
// disk-full=N.
struct FolderFaults {
    uint64_t failWrite = 0;
    uint64_t diskFull = 0;
};
FolderFaults parseFolderFaults(std::string_view text);

// What "folder:PATH[?size=N][&encoding=sjis|ansi]" names. N is a card size
// in megabits (4 ... 128) or the emulator's way of naming it, the save
// blocks (59 ... 2043).
struct FolderSpec {
    std::string path;
    unsigned megabits = 128; // the emulator's folder mode shows a 2043-block card
    Encoding encoding = Encoding::Ansi;
    bool encodingGiven = false;
    bool valid = true;
};
FolderSpec parseFolderSpec(std::string_view rest);

// The name of the card's own file in the folder: hidden, no save, never
// listed as set aside.
inline constexpr const char* kCardFile = ".cardsuite-card";

class FolderMedium : public CardMedium {
public:
    ~FolderMedium() override;
    // Opens the folder (created when missing and its parent exists) and
    // reads its saves. Fails with an mcb_error.
    static std::unique_ptr<FolderMedium> open(const FolderSpec& spec, int32_t& error,
                                              FolderFaults faults = {});

    uint64_t size() const override { return image_.size(); }
    bool readAt(uint64_t offset, uint8_t* data, std::size_t length) override;
    bool writeAt(uint64_t offset, const uint8_t* data, std::size_t length) override;
    int32_t lock(LockMode mode, std::chrono::milliseconds wait) override;
    void unlock() override;
    std::string lockHolder() const override;
    bool readOnly() const override { return readOnly_; }
    bool sameMedium() const override;
    int kind() const override;
    bool begin() override;
    int32_t settle(bool succeeded) override;

    const std::vector<FolderFile>& setAside() const { return aside_; }
    const std::string& path() const { return path_; }

private:
    // A save file of the folder shown on the card.
    struct Shown {
        std::string file;
        std::vector<uint8_t> bytes; // the plain save, its first-block field zeroed
    };
    using Key = std::array<uint8_t, kEntryCodeSize + kEntryNameSize>;

    FolderMedium() = default;
    // Builds the card from the folder's files as they are now.
    void build();
    struct Found {
        std::string file;
        std::vector<uint8_t> bytes;
    };
    // The card as kept_ lays it out, when the saves found are exactly the
    // ones it holds: false (and nothing built) when not.
    bool buildAsKept(std::vector<Found>& saves);
    // Reads kCardFile into kept_ and identity_ (made anew when there is none).
    void readCardFile();
    // Writes kCardFile for the system area of image: false when it could not be.
    bool writeCardFile(const std::vector<uint8_t>& image);
    // The folder's files with their sizes, times and inodes, to tell a
    // change by another program.
    std::string signature() const;
    // Writes a save file whole and synced: false when it could not be.
    bool writeSave(const std::string& name, const std::vector<uint8_t>& bytes, int& err);

    std::string path_;
    unsigned megabits_ = 128;
    Encoding encoding_ = Encoding::Ansi;
    bool encodingGiven_ = false;
    int fd_ = -1; // the folder itself, for its lock and its identity
    bool readOnly_ = false;
    FolderFaults faults_;
    uint64_t written_ = 0;

    CardIdentity identity_{};
    bool cardFileKept_ = false; // kCardFile is in the folder
    std::vector<uint8_t> kept_; // the system area kCardFile holds

    std::vector<uint8_t> image_;   // the card as the library sees it
    std::vector<uint8_t> settled_; // the card as the files hold it
    std::map<Key, Shown> shown_;   // by code and name
    std::vector<FolderFile> aside_;
    std::string signature_;
};

// The plain save file the card's save in slot of image is, its first-block
// field zeroed (where a save lies is the card's business, not the file's);
// empty for an empty slot or a broken chain.
std::vector<uint8_t> plainSaveAt(std::span<const uint8_t> image, const Block& dir, const Block& map,
                                 unsigned slot);

} // namespace mcb
