#pragma once

// Dialogs for the probes, which run the real window without a person: every
// question answered yes (or the first choice), every file dialog cancelled,
// every notice dropped.

#include "skin/dialogs.h"

class QuietDialogs : public skin::Dialogs {
public:
    void message(const QString&) override {}
    bool askYesNo(const QString&, const QString&) override { return true; }
    skin::Answer askYesNoCancel(const QString&, const QString&) override
    {
        return skin::Answer::Yes;
    }
    int choose(const QString&, const QString&, const QStringList&) override { return 0; }
    void information(const QString&, const QString&) override {}
    void error(const QString&, const QString&) override {}
    std::optional<QString> saveFileName(const skin::FileDialogSpec&) override { return {}; }
    std::optional<QString> openFileName(const skin::FileDialogSpec&) override { return {}; }
    std::optional<QString> text(const QString&, const QString&, const QString&) override
    {
        return {};
    }
    std::optional<skin::SearchEntry> search(const skin::SearchSpec&) override { return {}; }
    bool report(const skin::ReportSpec&) override { return false; }
};
