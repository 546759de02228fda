// The main window by keyboard alone: Tab, Enter, Delete and F5, and the ring
// that shows where the focus is.
#include "app_fixture.h"

#include "skin/focus_mark.h"

#include <QApplication>
#include <QTest>

namespace {

class KeyboardTest : public AppTest {
protected:
    void startActive()
    {
        start();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    // Where the keyboard goes now, as a user's key press would.
    static QWidget* focused() { return QApplication::focusWidget(); }
    void press(int key) { QTest::keyClick(focused() ? focused() : form.get(), Qt::Key(key)); }
};

TEST_F(KeyboardTest, TabWalksTheListsAndButtonsWithTheRingFollowing)
{
    makeCard();
    startActive();
    form->ListView1->setFocus(Qt::TabFocusReason);
    const QList<QWidget*> expected = {form->ListView2, form->UpDateBtn, form->changebtn,
                                      form->ReadCardBtn, form->WriteCardBtn};
    QList<QWidget*> reached;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        press(Qt::Key_Tab);
        reached << focused();
        // The ring is shown around the control that has the focus.
        ASSERT_EQ(form->focusMark()->marked(), focused());
        EXPECT_TRUE(form->focusMark()->isVisible());
        EXPECT_TRUE(form->focusMark()->geometry().contains(focused()->geometry()));
    }
    EXPECT_EQ(reached, expected);
    // A click does not take the focus from the list to a button.
    form->ListView1->setFocus(Qt::TabFocusReason);
    dialogs.yesNo = {false};
    QTest::mouseClick(form->ExitBtn, Qt::LeftButton);
    EXPECT_EQ(focused(), form->ListView1);
}

TEST_F(KeyboardTest, EnterRunsTheFocusedButton)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    startActive();
    EXPECT_EQ(form->ListView1->count(), 0);
    form->UpDateBtn->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    EXPECT_EQ(names(form->ListView1), QStringList{"one"});
    form->ExitBtn->setFocus(Qt::TabFocusReason);
    dialogs.yesNo = {false};
    press(Qt::Key_Enter);
    EXPECT_EQ(dialogs.questions, QStringList{"Do you want to Exit ?"});
}

TEST_F(KeyboardTest, DeleteOnTheCardListAsksThenDeletesAndF5Relists)
{
    makeCard();
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    placeOnCard(1, {.name = "two", .blocks = 1}, 7);
    startActive();
    form->ListView2->setFocus(Qt::TabFocusReason);
    press(Qt::Key_F5); // from anywhere in the window
    EXPECT_EQ(names(form->ListView1), (QStringList{"one", "two"}));

    select(form->ListView1, {"one"});
    form->ListView1->setFocus(Qt::TabFocusReason);
    dialogs.yesNo = {false};
    press(Qt::Key_Delete);
    EXPECT_EQ(dialogs.questions, QStringList{"Do you want to Delete ?"});
    EXPECT_EQ(names(form->ListView1), (QStringList{"one", "two"}));

    select(form->ListView1, {"one"});
    form->ListView1->setFocus(Qt::TabFocusReason);
    dialogs.yesNo = {true};
    press(Qt::Key_Delete);
    EXPECT_EQ(names(form->ListView1), QStringList{"two"});

    // Delete on the file list is not a card delete.
    form->ListView2->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Delete);
    EXPECT_EQ(dialogs.questions.size(), 2);
}

} // namespace
