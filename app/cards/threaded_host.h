#pragma once

// A command on a card's thread talks to the window through these: each call
// is carried to the thread that owns the window and answered there, while
// the command waits. Called on that thread itself, they answer at once.

#include "commands/command_host.h"
#include "commands/save_editing.h"

#include "skin/dialogs.h"

class QObject;

// Every dialog of `to`, shown on the thread of owner.
class ThreadedDialogs : public skin::Dialogs {
public:
    ThreadedDialogs(QObject* owner, skin::Dialogs& to) : fOwner(owner), fTo(to) {}
    void message(const QString& text) override;
    bool askYesNo(const QString& text, const QString& title) override;
    skin::Answer askYesNoCancel(const QString& text, const QString& title) override;
    int choose(const QString& text, const QString& title, const QStringList& buttons) override;
    void information(const QString& text, const QString& title) override;
    void error(const QString& text, const QString& title) override;
    std::optional<QString> saveFileName(const skin::FileDialogSpec& spec) override;
    std::optional<QString> openFileName(const skin::FileDialogSpec& spec) override;
    std::optional<QString> text(const QString& title, const QString& label,
                                const QString& initial) override;
    std::optional<skin::SearchEntry> search(const skin::SearchSpec& spec) override;
    bool report(const skin::ReportSpec& spec) override;

private:
    QObject* fOwner;
    skin::Dialogs& fTo;
};

// A host for a command on a card's thread: the window's host, reached on
// the window's thread. Whether the user asked to stop is read where the
// command runs: the window sets it from its own thread at any time.
class ThreadedHost : public CommandHost {
public:
    ThreadedHost(QObject* owner, CommandHost& to);
    skin::Dialogs& dialogs() override { return fDialogs; }
    void tell(const QString& notice) override;
    QString title() const override;
    void busy(const QString& text) override;
    void idle() override;
    void progressRange(int min, int max) override;
    void progressStep() override;
    void progressAt(int pos) override;
    void changed(Changed what) override;
    void holdLists(bool held) override;
    void unselect(List which) override;
    bool cancelled() const override { return fTo.cancelled(); }

private:
    QObject* fOwner;
    CommandHost& fTo;
    ThreadedDialogs fDialogs;
};

// The save editor reached from a card's thread: it opens, and the user works
// in it, on the window's thread while the card's waits.
class ThreadedEditing : public SaveEditing {
public:
    ThreadedEditing(QObject* owner, SaveEditing& to) : fOwner(owner), fTo(to) {}
    bool edit(const QString& path, const QString& name) override;

private:
    QObject* fOwner;
    SaveEditing& fTo;
};
