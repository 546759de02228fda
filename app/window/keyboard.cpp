// The main window by keyboard: Tab walks the lists and the buttons, Enter
// runs the focused button, Delete on the card list deletes, F5 lists again,
// Ctrl+Z undoes the latest change to the card.
#include "window/main_form.h"
#include "window/save_list_view.h"
#include "window/undo_menu.h"

#include "skin/focus_mark.h"

#include <QPushButton>
#include <QShortcut>

void TMainForm::setUpKeyboard()
{
    const QList<QPushButton*> buttons = {UpDateBtn,   changebtn, ReadCardBtn, WriteCardBtn,
                                         DownLoadBtn, UpLoadBtn, DeleteBtn,   EditBtn,
                                         EmailBtn,    ExitBtn};
    QList<QWidget*> order = {ListView1, ListView2};
    for (QPushButton* b : buttons) {
        // Tab reaches them; a click leaves the focus where it was.
        b->setFocusPolicy(Qt::TabFocus);
        // Enter and Return press the focused button, not only Space.
        b->setAutoDefault(true);
        order << b;
    }
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    fFocusMark = new skin::TFocusMark(this, order);

    // Only while DELETE itself could be pressed: the same gate, the same
    // question.
    auto* remove = new QShortcut(QKeySequence::Delete, ListView1);
    remove->setContext(Qt::WidgetShortcut);
    connect(remove, &QShortcut::activated, DeleteBtn, &QPushButton::click);
    auto* relist = new QShortcut(QKeySequence(Qt::Key_F5), this);
    relist->setContext(Qt::WindowShortcut);
    connect(relist, &QShortcut::activated, UpDateBtn, &QPushButton::click);
    // Ctrl+Z undoes the latest change to the card on the card side, as the
    // card list's context menu does.
    auto* undo = new QShortcut(QKeySequence::Undo, this);
    undo->setContext(Qt::WindowShortcut);
    connect(undo, &QShortcut::activated, this, [this] { undoOnCard(*this); });
}
