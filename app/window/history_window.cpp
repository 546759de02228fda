#include "window/history_window.h"

#include "window/undo_menu.h"

#include "i18n/texts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

THistoryWindow::THistoryWindow(TMainForm& form, QWidget* parent)
    : QDialog(parent), fForm(form), fNote(new QLabel(say_history_note, this)),
      fList(new QTreeWidget(this)), fDetails(new QLabel(this)),
      fUndo(new QPushButton(say_history_undo, this)), fClose(new QPushButton(say_close, this))
{
    setObjectName(QStringLiteral("HistoryWindow"));
    setWindowTitle(say_history_title);
    fNote->setWordWrap(true);
    fDetails->setWordWrap(true);
    fDetails->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fList->setObjectName(QStringLiteral("HistoryList"));
    fList->setRootIsDecorated(false);
    fList->setUniformRowHeights(true);
    fList->setSelectionMode(QAbstractItemView::SingleSelection);
    fList->setHeaderLabels({QStringLiteral("#"), say_history_when, say_history_what,
                            say_history_saves, say_history_blocks});
    fList->header()->setStretchLastSection(false);
    fList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // The saves' names are the long column: they take the room left.
    fList->header()->setSectionResizeMode(3, QHeaderView::Stretch);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(fUndo);
    buttons->addWidget(fClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fNote);
    layout->addWidget(fList, 1);
    layout->addWidget(fDetails);
    layout->addLayout(buttons);
    // The default button only closes; undoing (the button, a double click
    // or Enter on a change) always asks first.
    fClose->setDefault(true);
    fUndo->setAutoDefault(false);
    connect(fClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(fUndo, &QPushButton::clicked, this, &THistoryWindow::undoToHere);
    connect(fList, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = fList->selectedItems();
        const int row = selected.isEmpty() ? -1 : fList->indexOfTopLevelItem(selected.front());
        const bool known = row >= 0 && std::size_t(row) < fRecords.size();
        fUndo->setEnabled(known);
        fDetails->setText(known ? recordLine(fRecords[std::size_t(row)]) : QString());
    });
    connect(fList, &QTreeWidget::itemActivated, this, &THistoryWindow::undoToHere);
    resize(760, 400);
    reload();
}

void THistoryWindow::reload()
{
    fRecords = cardSideRecords();
    fList->clear();
    for (const JournalRecord& r : fRecords) {
        auto* item = new QTreeWidgetItem(fList);
        item->setText(0, QString::number(r.number));
        item->setText(1, QLocale().toString(r.time, QLocale::ShortFormat));
        item->setText(2, r.what);
        item->setText(3, r.saves);
        item->setText(4, r.blocks ? QString::number(r.blocks) : QString());
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(3, r.saves);
    }
    if (fRecords.empty()) {
        auto* item = new QTreeWidgetItem(fList);
        item->setText(0, say_undo_nothing);
        item->setFlags(Qt::NoItemFlags);
        item->setFirstColumnSpanned(true);
    }
    fUndo->setEnabled(false);
    fDetails->clear();
}

void THistoryWindow::undoToHere()
{
    const QList<QTreeWidgetItem*> selected = fList->selectedItems();
    const int row = selected.isEmpty() ? -1 : fList->indexOfTopLevelItem(selected.front());
    if (row < 0 || std::size_t(row) >= fRecords.size())
        return;
    undoOnCard(fForm, fRecords[std::size_t(row)].number);
    reload();
}
