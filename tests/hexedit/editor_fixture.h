// A shown, focused hex control with a document loaded from a file, and
// helpers to drive it with real key and mouse events.
#pragma once

#include "file_bytes.h"
#include "hexedit/hexeditor.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

class EditorTest : public ::testing::Test {
protected:
    EditorTest();
    ~EditorTest() override;

    QString Path(const QString& aName) const { return dir.filePath(aName); }
    // The bytes become the editor's document through a file, as a user's do.
    void Load(const Bytes& aBytes, const QString& aName = QStringLiteral("doc.bin"));
    Bytes Content();
    void Type(const QString& aKeys);
    void Key(Qt::Key aKey, Qt::KeyboardModifiers aModifiers = Qt::NoModifier);
    // Shift pressed, the keys, Shift released: what a user's hands do.
    void ShiftKeys(Qt::Key aKey, int aTimes);
    void ClickCell(int aCol, int aRow, Qt::KeyboardModifiers aModifiers = Qt::NoModifier);
    // Moves the caret to a byte's first hex column or its character.
    void CaretTo(int32_t aPos, bool aChars = false);
    // Delivers the posted state notifications and counts them.
    int Notifications();

    QTemporaryDir dir;
    THexEditor editor;
    int stateChanges = 0;
};
