// Where the program keeps files: save files in the data folder chosen at
// start, working files in a private folder of the run that no file of the
// user's can be in.
#include "app_fixture.h"
#include "app_options.h"

#include "hexedit/hexeditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

namespace {

const mcbtest::SaveSpec cAlpha{.code = "GAAE01", .name = "alpha", .blocks = 2, .seed = 1};

// Files of the user's that carry the names the program once used for its
// working files.
const QStringList cWorkingNames{"icon.bmp", "picture.bmp", "temp.~ic", "temp.bak"};

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class FoldersTest : public AppTest {
protected:
    void TearDown() override
    {
        setDataDir(QString());
        qunsetenv("XDG_DATA_HOME");
        AppTest::TearDown();
    }

    // Puts the user's own files under those names in each folder.
    void placeUserFiles(const QStringList& folders)
    {
        for (const QString& folder : folders) {
            QDir().mkpath(folder);
            for (const QString& name : cWorkingNames)
                writeAll(folder + '/' + name, ("the user's " + name).toUtf8());
        }
    }
    void expectUserFilesKept(const QStringList& folders)
    {
        for (const QString& folder : folders)
            for (const QString& name : cWorkingNames)
                EXPECT_EQ(readAll(folder + '/' + name), ("the user's " + name).toUtf8())
                    << (folder + '/' + name).toStdString();
    }
};

TEST_F(FoldersTest, SavesLiveInTheUsersDataFolderMadeOnFirstStart)
{
    const QString xdg = QString::fromStdString(dir.file("xdg-data"));
    qputenv("XDG_DATA_HOME", xdg.toLocal8Bit());
    EXPECT_EQ(defaultDataDir(), xdg + "/cardsuite");
    applyDataDir(AppOptions{});
    makeCard();
    start();
    EXPECT_EQ(form->sys_dir, xdg + "/cardsuite");
    EXPECT_EQ(form->saverDir(), xdg + "/cardsuite/saver");
    EXPECT_TRUE(QDir(form->saverDir()).exists());
    // Nothing lands where the program happened to be started.
    EXPECT_FALSE(QDir(QDir::currentPath() + "/saver").exists());
    EXPECT_EQ(change->sys_dir, form->sys_dir);

    // The whole card is backed up into the save folder unless the user
    // chooses another.
    dialogs.files.push_back(std::nullopt);
    form->ReadCardBtnClick();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].folder, form->saverDir());
}

TEST_F(FoldersTest, TheDataDirOptionKeepsSavesWhereItSays)
{
    const QString chosen = QString::fromStdString(dir.file("demo"));
    applyDataDir(parseOptions({"cardsuite", "--data-dir", chosen}));
    makeCard();
    start();
    EXPECT_EQ(form->sys_dir, chosen);
    EXPECT_TRUE(QDir(chosen + "/saver").exists());
}

// The journal of card changes lives under the data folder, unless the user
// (or a test run, which turns it off) named a folder.
TEST_F(FoldersTest, TheJournalFollowsTheDataDir)
{
    const QByteArray saved = qgetenv("MCBRIDGE_JOURNAL");
    const QString chosen = QString::fromStdString(dir.file("demo"));
    qunsetenv("MCBRIDGE_JOURNAL");
    applyDataDir(parseOptions({"cardsuite", "--data-dir", chosen}));
    EXPECT_EQ(QString::fromLocal8Bit(qgetenv("MCBRIDGE_JOURNAL")), chosen + "/journal");
    qputenv("MCBRIDGE_JOURNAL", "off");
    applyDataDir(parseOptions({"cardsuite", "--data-dir", chosen}));
    EXPECT_EQ(qgetenv("MCBRIDGE_JOURNAL"), "off");
    qputenv("MCBRIDGE_JOURNAL", saved);
}

TEST_F(FoldersTest, ListingWritesNoBannerFiles)
{
    makeCard();
    placeOnCard(0, cAlpha, 5);
    putSaveFile("alpha.gci", mcbtest::makeSaveFile(cAlpha));
    const QString data = QDir::currentPath();
    placeUserFiles({data, data + "/saver"});
    start();
    listCard();
    ASSERT_EQ(names(form->ListView1), QStringList{"alpha"});
    ASSERT_EQ(form->ListView2->count(), 1);

    const QString work = form->workDir();
    ASSERT_FALSE(work.isEmpty());
    EXPECT_FALSE(work.startsWith(data + '/'));
    const QFileInfo info(work);
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
    // Banners are decoded in memory: no bitmap file is made anywhere.
    EXPECT_FALSE(QFile::exists(work + "/icon.bmp"));
    EXPECT_FALSE(QFile::exists(work + "/picture.bmp"));
    expectUserFilesKept({data, data + "/saver"});

    // Two windows at once (two runs) never share working files.
    TMainForm other;
    EXPECT_NE(other.workDir(), work);

    change.reset(); // the form's child
    form.reset();
    EXPECT_FALSE(QFileInfo::exists(work)) << "the work folder outlives the window";
}

TEST_F(FoldersTest, EditingWorksOnAPrivateCopyAndLeavesTheUsersFilesAlone)
{
    makeCard();
    placeOnCard(0, cAlpha, 5);
    const QString data = QDir::currentPath();
    placeUserFiles({data});
    start();
    listCard();
    select(form->ListView1, {"alpha"});

    QString opened;
    QStringList workFiles;
    QTimer poll;
    bool done = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done || !editor->isVisible())
            return;
        done = true;
        opened = editor->HexEditor1->Filename();
        editor->HexEditor1->Seek(100, 0, true);
        QTest::keyClicks(editor->HexEditor1, "ab");
        editor->Speichern1Click();
        workFiles = QDir(form->workDir()).entryList(QDir::Files);
        editor->close();
    });
    poll.start(5);
    form->EditBtnClick();

    ASSERT_TRUE(done) << "the editor was never shown";
    EXPECT_EQ(QFileInfo(opened).absolutePath(), form->workDir());
    EXPECT_TRUE(workFiles.contains("temp.~ic")) << workFiles.join(' ').toStdString();
    EXPECT_TRUE(workFiles.contains("temp.bak")) << workFiles.join(' ').toStdString();
    expectUserFilesKept({data});
    EXPECT_EQ(dialogs.messages, QStringList{"SAVER UPDATED"});
}
