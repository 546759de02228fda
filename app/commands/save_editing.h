#pragma once

// The save editor, a window of its own, as the edit command reaches it.

#include <QString>

class SaveEditing {
public:
    virtual ~SaveEditing() = default;
    // Opens the save file at path in the editor, named name, for the user
    // to change and save; true once the user has saved a change into it.
    virtual bool edit(const QString& path, const QString& name) = 0;
};
