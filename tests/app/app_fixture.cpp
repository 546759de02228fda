#include "app_fixture.h"

#include "window/cards_menu.h"

#include "mcbridge/format.h"

#include <QDir>
#include <QFile>
#include <QTest>

void AppTest::SetUp()
{
    savedCwd = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir.path()));
    cardPath = QString::fromStdString(dir.file("card.raw"));
    skin::installDialogs(&dialogs);
    qunsetenv("MCBRIDGE_FAULTS");
    // Cards are looked for in a home of the test's own, never the user's.
    cardsEnvironment = [top = dir.path()] {
        cardplaces::Environment env;
        env.home = top + "/home";
        env.xdgData = env.home + "/.local/share";
        env.xdgConfig = env.home + "/.config";
        env.xdgState = env.home + "/.local/state";
        env.mediaRoots = {top + "/media/me"};
        return env;
    };
}

void AppTest::TearDown()
{
    change.reset();
    editor.reset();
    form.reset();
    skin::installDialogs(nullptr);
    qunsetenv("MCBRIDGE_DEVICE");
    qunsetenv("MCBRIDGE_FAULTS");
    QDir::setCurrent(savedCwd);
}

void AppTest::makeCard(unsigned megabits)
{
    image = mcb::formatCard(mcb::FormatOptions{megabits});
    mcbtest::writeFile(cardPath.toStdString(), image);
    qputenv("MCBRIDGE_DEVICE", ("image:" + cardPath).toLocal8Bit());
}

void AppTest::placeOnCard(unsigned slot, const mcbtest::SaveSpec& spec, unsigned firstBlock)
{
    image = mcbtest::readFile(cardPath.toStdString());
    mcbtest::placeSave(image, slot, mcbtest::makeSaveFile(spec), firstBlock);
    mcbtest::writeFile(cardPath.toStdString(), image);
}

void AppTest::noAdapter() { qunsetenv("MCBRIDGE_DEVICE"); }

void AppTest::faults(const char* spec) { qputenv("MCBRIDGE_FAULTS", spec); }

void AppTest::putSaveFile(const QString& name, const std::vector<uint8_t>& bytes)
{
    QDir().mkpath(QString::fromStdString(dir.file("saver")));
    mcbtest::writeFile(dir.file("saver/" + name.toStdString()), bytes);
}

void AppTest::start(quint16 languageId)
{
    TMainForm::languageId = [languageId] { return languageId; };
    // The region dialog is the old form's child: it goes first.
    change.reset();
    form.reset();
    form = std::make_unique<TMainForm>();
    // Not the form's child: tests replace the form on their own.
    editor = std::make_unique<TSaveEditForm>();
    form->SaveEditForm = editor.get();
    change = std::make_unique<TChangeForm>(form.get());
    form->ChangeForm = change.get();
    form->quitAction = [] {};
    form->show();
}

void AppTest::listCard() { form->UpDateBtnClick(); }

void AppTest::select(TSaveListView* list, const QStringList& wanted)
{
    list->clearSelection();
    for (int i = 0; i < list->count(); ++i)
        if (wanted.contains(TSaveListView::nameOf(list->item(i))))
            list->item(i)->setSelected(true);
}

QStringList AppTest::names(TSaveListView* list) const
{
    QStringList n;
    for (int i = 0; i < list->count(); ++i)
        n << TSaveListView::nameOf(list->item(i));
    return n;
}

std::vector<uint8_t> AppTest::cardImage() const
{
    return mcbtest::readFile(cardPath.toStdString());
}
