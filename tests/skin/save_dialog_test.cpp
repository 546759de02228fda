// The standard save dialog with several forms to save in: the filter chosen
// gives the name its extension.
#include "skin/dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

namespace {

struct FilterRow {
    const char* label;
    int filter;           // the index chosen in the dialog
    const char* typed;    // the name in the name field when the filter is chosen
    const char* expected; // the file name the dialog returns
};

class SaveDialogFilter : public testing::TestWithParam<FilterRow> {};

TEST_P(SaveDialogFilter, GivesTheNameItsExtension)
{
    const FilterRow& row = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const skin::FileDialogSpec spec{QStringLiteral("Save"), dir.path(),
                                    QString::fromUtf8(row.typed),
                                    QStringLiteral("Plain (*.GCI *.gci);;Boxed (*.gcs);;Swapped "
                                                   "(*.sav)"),
                                    QStringLiteral("GCI")};
    bool driven = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        auto* combo = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (combo && row.filter > 0) {
            combo->setCurrentIndex(row.filter);
            // What a click on the entry sends.
            emit combo->activated(row.filter);
            emit combo->textActivated(combo->itemText(row.filter));
        }
        driven = combo != nullptr;
        QMetaObject::invokeMethod(d, "accept", Qt::DirectConnection);
    });
    skin::QtDialogs dialogs;
    const std::optional<QString> path = dialogs.saveFileName(spec);
    ASSERT_TRUE(driven);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(QFileInfo(*path).fileName(), QString::fromUtf8(row.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, SaveDialogFilter,
    testing::Values(FilterRow{"DefaultKeepsThePlainForm", 0, "alpha.GCI", "alpha.GCI"},
                    FilterRow{"SecondFilter", 1, "alpha.GCI", "alpha.gcs"},
                    FilterRow{"ThirdFilter", 2, "alpha.GCI", "alpha.sav"},
                    FilterRow{"NameWithoutExtension", 2, "beta", "beta.sav"},
                    FilterRow{"DotsInTheName", 1, "a.b.GCI", "a.b.gcs"}),
    [](const testing::TestParamInfo<FilterRow>& info) { return std::string(info.param.label); });

} // namespace
