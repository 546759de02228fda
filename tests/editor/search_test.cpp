// Find, Find next and Go to, as the prompts are answered.
#include "save_edit_fixture.h"

#include "hexedit/hexeditor.h"
#include "scripted_dialogs.h"
#include "skin/dialogs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

using SearchTest = SaveEditTest;

// 0: 'x', 1-2: 0A BC, 3-5: "aBC", 6: ' ', 7-9: "Abc", 10-11: "AB".
const QByteArray cText = QByteArray("x\x0A\xBC"
                                    "aBC Abc"
                                    "AB");

struct FindCase {
    const char* name;
    skin::SearchEntry entry;
    int32_t caret;
    int32_t found; // -1 not found, -2 ends without a word, -3 refused with a message
    bool wrapped;
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

class FindEntries : public SearchTest, public testing::WithParamInterface<FindCase> {};

TEST_P(FindEntries, ReadTextOrHexAsChosenAndSelectTheMatchBackwards)
{
    const FindCase& c = GetParam();
    Load(cText);
    form.HexEditor1->Seek(c.caret, 0, true);
    // A refused entry is offered again to be put right; here that is cancelled.
    dialogs.searches = {c.entry, std::nullopt};
    Choose(form.Find1);
    const bool refused = c.found == -3;
    ASSERT_EQ(dialogs.searchPrompts.size(), refused ? 2u : 1u);
    EXPECT_EQ(dialogs.searchPrompts[0].title, QStringLiteral("Find Data"));
    EXPECT_EQ(dialogs.searchPrompts.back().initial.text, refused ? c.entry.text : QString());
    EXPECT_EQ(dialogs.errors.size(), refused ? 1 : 0);
    EXPECT_EQ(form.StatusNotice()->text(),
              c.wrapped ? QStringLiteral("Search wrapped to the start") : QString());
    if (c.found >= 0) {
        EXPECT_EQ(TSaveEditForm::FindPos, c.found);
        EXPECT_TRUE(dialogs.infos.isEmpty());
        // From its last byte back to its first.
        EXPECT_EQ(form.HexEditor1->SelEnd(), c.found);
        EXPECT_EQ(form.HexEditor1->SelCount(), TSaveEditForm::FindLen);
        EXPECT_EQ(form.HexEditor1->GetCursorPos(), c.found + TSaveEditForm::FindLen - 1);
    } else {
        EXPECT_EQ(form.HexEditor1->SelCount(), 0);
        EXPECT_EQ(dialogs.infos, c.found == -1 ? QStringList{"Data not found."} : QStringList());
    }
}

INSTANTIATE_TEST_SUITE_P(
    SearchTest, FindEntries,
    testing::Values(FindCase{"LettersAreText", {"bc"}, 0, 8, false},
                    FindCase{"TextWithItsCase", {"Abc"}, 0, 7, false},
                    FindCase{"TextIgnoringCase", {"Abc", false, true}, 0, 3, false},
                    FindCase{"WrapsToAMatchOverTheCaret", {"Abc"}, 9, 7, true},
                    FindCase{"WrapsFromTheLastByte", {"0a bc", true}, 11, 1, true},
                    FindCase{"TextNowhere", {"zz"}, 5, -1, false},
                    FindCase{"TextNoByteStandsFor", {"\u30dd"}, 0, -3, false},
                    FindCase{"EmptyEntry", {""}, 0, -2, false},
                    FindCase{"SpacedHexBytes", {"41 42", true}, 0, 10, false},
                    FindCase{"HexBytesHaveNoCase", {"4142", true, true}, 0, 10, false},
                    FindCase{"OddHexDigitCount", {"abc", true}, 0, -3, false},
                    FindCase{"HexDigitsSplitInsideAByte", {"4 142", true}, 0, -3, false},
                    FindCase{"NotHexDigits", {"xyz", true}, 0, -3, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchTest, FindOffersThePreviousSearchAgain)
{
    Load(cText);
    dialogs.searches = {skin::SearchEntry{"zz", false, true}};
    Choose(form.Find1);
    Load(cText);
    dialogs.searches = {skin::SearchEntry{"0a bc", true}};
    Choose(form.Find1);
    ASSERT_EQ(dialogs.searchPrompts.size(), 2u);
    const skin::SearchEntry& offered = dialogs.searchPrompts.back().initial;
    EXPECT_EQ(offered.text, QStringLiteral("zz"));
    EXPECT_FALSE(offered.hex);
    EXPECT_TRUE(offered.ignoreCase);
}

TEST_F(SearchTest, FindNextFindsOverlappingMatchesAndWrapsToTheStart)
{
    Load(QByteArray("AAA"));
    dialogs.searches = {skin::SearchEntry{"4141", true}};
    Choose(form.Find1);
    EXPECT_EQ(TSaveEditForm::FindPos, 0);
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 1);
    EXPECT_EQ(form.HexEditor1->SelEnd(), 1);
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 0);
    EXPECT_EQ(form.StatusNotice()->text(), QStringLiteral("Search wrapped to the start"));
    EXPECT_TRUE(dialogs.infos.isEmpty());
    // The notice speaks of that match only.
    Key(Qt::Key_Right);
    EXPECT_EQ(form.StatusNotice()->text(), QString());
}

TEST_F(SearchTest, AfterACancelledFindFindNextGoesOnFromTheCaret)
{
    Load(QByteArray("AB..AB..AB"));
    dialogs.searches = {skin::SearchEntry{"AB"}, std::nullopt};
    Choose(form.Find1);
    Choose(form.Find1);
    form.HexEditor1->Seek(5, 0, true);
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 8);
}

TEST_F(SearchTest, FindNextSearchesTheRewrittenTextPatternWithItsCase)
{
    Load(QByteArray("xAbC..abc..ABC"));
    dialogs.searches = {skin::SearchEntry{"abc", false, true}};
    Choose(form.Find1);
    EXPECT_EQ(TSaveEditForm::FindPos, 1);
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 6);
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 11);
}

// Typed text means the characters the control shows, also on the pass that
// wraps round from a caret too near the end for the pattern to fit.
TEST_F(SearchTest, TextIsSearchedAsTheTranslationShowsIt)
{
    Load(QByteArray::fromHex("C1C24142"));
    form.HexEditor1->SetTranslation(ttEBCDIC);
    form.HexEditor1->Seek(3, 0, true);
    dialogs.searches = {skin::SearchEntry{"AB"}};
    Choose(form.Find1);
    EXPECT_EQ(TSaveEditForm::FindPos, 0);
}

TEST_F(SearchTest, FindNextWithoutAnEarlierSearchAsksLikeFind)
{
    Load(cText);
    dialogs.searches = {skin::SearchEntry{"AB"}};
    Choose(form.FindNext1);
    EXPECT_EQ(dialogs.searchPrompts.size(), 1u);
    EXPECT_EQ(TSaveEditForm::FindPos, 10);
}

struct GotoCase {
    const char* name;
    const char* entry; // null: the prompt is cancelled
    int32_t caret;
    bool invalid;
};

void PrintTo(const GotoCase& c, std::ostream* os) { *os << c.name; }

class GotoEntries : public SearchTest, public testing::WithParamInterface<GotoCase> {};

TEST_P(GotoEntries, TakeDecimalOrHexAndRefuseTheRest)
{
    const GotoCase& c = GetParam();
    Load(QByteArray(32, '\x55'));
    form.HexEditor1->Seek(5, 0, true);
    dialogs.errors.clear();
    dialogs.prompts.clear();
    dialogs.entries = {c.entry ? std::optional<QString>(QString::fromLatin1(c.entry))
                               : std::nullopt};
    Choose(form.Goto1);
    EXPECT_EQ(form.HexEditor1->GetCursorPos(), c.caret);
    EXPECT_EQ(dialogs.errors, c.invalid ? QStringList{"Invalid position"} : QStringList());
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].title, QStringLiteral("Goto file position..."));
    EXPECT_EQ(dialogs.prompts[0].initial, QStringLiteral("5"));
}

INSTANTIATE_TEST_SUITE_P(SearchTest, GotoEntries,
                         testing::Values(GotoCase{"HexWith0x", "0x10", 16, false},
                                         GotoCase{"HexWithDollar", "$10", 16, false},
                                         GotoCase{"HexWithCapitalX", "0X1f", 31, false},
                                         GotoCase{"Decimal", "16", 16, false},
                                         GotoCase{"NotANumber", "abc", 5, true},
                                         GotoCase{"PastTheEnd", "32", 5, true},
                                         GotoCase{"Negative", "-1", 5, true},
                                         GotoCase{"Cancelled", nullptr, 5, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchTest, AnEmptyDocumentIsNeitherSearchedNorPositioned)
{
    form.HexEditor1->CreateEmptyFile(QStringLiteral("Untitled"));
    TSaveEditForm::FindStr = QStringLiteral("41");
    form.Goto1Click();
    form.Find1Click();
    form.FindNext1Click();
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_TRUE(dialogs.searchPrompts.empty());
    EXPECT_TRUE(dialogs.infos.isEmpty());
}

} // namespace

namespace {

// A prompt that takes the focus into an edit box of its own, as a real one
// does, and answers with the next entry.
class FocusTakingPrompt : public ScriptedDialogs {
public:
    explicit FocusTakingPrompt(QWidget* aWindow) : fBox(aWindow) {}
    std::optional<QString> text(const QString& aTitle, const QString& aLabel,
                                const QString& aInitial) override
    {
        fBox.show();
        fBox.setFocus(Qt::OtherFocusReason);
        return ScriptedDialogs::text(aTitle, aLabel, aInitial);
    }
    std::optional<skin::SearchEntry> search(const skin::SearchSpec& aSpec) override
    {
        fBox.show();
        fBox.setFocus(Qt::OtherFocusReason);
        return ScriptedDialogs::search(aSpec);
    }
    void information(const QString&, const QString&) override {}

private:
    QLineEdit fBox;
};

// Go to and Find are reached by their keys, and typing right after them
// goes into the data where they left the caret.
TEST_F(SearchTest, GoToAndFindLeaveTheFocusInTheData)
{
    Load(QByteArray(32, '\x55'));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    FocusTakingPrompt prompt(&form);
    skin::installDialogs(&prompt);
    prompt.entries = {QStringLiteral("0x10")};
    QTest::keyClick(&form, Qt::Key_G, Qt::ControlModifier);
    Settle();
    ASSERT_EQ(form.HexEditor1->GetCursorPos(), 16);
    ASSERT_EQ(QApplication::focusWidget(), form.HexEditor1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ab"));
    Settle();
    EXPECT_EQ(Content().at(16), char(0xAB));

    prompt.searches = {skin::SearchEntry{"55", true}};
    form.Find1->trigger();
    Settle();
    EXPECT_EQ(QApplication::focusWidget(), form.HexEditor1);
    skin::installDialogs(&dialogs);
}

} // namespace
