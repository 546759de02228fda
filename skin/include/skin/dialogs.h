#pragma once

// Every question, notice and file dialog of the program goes through one
// object, so that tests can answer them and see what was asked. The program
// installs the Qt dialogs at start-up; tests install their own.

#include "skin/report_dialog.h"
#include "skin/search_dialog.h"

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace skin {

enum class Answer { Yes, No, Cancel };

struct FileDialogSpec {
    QString title;
    QString folder;        // where the dialog opens
    QString fileName;      // suggested name
    QString filter;        // "GC saver format (*.GCI)"
    QString defaultSuffix; // added when the user types a name without one
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The program's own message box: a text and an OK button.
    virtual void message(const QString& text) = 0;
    // The standard confirmation box; true only for Yes.
    virtual bool askYesNo(const QString& text, const QString& title) = 0;
    virtual Answer askYesNoCancel(const QString& text, const QString& title) = 0;
    // A question answered with one of the buttons, named in the user's
    // language: the index of the one chosen. The last button is the one that
    // changes nothing; closing the box (Escape) chooses it too.
    virtual int choose(const QString& text, const QString& title, const QStringList& buttons) = 0;
    // Standard boxes with an information or error icon.
    virtual void information(const QString& text, const QString& title) = 0;
    virtual void error(const QString& text, const QString& title) = 0;
    // File dialogs; nothing when cancelled.
    virtual std::optional<QString> saveFileName(const FileDialogSpec& spec) = 0;
    virtual std::optional<QString> openFileName(const FileDialogSpec& spec) = 0;
    // A line of text; nothing when cancelled.
    virtual std::optional<QString> text(const QString& title, const QString& label,
                                        const QString& initial) = 0;
    // What to search for and how to read it; nothing when cancelled.
    virtual std::optional<SearchEntry> search(const SearchSpec& spec) = 0;
    // A report in a window of its own, with a button that copies it; true
    // when the report asks (it has an action caption) and its action was
    // chosen.
    virtual bool report(const ReportSpec& spec) = 0;
};

// The installed dialogs. Until something is installed, the Qt dialogs below.
Dialogs& dialogs();
// Installs d (not owned); nullptr goes back to the Qt dialogs.
void installDialogs(Dialogs* d);

// The standard Qt dialogs, parented to the active window.
class QtDialogs : public Dialogs {
public:
    void message(const QString& text) override;
    bool askYesNo(const QString& text, const QString& title) override;
    Answer askYesNoCancel(const QString& text, const QString& title) override;
    int choose(const QString& text, const QString& title, const QStringList& buttons) override;
    void information(const QString& text, const QString& title) override;
    void error(const QString& text, const QString& title) override;
    std::optional<QString> saveFileName(const FileDialogSpec& spec) override;
    std::optional<QString> openFileName(const FileDialogSpec& spec) override;
    std::optional<QString> text(const QString& title, const QString& label,
                                const QString& initial) override;
    std::optional<SearchEntry> search(const SearchSpec& spec) override;
    bool report(const ReportSpec& spec) override;
};

} // namespace skin
