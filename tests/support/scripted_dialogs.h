#pragma once

// The program's dialogs answered from a script, remembering what was asked
// and told. A dialog the script did not expect fails the test.

#include "skin/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <optional>
#include <vector>

class ScriptedDialogs : public skin::Dialogs {
public:
    struct Prompt {
        QString title;
        QString label;
        QString initial;
    };
    std::deque<bool> yesNo;                     // askYesNo
    std::deque<skin::Answer> answers;           // askYesNoCancel
    std::deque<int> choices;                    // choose: the index of the button
    std::vector<QStringList> choiceButtons;     // the buttons each choose offered
    std::deque<std::optional<QString>> files;   // file dialogs
    std::deque<std::optional<QString>> entries; // text prompts
    std::deque<std::optional<skin::SearchEntry>> searches;
    std::deque<bool> reportActions; // reports that ask: their button chosen
    QStringList messages;           // the program's own message box
    QStringList infos;              // standard information boxes
    QStringList errors;
    QStringList questions;
    std::vector<Prompt> prompts;
    std::vector<skin::SearchSpec> searchPrompts;
    std::vector<skin::FileDialogSpec> fileDialogs;
    std::vector<skin::ReportSpec> reports;

    void message(const QString& text) override { messages << text; }
    bool askYesNo(const QString& text, const QString& title) override;
    skin::Answer askYesNoCancel(const QString& text, const QString& title) override;
    int choose(const QString& text, const QString& title, const QStringList& buttons) override;
    void information(const QString& text, const QString&) override { infos << text; }
    void error(const QString& text, const QString&) override { errors << text; }
    std::optional<QString> saveFileName(const skin::FileDialogSpec& spec) override;
    std::optional<QString> openFileName(const skin::FileDialogSpec& spec) override;
    std::optional<QString> text(const QString& title, const QString& label,
                                const QString& initial) override;
    std::optional<skin::SearchEntry> search(const skin::SearchSpec& spec) override;
    bool report(const skin::ReportSpec& spec) override;
};
