// What a new user meets first: the card list following changes made outside,
// drops from the other list and from a file manager, rows that keep their
// block count, Qt's own words in the user's language, the save folder's names
// as the emulator writes them, and the keyboard and notices around them.
#include "app_fixture.h"

#include "cards/device_watch.h"
#include "window/card_image_question.h"
#include "window/icon_animation.h"
#include "window/qt_translations.h"
#include "window/window_placement.h"

#include "i18n/texts.h"
#include "mcbridge/format.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QUrl>

#include <dirent.h>

#include <algorithm>
#include <functional>

namespace {

class FirstUseTest : public AppTest {
protected:
    // Waits for commands (a device change's relisting among them) to end
    // until done() holds; false when none ends in time.
    bool waitForCommands(const std::function<bool()>& done)
    {
        QSignalSpy finished(form.get(), &TMainForm::commandFinished);
        while (!done())
            if (!finished.wait(10000))
                return false;
        return true;
    }

    // Delivers a drag and its drop to the window as the platform does: to
    // the window, which finds the widget under the point that takes drops.
    void dropOn(TSaveListView* target, QMimeData* data)
    {
        QWindow* window = form->windowHandle();
        ASSERT_NE(window, nullptr);
        const QPoint at =
            target->viewport()->mapTo(form.get(), target->viewport()->rect().center());
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &move);
        QDropEvent drop(QPointF(at), actions, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
        // The command starts once the drag is over.
        QCoreApplication::processEvents();
    }

    // The save folder's names as the system holds them: bytes.
    std::vector<std::string> folderBytes() const
    {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir.file("saver").c_str())) {
            while (const dirent* e = readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.emplace_back(e->d_name);
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

// ---- 1. The card list follows changes made outside ---------------------

// The second change comes while the window is still reading the card after
// the first: it must be listed too, not taken for the program's own.
TEST_F(FirstUseTest, TwoOutsideChangesInARowAreBothListed)
{
    makeCard(4);
    placeOnCard(0, {.name = "one", .blocks = 1}, 5);
    start();
    listCard();
    form->startDeviceWatch();
    form->deviceWatcher()->setSettleTime(0);
    bool second = false;
    QObject::connect(form->ListView1->model(), &QAbstractItemModel::rowsInserted, form.get(), [&] {
        if (second || !form->commandRunning() || form->ListView1->count() < 2)
            return;
        second = true;
        placeOnCard(2, {.name = "three", .blocks = 1, .seed = 3}, 7);
    });
    placeOnCard(1, {.name = "two", .blocks = 1, .seed = 2}, 6);
    form->deviceWatcher()->look();
    EXPECT_TRUE(waitForCommands([&] {
        return names(form->ListView1) == QStringList{"one", "two", "three"};
    })) << names(form->ListView1).join(',').toStdString();
    EXPECT_TRUE(second);
}

TEST_F(FirstUseTest, ASaveGoneFromTheCardIsNamedAndTheListReadAgain)
{
    makeCard(4);
    placeOnCard(0, {.name = "ghost", .blocks = 1}, 5);
    placeOnCard(1, {.name = "kept", .blocks = 1, .seed = 2}, 6);
    start();
    listCard();
    // Deleted by another program while the list still shows it.
    image = mcb::formatCard(mcb::FormatOptions{4});
    mcbtest::writeFile(cardPath.toStdString(), image);
    placeOnCard(1, {.name = "kept", .blocks = 1, .seed = 2}, 6);
    select(form->ListView1, {"ghost"});
    dialogs.files = {QString::fromStdString(dir.file("ghost.gci"))};
    form->DownLoadBtnClick();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("ghost [no such saver on the card]"))
        << dialogs.messages[0].toStdString();
    EXPECT_EQ(names(form->ListView1), QStringList{"kept"});
}

// ---- 2. Drops ------------------------------------------------------------

struct DropCase {
    const char* name;
    // The drag's data, made as the drag's source makes it.
    std::function<QMimeData*(AppTest&, TMainForm&, const QString& outside)> data;
};

class Drops : public FirstUseTest, public ::testing::WithParamInterface<DropCase> {};

TEST_P(Drops, OnTheCardListCopyToTheCard)
{
    makeCard(4);
    placeOnCard(0, {.name = "there", .blocks = 1}, 5);
    putSaveFile("file.gci", mcbtest::makeSaveFile({.code = "GFFE01", .name = "file", .seed = 4}));
    const QString outside = QString::fromStdString(dir.file("outside"));
    QDir().mkpath(outside);
    mcbtest::writeFile((outside + "/file.gci").toStdString(),
                       mcbtest::makeSaveFile({.code = "GFFE01", .name = "file", .seed = 4}));
    mcbtest::writeFile((outside + "/notes.txt").toStdString(), {1, 2, 3});
    start();
    listCard();
    select(form->ListView2, {"file.gci"});
    std::unique_ptr<QMimeData> data(GetParam().data(*this, *form, outside));
    dropOn(form->ListView1, data.get());
    EXPECT_EQ(names(form->ListView1), (QStringList{"there", "file"}));
    EXPECT_EQ(dialogs.messages, QStringList{"UPLOAD Complete"});
}

INSTANTIATE_TEST_SUITE_P(
    Sources, Drops,
    ::testing::Values(DropCase{"FromTheFileList",
                               [](AppTest&, TMainForm& form, const QString&) {
                                   return form.ListView2->dragData(form.ListView2->selectedItems());
                               }},
                      DropCase{"FromAFileManager",
                               [](AppTest&, TMainForm&, const QString& outside) {
                                   auto* data = new QMimeData;
                                   data->setUrls({QUrl::fromLocalFile(outside + "/notes.txt"),
                                                  QUrl::fromLocalFile(outside + "/file.gci")});
                                   return data;
                               }}),
    [](const auto& info) { return std::string(info.param.name); });

// A card image dropped from a file manager opens that card on the card side;
// beside a save file it is left alone and the save is copied.
TEST_F(FirstUseTest, ACardImageDroppedOnTheCardListIsOpenedThere)
{
    makeCard(4);
    placeOnCard(0, {.name = "there", .blocks = 1}, 5);
    std::vector<uint8_t> other = mcb::formatCard(mcb::FormatOptions{4});
    mcbtest::placeSave(other, 0, mcbtest::makeSaveFile({.name = "other", .blocks = 2}), 5);
    const QString path = QString::fromStdString(dir.file("other.raw"));
    mcbtest::writeFile(path.toStdString(), other);
    start();
    listCard();
    const QString before = qEnvironmentVariable("MCBRIDGE_DEVICE");
    QMimeData notes;
    notes.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("notes.txt")))});
    dropOn(form->ListView1, &notes);
    EXPECT_EQ(qEnvironmentVariable("MCBRIDGE_DEVICE"), before);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    dropOn(form->ListView1, &data);
    EXPECT_EQ(qEnvironmentVariable("MCBRIDGE_DEVICE"), QStringLiteral("image:") + path);
    EXPECT_EQ(names(form->ListView1), QStringList{"other"});
}

TEST_F(FirstUseTest, AFileDroppedOverASaveOfItsNameIsAskedAboutByItsPath)
{
    makeCard(4);
    placeOnCard(0, {.code = "GFFE01", .name = "file", .seed = 4}, 5);
    const QString path = QString::fromStdString(dir.file("file.gci"));
    mcbtest::writeFile(path.toStdString(),
                       mcbtest::makeSaveFile({.code = "GFFE01", .name = "file", .seed = 9}));
    start();
    listCard();
    dialogs.yesNo = {false};
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    dropOn(form->ListView1, &data);
    EXPECT_EQ(dialogs.questions,
              QStringList{"Do you want to Overwrite Saver " + path + "\r\n(1) Now ?"});
    EXPECT_EQ(cardImage(), image);
}

TEST_F(FirstUseTest, AnItemsIconSurvivesBeingStreamed)
{
    IconFrames icon;
    icon.frames = {QImage(32, 32, QImage::Format_RGBA8888)};
    icon.frames[0].fill(Qt::red);
    icon.delays = {12};
    icon.bounce = true;
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << QVariant::fromValue(icon);
        EXPECT_EQ(out.status(), QDataStream::Ok);
    }
    QDataStream in(bytes);
    QVariant back;
    in >> back;
    const auto read = back.value<IconFrames>();
    ASSERT_EQ(read.frames.size(), 1);
    EXPECT_EQ(read.frames[0].convertToFormat(QImage::Format_RGBA8888), icon.frames[0]);
    EXPECT_EQ(read.delays, icon.delays);
    EXPECT_TRUE(read.bounce);
}

// ---- 3. Rows keep their block count ----------------------------------------

struct RowCase {
    const char* name;
    quint16 language;
};

class RowsBesideShortOnes : public FirstUseTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(RowsBesideShortOnes, ShowTheirBlockCount)
{
    makeCard(4);
    // The first row has a one-line name: the view must not give its height
    // to the rows whose names take two lines.
    placeOnCard(0, {.code = "GMSE01", .name = "short", .blocks = 1}, 5);
    placeOnCard(1, {.code = "GMSE01", .name = "super_mario_sunshine", .blocks = 2}, 6);
    placeOnCard(2, {.code = "GMSE01", .name = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef", .blocks = 3}, 8);
    start(GetParam().language);
    listCard();
    TSaveListView* list = form->ListView1;
    ASSERT_EQ(list->count(), 3);
    const QFontMetrics metrics(list->font());
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        const QStringList lines = list->paintedLines(item);
        EXPECT_EQ(lines.constLast(), QStringLiteral("(%1)").arg(i + 1))
            << lines.join('|').toStdString();
        // The whole name is painted: nothing was cut.
        for (const QString& line : lines)
            EXPECT_FALSE(line.contains(QChar(0x2026))) << line.toStdString();
        QString painted = lines.mid(0, lines.size() - 1).join(QString());
        EXPECT_EQ(painted.remove(' '), TSaveListView::nameOf(item).remove(' '));
        // The row the view gives the item holds the banner and three lines.
        EXPECT_GE(list->visualItemRect(item).height(), 32 + 3 * metrics.lineSpacing());
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, RowsBesideShortOnes,
                         ::testing::Values(RowCase{"English", 0x0409}, RowCase{"Japanese", 0x0411}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RowLines, ARowWithoutRoomShortensTheNameNeverTheCount)
{
    const QFont font;
    const QFontMetrics metrics(font);
    const int line = metrics.lineSpacing();
    const QString name = QStringLiteral("super_mario_sunshine and a long tail");
    const int width = metrics.horizontalAdvance(QStringLiteral("super_mario"));
    // Room for three lines: two of the name, the second shortened, and the count.
    const QStringList three = TSaveListView::rowLines(name, "(12)", font, width, 3 * line);
    ASSERT_EQ(three.size(), 3);
    EXPECT_TRUE(three[1].endsWith(QChar(0x2026))) << three[1].toStdString();
    EXPECT_EQ(three[2], "(12)");
    // Room for two: one shortened line of the name and the count.
    const QStringList two = TSaveListView::rowLines(name, "(12)", font, width, 2 * line);
    ASSERT_EQ(two.size(), 2);
    EXPECT_TRUE(two[0].endsWith(QChar(0x2026))) << two[0].toStdString();
    EXPECT_EQ(two[1], "(12)");
    // Room for one: the count alone.
    EXPECT_EQ(TSaveListView::rowLines(name, "(12)", font, width, line), QStringList{"(12)"});
    // Room enough: the whole name, nothing shortened.
    const QStringList all = TSaveListView::rowLines("short", "(1)", font, width, 3 * line);
    EXPECT_EQ(all, (QStringList{"short", "(1)"}));
}

// ---- 5. Qt's own words ------------------------------------------------------

struct QtWordsCase {
    const char* name;
    i18n::Language language;
    const char* catalogue;
};

class QtWords : public ::testing::TestWithParam<QtWordsCase> {};

TEST_P(QtWords, FollowTheProgramsLanguage)
{
    const QtWordsCase& c = GetParam();
    EXPECT_EQ(qtCatalogueFor(c.language), QString::fromLatin1(c.catalogue));
    const bool english = c.language == i18n::Language::English;
    EXPECT_EQ(installQtTranslations(c.language), !english);
    for (const char* word : {"&Yes", "&No", "Cancel"}) {
        const QString shown = QCoreApplication::translate("QPlatformTheme", word);
        if (english) {
            EXPECT_EQ(shown, QString::fromLatin1(word));
        } else {
            EXPECT_NE(shown, QString::fromLatin1(word)) << word;
        }
    }
    installQtTranslations(i18n::Language::English);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
}

INSTANTIATE_TEST_SUITE_P(
    Languages, QtWords,
    ::testing::Values(
        QtWordsCase{"English", i18n::Language::English, ""},
        QtWordsCase{"TraditionalChinese", i18n::Language::TraditionalChinese, "qtbase_zh_TW"},
        QtWordsCase{"SimplifiedChinese", i18n::Language::SimplifiedChinese, "qtbase_zh_CN"},
        QtWordsCase{"Japanese", i18n::Language::Japanese, "qtbase_ja"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- 6. Copy all to PC: no second copies, names as the emulator's --------

TEST_F(FirstUseTest, CopyAllTwiceCopiesNothingTwiceAndKeepsShiftJisNames)
{
    makeCard(4);
    // "セーブ" in Shift-JIS: no valid UTF-8.
    const std::string sjis = "\x83\x5A\x81\x5B\x83\x75";
    placeOnCard(0, {.code = "GSJJ01", .name = sjis, .blocks = 1, .seed = 1}, 5);
    placeOnCard(1, {.code = "GZLE01", .name = "zelda", .blocks = 1, .seed = 2}, 6);
    start();
    listCard();
    form->CopyAllToPcClick();
    ASSERT_EQ(dialogs.reports.size(), 1u);
    EXPECT_EQ(dialogs.reports[0].text, "2 of 2 saves copied.");
    // Written as the emulator writes them: the Shift-JIS bytes as they are.
    EXPECT_EQ(folderBytes(),
              (std::vector<std::string>{"01-GSJJ-" + sjis + ".gci", "01-GZLE-zelda.gci"}));
    // Listed, with its name read in its game's encoding and its banner.
    EXPECT_EQ(names(form->ListView2),
              (QStringList{QString::fromUtf8("01-GSJJ-セーブ.gci"), "01-GZLE-zelda.gci"}));
    EXPECT_TRUE(form->ListView2->item(0)->toolTip().contains("GSJJ01"));

    form->CopyAllToPcClick();
    ASSERT_EQ(dialogs.reports.size(), 2u);
    EXPECT_EQ(dialogs.reports[1].text,
              "0 of 2 saves copied.\n2 already in the folder unchanged, not copied again.");
    EXPECT_EQ(folderBytes().size(), 2u);

    // Copied back onto the card from its list item.
    select(form->ListView1, {QString::fromUtf8("セーブ")});
    dialogs.yesNo = {true};
    form->DeleteBtnClick();
    ASSERT_EQ(names(form->ListView1), QStringList{"zelda"});
    select(form->ListView2, {QString::fromUtf8("01-GSJJ-セーブ.gci")});
    form->UpLoadBtnClick();
    // Back in the slot the delete freed.
    EXPECT_EQ(names(form->ListView1), (QStringList{QString::fromUtf8("セーブ"), "zelda"}));
}

// ---- 7. No to a blank card -------------------------------------------------

TEST_F(FirstUseTest, DecliningTheBlankCardSaysNothingWasMade)
{
    makeCard(4);
    start();
    const QString missing = QString::fromStdString(dir.file("typo.raw"));
    qputenv("MCBRIDGE_DEVICE", ("image:" + missing).toLocal8Bit());
    dialogs.yesNo = {false};
    EXPECT_FALSE(confirmMissingCardImage("CARD SHUTTLE"));
    EXPECT_EQ(dialogs.infos, QStringList{"No card image was made at " + missing +
                                         ". Start the program again with an existing card "
                                         "image."});
    EXPECT_FALSE(QFileInfo::exists(missing));
}

// ---- 9. Scale ----------------------------------------------------------------

struct ScaleCase {
    const char* name;
    QSize room; // device pixels
    double scale;
    std::optional<double> expected;
};

class Scales : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(Scales, TheWindowFitsTheScreen)
{
    const ScaleCase& c = GetParam();
    const std::optional<double> fit = scaleThatFits(QSize(660, 480), c.room, c.scale);
    EXPECT_EQ(fit, c.expected);
    if (fit) {
        EXPECT_LE(*fit * 660, c.room.width());
        EXPECT_LE(*fit * 480, c.room.height());
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, Scales,
                         ::testing::Values(ScaleCase{"FitsAsItIs", {1920, 1080}, 2.0, std::nullopt},
                                           ScaleCase{"DoubledOn1024x768", {1024, 768}, 2.0, 1.5},
                                           ScaleCase{"OneAndAHalfOn800x600", {800, 600}, 1.5, 1.0},
                                           ScaleCase{"PanelTakesHeight", {1024, 700}, 2.0, 1.25},
                                           ScaleCase{"TinyScreen", {500, 400}, 1.0, 0.75},
                                           ScaleCase{"NothingFits", {100, 80}, 1.0, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- 10. Enter, and notices that keep their tokens whole --------------------

TEST_F(FirstUseTest, EnterOnTheCardListCopiesAsADoubleClickDoes)
{
    makeCard(4);
    placeOnCard(0, {.name = "one", .blocks = 1}, 5);
    start();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    listCard();
    select(form->ListView1, {"one"});
    form->ListView1->setFocus(Qt::TabFocusReason);
    dialogs.files = {std::nullopt};
    QTest::keyClick(form->ListView1, Qt::Key_Return);
    // The copy's file dialog, offered the save's name.
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0].fileName, "one.GCI");
}

TEST_F(FirstUseTest, NoticesNeverBreakADeviceStringOrAPath)
{
    makeCard(4);
    start();
    const QString path = "/home/user/data/saver/Sky Racer Championship Edition.GCI";
    const QString text = "The adapter could not be opened: usb:1209:0001 and " + path;
    TOkBtnForm* box = form->OkBtnForm;
    box->layOut(text);
    // The text as laid out in the box: each line break falls at a blank.
    QTextLayout layout(box->Label1->text(), box->Label1->font());
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(box->Label1->width());
        lines << layout.text().mid(line.textStart(), line.textLength()).remove(QChar(0x2060));
    }
    layout.endLayout();
    const QString joined = lines.join('|');
    EXPECT_TRUE(joined.contains("usb:1209:0001")) << joined.toStdString();
    EXPECT_TRUE(joined.contains("/home/user/data/saver/Sky")) << joined.toStdString();
    // Shown as the system writes it: only the joiners were added.
    EXPECT_EQ(QString(box->Label1->text()).remove(QChar(0x2060)), text);
}

} // namespace
