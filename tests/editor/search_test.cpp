// Find, Find next and Go to, as the prompts are answered.
#include "save_edit_fixture.h"

#include "hexedit/hexeditor.h"

#include <QAction>

namespace {

using SearchTest = SaveEditTest;

// 0: 'x', 1-2: 0A BC, 3-5: "aBC", 6: ' ', 7-9: "Abc", 10-11: "AB".
const QByteArray cText = QByteArray("x\x0A\xBC"
                                    "aBC Abc"
                                    "AB");

TEST_F(SearchTest, FindReadsHexOrTextAndSelectsTheMatchBackwards)
{
    struct Case {
        const char* entry;
        int32_t found; // -1 not found, -2 ends without a word
    };
    for (const Case& c : {Case{"41 42", 10}, Case{"abc", 1}, Case{"xyz", -2}, Case{"t", -2},
                          Case{"tAbc", 7}, Case{"TAbc", 3}, Case{"tzz", -1}, Case{"0a bc", 1}}) {
        Load(cText);
        dialogs.infos.clear();
        dialogs.entries = {QString::fromLatin1(c.entry)};
        Choose(form.Find1);
        EXPECT_EQ(TSaveEditForm::FindStr, QString::fromLatin1(c.entry));
        if (c.found >= 0) {
            EXPECT_EQ(TSaveEditForm::FindPos, c.found) << c.entry;
            EXPECT_TRUE(dialogs.infos.isEmpty()) << c.entry;
            // From its last byte back to its first.
            EXPECT_EQ(form.HexEditor1->SelEnd(), c.found) << c.entry;
            EXPECT_EQ(form.HexEditor1->SelCount(), TSaveEditForm::FindLen) << c.entry;
            EXPECT_EQ(form.HexEditor1->GetCursorPos(), c.found + TSaveEditForm::FindLen - 1)
                << c.entry;
        } else {
            EXPECT_EQ(TSaveEditForm::FindPos, -1) << c.entry;
            EXPECT_EQ(form.HexEditor1->SelCount(), 0) << c.entry;
            EXPECT_EQ(dialogs.infos, c.found == -1 ? QStringList{"Data not found."} : QStringList())
                << c.entry;
        }
    }
    const ScriptedDialogs::Prompt& last = dialogs.prompts.back();
    EXPECT_EQ(last.title, QStringLiteral("Find Data"));
    EXPECT_EQ(last.label, QStringLiteral("\"t..\" ascii, \"T..\" + ignore case, else search hex"));
    EXPECT_EQ(last.initial, QStringLiteral("tzz"));
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

TEST_F(SearchTest, GotoTakesDecimalOrHexAndRefusesTheRest)
{
    struct Case {
        std::optional<QString> entry;
        int32_t caret;
        bool invalid;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("0x10"), 16, false}, {QStringLiteral("$10"), 16, false},
        {QStringLiteral("0X1f"), 31, false}, {QStringLiteral("16"), 16, false},
        {QStringLiteral("abc"), 5, true},    {QStringLiteral("32"), 5, true},
        {QStringLiteral("-1"), 5, true},     {std::nullopt, 5, false},
    };
    for (const Case& c : cases) {
        Load(QByteArray(32, '\x55'));
        form.HexEditor1->Seek(5, 0, true);
        dialogs.errors.clear();
        dialogs.prompts.clear();
        dialogs.entries = {c.entry};
        Choose(form.Goto1);
        const std::string shown = c.entry.value_or(QStringLiteral("(cancel)")).toStdString();
        EXPECT_EQ(form.HexEditor1->GetCursorPos(), c.caret) << shown;
        EXPECT_EQ(dialogs.errors, c.invalid ? QStringList{"Invalid position"} : QStringList())
            << shown;
        ASSERT_EQ(dialogs.prompts.size(), 1u);
        EXPECT_EQ(dialogs.prompts[0].title, QStringLiteral("Goto file position..."));
        EXPECT_EQ(dialogs.prompts[0].initial, QStringLiteral("5"));
    }
}

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
