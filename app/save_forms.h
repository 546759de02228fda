#pragma once

// Save files in the three forms the program reads and writes: the plain
// form, and the .gcs and .sav containers other tools write. The library
// knows a file by its content; only the form of a file being written comes
// from its name, which the save dialog's filter chose.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

class CardScratch;
struct FolderFile;

// The save dialog's filter: the plain form first (the default), then the
// two containers.
QString saveFileFilter();

// The form (an mcb_save_format) a file written at path takes: .gcs and .sav
// by their extension in any letter case, otherwise the plain form.
int32_t formForPath(const QString& path);

// A path the library's upload can read for the file at path: the path
// itself for a plain save file, or a plain copy made in scratch for a
// container. Nothing when a container cannot be read; mcb_last_error() then
// says why.
std::optional<QString> plainSaveFor(const QString& path, const CardScratch& scratch);
// The same for a path given as the system spells it (a name that is no
// valid UTF-8 included); the path returned is spelt the same way.
std::optional<QByteArray> plainSaveFor(const QByteArray& path, const CardScratch& scratch);

// Copies the save in slot to path in the form formForPath names, through a
// plain copy in scratch, so a failure leaves no part of a file at path.
bool downloadInForm(int slot, const QString& path, const CardScratch& scratch);

// The bytes of a file in the save folder as a plain save file (for its
// banner), when the folder lists it: a file named *.gci as always, and any
// file the library recognises as a .gcs or .sav container by its content,
// whatever its name. plainCopy is where a container's plain copy may be made.
std::optional<QByteArray> listedSaveBytes(const FolderFile& file, const QString& plainCopy,
                                          qint64 limit);
