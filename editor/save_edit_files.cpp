// The close query, saving, and the hidden New, Open and hex text import.
#include "editor/save_edit_form.h"

#include "hexedit/hexeditor.h"

#include "skin/dialogs.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString cAllFiles = QStringLiteral("All Files (*)");

QString CannotSave(const QString& aName) { return QStringLiteral("Cannot save file\r\n") + aName; }

} // namespace

void TSaveEditForm::SetDocumentName(const QString& aName)
{
    fDocumentName = aName;
    if (!aName.isEmpty())
        fCallersFile = HexEditor1->Filename();
    setWindowTitle(QStringLiteral("File :") + ShownName());
}

QString TSaveEditForm::ShownName() const
{
    return fDocumentName.isEmpty() ? QFileInfo(HexEditor1->Filename()).fileName() : fDocumentName;
}

bool TSaveEditForm::CheckChanges()
{
    if (!HexEditor1->Modified())
        return true;
    const QString file = HexEditor1->Filename();
    QString name = fDocumentName;
    if (name.isEmpty())
        name = QFileInfo(file).isFile() ? file : QStringLiteral("Unnamed File");
    switch (skin::dialogs().askYesNoCancel(QStringLiteral("Save changes to\r\n") + name +
                                               QStringLiteral(" ?"),
                                           QStringLiteral("Confirm"))) {
    case skin::Answer::Yes: {
        // Only a save that went through to the caller's working copy is the
        // caller's to write back: a failed one, or one after "Save as any
        // file", would hand it the file as it was, as if edited.
        const Saved saved = SaveFile();
        ischanged = ischanged || saved.callers;
        return saved.ok;
    }
    case skin::Answer::No: return true;
    case skin::Answer::Cancel: break;
    }
    return false;
}

TSaveEditForm::Saved TSaveEditForm::SaveFile()
{
    const QString file = HexEditor1->Filename();
    QString target = file;
    if (!QFileInfo(file).isFile() || HexEditor1->ReadOnly()) {
        const std::optional<QString> chosen = RunSaveDialog();
        if (!chosen)
            return {};
        target = *chosen;
    }
    if (HexEditor1->SaveToFile(target))
        return {true, fCallersFile.isEmpty() || QFileInfo(target).absoluteFilePath() ==
                                                    QFileInfo(fCallersFile).absoluteFilePath()};
    // A named document's file is a working copy whose path means nothing to
    // the user.
    Error(CannotSave(target == file && !fDocumentName.isEmpty() ? fDocumentName : target));
    return {};
}

std::optional<QString> TSaveEditForm::RunSaveDialog()
{
    const QFileInfo current(HexEditor1->Filename());
    // A named document is a working copy in the program's private folder,
    // which is no place for the user's files.
    const bool ownFolder = current.isFile() && fDocumentName.isEmpty();
    const skin::FileDialogSpec dialog{QStringLiteral("Save as"),
                                      ownFolder ? current.absolutePath() : QString(), QString(),
                                      cAllFiles, QString()};
    for (;;) {
        std::optional<QString> name = skin::dialogs().saveFileName(dialog);
        if (!name || !QFileInfo::exists(*name))
            return name;
        if (skin::dialogs().askYesNo(
                *name + QStringLiteral(" already exists.\r\nDo you want to replace it?"),
                dialog.title))
            return name;
    }
}

std::optional<QString> TSaveEditForm::RunOpenDialog()
{
    const skin::FileDialogSpec dialog{QStringLiteral("Open file"), QString(), QString(), cAllFiles,
                                      QString()};
    return skin::dialogs().openFileName(dialog);
}

void TSaveEditForm::Speichern1Click()
{
    const Saved saved = SaveFile();
    Savepoint = false;
    ischanged = ischanged || saved.callers;
}

void TSaveEditForm::AnyFile1Click()
{
    const std::optional<QString> name = RunSaveDialog();
    if (!name)
        return;
    if (HexEditor1->SaveToFile(*name))
        SetDocumentName({}); // later saves go to that file, so it names the document
    else
        Error(CannotSave(*name));
}

void TSaveEditForm::HexText1Click()
{
    const std::optional<QString> name = RunSaveDialog();
    if (!name)
        return;
    QSaveFile out(*name);
    const QByteArray text = HexEditor1->AsHex();
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        Error(CannotSave(*name));
}

void TSaveEditForm::Neu1Click()
{
    if (!CheckChanges())
        return;
    HexEditor1->CreateEmptyFile(QStringLiteral("Untitled"));
    SetDocumentName({});
}

void TSaveEditForm::ffnen1Click()
{
    if (!CheckChanges())
        return;
    if (const std::optional<QString> name = RunOpenDialog()) {
        HexEditor1->LoadFromFile(*name);
        SetDocumentName({}); // another document, named by its file
    }
}

void TSaveEditForm::ImportfromHexText1Click()
{
    const std::optional<QString> name = RunOpenDialog();
    if (!name)
        return;
    QFile in(*name);
    if (in.open(QIODevice::ReadOnly))
        HexEditor1->SetAsHex(in.readAll());
}
