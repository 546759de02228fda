#pragma once

// What a command needs from whatever shows it: questions and file dialogs,
// notices, the busy text and the progress bar, a word on which lists it
// changed, and whether the user asked a batch to stop. The window is one
// host; tests give their own and run commands without a window.
//
// A command may run on the thread its card works on. Every call below may
// come from that thread: a host answers on its own thread and returns when
// answered, so a command reads as a plain sequence of steps.

#include "skin/dialogs.h"

#include <QString>

class CommandHost {
public:
    virtual ~CommandHost() = default;

    // Questions, choices and file dialogs.
    virtual skin::Dialogs& dialogs() = 0;
    // The program's own message box: a text and OK.
    virtual void tell(const QString& notice) = 0;
    // The title questions carry: the program's.
    virtual QString title() const = 0;
    // The status line while the command works.
    virtual void busy(const QString& text) = 0;
    // The status line at rest again: the free blocks, or what stands in the
    // way of the card.
    virtual void idle() = 0;
    // The progress bar: a new range (emptied), one step, a position.
    virtual void progressRange(int min, int max) = 0;
    virtual void progressStep() = 0;
    virtual void progressAt(int pos) = 0;

    // What a command changed, for the window to list again once it ends.
    enum class Changed { CardList, FileList, SecondCard };
    virtual void changed(Changed what) = 0;

    // The save lists: held (no clicks) while a command acts on their saves,
    // and a list's selection given up where a command ends with it.
    enum class List { Card, Files };
    virtual void holdLists(bool held) = 0;
    virtual void unselect(List which) = 0;

    // True once the user asked the running batch to stop. A batch looks
    // between saves, never inside one save's write.
    virtual bool cancelled() const = 0;
};
