// cardtool given what a slip of the keyboard or a hostile script gives it:
// each case must be refused in words, exit 1 or 2, and leave the card image
// exactly as it was.
#include "mcbridge/format.h"
#include "run_cardtool.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

using namespace mcbtest;
using namespace cardtooltest;

namespace {

class BadInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = mcb::formatCard(mcb::FormatOptions{4});
        placeSave(image, 0, makeSaveFile({.name = "first", .blocks = 2, .seed = 1}), 5);
        placeSave(image, 1, makeSaveFile({.name = "second", .blocks = 1, .seed = 2}), 7);
        writeFile(card(), image);
        writeFile(dir.file("save.gci"), makeSaveFile({.name = "third", .seed = 3}));
    }
    std::string card() const { return dir.file("card.raw"); }
    std::string dev() const { return "--device image:" + card() + " "; }
    // Runs a command line with @ standing for the test's folder.
    Result run(std::string line) const
    {
        for (std::size_t at; (at = line.find('@')) != std::string::npos;)
            line.replace(at, 1, dir.path());
        return cardtool(line);
    }
    bool cardUntouched() const { return readFile(card()) == image; }

    TempDir dir;
    std::vector<uint8_t> image;
};

struct Refusal {
    const char* name;
    const char* line; // @ is the test's folder; the card is @/card.raw
    const char* says; // part of the message
    int status = 1;
};

class Refused : public BadInput, public ::testing::WithParamInterface<Refusal> {
protected:
    void SetUp() override
    {
        BadInput::SetUp();
        ::mkfifo(dir.file("fifo").c_str(), 0600);
        ::mkdir(dir.file("folder").c_str(), 0700);
        std::filesystem::create_symlink(card(), dir.file("link.raw"));
        std::filesystem::create_hard_link(card(), dir.file("hard.raw"));
        // Longer than the largest card: an endless file stands for itself.
        writeFile(dir.file("huge.gcp"),
                  std::vector<uint8_t>(mcb::cardBytes(128) + mcb::kLargestExtraHeader + 1, 0));
        // A save behind a container header whose magic is missing.
        auto boxed = std::vector<uint8_t>(0x110, 0);
        const auto save = makeSaveFile({.name = "boxed"});
        boxed.insert(boxed.end(), save.begin(), save.end());
        writeFile(dir.file("boxed.gcs"), boxed);
        auto miscounted = makeSaveFile({.name = "miscounted", .blocks = 2});
        miscounted[57] = 3;
        writeFile(dir.file("miscounted.gci"), miscounted);
    }
};

TEST_P(Refused, WithTheReasonAndTheCardUntouched)
{
    const Refusal& c = GetParam();
    const Result r = run(std::string("--device image:@/card.raw ") + c.line);
    EXPECT_EQ(r.status, c.status) << r.out;
    EXPECT_TRUE(says(r, c.says)) << r.out;
    EXPECT_TRUE(cardUntouched());
}

const Refusal kRefusals[] = {
    // Slots: digits only, 0 to 126; nothing wraps round to a small slot.
    {"MinusZero", "download -0 @/x.gci", "'-0' is no slot number"},
    {"PlusOne", "delete +1", "'+1' is no slot number"},
    {"Exponent", "delete 1e3", "'1e3' is no slot number"},
    {"WrapsToOne", "delete 18446744073709551617", "is no slot number"},
    {"NegativeWrapsToOne", "delete -18446744073709551615", "is no slot number"},
    {"PastTheDirectory", "banner 127 @/b.bmp", "'127' is no slot number"},
    {"Hexadecimal", "delete 0x1", "'0x1' is no slot number"},
    {"OneBadAmongGood", "delete 0 zero", "'zero' is no slot number"},
    // Outputs that are the card in use, however they are spelled.
    {"DownloadOverCard", "download 0 @/card.raw", "is the card image in use"},
    {"DownloadOverSymlink", "download 0 @/link.raw", "is the card image in use"},
    {"DownloadOverHardLink", "download 0 @/hard.raw", "is the card image in use"},
    {"DownloadOverDotPath", "download 0 @/./folder/../card.raw", "is the card image in use"},
    {"BannerOverCard", "banner 0 @/card.raw", "is the card image in use"},
    {"BackupOverCard", "backup @/link.raw", "is the card image in use"},
    {"FileBannerOverCard", "file-banner @/save.gci @/card.raw", "is the card image in use"},
    {"FileBannerOverItsInput", "file-banner @/save.gci @/save.gci", "is also the file read from"},
    {"BackupIntoFolder", "backup @/folder", "is a directory"},
    {"DownloadIntoFifo", "download 0 @/fifo", "is a FIFO"},
    {"BackupOverDevice", "backup /dev/null", "is a device"},
    // Inputs that are no regular file of a fitting size: no hang, no crash.
    {"UploadFolder", "upload @/folder", "is a directory, not a regular file"},
    {"UploadFifo", "upload @/fifo", "is a FIFO, not a regular file"},
    {"UploadEndless", "upload /dev/zero", "is a device, not a regular file"},
    {"UploadMissing", "upload @/none.gci", "none.gci does not exist"},
    {"RestoreFifo", "restore @/fifo", "is a FIFO, not a regular file"},
    {"RestoreEndless", "restore /dev/urandom", "is a device, not a regular file"},
    {"RestoreHuge", "restore @/huge.gcp", "more than the 16785408 it could hold"},
    {"FileBannerEndless", "file-banner /dev/zero @/b.bmp", "is a device, not a regular file"},
    {"UploadHuge", "upload @/huge.gcp", "more than the"},
    // Files that are no save file.
    {"UploadContainerWithoutMagic", "upload @/boxed.gcs", "container but not its magic"},
    {"UploadMiscounted", "upload @/miscounted.gci", "counts 3 blocks, the file holds 2"},
    {"UploadCardImage", "upload @/hard.raw", "is no save file"},
};

INSTANTIATE_TEST_SUITE_P(Cardtool, Refused, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

struct ImagePath {
    const char* name;
    const char* image; // @ is the test's folder
    const char* says;
};

class ImagePaths : public BadInput, public ::testing::WithParamInterface<ImagePath> {};

// Every command but format refuses a card image that is missing or no
// regular file, and makes nothing at the path.
TEST_P(ImagePaths, AreRefusedByEveryCommandButFormat)
{
    const ImagePath& c = GetParam();
    ::mkfifo(dir.file("fifo").c_str(), 0600);
    ::mkdir(dir.file("folder").c_str(), 0700);
    const std::string device = std::string("--device image:") + c.image + " ";
    for (const char* command :
         {"list", "check", "backup @/b.gcp", "restore @/card.raw", "download 0 @/x.gci",
          "upload @/save.gci", "delete 0", "banner 0 @/b.bmp", "demo"}) {
        const Result r = run(device + command);
        EXPECT_EQ(r.status, 1) << command << ": " << r.out;
        EXPECT_TRUE(says(r, c.says)) << command << ": " << r.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.raw")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.gci")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("b.gcp")));
}

const ImagePath kImagePaths[] = {
    {"Missing", "@/missing.raw", "missing.raw does not exist ('cardtool format' makes one)"},
    {"Folder", "@/folder", "folder is a directory: a card image is a regular file"},
    {"Fifo", "@/fifo", "fifo is a FIFO: a card image is a regular file"},
    {"Device", "/dev/null", "/dev/null is a device: a card image is a regular file"},
};

INSTANTIATE_TEST_SUITE_P(Cardtool, ImagePaths, ::testing::ValuesIn(kImagePaths),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BadInput, OnlyFormatMakesACardImage)
{
    const Result r = run("--device image:@/new.raw format --size 8");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(std::filesystem::file_size(dir.file("new.raw")), mcb::cardBytes(8));
    ::mkdir(dir.file("folder").c_str(), 0700);
    EXPECT_EQ(run("--device image:@/folder format").status, 1);
    EXPECT_EQ(run("--device image:@/new.raw format --size 8x").status, 2);
}

// After the command, "help" and "--help" are arguments like any other: here
// the names of the files written.
TEST_F(BadInput, OnlyTheCommandsPlaceMeansHelp)
{
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    for (const char* name : {"help", "--help", "-h", "--version"}) {
        const Result r = run(dev() + "download 0 " + name);
        EXPECT_EQ(r.status, 0) << name << ": " << r.out;
        EXPECT_FALSE(says(r, "Usage:")) << name;
        EXPECT_EQ(readFile(dir.file(name)).size(), 64u + 2 * 8192) << name;
    }
    EXPECT_TRUE(says(run(dev() + "help"), "Usage:"));
    EXPECT_TRUE(says(run(dev() + "--help"), "Usage:"));
}

TEST_F(BadInput, TheVersionIsTheProjects)
{
    const Result r = run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, std::string("cardtool ") + CARDSUITE_VERSION + "\n");
}

// A save's name is the card's data: escape sequences in it reach the
// terminal as visible text, never as commands.
TEST_F(BadInput, ControlCharactersInNamesAreEscaped)
{
    placeSave(image, 2, makeSaveFile({.name = "evil\x1b]0;owned\x07\x1b[2J\r", .seed = 4}), 9);
    writeFile(card(), image);
    const Result r = run(dev() + "list");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(r.out.find('\x07'), std::string::npos);
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_TRUE(says(r, "evil\\x1B]0;owned\\x07\\x1B[2J\\x0D")) << r.out;
}

// A file that download or backup replaces keeps its permissions: a private
// save stays private, through a symlink too (with --force), which stays a
// symlink.
TEST_F(BadInput, ReplacedFilesKeepTheirPermissions)
{
    for (const auto& [file, mode] : {std::pair{"private.gci", 0600}, {"shared.gci", 0664}}) {
        writeFile(dir.file(file), {1, 2, 3});
        ::chmod(dir.file(file).c_str(), mode_t(mode));
        ASSERT_EQ(run(dev() + "download 0 @/" + file).status, 0);
        struct stat st {};
        ASSERT_EQ(::stat(dir.file(file).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, mode_t(mode)) << file;
        EXPECT_EQ(std::size_t(st.st_size), 64u + 2 * 8192) << file;
    }
    writeFile(dir.file("backup.gcp"), {1});
    ::chmod(dir.file("backup.gcp").c_str(), 0600);
    std::filesystem::create_symlink(dir.file("backup.gcp"), dir.file("latest.gcp"));
    ASSERT_EQ(run(dev() + "backup @/latest.gcp --force").status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("latest.gcp")));
    EXPECT_EQ(readFile(dir.file("backup.gcp")), image);
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("backup.gcp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

} // namespace
