// The whole-card restore: the card kept in a file before anything is written,
// the question before an image of another card, and the library's reason at
// the end of the program's failure notices.
#include "app_fixture.h"

#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <QDir>

#include <cstring>

using mcbtest::readFile;

namespace {

std::vector<uint8_t> formattedBy(uint8_t seed)
{
    mcb::FormatOptions o{4};
    for (std::size_t i = 0; i < o.serial.size(); ++i)
        o.serial[i] = uint8_t(seed * 5 + i);
    o.formatTime = 0x1234567ull * seed;
    return mcb::formatCard(o);
}

} // namespace

class RestoreTest : public AppTest {
protected:
    QString out(const char* name) const { return QString::fromStdString(dir.file(name)); }
    // The files a restore kept the card in, in the save folder.
    QStringList keptFiles() const
    {
        QStringList paths;
        const QDir saver(form->saverDir());
        for (const QString& f :
             saver.entryList({QStringLiteral("card before restore *.gcp")}, QDir::Files))
            paths << saver.filePath(f);
        return paths;
    }
    // Writes an image read from another card, holding one save, and lists the card.
    std::vector<uint8_t> otherCardImage()
    {
        std::vector<uint8_t> other = formattedBy(2);
        mcbtest::placeSave(other, 0, mcbtest::makeSaveFile({.name = "theirs", .blocks = 4}), 5);
        mcbtest::writeFile(dir.file("other.gcp"), other);
        return other;
    }
    void restore(const char* file)
    {
        dialogs.files = {out(file)};
        form->WriteCardBtnClick();
    }
};

struct AnswerRow {
    const char* name;
    int answer; // the button: keep identity, overwrite, cancel
};

class OtherCardAnswer : public RestoreTest, public testing::WithParamInterface<AnswerRow> {};

TEST_P(OtherCardAnswer, DecidesWhatTheCardBecomes)
{
    makeCard(4);
    placeOnCard(0, {.name = "mine", .blocks = 2}, 5);
    start();
    listCard();
    const std::vector<uint8_t> before = cardImage();
    const std::vector<uint8_t> other = otherCardImage();
    dialogs.choices = {GetParam().answer};
    restore("other.gcp");

    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(out("other.gcp") + " was read from another card."))
        << dialogs.questions[0].toStdString();
    EXPECT_EQ(dialogs.choiceButtons.at(0),
              (QStringList{"Keep this card's identity", "Overwrite it", "Cancel"}));
    EXPECT_TRUE(form->b0 && form->b1 && form->b2 && form->b8);
    if (GetParam().answer == 2) {
        EXPECT_EQ(cardImage(), before);
        EXPECT_TRUE(keptFiles().isEmpty());
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_EQ(names(form->ListView1), QStringList{"mine"});
        return;
    }
    const std::vector<uint8_t> now = cardImage();
    if (GetParam().answer == 1) {
        EXPECT_EQ(now, other);
    } else {
        EXPECT_EQ(0, std::memcmp(now.data(), before.data(), 32));
        EXPECT_TRUE(mcb::inspectCard(now).sound());
        EXPECT_EQ(std::memcmp(now.data() + 32, other.data() + 32, 0x1FC - 32), 0);
        EXPECT_EQ(mcbtest::blocksOf(now, 5, 4), mcbtest::blocksOf(other, 5, 4));
    }
    EXPECT_EQ(names(form->ListView1), QStringList{"theirs"});
    // The card as it was is in the save folder, and the user is told where.
    const QStringList kept = keptFiles();
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(readFile(kept[0].toStdString()), before);
    EXPECT_EQ(dialogs.messages, QStringList{"The card as it was before is kept in: " + kept[0]});
}

INSTANTIATE_TEST_SUITE_P(Answers, OtherCardAnswer,
                         testing::Values(AnswerRow{"KeepIdentity", 0}, AnswerRow{"Overwrite", 1},
                                         AnswerRow{"Cancel", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RestoreTest, TheQuestionAndItsButtonsAreInTheUsersLanguage)
{
    makeCard(4);
    start(0x0411);
    otherCardImage();
    dialogs.choices = {2};
    restore("other.gcp");
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(out("other.gcp") + " は別のカードから"))
        << dialogs.questions[0].toStdString();
    EXPECT_EQ(dialogs.choiceButtons.at(0),
              (QStringList{"このカードの識別情報を残す", "上書きする", "キャンセル"}));
}

TEST_F(RestoreTest, EachRestoreKeepsTheCardInAFileOfItsOwn)
{
    makeCard(4);
    start();
    std::vector<uint8_t> same = cardImage();
    mcbtest::placeSave(same, 0, mcbtest::makeSaveFile({.name = "back", .blocks = 3}), 5);
    mcbtest::writeFile(dir.file("same.gcp"), same);
    const std::vector<uint8_t> first = cardImage();
    restore("same.gcp");
    restore("same.gcp");
    EXPECT_TRUE(dialogs.questions.isEmpty()); // an image of this card is not asked about
    const QStringList kept = keptFiles();
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(dialogs.messages.size(), 2);
    // One holds the card before the first restore, the other before the second.
    std::vector<std::vector<uint8_t>> held{readFile(kept[0].toStdString()),
                                           readFile(kept[1].toStdString())};
    EXPECT_TRUE((held[0] == first && held[1] == same) || (held[0] == same && held[1] == first));
}

TEST_F(RestoreTest, ACardThatCannotBeKeptIsNotWritten)
{
    makeCard(4);
    placeOnCard(0, {.name = "mine", .blocks = 2}, 5);
    start();
    listCard();
    const std::vector<uint8_t> before = cardImage();
    otherCardImage();
    dialogs.choices = {1};
    // The save folder cannot take the file.
    QDir(form->saverDir()).removeRecursively();
    mcbtest::writeFile(form->saverDir().toStdString(), {1});
    restore("other.gcp");
    EXPECT_EQ(
        dialogs.messages,
        QStringList{"UPLOAD CARD stopped, the card could not be kept in a file first, nothing "
                    "was written: " +
                    out("other.gcp") + " [a file could not be read or written]"});
    EXPECT_EQ(cardImage(), before);
}

// ---- The library's reason in the failure notices ---------------------------

TEST_F(RestoreTest, ARefusedImageIsToldWithTheReason)
{
    makeCard(4);
    start();
    mcbtest::writeFile(dir.file("big.gcp"), mcb::formatCard(mcb::FormatOptions{8}));
    restore("big.gcp");
    EXPECT_EQ(dialogs.messages,
              QStringList{"UPLOAD CARD Failed, the card may be incomplete: " + out("big.gcp") +
                          " [the image is not as large as the card]"});
    EXPECT_TRUE(keptFiles().isEmpty()); // nothing would be written, nothing kept
}

TEST_F(RestoreTest, ReasonsFollowTheUsersLanguage)
{
    makeCard(4);
    start(0x0404);
    mcbtest::writeFile(dir.file("big.gcp"), mcb::formatCard(mcb::FormatOptions{8}));
    restore("big.gcp");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].endsWith(out("big.gcp") + " [映像的大小與記憶卡不符]"))
        << dialogs.messages[0].toStdString();
}
