#pragma once

// The History window: the changes to the card on the card side that the
// journal keeps, newest first, with "Undo to here" for the one selected.

#include "commands/undo_command.h"

#include <QDialog>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;
class TMainForm;

class THistoryWindow : public QDialog {
    Q_OBJECT
public:
    explicit THistoryWindow(TMainForm& form, QWidget* parent = nullptr);

    QTreeWidget* list() const { return fList; }
    QLabel* details() const { return fDetails; }
    QPushButton* undoButton() const { return fUndo; }
    QPushButton* closeButton() const { return fClose; }
    const std::vector<JournalRecord>& records() const { return fRecords; }

    // Reads the card's records again and lists them.
    void reload();
    // Undoes the selected record and every later one, after asking.
    void undoToHere();

private:
    TMainForm& fForm;
    QLabel* fNote;
    QTreeWidget* fList;
    QLabel* fDetails; // the selected change in full: a batch names many saves
    QPushButton* fUndo;
    QPushButton* fClose;
    std::vector<JournalRecord> fRecords;
};
