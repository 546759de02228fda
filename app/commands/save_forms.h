#pragma once

// Save files in the three forms the program reads and writes: the plain
// form, and the .gcs and .sav containers other tools write. The library
// knows a file by its content; only the form of a file being written comes
// from its name, which the save dialog's filter chose.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

struct FolderFile;

// The save dialog's filter: the plain form first (the default), then the
// two containers.
QString saveFileFilter();

// The form (an mcb_save_format) a file written at path takes: .gcs and .sav
// by their extension in any letter case, otherwise the plain form.
int32_t formForPath(const QString& path);

// A plain save's bytes in the form formForPath names for path; nothing when
// they could not be converted.
std::optional<QByteArray> inFormFor(const QString& path, const QByteArray& plain);

// The bytes of a file in the save folder (for its banner), when the folder
// lists it: a file named *.gci as always, and any file the library
// recognises as a .gcs or .sav container by its content, whatever its name.
// Empty bytes for a container that could not be read whole.
std::optional<QByteArray> listedSaveBytes(const FolderFile& file, qint64 limit);
