#include "scripted_dialogs.h"

#include <gtest/gtest.h>

namespace {

// The next answer of a script; nothing when it says so or has run out.
template <typename T> std::optional<T> next(std::deque<std::optional<T>>& script)
{
    if (script.empty())
        return std::nullopt;
    std::optional<T> answer = script.front();
    script.pop_front();
    return answer;
}

} // namespace

bool ScriptedDialogs::askYesNo(const QString& text, const QString&)
{
    questions << text;
    if (yesNo.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool a = yesNo.front();
    yesNo.pop_front();
    return a;
}

skin::Answer ScriptedDialogs::askYesNoCancel(const QString& text, const QString&)
{
    questions << text;
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return skin::Answer::Cancel;
    }
    const skin::Answer a = answers.front();
    answers.pop_front();
    return a;
}

int ScriptedDialogs::choose(const QString& text, const QString&, const QStringList& buttons)
{
    questions << text;
    choiceButtons.push_back(buttons);
    if (choices.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return int(buttons.size()) - 1;
    }
    const int a = choices.front();
    choices.pop_front();
    return a;
}

std::optional<QString> ScriptedDialogs::saveFileName(const skin::FileDialogSpec& spec)
{
    fileDialogs.push_back(spec);
    if (files.empty())
        ADD_FAILURE() << "unexpected file dialog";
    return next(files);
}

std::optional<QString> ScriptedDialogs::openFileName(const skin::FileDialogSpec& spec)
{
    return saveFileName(spec);
}

std::optional<QString> ScriptedDialogs::text(const QString& title, const QString& label,
                                             const QString& initial)
{
    prompts.push_back({title, label, initial});
    if (entries.empty())
        ADD_FAILURE() << "unexpected prompt: " << title.toStdString();
    return next(entries);
}

std::optional<skin::SearchEntry> ScriptedDialogs::search(const skin::SearchSpec& spec)
{
    searchPrompts.push_back(spec);
    if (searches.empty())
        ADD_FAILURE() << "unexpected search prompt: " << spec.title.toStdString();
    return next(searches);
}

bool ScriptedDialogs::report(const skin::ReportSpec& spec)
{
    reports.push_back(spec);
    if (spec.actionCaption.isEmpty())
        return false;
    if (reportActions.empty()) {
        ADD_FAILURE() << "unexpected question in a report: " << spec.text.toStdString();
        return false;
    }
    const bool a = reportActions.front();
    reportActions.pop_front();
    return a;
}
