#pragma once

// The main window as the host of a command: its dialogs, status line, bar
// and lists. A changed list is read again at once, on the card the command
// holds open, so a notice that follows shows the card as it now is.

#include "commands/command_host.h"
#include "commands/region_command.h"
#include "commands/save_editing.h"

class TMainForm;

class WindowHost : public CommandHost, public SaveEditing {
public:
    explicit WindowHost(TMainForm& form) : fForm(form) {}

    skin::Dialogs& dialogs() override;
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
    bool cancelled() const override;
    bool edit(const QString& path, const QString& name) override;
    // The region dialog, shown for the save file at path.
    void showRegionDialog(const QString& path);

private:
    TMainForm& fForm;
};
