#include "mcbridge/save_container.h"

#include "mcbridge.h"
#include "mcbridge/atomic_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mcb {

namespace {

constexpr std::array<uint8_t, 6> kGcsMagic = {0x47, 0x43, 0x53, 0x41, 0x56, 0x45};
constexpr std::array<uint8_t, 12> kSavMagic = {0x44, 0x41, 0x54, 0x45, 0x4C, 0x47,
                                               0x43, 0x5F, 0x53, 0x41, 0x56, 0x45};
// The pairs a .sav entry stores with their two bytes exchanged: the unused
// byte with the banner format, then every 16-bit word from the picture offset
// to the comment offset. The name, code and time are stored as on the card.
constexpr std::array<std::size_t, 11> kSavSwappedPairs = {0x06, 0x2C, 0x2E, 0x30, 0x32, 0x34,
                                                          0x36, 0x38, 0x3A, 0x3C, 0x3E};
constexpr uint64_t kMostBlocks = kMapBlockLimit - kSystemBlocks;

template <std::size_t N>
bool startsWith(std::span<const uint8_t> head, const std::array<uint8_t, N>& m)
{
    return head.size() >= N && std::equal(m.begin(), m.end(), head.begin());
}

// The form whose header length fits a file of this length, if any.
std::optional<SaveFormat> formatByLength(uint64_t length)
{
    for (SaveFormat f : {SaveFormat::Gci, SaveFormat::Gcs, SaveFormat::Sav})
        if (length >= dataOffsetOf(f) && (length - dataOffsetOf(f)) % kBlockSize == 0)
            return f;
    return std::nullopt;
}

std::size_t entryOffsetOf(SaveFormat f)
{
    return f == SaveFormat::Gcs ? kGcsEntryAt : f == SaveFormat::Sav ? kSavEntryAt : 0;
}

// pread until done; false on an error or an early end.
bool readAt(int fd, uint64_t offset, uint8_t* out, std::size_t length)
{
    while (length > 0) {
        const ssize_t got = ::pread(fd, out, length, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        out += got;
        offset += uint64_t(got);
        length -= std::size_t(got);
    }
    return true;
}

// The 64 bytes of title and comment, when the comment offset leaves them
// inside the data.
std::vector<uint8_t> commentLinesOf(const SaveFile& file)
{
    const Container& c = file.container();
    const uint32_t at = getBe32(&c.entry[kEntryCommentOffset]);
    const uint64_t dataLength = uint64_t(c.blocks) * kBlockSize;
    std::vector<uint8_t> lines(2 * kCommentLineSize);
    if (at == kNoOffset || uint64_t(at) + lines.size() > dataLength ||
        !file.readData(at, lines.data(), lines.size()))
        return {};
    return lines;
}

// A text line copied up to its first NUL, so that bytes left behind it in
// the save never reach the header.
void putLine(std::vector<uint8_t>& header, std::size_t at, std::span<const uint8_t> line)
{
    const auto end = std::find(line.begin(), line.end(), uint8_t(0));
    std::copy(line.begin(), end, header.begin() + std::ptrdiff_t(at));
}

} // namespace

const char* containerFaultText(ContainerFault fault) { return mcb_save_fault_text(int32_t(fault)); }

const char* formatExtension(SaveFormat format)
{
    switch (format) {
    case SaveFormat::Gcs: return ".gcs";
    case SaveFormat::Sav: return ".sav";
    case SaveFormat::Gci: break;
    }
    return ".gci";
}

std::size_t dataOffsetOf(SaveFormat format)
{
    switch (format) {
    case SaveFormat::Gcs: return kGcsHeaderSize;
    case SaveFormat::Sav: return kSavHeaderSize;
    case SaveFormat::Gci: break;
    }
    return kEntrySize;
}

void swapSavEntry(std::span<uint8_t, kEntrySize> entry)
{
    for (std::size_t p : kSavSwappedPairs)
        std::swap(entry[p], entry[p + 1]);
}

ContainerFault recognise(std::span<const uint8_t> head, uint64_t length, Container& out)
{
    SaveFormat claimed = SaveFormat::Gci;
    if (startsWith(head, kSavMagic))
        claimed = SaveFormat::Sav;
    else if (startsWith(head, kGcsMagic))
        claimed = SaveFormat::Gcs;
    const std::size_t header = dataOffsetOf(claimed);
    if (length < header || head.size() < header)
        return ContainerFault::TruncatedHeader;
    if ((length - header) % kBlockSize != 0) {
        const auto byLength = formatByLength(length);
        if (byLength && claimed != SaveFormat::Gci)
            return ContainerFault::WrongMagic;
        if (byLength && *byLength != SaveFormat::Gci)
            return ContainerFault::NoContainer;
        return ContainerFault::PartialBlock;
    }
    const uint64_t blocks = (length - header) / kBlockSize;
    if (blocks == 0)
        return ContainerFault::NoBlocks;
    if (blocks > kMostBlocks)
        return ContainerFault::TooLarge;

    Container c;
    c.format = claimed;
    c.dataOffset = header;
    c.blocks = uint16_t(blocks);
    std::copy_n(head.begin() + std::ptrdiff_t(entryOffsetOf(claimed)), kEntrySize, c.entry.begin());
    if (claimed == SaveFormat::Sav)
        swapSavEntry(c.entry);
    const EntryRef e{c.entry.data()};
    if (e.empty())
        return ContainerFault::EmptyEntry;
    // Writers of .gcs files commonly leave 1 as the block count and let the
    // length say how many blocks follow; any other disagreement is damage.
    const bool gcsCountOfOne = claimed == SaveFormat::Gcs && e.blockCount() == 1;
    if (e.blockCount() != blocks && !gcsCountOfOne)
        return ContainerFault::CountMismatch;
    putBe16(&c.entry[kEntryBlockCount], c.blocks);
    out = c;
    return ContainerFault::None;
}

std::vector<uint8_t> headerFor(SaveFormat format, std::span<const uint8_t, kEntrySize> entry,
                               std::span<const uint8_t> commentLines)
{
    std::vector<uint8_t> h(dataOffsetOf(format), 0);
    const auto title = commentLines.first(std::min(commentLines.size(), kCommentLineSize));
    const auto comment = commentLines.size() >= 2 * kCommentLineSize
                             ? commentLines.subspan(kCommentLineSize, kCommentLineSize)
                             : std::span<const uint8_t>{};
    switch (format) {
    case SaveFormat::Gci: std::copy(entry.begin(), entry.end(), h.begin()); break;
    case SaveFormat::Gcs:
        std::copy(kGcsMagic.begin(), kGcsMagic.end(), h.begin());
        putLine(h, kGcsTitleAt, title);
        std::copy(entry.begin(), entry.end(), h.begin() + kGcsEntryAt);
        break;
    case SaveFormat::Sav: {
        std::copy(kSavMagic.begin(), kSavMagic.end(), h.begin());
        putLine(h, kSavTitleAt, title);
        putLine(h, kSavCommentAt, comment);
        const std::span<uint8_t, kEntrySize> e(h.data() + kSavEntryAt, kEntrySize);
        std::copy(entry.begin(), entry.end(), e.begin());
        swapSavEntry(e);
        break;
    }
    }
    return h;
}

std::vector<uint8_t> saveInFormat(SaveFormat format, std::span<const uint8_t, kEntrySize> entry,
                                  std::span<const uint8_t> data)
{
    const uint32_t at = getBe32(&entry[kEntryCommentOffset]);
    std::span<const uint8_t> lines;
    if (at != kNoOffset && uint64_t(at) + 2 * kCommentLineSize <= data.size())
        lines = data.subspan(at, 2 * kCommentLineSize);
    std::vector<uint8_t> out = headerFor(format, entry, lines);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

SaveFile::SaveFile(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        return;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        fault_ = ContainerFault::ReadFailed;
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        fault_ = ContainerFault::NotRegular;
        return;
    }
    const uint64_t length = uint64_t(st.st_size);
    std::array<uint8_t, kLongestHeader> head{};
    const std::size_t want = std::size_t(std::min<uint64_t>(length, head.size()));
    if (!readAt(fd_, 0, head.data(), want)) {
        fault_ = ContainerFault::ReadFailed;
        return;
    }
    fault_ = recognise(std::span(head.data(), want), length, c_);
}

SaveFile::~SaveFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SaveFile::readData(uint64_t offset, uint8_t* out, std::size_t length) const
{
    if (fault_ != ContainerFault::None || offset + length > uint64_t(c_.blocks) * kBlockSize)
        return false;
    return readAt(fd_, c_.dataOffset + offset, out, length);
}

ContainerFault convertSave(const std::string& in, const std::string& out, SaveFormat format)
{
    const SaveFile file(in);
    if (file.fault() != ContainerFault::None)
        return file.fault();
    const Container& c = file.container();
    const std::vector<uint8_t> lines = commentLinesOf(file);
    AtomicFile target(out);
    const std::vector<uint8_t> header = headerFor(format, c.entry, lines);
    if (!target.isOpen() || !target.write(header.data(), header.size()))
        return ContainerFault::CannotWrite;
    std::vector<uint8_t> block(kBlockSize);
    for (unsigned b = 0; b < c.blocks; ++b) {
        if (!file.readData(uint64_t(b) * kBlockSize, block.data(), block.size()))
            return ContainerFault::ReadFailed;
        if (!target.write(block.data(), block.size()))
            return ContainerFault::CannotWrite;
    }
    return target.commit() ? ContainerFault::None : ContainerFault::CannotWrite;
}

} // namespace mcb
