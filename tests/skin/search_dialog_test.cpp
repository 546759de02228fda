// The Find question: what the user types and clicks comes back as the entry,
// and whether it is read as text or as hex is the user's visible choice.
#include "skin/dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <array>

namespace {

struct SearchRow {
    const char* name;
    skin::SearchEntry initial;
    const char* typed;
    int click; // 0 nothing, 1 Text, 2 Hex, 3 Ignore case
    skin::SearchEntry expected;
};

void PrintTo(const SearchRow& r, std::ostream* os) { *os << r.name; }

class SearchQuestion : public testing::TestWithParam<SearchRow> {};

TEST_P(SearchQuestion, ReturnsWhatWasTypedAndChosen)
{
    const SearchRow& row = GetParam();
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<skin::SearchDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        QTest::keyClicks(d->textBox(), QString::fromUtf8(row.typed));
        const std::array<QAbstractButton*, 4> buttons{nullptr, d->textChoice(), d->hexChoice(),
                                                      d->ignoreCaseBox()};
        if (row.click)
            QTest::mouseClick(buttons[std::size_t(row.click)], Qt::LeftButton);
        // Bytes have no letter case.
        EXPECT_NE(d->hexChoice()->isChecked(), d->ignoreCaseBox()->isEnabled());
        QTest::keyClick(d->textBox(), Qt::Key_Return);
    });
    const std::optional<skin::SearchEntry> entry = skin::QtDialogs().search(
        {"Find Data", "Search for:", "Text", "Hex", "Ignore case", row.initial});
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->text, row.expected.text);
    EXPECT_EQ(entry->hex, row.expected.hex);
    EXPECT_EQ(entry->ignoreCase, row.expected.ignoreCase);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, SearchQuestion,
    testing::Values(SearchRow{"TypedWordsAreText", {}, "hello", 0, {"hello"}},
                    SearchRow{
                        "TypingReplacesTheLastSearch", {"old", true}, "KARUGA", 1, {"KARUGA"}},
                    SearchRow{"HexChosenWithTheMouse", {}, "41 42", 2, {"41 42", true}},
                    SearchRow{"IgnoreCaseTicked", {"Abc"}, "", 3, {"Abc", false, true}}),
    [](const testing::TestParamInfo<SearchRow>& info) { return std::string(info.param.name); });

} // namespace
