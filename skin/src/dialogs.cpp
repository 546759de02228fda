#include "skin/dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

namespace skin {

namespace {

Dialogs* gInstalled = nullptr;

QWidget* parentWindow() { return QApplication::activeWindow(); }

std::optional<QString> fileDialog(const FileDialogSpec& spec, QFileDialog::AcceptMode mode)
{
    QFileDialog d(parentWindow(), spec.title, spec.folder, spec.filter);
    d.setAcceptMode(mode);
    d.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                  : QFileDialog::ExistingFile);
    d.setDefaultSuffix(spec.defaultSuffix);
    // With several filters, a name typed without an extension takes the one
    // of the filter the user chose.
    QObject::connect(&d, &QFileDialog::filterSelected, &d, [&d](const QString& filter) {
        static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch m = firstPattern.match(filter);
        if (m.hasMatch())
            d.setDefaultSuffix(m.captured(1));
    });
    // The program asks before it overwrites, in its own words.
    d.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!spec.fileName.isEmpty())
        d.selectFile(spec.fileName);
    // With several forms to save in, the filter chosen is the form: the
    // dialog itself gives a typed extension the filter's, and a name typed
    // without one gets it too.
    if (mode == QFileDialog::AcceptSave && spec.filter.contains(QLatin1String(";;")))
        QObject::connect(&d, &QFileDialog::filterSelected, &d, [&d](const QString& filter) {
            static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
            const QRegularExpressionMatch m = firstPattern.match(filter);
            if (m.hasMatch())
                d.setDefaultSuffix(m.captured(1));
        });
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return std::nullopt;
    return d.selectedFiles().constFirst();
}

} // namespace

Dialogs& dialogs()
{
    static QtDialogs standard;
    return gInstalled ? *gInstalled : standard;
}

void installDialogs(Dialogs* d) { gInstalled = d; }

void QtDialogs::message(const QString& text)
{
    QMessageBox::information(parentWindow(), QStringLiteral("Message"), text);
}

bool QtDialogs::askYesNo(const QString& text, const QString& title)
{
    return QMessageBox::question(parentWindow(), title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

Answer QtDialogs::askYesNoCancel(const QString& text, const QString& title)
{
    switch (QMessageBox::question(parentWindow(), title, text,
                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                  QMessageBox::Yes)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

int QtDialogs::choose(const QString& text, const QString& title, const QStringList& buttons)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parentWindow());
    QList<QAbstractButton*> added;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        const bool last = i + 1 == buttons.size();
        added << box.addButton(buttons[i],
                               last ? QMessageBox::RejectRole : QMessageBox::AcceptRole);
    }
    if (!added.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton*>(added.constFirst()));
        box.setEscapeButton(added.constLast());
    }
    box.exec();
    const qsizetype chosen = added.indexOf(box.clickedButton());
    return chosen < 0 ? int(buttons.size()) - 1 : int(chosen);
}

void QtDialogs::information(const QString& text, const QString& title)
{
    QMessageBox::information(parentWindow(), title, text);
}

void QtDialogs::error(const QString& text, const QString& title)
{
    QMessageBox::critical(parentWindow(), title, text);
}

std::optional<QString> QtDialogs::saveFileName(const FileDialogSpec& spec)
{
    return fileDialog(spec, QFileDialog::AcceptSave);
}

std::optional<QString> QtDialogs::openFileName(const FileDialogSpec& spec)
{
    return fileDialog(spec, QFileDialog::AcceptOpen);
}

std::optional<QString> QtDialogs::text(const QString& title, const QString& label,
                                       const QString& initial)
{
    bool ok = false;
    const QString value =
        QInputDialog::getText(parentWindow(), title, label, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<SearchEntry> QtDialogs::search(const SearchSpec& spec)
{
    SearchDialog d(spec, parentWindow());
    if (d.exec() != QDialog::Accepted)
        return std::nullopt;
    return d.entry();
}

bool QtDialogs::report(const ReportSpec& spec)
{
    ReportDialog d(spec, parentWindow());
    d.exec();
    return d.actionChosen();
}

} // namespace skin
