// Find, Find next and Go to, as the prompts are answered.
#include "save_edit_fixture.h"

#include "hexedit/hexeditor.h"
#include "scripted_dialogs.h"
#include "skin/dialogs.h"

#include <QAction>
#include <QApplication>
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
    const char* entry;
    int32_t found; // -1 not found, -2 ends without a word
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.name; }

class FindEntries : public SearchTest, public testing::WithParamInterface<FindCase> {};

TEST_P(FindEntries, ReadHexOrTextAndSelectTheMatchBackwards)
{
    const FindCase& c = GetParam();
    Load(cText);
    dialogs.infos.clear();
    dialogs.entries = {QString::fromLatin1(c.entry)};
    Choose(form.Find1);
    EXPECT_EQ(TSaveEditForm::FindStr, QString::fromLatin1(c.entry));
    if (c.found >= 0) {
        EXPECT_EQ(TSaveEditForm::FindPos, c.found);
        EXPECT_TRUE(dialogs.infos.isEmpty());
        // From its last byte back to its first.
        EXPECT_EQ(form.HexEditor1->SelEnd(), c.found);
        EXPECT_EQ(form.HexEditor1->SelCount(), TSaveEditForm::FindLen);
        EXPECT_EQ(form.HexEditor1->GetCursorPos(), c.found + TSaveEditForm::FindLen - 1);
    } else {
        EXPECT_EQ(TSaveEditForm::FindPos, -1);
        EXPECT_EQ(form.HexEditor1->SelCount(), 0);
        EXPECT_EQ(dialogs.infos, c.found == -1 ? QStringList{"Data not found."} : QStringList());
    }
    ASSERT_FALSE(dialogs.prompts.empty());
    const ScriptedDialogs::Prompt& last = dialogs.prompts.back();
    EXPECT_EQ(last.title, QStringLiteral("Find Data"));
    EXPECT_EQ(last.label, QStringLiteral("\"t..\" ascii, \"T..\" + ignore case, else search hex"));
}

INSTANTIATE_TEST_SUITE_P(
    SearchTest, FindEntries,
    testing::Values(FindCase{"SpacedHexBytes", "41 42", 10}, FindCase{"LettersReadAsHex", "abc", 1},
                    FindCase{"NotHex", "xyz", -2}, FindCase{"EmptyText", "t", -2},
                    FindCase{"TextWithItsCase", "tAbc", 7}, FindCase{"TextIgnoringCase", "TAbc", 3},
                    FindCase{"TextNotThere", "tzz", -1}, FindCase{"LowerCaseHex", "0a bc", 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchTest, FindOffersThePreviousSearchAgain)
{
    Load(cText);
    dialogs.entries = {QStringLiteral("tzz")};
    Choose(form.Find1);
    Load(cText);
    dialogs.entries = {QStringLiteral("0a bc")};
    Choose(form.Find1);
    ASSERT_EQ(dialogs.prompts.size(), 2u);
    EXPECT_EQ(dialogs.prompts.back().initial, QStringLiteral("tzz"));
}

TEST_F(SearchTest, FindNextFindsOverlappingMatchesAndStopsAtTheEnd)
{
    Load(QByteArray("AAA"));
    dialogs.entries = {QStringLiteral("4141")};
    Choose(form.Find1);
    EXPECT_EQ(TSaveEditForm::FindPos, 0);
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 1);
    EXPECT_EQ(form.HexEditor1->SelEnd(), 1);
    EXPECT_TRUE(dialogs.infos.isEmpty());
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, -1);
    EXPECT_EQ(dialogs.infos, QStringList{"Data not found."});
    // After a miss, the next search starts over from the beginning.
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 0);
}

TEST_F(SearchTest, FindNextSearchesTheRewrittenTextPatternWithItsCase)
{
    Load(QByteArray("xAbC..abc..ABC"));
    dialogs.entries = {QStringLiteral("Tabc")};
    Choose(form.Find1);
    EXPECT_EQ(TSaveEditForm::FindPos, 1);
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 6);
    Choose(form.FindNext1);
    EXPECT_EQ(TSaveEditForm::FindPos, 11);
}

TEST_F(SearchTest, FindNextWithoutAnEarlierSearchAsksLikeFind)
{
    Load(cText);
    dialogs.entries = {QStringLiteral("tAB")};
    Choose(form.FindNext1);
    EXPECT_EQ(dialogs.prompts.size(), 1u);
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

    prompt.entries = {QStringLiteral("55")};
    form.Find1->trigger();
    Settle();
    EXPECT_EQ(QApplication::focusWidget(), form.HexEditor1);
    skin::installDialogs(&dialogs);
}

} // namespace
