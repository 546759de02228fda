#include "editor_fixture.h"

#include <QApplication>
#include <QTest>

EditorTest::EditorTest()
{
    // A caret that does not blink is always on when a test looks at it.
    QApplication::setCursorFlashTime(0);
    QObject::connect(&editor, &THexEditor::OnStateChanged, [this](THexEditor*) { ++stateChanges; });
    editor.resize(760, 420);
    editor.show();
    editor.activateWindow();
    editor.setFocus();
    QApplication::processEvents();
}

EditorTest::~EditorTest() = default;

void EditorTest::Load(const Bytes& aBytes, const QString& aName)
{
    WriteAll(Path(aName), aBytes);
    ASSERT_TRUE(editor.LoadFromFile(Path(aName)));
    QApplication::processEvents();
}

Bytes EditorTest::Content()
{
    const int32_t size = editor.DataSize();
    if (size == 0)
        return {};
    int32_t count = size;
    const QByteArray a = editor.BufferFromFile(0, count);
    return Bytes(a.begin(), a.end());
}

void EditorTest::Type(const QString& aKeys) { QTest::keyClicks(&editor, aKeys); }

void EditorTest::Key(Qt::Key aKey, Qt::KeyboardModifiers aModifiers)
{
    QTest::keyClick(&editor, aKey, aModifiers);
}

void EditorTest::ShiftKeys(Qt::Key aKey, int aTimes)
{
    QTest::keyPress(&editor, Qt::Key_Shift, Qt::ShiftModifier);
    for (int i = 0; i < aTimes; ++i)
        QTest::keyClick(&editor, aKey, Qt::ShiftModifier);
    QTest::keyRelease(&editor, Qt::Key_Shift, Qt::NoModifier);
}

void EditorTest::ClickCell(int aCol, int aRow, Qt::KeyboardModifiers aModifiers)
{
    const QRect r = editor.CellRect(aCol, aRow);
    ASSERT_FALSE(r.isEmpty()) << "cell " << aCol << "," << aRow << " not visible";
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, aModifiers, r.center());
}

void EditorTest::CaretTo(int32_t aPos, bool aChars)
{
    const TLongPoint p = editor.GetCursorAtPos(aPos, aChars);
    ClickCell(p.x, p.y);
}

int EditorTest::Notifications()
{
    stateChanges = 0;
    QApplication::processEvents();
    return stateChanges;
}
