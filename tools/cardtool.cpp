// cardtool: the card library's functions on the command line, for scripts
// and for people without a desktop.
#include "cardtool_check.h"
#include "cardtool_copy.h"
#include "cardtool_folder.h"
#include "cardtool_forms.h"
#include "cardtool_history.h"
#include "cardtool_info.h"
#include "cardtool_places.h"
#include "cli_input.h"
#include "tools/demo_saves.h"

#include "mcbridge.h"
#include "mcbridge/card_check.h"
#include "mcbridge/cardfs.h"
#include "mcbridge/folder_names.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"
#include "mcbridge/text_encoding.h"
#include "restore_words.h"
#include "userfiles/durable_file.h"
#include "userfiles/leftovers.h"
#include "userfiles/temp_registry.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kUsage = R"(Usage: cardtool [--device DEVICE] COMMAND [ARGUMENTS]

Manages the saves on a memory card through its USB adapter, or on a card
image file (every 512-byte sector of the card in order).

The device is --device DEVICE, or else the MCBRIDGE_DEVICE environment
variable:
  usb:VVVV:PPPP   the first USB adapter with that vendor and product id (hex)
  /dev/...        an adapter whose driver offers a device node
  image:PATH      a card image file; only 'format' makes a new one
  folder:PATH     a folder of .gci save files as the emulator keeps a card
                  in folder mode (a 2043-block card unless ?size=MBIT or
                  ?size=BLOCKS follows); files that are not saves stay

Commands:
  list                     the card's size, its free blocks and every save:
                           slot, game code, name and blocks
  check                    check the card's header, both copies of its
                           directory and allocation map, and every save's
                           chain of blocks, the way a console would and more;
                           one verdict line, exit status 0 when sound, 1 when not
  repair [--apply]         print every change a repair would make, and make
                           none; with --apply, make them and print what was
                           done: rebuild a damaged copy from the intact one,
                           free leaked blocks, correct the free count. Saves
                           whose chains are broken or shared are left as they
                           are (copy them out with download --force)
  recover [SLOT]           list the saves the card's last change deleted whose
                           blocks are all still free; with SLOT, put that one
                           back
  backup IMAGE             read the whole card into the image file IMAGE
  restore IMAGE [--force | --keep-identity]
                           write the image file IMAGE over the whole card; it
                           must be exactly as large as the card. An image read
                           from another card is refused: --keep-identity
                           writes it but keeps this card's identity (saves
                           bound to a card are re-signed for this one),
                           --force writes it as it is
  download SLOT FILE [--force]
                           copy the save in directory slot SLOT (see list) to
                           the save file FILE, in the form its extension names:
                           .gci (also no extension), .gcs or .sav; with
                           --force (.gci only), a save whose chain is broken
                           is rescued: FILE then holds what its chain or its
                           first blocks hold, which may be other data
  download --all DIR       copy every save to DIR as .gci files named as
                           emulators name them in a folder of saves
  upload FILE...           copy save files (.gci, .gcs or .sav, known by their
                           content) to the card; a save with the same name and
                           game code is replaced. Every file is tried; a
                           summary at the end names each that failed
  convert IN OUT           write the save file IN again as OUT, in the form
                           OUT's extension names (.gci, .gcs or .sav)
  copy --from DEVICE SLOT... --to DEVICE
                           copy the saves in these slots of one card to
                           another (replacing saves of the same name and game
                           code there); all are read before any is written
  delete SLOT...           delete the saves in these slots
  history                  the changes to this card the journal keeps,
                           newest first: number, time, what was done, the
                           saves it touched and the blocks kept
  undo [N]                 put the card back as it was before change N (see
                           history) and every later one; without N, undo the
                           latest change not undone yet. Refused when the
                           card was changed elsewhere since. An undo is a
                           change too: it can be undone. The journal is kept
                           in $XDG_DATA_HOME/cardsuite/journal, or in the
                           folder MCBRIDGE_JOURNAL names ('off': none)
  banner SLOT BMP          write the banner of the save in SLOT to the 96 x 32
                           bitmap file BMP
  file-banner FILE BMP     the same for the save file FILE
  info SLOT|FILE           what the save in SLOT, or the save file FILE
                           (.gci, .gcs or .sav), says about itself: game code,
                           name, title and comment, when it was written,
                           permissions, copy counter, blocks, the encoding of
                           its texts, and its icon's frames with their formats
                           and delays and how they follow one another
  icons SLOT|FILE DIR      write each frame of the save's icon to DIR as
                           frame-00.png, frame-01.png, ..., and the icon as
                           the console shows it to animated.png (an animated
                           PNG; viewers without animation show its first frame)
  format [--size MBIT] [--encoding ansi|sjis]
                           make the card blank, as a console formats one.
                           Everything on it is lost. For an image, --size
                           (4, 8, 16, 32, 64 or 128, default 16) sets the
                           card's size;
                           an adapter's card keeps its own.
  demo [--saves-dir DIR]   put the demo saves on the card; with --saves-dir,
                           also write them to DIR as save files
  cards                    the cards on this computer a user would open, with
                           their kind, size and save count: the adapter
                           MCBRIDGE_DEVICE names (for a device node, also
                           the other nodes of its driver that answer, such
                           as /dev/NAME0, /dev/NAME1), the emulator's card
                           images and folder cards (as its Dolphin.ini sets
                           them), the per-game cards of SD cards under
                           /media/$USER and /run/media/$USER, and cards the
                           program opened
  split CARD ROOT --layout region-folders|id-folders [--size MBIT]
                           one new card per game of CARD under the SD card
                           root ROOT, as memory card emulators keep them:
                           MemoryCards/GC/DL-DOL-GAFE-USA/DL-DOL-GAFE-USA-1.raw
                           or MemoryCards/GAFE0100/GAFE0100-1.raw; each on the
                           game's first free channel, never over a card there,
                           with CARD's identity and the game region's encoding
  gather ROOT --to DEVICE  copy the saves of every per-game card under ROOT
                           onto one card; saves already there are named and
                           left out, and nothing is written when the rest
                           does not fit
  help                     this text (also --help and -h)
  --version                the version of cardtool

No command writes over the card image in use or over a file it reads, and
save files and images are read only from regular files. An existing file
that is write-protected, or an output path that is a symbolic link, is
refused unless --force is given after the command (a link is then written
through to the file it names). Every file is written whole and flushed to
the disk before the command goes on; an interrupted command leaves no
temporary file behind.

Progress of long work goes to standard error. The exit status is 0 on
success, 1 when the work failed and 2 when the command line is wrong.
)";

int fail(const std::string& what)
{
    std::fprintf(stderr, "cardtool: %s\n", what.c_str());
    return 1;
}

int usage(const std::string& what)
{
    std::fprintf(stderr, "cardtool: %s\nTry 'cardtool --help'.\n", what.c_str());
    return 2;
}

// Progress on standard error: a live percentage on a terminal; otherwise a
// line every tenth of the way, for the long phases only (a log need not hear
// about the three steps of reading the directory).
struct Progress {
    std::string label;
    uintptr_t total = 0;
    uintptr_t done = 0;
    unsigned stepsPerCount = 1; // a whole-card count is sixteen times its steps
    int lastShown = -1;
    bool tty = isatty(STDERR_FILENO);
    bool started = false;

    void begin(std::string what, unsigned perCount = 1)
    {
        label = std::move(what);
        stepsPerCount = perCount;
        total = done = 0;
        lastShown = -1;
    }
    void on(uintptr_t wParam)
    {
        if (wParam > 0) {
            total = wParam / stepsPerCount;
            done = 0;
            return;
        }
        if (total == 0 || label.empty())
            return;
        done = std::min(done + 1, total);
        const int pct = int(done * 100 / total);
        if (tty) {
            if (pct != lastShown)
                std::fprintf(stderr, "\r%s: %3d%%", label.c_str(), pct);
        } else if (total >= 16 && pct / 10 != lastShown / 10) {
            std::fprintf(stderr, "%s: %d%%\n", label.c_str(), pct);
        }
        lastShown = pct;
        started = true;
    }
    void end()
    {
        if (tty && started)
            std::fprintf(stderr, "\n");
        started = false;
        label.clear();
    }
};

void receive(void* context, uint32_t message, uintptr_t wParam, intptr_t)
{
    if (message == WM_CARD_PROGRESS)
        static_cast<Progress*>(context)->on(wParam);
}

// Japanese games (the fourth letter of the code is J) name their saves in
// Shift-JIS; the others in Windows-1252: the library's tables, as the program's.
// Control characters are escaped: a name is the card's data, not the
// terminal's commands.
std::string displayName(const std::string& raw, const std::string& code)
{
    const auto bytes = [](const std::string& b) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(b.data()), b.size());
    };
    return cli::escapeControls(mcb::textToUtf8(bytes(raw), mcb::encodingForCode(bytes(code))));
}

// An image behind another tool's header is read too, to be named as such.
const uint64_t kLargestImage = MCB_CARD_BYTES(MCB_LARGEST_CARD) + mcb::kLargestExtraHeader;

// What the card holds for a save after a failed upload or replacement, as
// the library read it back.
std::string afterFailure(int32_t holds, bool replacing)
{
    switch (holds) {
    case MCB_HOLDS_NEW: return "the card holds the new save all the same, whole";
    case MCB_HOLDS_OLD: return "the card still holds the old save, whole";
    case MCB_HOLDS_NONE:
        return replacing ? "the card now holds neither the old save nor the new one"
                         : "the card holds no save of that name";
    case MCB_HOLDS_OTHER:
        return "the card holds a save of that name that is neither the old nor the new one "
               "(see 'cardtool check')";
    default: break;
    }
    return "the card could not be read again, so what it holds is unknown (see 'cardtool check')";
}

// The same after a failed delete.
std::string afterDelete(int32_t holds)
{
    switch (holds) {
    case MCB_HOLDS_OLD: return "the card still holds the save, whole";
    case MCB_HOLDS_NONE: return "the card no longer holds it: it was deleted all the same";
    case MCB_HOLDS_NEW:
    case MCB_HOLDS_OTHER:
        return "the slot now holds a save that differs from the one read before (see 'cardtool "
               "check')";
    default: break;
    }
    return "the card could not be read again, so what it holds is unknown (see 'cardtool check')";
}

struct SaveRow {
    unsigned slot;
    std::string name; // raw bytes up to the first NUL
    std::string code;
    unsigned blocks;
    std::array<uint8_t, MCB_ENTRY_SIZE> entry;
};

class Tool {
public:
    explicit Tool(std::string device) : device_(std::move(device))
    {
        receiver_.send = receive;
        receiver_.context = &progress_;
        if (device_.empty())
            if (const char* env = std::getenv("MCBRIDGE_DEVICE"))
                device_ = env;
    }
    ~Tool() { mcb_close(card_); }
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

    int run(const std::vector<std::string>& args);

private:
    // Why the handle's last call failed, in words.
    std::string why() const { return mcb_strerror(mcb_card_error(card_)); }
    // Writes one of the user's files (--force as given); the reason when it
    // was not written.
    std::string writeOutput(const std::string& out, const std::vector<uint8_t>& bytes,
                            bool durable = true) const;
    // The save in a row as a save file of format, read from the card.
    std::optional<std::vector<uint8_t>> readSave(const SaveRow& row, int32_t format,
                                                 std::string& error);
    // The whole card, read into memory.
    std::optional<std::vector<uint8_t>> readImage();
    bool uploadBytes(const std::string& label, const std::vector<uint8_t>& file,
                     std::string& error);
    std::string writeFailure(const std::string& label, int rc, const mcb_write_outcome& out);
    bool open(std::string& error);
    // The card image of an image: device, or nothing for an adapter.
    std::optional<std::string> imagePath() const;
    // Why the card image cannot be opened (missing, not a regular file);
    // empty when it can, or when the device is an adapter.
    std::string imageProblem() const;
    // Why out may not be written: it is the card image in use, one of the
    // command's inputs, or no regular file. Empty when it may.
    std::string outputProblem(const std::string& out,
                              const std::vector<std::string>& inputs = {}) const;
    // Why out may not be written as the user's file: protected, a link, no
    // regular file (--force allows the first two). Empty when it may.
    std::string userFileProblem(const std::string& out) const;
    bool listSaves(std::vector<SaveRow>& rows, std::string& error);
    int list();
    int check();
    int repair(const std::vector<std::string>& args);
    int recover(const std::vector<std::string>& args);
    cardtool::CheckContext checkContext();
    cardtool::InfoContext infoContext();
    int backup(const std::string& path);
    int restore(const std::vector<std::string>& args);
    int download(const std::string& slot, const std::string& path, bool force = false);
    int downloadAll(const std::string& dir);
    int upload(const std::vector<std::string>& files);
    int convertFile(const std::string& in, const std::string& out);
    int copy(const std::vector<std::string>& args);
    bool readForCopy(const std::string& slot, std::vector<uint8_t>& save, std::string& label,
                     std::string& error);
    int remove(const std::vector<std::string>& slots);
    int banner(const std::string& slot, const std::string& bmp);
    int fileBanner(const std::string& file, const std::string& bmp);
    int format(const std::vector<std::string>& args);
    int demo(const std::vector<std::string>& args);
    bool uploadOne(const std::string& path, std::string& error);
    // What the card holds after a failed restore, read back and compared.
    std::string afterRestore(const std::vector<uint8_t>& image);
    // The card's size in megabits, 0 when the card cannot tell it.
    unsigned megabits();
    std::optional<SaveRow> rowForSlot(const std::string& text, std::string& error);
    // open() and rowForSlot() together: the save a command names.
    std::optional<SaveRow> openSlot(const std::string& text, std::string& error);

    std::string device_;
    mcb_card* card_ = nullptr;
    bool force_ = false; // --force: replace protected files, write through links
    Progress progress_;
    mcb_receiver receiver_{};
    unsigned megabits_ = 0; // 0 until megabits() asks the card
    std::string batchStep_; // "3/12 " while a batch runs, before each progress label
};

std::optional<std::string> Tool::imagePath() const
{
    if (device_.rfind("image:", 0) != 0)
        return std::nullopt;
    return device_.substr(6);
}

std::string Tool::imageProblem() const
{
    const auto path = imagePath();
    if (!path)
        return {};
    const cli::Kind kind = cli::kindOf(*path);
    if (kind == cli::Kind::Missing)
        return "the card image " + *path + " does not exist ('cardtool format' makes one)";
    if (kind != cli::Kind::Regular)
        return "the card image " + *path + " " + cli::describe(kind) +
               ": a card image is a regular file";
    return {};
}

std::string Tool::outputProblem(const std::string& out,
                                const std::vector<std::string>& inputs) const
{
    const auto image = imagePath();
    if (image && cli::sameFile(out, *image))
        return out + " is the card image in use: writing it would destroy the card";
    for (const std::string& in : inputs)
        if (cli::sameFile(out, in))
            return out + " is also the file read from (" + in + ")";
    const cli::Kind kind = cli::kindOf(out);
    if (kind != cli::Kind::Missing && kind != cli::Kind::Regular)
        return out + " " + cli::describe(kind) + ": cardtool writes only regular files";
    return userFileProblem(out);
}

std::string Tool::userFileProblem(const std::string& out) const
{
    switch (userfiles::checkOutput(out, force_)) {
    case userfiles::Refusal::Protected:
        return out + " is write-protected: it is replaced only with --force";
    case userfiles::Refusal::SymbolicLink:
        return out + " is a symbolic link: it is written through (replacing the file it names) "
                     "only with --force";
    case userfiles::Refusal::NotAFile:
        return out + " is not a regular file: cardtool writes only regular files";
    default: break;
    }
    return {};
}

std::string Tool::writeOutput(const std::string& out, const std::vector<uint8_t>& bytes,
                              bool durable) const
{
    const userfiles::WriteResult written =
        userfiles::writeFile(out, bytes.data(), bytes.size(), {force_, durable});
    if (written)
        return {};
    if (written.refusal == userfiles::Refusal::Failed)
        return "cannot write " + out + ": " + std::strerror(written.error);
    // Refused: the file changed since it was first looked at.
    const std::string no = outputProblem(out);
    return no.empty() ? "cannot write " + out + ": " + userfiles::refusalText(written.refusal) : no;
}

std::optional<std::vector<uint8_t>> Tool::readSave(const SaveRow& row, int32_t format,
                                                   std::string& error)
{
    // Room for the save behind the longest container header: one read of
    // the card, whatever the form.
    std::vector<uint8_t> save(cli::kLargestSaveInput - MCB_LARGEST_SAVE_FILE + MCB_ENTRY_SIZE +
                              std::size_t(row.blocks) * MCB_BLOCK_SIZE);
    std::size_t length = 0;
    int rc = mcb_read_save(card_, row.slot, format, save.data(), save.size(), &length);
    if (rc == MCB_E_TOO_SMALL) { // the entry changed since it was listed
        save.resize(length);
        rc = mcb_read_save(card_, row.slot, format, save.data(), save.size(), &length);
    }
    if (rc < 0) {
        error = mcb_strerror(rc);
        return std::nullopt;
    }
    save.resize(length);
    return save;
}

std::optional<std::vector<uint8_t>> Tool::readImage()
{
    std::vector<uint8_t> image(MCB_CARD_BYTES(megabits()));
    std::size_t length = 0;
    if (mcb_read_image(card_, image.data(), image.size(), &length) < 0)
        return std::nullopt;
    image.resize(length);
    return image;
}

bool Tool::open(std::string& error)
{
    mcb_close(card_);
    card_ = nullptr;
    // The emulated adapter would make a missing image a blank card: a
    // mistyped path must not become one silently.
    error = imageProblem();
    if (error.empty())
        error = cardtool::folderProblem(device_);
    if (!error.empty())
        return false;
    const int rc = mcb_open(device_.empty() ? nullptr : device_.c_str(), &card_);
    if (rc != MCB_OK) {
        error = std::string("cannot open the adapter: ") + mcb_strerror(rc);
        if (!device_.empty())
            error += " (" + device_ + ")";
        return false;
    }
    mcb_set_receiver(card_, &receiver_);
    // One run is one change in the card's journal, however many saves it
    // writes or deletes; closing the handle ends it.
    mcb_journal_begin(card_, nullptr);
    megabits_ = 0;
    return true;
}

unsigned Tool::megabits()
{
    // Asked only when a command needs it: the card's description loads its
    // directory, which an upload leaves to the write itself. The header's
    // size is told even when the directory cannot be read, so a damaged
    // card is still checked and repaired.
    if (megabits_ == 0) {
        mcb_card_info info{};
        info.size = sizeof info;
        mcb_describe_card(card_, &info);
        megabits_ = info.megabits;
    }
    return megabits_;
}

bool Tool::listSaves(std::vector<SaveRow>& rows, std::string& error)
{
    if (const int rc = mcb_load(card_); rc < 0) {
        error = "the card's directory cannot be read: " + std::string(mcb_strerror(rc)) +
                " (see 'cardtool check')";
        return false;
    }
    for (unsigned slot = 0; slot < MCB_SLOTS; ++slot) {
        SaveRow r{};
        if (mcb_entry(card_, slot, r.entry.data(), r.entry.size()) != MCB_OK)
            continue;
        const auto field = [&](std::size_t at, std::size_t width) {
            const char* p = reinterpret_cast<const char*>(r.entry.data() + at);
            return std::string(p, strnlen(p, width));
        };
        r.slot = slot;
        r.name = field(MCB_ENTRY_NAME, MCB_ENTRY_NAME_SIZE);
        r.code = field(MCB_ENTRY_GAME, MCB_ENTRY_CODE_SIZE);
        r.blocks =
            unsigned(r.entry[MCB_ENTRY_BLOCK_COUNT]) << 8 | r.entry[MCB_ENTRY_BLOCK_COUNT + 1];
        rows.push_back(r);
    }
    return true;
}

std::optional<SaveRow> Tool::rowForSlot(const std::string& text, std::string& error)
{
    const auto slot = cli::parseSlot(text);
    if (!slot) {
        error = "'" + text + "' is no slot number (0 to 126; see 'cardtool list')";
        return std::nullopt;
    }
    std::vector<SaveRow> rows;
    if (!listSaves(rows, error))
        return std::nullopt;
    for (const SaveRow& r : rows)
        if (r.slot == *slot)
            return r;
    error = "slot " + text + " holds no save";
    return std::nullopt;
}

std::optional<SaveRow> Tool::openSlot(const std::string& text, std::string& error)
{
    if (!open(error))
        return std::nullopt;
    return rowForSlot(text, error);
}

int Tool::list()
{
    std::string error;
    std::vector<SaveRow> rows;
    if (!open(error) || !listSaves(rows, error))
        return fail(error);
    const unsigned total = MCB_SAVE_BLOCKS(megabits());
    unsigned used = 0;
    for (const SaveRow& r : rows)
        used += r.blocks;
    std::printf("Card: %u Mbit, %u blocks for saves, %d free\n", megabits(), total,
                int(total) - int(used));
    if (rows.empty())
        std::printf("No saves.\n");
    else
        std::printf("%4s  %-6s  %6s  %s\n", "Slot", "Code", "Blocks", "Name");
    for (const SaveRow& r : rows)
        std::printf("%4u  %-6s  %6u  %s\n", r.slot, cli::escapeControls(r.code).c_str(), r.blocks,
                    displayName(r.name, r.code).c_str());
    CloseDevice(); // the folder's own listing opens it again
    cardtool::printSetAside(device_);
    return 0;
}

cardtool::CheckContext Tool::checkContext()
{
    return {displayName, [this](std::string& error) { return open(error); },
            [this] { return card_; },
            [this](const std::string& path, const std::vector<uint8_t>& bytes) {
                const std::string no = outputProblem(path);
                return no.empty() ? writeOutput(path, bytes) : no;
            }};
}

cardtool::InfoContext Tool::infoContext()
{
    return {displayName, [this](std::string& error) { return open(error); },
            [this](const std::string& path) { return outputProblem(path); },
            [this] { return card_; },
            [this](const std::string& path, const std::vector<uint8_t>& bytes) {
                return writeOutput(path, bytes);
            }};
}

int Tool::check()
{
    std::string error;
    if (!open(error))
        return fail(error);
    // An adapter sizes the card by its header; an image's length is the
    // card's true size, and a header that disagrees with it is a fault.
    std::optional<unsigned> imageMegabits;
    if (const auto path = imagePath()) {
        std::error_code e;
        imageMegabits = mcb::megabitsForLength(std::filesystem::file_size(*path, e));
    }
    const bool sizeDiffers = imageMegabits && *imageMegabits != megabits();
    if (sizeDiffers) {
        mcb_finding f{};
        f.kind = MCB_FINDING_HEADER_SIZE;
        f.severity = MCB_SEVERITY_FAULT;
        f.count = megabits();
        f.expected = *imageMegabits;
        std::printf("FAULT: %s\n", mcb::findingText(f).c_str());
    }
    const int status = cardtool::check(checkContext());
    if (sizeDiffers && status == 0)
        return fail("the card is not sound: its header gives another size than the image's");
    return status;
}

int Tool::repair(const std::vector<std::string>& args)
{
    if (args.size() > 1 || (args.size() == 1 && args[0] != "--apply"))
        return usage("repair takes --apply only");
    std::string error;
    if (!open(error))
        return fail(error);
    return cardtool::repair(checkContext(), !args.empty());
}

int Tool::recover(const std::vector<std::string>& args)
{
    if (args.size() > 1)
        return usage("recover takes one slot at most");
    std::optional<unsigned> slot;
    if (!args.empty()) {
        slot = cli::parseSlot(args[0]);
        if (!slot)
            return usage("'" + args[0] + "' is no slot number (0 to 126; see 'cardtool recover')");
    }
    std::string error;
    if (!open(error))
        return fail(error);
    return cardtool::recover(checkContext(), slot);
}

int Tool::backup(const std::string& path)
{
    std::string error = outputProblem(path);
    if (!error.empty())
        return fail(error);
    if (!open(error))
        return fail(error);
    progress_.begin("Reading the card", 16);
    const auto image = readImage();
    progress_.end();
    if (!image)
        return fail("the card could not be read into " + path + ": " + why());
    if (const std::string no = writeOutput(path, *image); !no.empty())
        return fail(no);
    std::printf("Backed up the %u Mbit card to %s\n", megabits(), path.c_str());
    return 0;
}

int Tool::restore(const std::vector<std::string>& args)
{
    std::string error;
    const auto request = restore::parseRequest(args, error);
    if (!request)
        return usage(error);
    const std::string& path = request->image;
    if (!open(error))
        return fail(error);
    const auto image = cli::readBounded(path, kLargestImage, error);
    if (!image)
        return fail(error);
    const uint64_t want = MCB_CARD_BYTES(megabits());
    if (const auto extra = mcb::extraHeaderLength(image->size(), *image);
        extra && image->size() != want)
        return fail(path + " is a card image behind another tool's header of " +
                    std::to_string(*extra) +
                    " bytes; only plain images (.gcp, .raw) are written "
                    "to a card");
    if (image->size() != want)
        return fail(path + " is " + std::to_string(image->size()) + " bytes; the " +
                    std::to_string(megabits()) + " Mbit card needs exactly " +
                    std::to_string(want));
    mcb::Block dir, map;
    if (!mcb::currentStructures(*image, dir, map))
        return fail(path + " holds no intact directory or allocation map: it is no card image");
    progress_.begin("Writing the card", 16);
    const int rc = mcb_write_image(card_, image->data(), image->size(), request->how);
    progress_.end();
    if (rc != MCB_OK) {
        // Refused before anything was written.
        if (rc == MCB_E_OTHER_CARD)
            return fail(restore::refusal(path));
        const std::string reason = mcb_strerror(rc);
        return fail("writing the card failed: " + reason + "; " + afterRestore(*image));
    }
    std::printf("%s\n", restore::doneLine(path, request->how, *image).c_str());
    return 0;
}

std::string Tool::afterRestore(const std::vector<uint8_t>& image)
{
    std::string error;
    if (!open(error))
        return "the card could not be read again, so what it holds is unknown";
    progress_.begin("Reading the card back", 16);
    const auto now = readImage();
    progress_.end();
    if (!now)
        return "the card could not be read again, so what it holds is unknown";
    if (*now == image)
        return "the card holds the whole image all the same (read back and compared)";
    return "the card holds part of the image and part of what it held: restore it again";
}

int Tool::download(const std::string& slot, const std::string& path, bool force)
{
    std::string error = outputProblem(path);
    if (!error.empty())
        return fail(error);
    const auto form = cardtool::formatForName(path, error);
    if (!form)
        return fail(error);
    if (force && *form == mcb::SaveFormat::Gci) {
        const auto number = cli::parseSlot(slot);
        if (!number)
            return fail("'" + slot + "' is no slot number (0 to 126; see 'cardtool list')");
        if (!open(error))
            return fail(error);
        return cardtool::forcedDownload(checkContext(), *number, path);
    }
    const auto row = openSlot(slot, error);
    if (!row)
        return fail(error);
    progress_.begin("Copying " + displayName(row->name, row->code));
    const auto save = readSave(*row, int32_t(*form), error);
    progress_.end();
    if (!save) {
        if (force && mcb_card_error(card_) == MCB_E_BROKEN_CHAIN)
            return fail("download --force writes the rescued data as a .gci file only");
        return fail("the save in slot " + slot + " could not be copied to " + path + ": " + error);
    }
    if (const std::string no = writeOutput(path, *save); !no.empty())
        return fail("the save in slot " + slot + " could not be written: " + no);
    std::printf("Copied slot %s (%s) to %s\n", slot.c_str(),
                displayName(row->name, row->code).c_str(), path.c_str());
    return 0;
}

bool Tool::readForCopy(const std::string& slot, std::vector<uint8_t>& save, std::string& label,
                       std::string& error)
{
    const auto row = rowForSlot(slot, error);
    if (!row)
        return false;
    label = displayName(row->name, row->code);
    auto bytes = readSave(*row, MCB_SAVE_GCI, error);
    if (!bytes)
        return false;
    save = std::move(*bytes);
    return true;
}

int Tool::copy(const std::vector<std::string>& args)
{
    std::string error;
    const auto request = cardtool::parseCopy(args, error);
    if (!request)
        return usage(error);
    // Both cards open at once, each through its own handle.
    Tool from(request->from), to(request->to);
    if (!from.open(error))
        return fail("nothing was copied: " + error);
    if (!to.open(error))
        return fail("nothing was copied: " + error);
    return cardtool::copyBetweenCards(
        *request, {[&](const std::string& slot, std::vector<uint8_t>& save, std::string& label,
                       std::string& e) { return from.readForCopy(slot, save, label, e); },
                   [&](const std::vector<uint8_t>& save, std::string& e) {
                       return to.uploadBytes("the save", save, e);
                   }});
}

bool Tool::uploadOne(const std::string& path, std::string& error)
{
    // The file is read once; the library knows its form by its content,
    // whatever its name says.
    const auto file = cli::readBounded(path, cli::kLargestSaveInput, error);
    return file && uploadBytes(path, *file, error);
}

bool Tool::uploadBytes(const std::string& label, const std::vector<uint8_t>& file,
                       std::string& error)
{
    mcb_save_view view{};
    view.size = sizeof view;
    const int parsed = mcb_parse_save(file.data(), file.size(), &view);
    const bool container = view.fault == MCB_SAVE_NO_CONTAINER ||
                           view.fault == MCB_SAVE_WRONG_MAGIC ||
                           view.fault == MCB_SAVE_TRUNCATED_HEADER;
    if (parsed != MCB_OK && container) {
        error = label + " is no save file: " + mcb_save_fault_text(view.fault);
        return false;
    }
    // A plain file is held to cardtool's own stricter reading, which names
    // what is wrong with it.
    if (parsed != MCB_OK || view.format == MCB_SAVE_GCI) {
        if (const std::string no = cli::notASaveFile(file); !no.empty()) {
            error = label + " is no save file: " + no;
            return false;
        }
    }
    mcb_write_request request{};
    request.size = sizeof request;
    request.policy = MCB_WRITE_REPLACE_NAME;
    mcb_write_outcome outcome{};
    outcome.size = sizeof outcome;
    progress_.begin(batchStep_ + "Writing " + std::filesystem::path(label).filename().string());
    const int rc = mcb_write_save(card_, file.data(), file.size(), &request, &outcome);
    progress_.end();
    if (rc == MCB_OK)
        return true;
    error = writeFailure(label, rc, outcome);
    return false;
}

std::string Tool::writeFailure(const std::string& label, int rc, const mcb_write_outcome& out)
{
    const bool replaces = out.blocks_replaced > 0;
    switch (rc) {
    case MCB_E_NOT_A_SAVE: return label + " is no save file: " + mcb_strerror(rc);
    case MCB_E_AMBIGUOUS:
        return label + " cannot replace a save: the saves in slots " + std::to_string(out.slot) +
               " and " + std::to_string(out.other_slot) +
               " both have its name and game code (delete one of them by its slot first)";
    case MCB_E_NO_SLOT:
        return "the card's directory is full (" + std::to_string(MCB_SLOTS) + " saves)";
    case MCB_E_NO_ROOM: {
        if (out.blocks_needed > MCB_SAVE_BLOCKS(megabits()))
            return label + " needs " + std::to_string(out.blocks_needed) +
                   " blocks; the card has " + std::to_string(MCB_SAVE_BLOCKS(megabits())) +
                   " in all";
        std::string text = label + " needs " + std::to_string(out.blocks_needed) + " blocks; " +
                           std::to_string(out.blocks_free) + " are free";
        if (replaces)
            text += " beside the save it replaces, which the card keeps until the new one is "
                    "whole (to make room, copy the old save off the card and delete it)";
        // Refused before anything was written: the card is as it was.
        return text + "; " + afterFailure(replaces ? MCB_HOLDS_OLD : MCB_HOLDS_NONE, replaces);
    }
    default: break;
    }
    std::string text = label + " could not be written: " + mcb_strerror(rc);
    if (out.result == MCB_FAILED)
        text += "; " + afterFailure(out.holds, replaces);
    return text;
}

int Tool::upload(const std::vector<std::string>& files)
{
    std::string error;
    if (!open(error))
        return fail(error);
    if (files.size() == 1) {
        if (!uploadOne(files[0], error))
            return fail(error);
        std::printf("Wrote %s to the card\n", files[0].c_str());
        return 0;
    }
    // Every file is tried; each failure leaves the card as it was for that
    // save, and all of them are told together at the end.
    std::vector<std::string> failures;
    for (std::size_t i = 0; i < files.size(); ++i) {
        batchStep_ = std::to_string(i + 1) + "/" + std::to_string(files.size()) + " ";
        if (uploadOne(files[i], error))
            std::printf("Wrote %s to the card\n", files[i].c_str());
        else
            failures.push_back(error);
    }
    batchStep_.clear();
    return cardtool::batchSummary(files.size(), "written to the card", failures);
}

int Tool::downloadAll(const std::string& dir)
{
    const cli::Kind kind = cli::kindOf(dir);
    if (kind != cli::Kind::Missing && kind != cli::Kind::Directory)
        return fail(dir + " " + cli::describe(kind) + ": download --all writes into a folder");
    std::string error;
    if (!open(error))
        return fail(error);
    std::vector<SaveRow> rows;
    if (!listSaves(rows, error))
        return fail(error);
    std::error_code made;
    std::filesystem::create_directories(dir, made);
    if (made)
        return fail("cannot make the folder " + dir + ": " + made.message());
    // Each save is read whole first, into memory: its entry names its file,
    // and only a sound copy reaches the folder.
    std::vector<std::string> failures;
    std::vector<std::vector<uint8_t>> copies;
    std::vector<std::array<uint8_t, MCB_ENTRY_SIZE>> entries;
    std::vector<const SaveRow*> copied;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SaveRow& r = rows[i];
        const std::string shown = displayName(r.name, r.code);
        progress_.begin(std::to_string(i + 1) + "/" + std::to_string(rows.size()) + " Copying " +
                        shown);
        auto bytes = readSave(r, MCB_SAVE_GCI, error);
        progress_.end();
        if (!bytes || bytes->size() < MCB_ENTRY_SIZE) {
            failures.push_back("slot " + std::to_string(r.slot) + " (" + shown + "): " + error);
            continue;
        }
        std::array<uint8_t, MCB_ENTRY_SIZE> entry{};
        std::copy_n(bytes->begin(), MCB_ENTRY_SIZE, entry.begin());
        entries.push_back(entry);
        copies.push_back(std::move(*bytes));
        copied.push_back(&r);
    }
    const auto names = mcb::folderNamesFor(entries);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string out = (std::filesystem::path(dir) / names[i]).string();
        const std::string shown = displayName(copied[i]->name, copied[i]->code);
        std::string no = outputProblem(out);
        if (no.empty())
            no = writeOutput(out, copies[i]);
        if (!no.empty()) {
            failures.push_back("slot " + std::to_string(copied[i]->slot) + " (" + shown +
                               "): " + no);
            continue;
        }
        std::printf("Copied slot %u (%s) to %s\n", copied[i]->slot, shown.c_str(), out.c_str());
    }
    return cardtool::batchSummary(rows.size(), "copied to " + dir, failures);
}

int Tool::convertFile(const std::string& in, const std::string& out)
{
    std::string error = outputProblem(out, {in});
    if (!error.empty())
        return fail(error);
    const auto form = cardtool::formatForName(out, error);
    if (!form)
        return fail(error);
    const auto file = cli::readBounded(in, cli::kLargestSaveInput, error);
    if (!file)
        return fail(in + " was not converted: " + error);
    std::vector<uint8_t> converted(cli::kLargestSaveInput);
    std::size_t length = 0;
    if (mcb_convert_bytes(file->data(), file->size(), int32_t(*form), converted.data(),
                          converted.size(), &length) < 0) {
        mcb_save_view view{};
        view.size = sizeof view;
        mcb_parse_save(file->data(), file->size(), &view);
        return fail(in + " was not converted: " + mcb_save_fault_text(view.fault));
    }
    converted.resize(length);
    if (const std::string no = writeOutput(out, converted); !no.empty())
        return fail(in + " was not converted: " + no);
    std::printf("Wrote %s as %s\n", in.c_str(), out.c_str());
    return 0;
}

int Tool::remove(const std::vector<std::string>& slots)
{
    std::string error;
    if (!open(error))
        return fail(error);
    std::vector<SaveRow> targets;
    for (const std::string& s : slots) {
        const auto row = rowForSlot(s, error);
        if (!row)
            return fail(error);
        targets.push_back(*row);
    }
    int status = 0;
    for (const SaveRow& r : targets) {
        const std::string shown = displayName(r.name, r.code);
        mcb_write_outcome outcome{};
        outcome.size = sizeof outcome;
        progress_.begin("Deleting " + shown);
        const int rc = mcb_delete_save(card_, r.slot, &outcome);
        progress_.end();
        if (rc == MCB_OK) {
            std::printf("Deleted slot %u (%s)\n", r.slot, shown.c_str());
            continue;
        }
        status =
            fail("the save in slot " + std::to_string(r.slot) + " (" + shown +
                 ") could not be deleted: " + mcb_strerror(rc) + "; " + afterDelete(outcome.holds));
    }
    return status;
}

int Tool::banner(const std::string& slot, const std::string& bmp)
{
    std::string error = outputProblem(bmp);
    if (!error.empty())
        return fail(error);
    const auto row = openSlot(slot, error);
    if (!row)
        return fail(error);
    std::vector<uint8_t> bitmap(MCB_BITMAP_MAX);
    std::size_t size = 0;
    if (const int rc = mcb_slot_bitmap(card_, row->slot, bitmap.data(), bitmap.size(), &size);
        rc < 0)
        return fail("cannot write " + bmp + ": " + mcb_strerror(rc));
    bitmap.resize(size);
    // A picture is made again at will: it need not wait for the disk.
    if (const std::string no = writeOutput(bmp, bitmap, false); !no.empty())
        return fail(no);
    std::printf("Wrote the banner of slot %s to %s\n", slot.c_str(), bmp.c_str());
    return 0;
}

int Tool::fileBanner(const std::string& file, const std::string& bmp)
{
    std::string error = outputProblem(bmp, {file});
    if (!error.empty())
        return fail(error);
    auto bytes = cli::readBounded(file, cli::kLargestSaveInput, error);
    if (!bytes)
        return fail(error);
    if (bytes->size() < MCB_ENTRY_SIZE)
        return fail(file + " is too short to be a save file");
    std::vector<uint8_t> bitmap(MCB_BITMAP_MAX);
    std::size_t size = 0;
    if (const int rc =
            mcb_save_bitmap(bytes->data(), bytes->size(), bitmap.data(), bitmap.size(), &size);
        rc < 0)
        return fail("cannot write " + bmp + ": " + mcb_strerror(rc));
    bitmap.resize(size);
    if (const std::string no = writeOutput(bmp, bitmap, false); !no.empty())
        return fail(no);
    std::printf("Wrote the banner of %s to %s\n", file.c_str(), bmp.c_str());
    return 0;
}

int Tool::format(const std::vector<std::string>& args)
{
    unsigned size = 0;
    mcb::Encoding encoding = mcb::Encoding::Ansi;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--size" && i + 1 < args.size()) {
            // Spelt exactly as a size is: a slot's parser would stop short of 128.
            const std::string& wanted = args[++i];
            for (unsigned m : mcb::kCardSizes)
                if (wanted == std::to_string(m))
                    size = m;
            if (!mcb::isCardSize(size))
                return usage("cards come in 4, 8, 16, 32, 64 and 128 Mbit");
        } else if (args[i] == "--encoding" && i + 1 < args.size()) {
            const std::string e = args[++i];
            if (e == "ansi")
                encoding = mcb::Encoding::Ansi;
            else if (e == "sjis")
                encoding = mcb::Encoding::ShiftJis;
            else
                return usage("the encoding is ansi or sjis");
        } else {
            return usage("format takes --size MBIT and --encoding ansi|sjis");
        }
    }
    if (const auto image = imagePath()) {
        // An image is simply made anew, at whatever size was asked for.
        const std::string& path = *image;
        const cli::Kind kind = cli::kindOf(path);
        if (kind != cli::Kind::Missing && kind != cli::Kind::Regular)
            return fail("the card image " + path + " " + cli::describe(kind) +
                        ": a card image is a regular file");
        if (const std::string no = userFileProblem(path); !no.empty())
            return fail(no);
        const auto card = mcb::formatCard(mcb::freshFormat(size ? size : 16, encoding));
        if (const std::string no = writeOutput(path, card); !no.empty())
            return fail(no);
        std::printf("Formatted %s as a blank %u Mbit card\n", path.c_str(), size ? size : 16);
        return 0;
    }
    std::string error;
    if (!open(error))
        return fail(error + "; a card that has never been formatted cannot be sized");
    if (size && size != megabits())
        return fail("the card in the adapter is " + std::to_string(megabits()) + " Mbit, not " +
                    std::to_string(size));
    progress_.begin("Formatting", 16);
    // A console's format gives the card a new identity too.
    const int rc = mcb_format(card_, encoding == mcb::Encoding::ShiftJis ? 1 : 0);
    progress_.end();
    if (rc != MCB_OK)
        return fail("formatting failed part-way: " + std::string(mcb_strerror(rc)) +
                    "; format the card again");
    std::printf("Formatted the %u Mbit card\n", megabits());
    return 0;
}

int Tool::demo(const std::vector<std::string>& args)
{
    std::string savesDir;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--saves-dir" && i + 1 < args.size())
            savesDir = args[++i];
        else
            return usage("demo takes --saves-dir DIR");
    }
    std::string error;
    if (!open(error))
        return fail(error);
    int status = 0;
    for (const demo::DemoSave& s : demo::demoSaves()) {
        if (!uploadBytes(s.fileName, s.bytes, error))
            status = fail(error);
        if (!savesDir.empty()) {
            std::error_code made;
            std::filesystem::create_directories(savesDir, made);
            const std::string out = savesDir + "/" + s.fileName;
            if (const std::string no = outputProblem(out); !no.empty())
                status = fail(no);
            else if (const std::string failed = writeOutput(out, s.bytes); !failed.empty())
                status = fail(failed);
        }
    }
    if (status == 0)
        std::printf("Put %zu demo saves on the card\n", demo::demoSaves().size());
    return status;
}

int Tool::run(const std::vector<std::string>& a)
{
    if (a.empty())
        return usage("no command given");
    const std::string& cmd = a[0];
    std::vector<std::string> rest(a.begin() + 1, a.end());
    // --force lets an output replace a protected file or be written through
    // a link; restore has a --force of its own, for an image of another card.
    if (cmd != "restore") {
        const auto forced = std::find(rest.begin(), rest.end(), "--force");
        if (forced != rest.end()) {
            force_ = true;
            rest.erase(forced);
        }
    }
    auto need = [&](std::size_t n) { return rest.size() == n; };
    if (cmd == "list" && need(0))
        return list();
    if (cmd == "check" && need(0))
        return check();
    if (cmd == "backup" && need(1))
        return backup(rest[0]);
    if (cmd == "restore")
        return restore(rest);
    if (cmd == "download" && need(2) && rest[0] == "--all")
        return downloadAll(rest[1]);
    if (cmd == "download" && need(2))
        return download(rest[0], rest[1], force_);
    if (cmd == "convert" && need(2))
        return convertFile(rest[0], rest[1]);
    if (cmd == "repair")
        return repair(rest);
    if (cmd == "recover")
        return recover(rest);
    if (cmd == "upload" && !rest.empty())
        return upload(rest);
    if (cmd == "copy")
        return copy(rest);
    if (cmd == "delete" && !rest.empty())
        return remove(rest);
    if (cmd == "banner" && need(2))
        return banner(rest[0], rest[1]);
    if (cmd == "file-banner" && need(2))
        return fileBanner(rest[0], rest[1]);
    if (cmd == "info" && need(1))
        return cardtool::info(infoContext(), rest[0]);
    if (cmd == "icons" && need(2))
        return cardtool::icons(infoContext(), rest[0], rest[1]);
    if (cmd == "format")
        return format(rest);
    if (cmd == "demo")
        return demo(rest);
    if (cmd == "cards" && need(0))
        return cardtool::listCards();
    if (cmd == "split")
        return cardtool::splitCard(rest);
    if (cmd == "gather")
        return cardtool::gatherCards(rest);
    if ((cmd == "history" && need(0)) || (cmd == "undo" && rest.size() <= 1)) {
        if (const std::string e = imageProblem(); !e.empty())
            return fail(e);
        return cmd == "history" ? cardtool::history(device_) : cardtool::undo(device_, rest);
    }
    return usage("'" + cmd + "' with " + std::to_string(rest.size()) +
                 " arguments is not a command");
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string device;
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        // Help and the version are asked for in the command's place only: after
        // the command, "help" is an argument, say a file of that name.
        if (rest.empty() && (args[i] == "--help" || args[i] == "-h" || args[i] == "help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (rest.empty() && args[i] == "--version") {
            std::printf("cardtool %s\n", CARDSUITE_VERSION);
            return 0;
        }
        if (args[i] == "--device") {
            if (i + 1 >= args.size())
                return usage("--device needs a device");
            device = args[++i];
        } else if (args[i].rfind("--device=", 0) == 0) {
            device = args[i].substr(9);
        } else {
            rest.push_back(args[i]);
        }
    }
    // A run killed outright left its temporary files; this one's are removed
    // when a signal ends it.
    userfiles::sweepLeftovers(userfiles::tempFolder());
    userfiles::removeTempsOnSignals();
    Tool tool(device);
    return tool.run(rest);
}
