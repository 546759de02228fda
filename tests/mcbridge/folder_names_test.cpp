// Names of save files written into a folder: the emulator's pattern, the
// escapes for bytes a file system refuses, and distinct names for saves
// whose names would collide.
#include "mcbridge/folder_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace mcb;

namespace {

std::array<uint8_t, kEntrySize> entryOf(const std::string& code, const std::string& name)
{
    std::array<uint8_t, kEntrySize> e{};
    e.fill(0);
    std::memcpy(e.data() + kEntryCode, code.data(), std::min<std::size_t>(code.size(), 6));
    std::memcpy(e.data() + kEntryName, name.data(), std::min<std::size_t>(name.size(), 32));
    return e;
}

struct NameRow {
    const char* label;
    std::string code;
    std::string name;
    SaveFormat format;
    std::string expected;
};

class FolderName : public testing::TestWithParam<NameRow> {};

TEST_P(FolderName, FollowsTheEmulatorsPattern)
{
    const NameRow& row = GetParam();
    EXPECT_EQ(folderNameFor(entryOf(row.code, row.name), row.format), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FolderName,
    testing::Values(
        NameRow{"Plain", "GZLE01", "gczelda", SaveFormat::Gci, "01-GZLE-gczelda.gci"},
        NameRow{"OtherForms", "GZLE01", "gczelda", SaveFormat::Sav, "01-GZLE-gczelda.sav"},
        NameRow{"SpacesAndDotsStay", "GALE01", "Super Smash.dat", SaveFormat::Gci,
                "01-GALE-Super Smash.dat.gci"},
        NameRow{"SlashAndColon", "GMSE01", "a/b:c", SaveFormat::Gci, "01-GMSE-a__2f__b__3a__c.gci"},
        NameRow{"EveryRefusedSign", "GXXE01", "\"*<>?\\|", SaveFormat::Gci,
                "01-GXXE-__22____2a____3c____3e____3f____5c____7c__.gci"},
        NameRow{"ControlAndDel", "GXXE01", std::string("a\x01\x7f", 3), SaveFormat::Gci,
                "01-GXXE-a__01____7f__.gci"},
        // Written as they are, as the emulator writes them.
        NameRow{"ShiftJisBytes", "GXXJ01", "\x83\x5A\x81\x5B", SaveFormat::Gci,
                "01-GXXJ-\x83\x5A\x81\x5B.gci"},
        NameRow{"Windows1252Bytes", "GXXP01", "Pok\xe9 \x99", SaveFormat::Gci,
                "01-GXXP-Pok\xe9 \x99.gci"},
        NameRow{"TripleUnderscore", "GXXE01", "a___b", SaveFormat::Gci,
                "01-GXXE-a__5f____5f___b.gci"},
        NameRow{"DoubleUnderscore", "GXXE01", "a__b", SaveFormat::Gci,
                "01-GXXE-a__5f____5f__b.gci"},
        NameRow{"SingleUnderscoreStays", "GXXE01", "a_b", SaveFormat::Gci, "01-GXXE-a_b.gci"},
        NameRow{"BytesAfterTheNul", "GXXE01", std::string("ab\0cd", 5), SaveFormat::Gci,
                "01-GXXE-ab.gci"},
        NameRow{"NulInTheCode", "GXX", "n", SaveFormat::Gci, "__00____00__-GXX__00__-n.gci"},
        NameRow{"FullLengthName", "GXXE01", std::string(32, 'z'), SaveFormat::Gci,
                "01-GXXE-" + std::string(32, 'z') + ".gci"}),
    [](const testing::TestParamInfo<NameRow>& info) { return std::string(info.param.label); });

TEST(FolderNames, CollidingSavesGetDistinctNames)
{
    // The same name up to the NUL, and two names that differ only in case.
    const std::vector<std::array<uint8_t, kEntrySize>> entries = {
        entryOf("GXXE01", std::string("save\0a", 6)), entryOf("GXXE01", std::string("save\0b", 6)),
        entryOf("GXXE01", "Save"), entryOf("GXXE01", "other"), entryOf("GXXE01", "save-2")};
    const auto names = folderNamesFor(entries);
    ASSERT_EQ(names.size(), entries.size());
    EXPECT_EQ(names[0], "01-GXXE-save.gci");
    EXPECT_EQ(names[1], "01-GXXE-save-2.gci");
    EXPECT_EQ(names[2], "01-GXXE-Save-3.gci");
    EXPECT_EQ(names[3], "01-GXXE-other.gci");
    // A save really named like a numbered one still gets a name of its own.
    EXPECT_EQ(names[4], "01-GXXE-save-2-2.gci");
    std::set<std::string> lower;
    for (std::string n : names) {
        for (char& c : n)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        lower.insert(n);
    }
    EXPECT_EQ(lower.size(), names.size());
}

TEST(FolderNames, FilesAlreadyInTheFolderAreNotReplaced)
{
    const auto names = folderNamesFor({entryOf("GXXE01", "save"), entryOf("GXXE01", "new")},
                                      SaveFormat::Gci, {"01-GXXE-SAVE.GCI", "unrelated.gci"});
    EXPECT_EQ(names, (std::vector<std::string>{"01-GXXE-save-2.gci", "01-GXXE-new.gci"}));
}

} // namespace
