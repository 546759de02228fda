#pragma once

// The main window on an emulated card image in a folder of its own, with
// every dialog answered by the test.

#include "editor/save_edit_form.h"
#include "save_maker.h"
#include "scripted_dialogs.h"
#include "window/change_form.h"
#include "window/main_form.h"
#include "window/ok_btn_form.h"
#include "window/save_list_view.h"

#include "skin/dialogs.h"
#include "skin/picture_button.h"
#include "skin/smooth_bar.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

// Notices print as text in a failed expectation, not as UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A card image in the program's folder; saves go in at the given slots.
    void makeCard(unsigned megabits = 4);
    void placeOnCard(unsigned slot, const mcbtest::SaveSpec& spec, unsigned firstBlock);
    void noAdapter();
    void faults(const char* spec);
    // A save file in the program's saver folder.
    void putSaveFile(const QString& name, const std::vector<uint8_t>& bytes);

    // Starts the program's windows (after the card is made).
    void start(quint16 languageId = 0x0409);
    void listCard(); // the listing command
    // Selects the card (or file) list items with these names.
    void select(TSaveListView* list, const QStringList& names);
    QStringList names(TSaveListView* list) const;
    std::vector<uint8_t> cardImage() const;

    mcbtest::TempDir dir;
    QString cardPath;
    QString savedCwd;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<TSaveEditForm> editor;
    std::unique_ptr<TChangeForm> change;
    std::vector<uint8_t> image;
};
