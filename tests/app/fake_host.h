#pragma once

// A host for commands run without the window: dialogs answered from a
// script, and a record of what the command told, showed and changed.

#include "commands/command_host.h"
#include "scripted_dialogs.h"

#include <QStringList>

#include <functional>
#include <vector>

class FakeHost : public CommandHost {
public:
    ScriptedDialogs script;
    QStringList told;    // tell
    QStringList busyAs;  // busy texts, in order
    int idles = 0;       // idle
    int progressTop = 0; // the last range's top
    int progress = 0;    // the bar's position
    std::vector<Changed> changes;
    std::vector<List> unselected;
    int held = 0; // holdLists(true) minus holdLists(false)
    // The user's Cancel: pressed once this turns true for what the host saw.
    std::function<bool(const FakeHost&)> stopWhen;

    skin::Dialogs& dialogs() override { return script; }
    void tell(const QString& notice) override { told << notice; }
    QString title() const override { return QStringLiteral("title"); }
    void busy(const QString& text) override { busyAs << text; }
    void idle() override { ++idles; }
    void progressRange(int, int max) override { progressTop = max, progress = 0; }
    void progressStep() override { ++progress; }
    void progressAt(int pos) override { progress = pos; }
    void changed(Changed what) override { changes.push_back(what); }
    void holdLists(bool h) override { held += h ? 1 : -1; }
    void unselect(List which) override { unselected.push_back(which); }
    bool cancelled() const override { return stopWhen && stopWhen(*this); }

    bool didChange(Changed what) const
    {
        for (Changed c : changes)
            if (c == what)
                return true;
        return false;
    }
};
