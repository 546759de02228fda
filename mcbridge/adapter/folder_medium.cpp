#include "folder_medium.h"

#include "mcbridge.h"
#include "mcbridge/atomic_file.h"
#include "mcbridge/card_build.h"
#include "mcbridge/chain.h"
#include "mcbridge/folder_names.h"
#include "mcbridge/inspect.h"
#include "mcbridge/save_container.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace mcb {

namespace {

uint64_t numberAfter(std::string_view text, std::string_view key)
{
    uint64_t n = 0;
    const auto at = text.find(key);
    if (at == std::string_view::npos)
        return 0;
    const char* p = text.data() + at + key.size();
    std::from_chars(p, text.data() + text.size(), n);
    return n;
}

bool endsWithGci(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return tail == ".gci";
}

// The regular files of a folder, by name.
std::vector<std::string> filesIn(const std::string& path)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(path.c_str());
    if (!d)
        return names;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        struct stat st {};
        if (::fstatat(::dirfd(d), e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode) &&
            name != kCardFile)
            names.push_back(name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

bool readWhole(const std::string& path, std::vector<uint8_t>& out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && uint64_t(st.st_size) <= MCB_LARGEST_SAVE_FILE;
    if (ok) {
        out.resize(std::size_t(st.st_size));
        std::size_t got = 0;
        while (ok && got < out.size()) {
            const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0;
            got += ok ? std::size_t(n) : 0;
        }
    }
    ::close(fd);
    return ok;
}

// Two plain saves are the same save when all but where the card keeps them
// agrees.
bool sameSave(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size() || a.size() < kEntrySize)
        return false;
    return std::equal(a.begin(), a.begin() + kEntryFirstBlock, b.begin()) &&
           std::equal(a.begin() + kEntryFirstBlock + 2, a.end(), b.begin() + kEntryFirstBlock + 2);
}

// kCardFile: these bytes, then the card's system area.
constexpr uint8_t kCardFileMagic[4] = {0x4D, 0x43, 0x46, 0x31};
constexpr std::size_t kSystemBytes = std::size_t(kSystemBlocks) * kBlockSize;

// The identity of a folder card that has none kept yet: made from the
// folder's own place on the disk, so that it stays while the folder does and
// no other folder has it, and with nothing written to the folder just to
// look at it. Its words fold into a serial of zero, as the identity of every
// folder card had before it had one of its own: a save bound to a card's
// serial reads on a folder card as it always did.
CardIdentity folderIdentity(int folderFd)
{
    struct stat st {};
    ::fstat(folderFd, &st);
    // splitmix64 over the folder's device and inode: well spread bytes.
    uint64_t x = uint64_t(st.st_dev) * 0x9E3779B97F4A7C15ull ^ uint64_t(st.st_ino);
    CardIdentity id{};
    for (std::size_t i = 0; i < 12; i += 4) {
        x += 0x9E3779B97F4A7C15ull;
        uint64_t z = x;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        for (std::size_t b = 0; b < 4; ++b)
            id[i + b] = uint8_t(z >> (8 * b));
    }
    // The serial XORs the words at 0, 8, 16 and 24, and those at 4, 12,
    // 20 and 28 (the last three zero here): word 16 and word 12 cancel them.
    for (int i = 0; i < 4; ++i) {
        id[16 + i] = uint8_t(id[0 + i] ^ id[8 + i]);
        id[12 + i] = id[4 + i];
    }
    return id;
}

} // namespace

FolderFaults parseFolderFaults(std::string_view text)
{
    return {numberAfter(text, "file-fail="), numberAfter(text, "disk-full=")};
}

FolderSpec parseFolderSpec(std::string_view rest)
{
    FolderSpec spec;
    std::string_view query;
    const auto mark = rest.rfind('?');
    if (mark != std::string_view::npos) {
        query = rest.substr(mark + 1);
        rest = rest.substr(0, mark);
    }
    spec.path = std::string(rest);
    while (!query.empty()) {
        const auto amp = query.find('&');
        const std::string_view item = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (item.starts_with("size=")) {
            unsigned n = 0;
            const auto v = item.substr(5);
            const auto r = std::from_chars(v.data(), v.data() + v.size(), n);
            // Or as the emulator counts a card: its save blocks, the card's
            // blocks less the five of its system area.
            if (r.ec == std::errc() && r.ptr == v.data() + v.size() && isCardSize(n))
                spec.megabits = n;
            else if (r.ec == std::errc() && isCardSize((n + kSystemBlocks) / 16) &&
                     (n + kSystemBlocks) % 16 == 0)
                spec.megabits = (n + kSystemBlocks) / 16;
            else
                spec.valid = false;
        } else if (item == "encoding=sjis" || item == "encoding=ansi") {
            spec.encoding = item == "encoding=sjis" ? Encoding::ShiftJis : Encoding::Ansi;
            spec.encodingGiven = true;
        } else {
            spec.valid = false;
        }
    }
    if (spec.path.empty())
        spec.valid = false;
    return spec;
}

std::vector<uint8_t> plainSaveAt(std::span<const uint8_t> image, const Block& dir, const Block& map,
                                 unsigned slot)
{
    const EntryRef e = entryAt(dir, slot);
    if (e.empty())
        return {};
    const SaveArea area = saveAreaFor(uint16_t(image.size() / kBlockSize - kSystemBlocks));
    const Chain chain = followChain(map, e.firstBlock(), e.blockCount(), area);
    if (!chain.sound())
        return {};
    std::vector<uint8_t> out(e.p, e.p + kEntrySize);
    out.reserve(kEntrySize + chain.blocks.size() * kBlockSize);
    for (const uint16_t b : chain.blocks) {
        const auto from = image.begin() + std::ptrdiff_t(std::size_t(b) * kBlockSize);
        out.insert(out.end(), from, from + std::ptrdiff_t(kBlockSize));
    }
    return out;
}

std::unique_ptr<FolderMedium> FolderMedium::open(const FolderSpec& spec, int32_t& error,
                                                 FolderFaults faults)
{
    if (!spec.valid) {
        error = MCB_ERROR_BAD_DEVICE;
        return nullptr;
    }
    // A missing folder is a new, empty card, as a missing image file is.
    if (::mkdir(spec.path.c_str(), 0777) != 0 && errno != EEXIST) {
        error = errno == ENOENT || errno == ENOTDIR ? MCB_ERROR_NOT_FOUND : MCB_ERROR_ACCESS;
        return nullptr;
    }
    const int fd = ::open(spec.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = errno == ENOTDIR  ? MCB_ERROR_BAD_DEVICE
                : errno == EACCES ? MCB_ERROR_ACCESS
                                  : MCB_ERROR_NOT_FOUND;
        return nullptr;
    }
    std::unique_ptr<FolderMedium> m(new FolderMedium);
    m->path_ = spec.path;
    m->fd_ = fd;
    m->megabits_ = spec.megabits;
    m->encoding_ = spec.encoding;
    m->encodingGiven_ = spec.encodingGiven;
    m->readOnly_ = ::access(spec.path.c_str(), W_OK) != 0;
    m->faults_ = faults;
    m->readCardFile();
    m->build();
    error = MCB_SUCCESS;
    return m;
}

FolderMedium::~FolderMedium()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void FolderMedium::readCardFile()
{
    std::vector<uint8_t> bytes;
    const std::string file = path_ + "/" + kCardFile;
    cardFileKept_ = readWhole(file, bytes) && bytes.size() == 4 + kSystemBytes &&
                    std::equal(bytes.begin(), bytes.begin() + 4, kCardFileMagic);
    if (!cardFileKept_) {
        // None yet: the identity the folder has until its first change
        // keeps it (see settle).
        kept_.clear();
        identity_ = folderIdentity(fd_);
        return;
    }
    kept_.assign(bytes.begin() + 4, bytes.end());
    identity_ = identityOf(kept_);
}

bool FolderMedium::writeCardFile(const std::vector<uint8_t>& image)
{
    std::vector<uint8_t> bytes(std::begin(kCardFileMagic), std::end(kCardFileMagic));
    bytes.insert(bytes.end(), image.begin(), image.begin() + std::ptrdiff_t(kSystemBytes));
    AtomicFile file(path_ + "/" + kCardFile);
    if (!file.isOpen() || !file.write(bytes.data(), bytes.size()) || !file.commit())
        return false;
    cardFileKept_ = true;
    kept_.assign(image.begin(), image.begin() + std::ptrdiff_t(kSystemBytes));
    return true;
}

bool FolderMedium::buildAsKept(std::vector<Found>& saves)
{
    if (kept_.size() != kSystemBytes)
        return false;
    const auto header = std::span<const uint8_t, kSectorSize>(kept_.data(), kSectorSize);
    const Encoding encoding =
        getBe16(&kept_[kHeaderEncoding]) == 1 ? Encoding::ShiftJis : Encoding::Ansi;
    if (!headerIntact(header) || kept_[kHeaderSizeMbit + 1] != megabits_ ||
        (encodingGiven_ && encoding != encoding_))
        return false;
    std::vector<uint8_t> image = CardBuilder(megabits_, encoding, identity_).image();
    std::copy(kept_.begin(), kept_.end(), image.begin());
    Block dir{}, map{};
    if (!currentStructures(image, dir, map))
        return false;
    const SaveArea area = saveAreaFor(uint16_t(megabits_ * 16 - kSystemBlocks));
    std::map<Key, Shown> shown;
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (e.empty())
            continue;
        const auto found = std::find_if(saves.begin(), saves.end(), [&](const Found& f) {
            return std::equal(f.bytes.begin(), f.bytes.begin() + kEntryFirstBlock, e.p) &&
                   std::equal(f.bytes.begin() + kEntryFirstBlock + 2, f.bytes.begin() + kEntrySize,
                              e.p + kEntryFirstBlock + 2);
        });
        const Chain chain = followChain(map, e.firstBlock(), e.blockCount(), area);
        if (found == saves.end() || !chain.sound() ||
            found->bytes.size() != kEntrySize + chain.blocks.size() * kBlockSize)
            return false;
        for (std::size_t i = 0; i < chain.blocks.size(); ++i)
            std::memcpy(&image[std::size_t(chain.blocks[i]) * kBlockSize],
                        &found->bytes[kEntrySize + i * kBlockSize], kBlockSize);
        Key key;
        std::copy_n(e.p, kEntryCodeSize, key.begin());
        std::copy_n(e.p + kEntryName, kEntryNameSize, key.begin() + kEntryCodeSize);
        shown[key] = {found->file, found->bytes};
    }
    if (shown.size() != saves.size())
        return false;
    encoding_ = encoding;
    encodingGiven_ = true;
    shown_ = std::move(shown);
    image_ = std::move(image);
    return true;
}

void FolderMedium::build()
{
    std::vector<Found> saves;
    aside_.clear();
    shown_.clear();
    std::set<Key> seen;
    for (const std::string& name : filesIn(path_)) {
        std::vector<uint8_t> bytes;
        Container c;
        const bool plain = endsWithGci(name) && readWhole(path_ + "/" + name, bytes) &&
                           recognise(std::span(bytes).first(std::min(bytes.size(), kLongestHeader)),
                                     bytes.size(), c) == ContainerFault::None &&
                           c.format == SaveFormat::Gci;
        if (!plain) {
            aside_.push_back({name, SetAside::NotASave});
            continue;
        }
        Key key;
        std::copy_n(bytes.begin(), kEntryCodeSize, key.begin());
        std::copy_n(bytes.begin() + kEntryName, kEntryNameSize, key.begin() + kEntryCodeSize);
        if (!seen.insert(key).second) {
            aside_.push_back({name, SetAside::Twin});
            continue;
        }
        saves.push_back({name, std::move(bytes)});
    }
    // The card as the library left it, when the files still hold it.
    if (buildAsKept(saves)) {
        settled_ = image_;
        signature_ = signature();
        return;
    }
    // A folder of Japanese games only is a Japanese card, as the emulator
    // gives such a game a card of its region.
    if (!encodingGiven_) {
        encoding_ = !saves.empty() && std::all_of(saves.begin(), saves.end(),
                                                  [](const Found& f) { return f.bytes[3] == 'J'; })
                        ? Encoding::ShiftJis
                        : Encoding::Ansi;
        encodingGiven_ = true; // decided once: a card does not change its encoding
    }
    CardBuilder card(megabits_, encoding_, identity_);
    for (Found& f : saves) {
        const auto entry = std::span<const uint8_t, kEntrySize>(f.bytes.data(), kEntrySize);
        const auto placed = card.add(entry, std::span(f.bytes).subspan(kEntrySize));
        if (placed != CardBuilder::Placed::Ok) {
            aside_.push_back({f.file, placed == CardBuilder::Placed::NoRoom ? SetAside::NoRoom
                                                                            : SetAside::NoSlot});
            continue;
        }
        Key key;
        std::copy_n(f.bytes.begin(), kEntryCodeSize, key.begin());
        std::copy_n(f.bytes.begin() + kEntryName, kEntryNameSize, key.begin() + kEntryCodeSize);
        shown_[key] = {f.file, std::move(f.bytes)};
    }
    image_ = card.image();
    settled_ = image_;
    signature_ = signature();
}

std::string FolderMedium::signature() const
{
    std::string s;
    for (const std::string& name : filesIn(path_)) {
        struct stat st {};
        if (::stat((path_ + "/" + name).c_str(), &st) != 0)
            continue;
        s += name + '\0' + std::to_string(st.st_size) + ':' + std::to_string(st.st_ino) + ':' +
             std::to_string(st.st_mtim.tv_sec) + '.' + std::to_string(st.st_mtim.tv_nsec) + '\n';
    }
    return s;
}

bool FolderMedium::readAt(uint64_t offset, uint8_t* data, std::size_t length)
{
    if (offset > image_.size() || length > image_.size() - offset)
        return false;
    std::memcpy(data, image_.data() + offset, length);
    return true;
}

bool FolderMedium::writeAt(uint64_t offset, const uint8_t* data, std::size_t length)
{
    if (readOnly_ || offset > image_.size() || length > image_.size() - offset)
        return false;
    std::memcpy(image_.data() + offset, data, length);
    return true;
}

int32_t FolderMedium::lock(LockMode mode, std::chrono::milliseconds wait)
{
    return lockFile(fd_, mode, wait);
}

void FolderMedium::unlock() { unlockFile(fd_); }

std::string FolderMedium::lockHolder() const { return lockHolderOf(fd_); }

bool FolderMedium::sameMedium() const
{
    struct stat named {
    }, held{};
    return ::stat(path_.c_str(), &named) == 0 && ::fstat(fd_, &held) == 0 &&
           named.st_dev == held.st_dev && named.st_ino == held.st_ino;
}

int FolderMedium::kind() const { return MCB_KIND_FOLDER; }

bool FolderMedium::begin()
{
    // Another program (the emulator, a file manager) changed the files: the
    // card is what they hold now.
    if (signature() == signature_)
        return false;
    build();
    return true;
}

bool FolderMedium::writeSave(const std::string& name, const std::vector<uint8_t>& bytes, int& err)
{
    ++written_;
    AtomicFile file(path_ + "/" + name);
    if (written_ == faults_.failWrite || written_ == faults_.diskFull) {
        // Half the file reaches the disk, then the disk fails; the temporary
        // file goes with the AtomicFile, the old file stays.
        file.write(bytes.data(), bytes.size() / 2);
        err = written_ == faults_.diskFull ? ENOSPC : EIO;
        return false;
    }
    if (!file.isOpen() || !file.write(bytes.data(), bytes.size()) || !file.commit()) {
        err = errno;
        return false;
    }
    return true;
}

int32_t FolderMedium::settle(bool succeeded)
{
    if (!succeeded) {
        image_ = settled_; // nothing reached the files
        return MCB_SUCCESS;
    }
    if (image_ == settled_)
        return MCB_SUCCESS;
    Block dir{}, map{};
    if (!currentStructures(image_, dir, map)) {
        image_ = settled_;
        return MCB_ERROR_DAMAGED;
    }
    struct Now {
        std::vector<uint8_t> bytes;
        std::string file; // empty: a new save, named below
        bool write = true;
    };
    std::map<Key, Now> now;
    std::set<Key> broken; // saves the card holds but cannot give whole: their files stay
    for (unsigned slot = 0; slot < kSaveSlotCount; ++slot) {
        const EntryRef e = entryAt(dir, slot);
        if (e.empty())
            continue;
        Key key;
        std::copy_n(e.p, kEntryCodeSize, key.begin());
        std::copy_n(e.p + kEntryName, kEntryNameSize, key.begin() + kEntryCodeSize);
        std::vector<uint8_t> bytes = plainSaveAt(image_, dir, map, slot);
        if (bytes.empty()) {
            broken.insert(key);
            continue;
        }
        Now n{std::move(bytes), {}, true};
        if (const auto old = shown_.find(key); old != shown_.end()) {
            n.file = old->second.file;
            n.write = !sameSave(n.bytes, old->second.bytes);
        }
        now.emplace(key, std::move(n));
    }
    // New saves get the emulator's names, beside every file that stays.
    std::vector<std::string> taken;
    for (const FolderFile& f : aside_)
        taken.push_back(f.name);
    std::vector<std::array<uint8_t, kEntrySize>> entries;
    for (auto& [key, n] : now)
        if (!n.file.empty())
            taken.push_back(n.file);
        else
            entries.push_back(
                *reinterpret_cast<const std::array<uint8_t, kEntrySize>*>(n.bytes.data()));
    const std::vector<std::string> names = folderNamesFor(entries, SaveFormat::Gci, taken);
    std::size_t next = 0;
    for (auto& [key, n] : now)
        if (n.file.empty())
            n.file = names[next++];

    // The card's identity is in the folder before its first change reaches
    // the files: the journal's record of the change names it.
    if (!cardFileKept_ && !writeCardFile(settled_)) {
        image_ = settled_;
        return MCB_ERROR_FILE;
    }
    // Every new file whole on the disk before any old one goes.
    int err = 0;
    for (const auto& [key, n] : now)
        if (n.write && !writeSave(n.file, n.bytes, err)) {
            build(); // the card is what the files hold now
            return MCB_ERROR_FILE;
        }
    std::set<std::string> kept;
    for (const auto& [key, n] : now)
        kept.insert(n.file);
    bool removed = true;
    for (const auto& [key, old] : shown_)
        if (!now.count(key) && !broken.count(key) && !kept.count(old.file))
            removed = ::unlink((path_ + "/" + old.file).c_str()) == 0 && removed;
    syncFolderOf(path_ + "/.");
    if (!removed) {
        build();
        return MCB_ERROR_FILE;
    }
    std::map<Key, Shown> shown;
    for (auto& [key, n] : now)
        shown[key] = {n.file, std::move(n.bytes)};
    for (const Key& key : broken)
        if (const auto old = shown_.find(key); old != shown_.end())
            shown[key] = old->second;
    shown_ = std::move(shown);
    settled_ = image_;
    // Last: the layout the files now hold. Should it not be written, the
    // older one no longer matches the files and the card is built afresh
    // next time, under the same identity.
    writeCardFile(image_);
    signature_ = signature();
    return MCB_SUCCESS;
}

} // namespace mcb
