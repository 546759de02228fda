#pragma once

// Undo and History… for the card shown on the card side: the entries of the
// card list's context menu, Ctrl+Z, and the undo run as a command.

#include "commands/undo_command.h"

#include <QString>

#include <vector>

class QMenu;
class TMainForm;

// The journal's records for the card on the card side, newest first; empty
// when there are none or the card cannot be read.
std::vector<JournalRecord> cardSideRecords();

// Adds "Undo <the latest change>…" (disabled when there is nothing to undo)
// and "History…" to menu.
void addUndoEntries(QMenu& menu, TMainForm& form);

// Runs the undo of record number (0: the latest) and every later one as a
// command of the window, through its gates.
UndoCommand::Outcome undoOnCard(TMainForm& form, uint32_t number = 0);

// The History window over the form, until it is closed.
void showHistory(TMainForm& form);
