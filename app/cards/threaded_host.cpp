#include "cards/threaded_host.h"

#include "cards/card_worker.h"

void ThreadedDialogs::message(const QString& text)
{
    onThreadOf(fOwner, [&] { fTo.message(text); });
}

bool ThreadedDialogs::askYesNo(const QString& text, const QString& title)
{
    return onThreadOf(fOwner, [&] { return fTo.askYesNo(text, title); });
}

skin::Answer ThreadedDialogs::askYesNoCancel(const QString& text, const QString& title)
{
    return onThreadOf(fOwner, [&] { return fTo.askYesNoCancel(text, title); });
}

int ThreadedDialogs::choose(const QString& text, const QString& title, const QStringList& buttons)
{
    return onThreadOf(fOwner, [&] { return fTo.choose(text, title, buttons); });
}

void ThreadedDialogs::information(const QString& text, const QString& title)
{
    onThreadOf(fOwner, [&] { fTo.information(text, title); });
}

void ThreadedDialogs::error(const QString& text, const QString& title)
{
    onThreadOf(fOwner, [&] { fTo.error(text, title); });
}

std::optional<QString> ThreadedDialogs::saveFileName(const skin::FileDialogSpec& spec)
{
    return onThreadOf(fOwner, [&] { return fTo.saveFileName(spec); });
}

std::optional<QString> ThreadedDialogs::openFileName(const skin::FileDialogSpec& spec)
{
    return onThreadOf(fOwner, [&] { return fTo.openFileName(spec); });
}

std::optional<QString> ThreadedDialogs::text(const QString& title, const QString& label,
                                             const QString& initial)
{
    return onThreadOf(fOwner, [&] { return fTo.text(title, label, initial); });
}

std::optional<skin::SearchEntry> ThreadedDialogs::search(const skin::SearchSpec& spec)
{
    return onThreadOf(fOwner, [&] { return fTo.search(spec); });
}

bool ThreadedDialogs::report(const skin::ReportSpec& spec)
{
    return onThreadOf(fOwner, [&] { return fTo.report(spec); });
}

ThreadedHost::ThreadedHost(QObject* owner, CommandHost& to)
    : fOwner(owner), fTo(to), fDialogs(owner, to.dialogs())
{
}

void ThreadedHost::tell(const QString& notice)
{
    onThreadOf(fOwner, [&] { fTo.tell(notice); });
}

void ThreadedHost::busy(const QString& text)
{
    onThreadOf(fOwner, [&] { fTo.busy(text); });
}

void ThreadedHost::progressRange(int min, int max)
{
    onThreadOf(fOwner, [&] { fTo.progressRange(min, max); });
}

void ThreadedHost::progressStep()
{
    onThreadOf(fOwner, [&] { fTo.progressStep(); });
}

void ThreadedHost::progressAt(int pos)
{
    onThreadOf(fOwner, [&] { fTo.progressAt(pos); });
}

void ThreadedHost::changed(Changed what)
{
    onThreadOf(fOwner, [&] { fTo.changed(what); });
}

QString ThreadedHost::title() const
{
    return onThreadOf(fOwner, [&] { return fTo.title(); });
}

void ThreadedHost::idle()
{
    onThreadOf(fOwner, [&] { fTo.idle(); });
}

void ThreadedHost::holdLists(bool held)
{
    onThreadOf(fOwner, [&] { fTo.holdLists(held); });
}

void ThreadedHost::unselect(List which)
{
    onThreadOf(fOwner, [&] { fTo.unselect(which); });
}

bool ThreadedEditing::edit(const QString& path, const QString& name)
{
    return onThreadOf(fOwner, [&] { return fTo.edit(path, name); });
}
