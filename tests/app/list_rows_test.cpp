// The rows of both lists: a long name never hides the block count, the last
// row can be scrolled to, and only one list holds a selection.
#include "app_fixture.h"

#include <QTest>

namespace {

class ListRowsTest : public AppTest {
protected:
    void click(TSaveListView* list, int row, Qt::KeyboardModifiers modifiers = {})
    {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                          list->visualItemRect(list->item(row)).center());
    }
};

struct RowCase {
    const char* name;
    unsigned language;
};

class LongNames : public ListRowsTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(LongNames, KeepTheBlockCountInTheRowAndTheLastRowReachable)
{
    makeCard();
    // Names that wrap to two lines and more, with and without blanks.
    const std::string names[] = {"A rather long name of a save ok",
                                 "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", "short"};
    for (unsigned i = 0; i < 9; ++i)
        placeOnCard(i, {.code = "GAAE01", .name = names[i % 3] + char('a' + i), .blocks = 1},
                    5 + i);
    start(GetParam().language);
    listCard();
    TSaveListView* list = form->ListView1;
    ASSERT_EQ(list->count(), 9);
    const QFontMetrics metrics(list->font());
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        const QStringList lines = item->text().split('\n');
        ASSERT_LE(lines.size(), 3) << item->text().toStdString();
        EXPECT_EQ(lines.constLast(), "(1)");
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(line), list->captionWidth()) << line.toStdString();
        // The row the view gives the item holds all of it.
        EXPECT_LE(list->visualItemRect(item).height(), list->gridSize().height());
    }
    // The name is still whole where commands and tooltips read it.
    EXPECT_EQ(TSaveListView::nameOf(list->item(1)), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234b");
    // Scrolled to, the last row is wholly in view.
    QListWidgetItem* last = list->item(list->count() - 1);
    list->scrollToItem(last);
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(last)));
}

INSTANTIATE_TEST_SUITE_P(Lists, LongNames,
                         ::testing::Values(RowCase{"English", 0x0409}, RowCase{"Japanese", 0x0411}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListRowsTest, ASelectionInOneListClearsTheOther)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 1}, 5);
    placeOnCard(1, {.name = "two", .blocks = 1}, 6);
    putSaveFile("file.gci", mcbtest::makeSaveFile({.name = "file", .blocks = 1}));
    start();
    listCard();
    ASSERT_EQ(form->ListView2->count(), 1);
    click(form->ListView1, 0);
    click(form->ListView1, 1, Qt::ControlModifier);
    EXPECT_EQ(form->ListView1->selectedItems().size(), 2);
    click(form->ListView2, 0);
    EXPECT_TRUE(form->ListView1->selectedItems().isEmpty());
    EXPECT_EQ(form->ListView2->selectedItems().size(), 1);
    click(form->ListView1, 1);
    EXPECT_TRUE(form->ListView2->selectedItems().isEmpty());
    EXPECT_EQ(form->ListView1->selectedItems().size(), 1);
}

} // namespace
