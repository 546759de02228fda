// The card list's Cards submenu: a card found in the (fake) home shown on
// the card side without a restart, a new card image, a format that keeps the
// card first, and a split to an SD card and back.
#include "app_fixture.h"
#include "mcbridge.h"
#include "mcbridge/folder_names.h"
#include "mcbridge/format.h"
#include "mcbridge/inspect.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMenu>
#include <QTimer>

#include <filesystem>

namespace fs = std::filesystem;
using namespace Qt::StringLiterals;

namespace {

const std::vector<uint8_t> kTown =
    mcbtest::makeSaveFile({.code = "GAFE01", .name = "town", .blocks = 2});
const std::vector<uint8_t> kZelda =
    mcbtest::makeSaveFile({.code = "GZLJ01", .name = "zelda", .seed = 3});

class CardsMenuTest : public AppTest {
protected:
    std::string folderCard() const
    {
        return dir.file("home/.local/share/dolphin-emu/GC/USA/Card A");
    }
    void makeFolderCard()
    {
        fs::create_directories(folderCard());
        mcbtest::writeFile(folderCard() + "/" +
                               mcb::folderNameFor(std::span<const uint8_t, 64>(kTown.data(), 64)),
                           kTown);
    }
    // The Cards submenu's entries; the one starting with choose is chosen.
    QStringList cardsMenu(const QString& choose = QString())
    {
        QStringList entries;
        QTimer::singleShot(0, [&] {
            QMenu* m = form->cardMenu();
            QMenu* cards = m ? m->findChild<QMenu*>(QStringLiteral("cardsMenu")) : nullptr;
            QAction* chosen = nullptr;
            for (QAction* a : cards ? cards->actions() : QList<QAction*>()) {
                entries << a->text();
                if (!choose.isEmpty() && a->text().startsWith(choose))
                    chosen = a;
            }
            if (m)
                m->close();
            if (chosen)
                chosen->trigger();
        });
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(10, 10), QPoint(10, 10));
        QApplication::sendEvent(form->ListView1->viewport(), &e);
        return entries;
    }
};

struct MenuLanguage {
    const char* name;
    quint16 languageId;
    QStringList entries;
};

class CardsMenuLanguages : public CardsMenuTest,
                           public testing::WithParamInterface<MenuLanguage> {};

TEST_P(CardsMenuLanguages, ListsTheCardsFoundAndTheCommands)
{
    makeCard(4);
    makeFolderCard();
    fs::create_directories(dir.file("media/me/SD/MemoryCards"));
    start(GetParam().languageId);
    EXPECT_EQ(cardsMenu(), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CardsMenuLanguages,
    testing::Values(MenuLanguage{"English",
                                 0x0409,
                                 {"Emulator folder card: native, slot A, USA (128 Mbit, 1 saves)",
                                  "", "Open card image…", "New card image…", "Format card…", "",
                                  "Copy this card's saves to per-game cards (SD)…",
                                  "Gather per-game cards onto this card (SD)…"}},
                    MenuLanguage{"Japanese",
                                 0x0411,
                                 {"エミュレーターのフォルダーカード：ネイティブ版、スロット "
                                  "A、USA（128 Mbit、セーブ 1 個）",
                                  "", "カードイメージを開く…", "新しいカードイメージ…",
                                  "カードをフォーマット…", "",
                                  "このカードのセーブをゲーム別カードにコピー (SD)…",
                                  "ゲーム別カードをこのカードにまとめる (SD)…"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Where each card was found, in the program's language: cardplaces gives
// the parts, the program words them.
struct WhereRow {
    const char* name;
    quint16 languageId;
    const char* card;   // made under the test's folder ("/" at the end: a folder card)
    const char* config; // "FILE|TEXT" written first ({top}: the test's folder), or ""
    QString entry;      // the menu's first entry
};

class CardsMenuWhere : public CardsMenuTest, public testing::WithParamInterface<WhereRow> {};

TEST_P(CardsMenuWhere, SaysWhereInTheProgramsLanguage)
{
    const WhereRow& w = GetParam();
    const auto expand = [&](std::string text) {
        for (auto at = text.find("{top}"); at != std::string::npos; at = text.find("{top}"))
            text.replace(at, 5, dir.path());
        return text;
    };
    if (*w.config) {
        const std::string c = w.config;
        const std::string file = dir.file(c.substr(0, c.find('|')));
        fs::create_directories(fs::path(file).parent_path());
        mcbtest::writeFile(file, [&] {
            const std::string text = expand(c.substr(c.find('|') + 1));
            return std::vector<uint8_t>(text.begin(), text.end());
        }());
    }
    const std::string card = dir.file(w.card);
    if (card.ends_with("/")) {
        fs::create_directories(card);
    } else {
        fs::create_directories(fs::path(card).parent_path());
        mcbtest::writeFile(card, mcb::formatCard(mcb::FormatOptions{4}));
    }
    start(w.languageId);
    const QStringList entries = cardsMenu();
    ASSERT_FALSE(entries.isEmpty());
    EXPECT_EQ(entries.front(), QString::fromStdString(expand(w.entry.toStdString())));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CardsMenuWhere,
    testing::Values(
        WhereRow{
            "JapaneseFlatpakImage", 0x0411,
            "home/.var/app/org.DolphinEmu.dolphin-emu/data/dolphin-emu/GC/MemoryCardB.JAP.raw", "",
            u"エミュレーターのカードイメージ：Flatpak 版、スロット B、JAP（4 Mbit、セーブ 0 個）"_s},
        WhereRow{"JapaneseSdCard", 0x0411, "media/me/SD/MemoryCards/GAFE0100/GAFE0100-2.raw", "",
                 u"ゲーム別カード：SD：GAFE01 チャンネル 2（4 Mbit、セーブ 0 個）"_s},
        WhereRow{"TraditionalChineseConfiguredFolder", 0x0404, "gci/",
                 "home/.dolphin-emu/Config/Dolphin.ini|[Core]\nGCIFolderBPath = {top}/gci\n",
                 u"模擬器資料夾記憶卡：舊版，插槽 B（設定檔指定）（128 Mbit，0 個存檔）"_s},
        WhereRow{"SimplifiedChineseRecent", 0x0804, "mine.raw",
                 "home/.local/state/cardsuite/recent-cards|image:{top}/mine.raw\n",
                 u"最近打开：{top}/mine.raw（4 Mbit，0 个存档）"_s}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace

TEST_F(CardsMenuTest, AFoundCardIsShownOnTheCardSideWithoutARestart)
{
    makeCard(4);
    makeFolderCard();
    start();
    listCard();
    EXPECT_TRUE(names(form->ListView1).isEmpty());
    cardsMenu(QStringLiteral("Emulator folder card"));
    EXPECT_EQ(qEnvironmentVariable("MCBRIDGE_DEVICE"),
              QString::fromStdString("folder:" + folderCard()));
    EXPECT_EQ(names(form->ListView1).size(), 1);
    // Remembered, but a card found where the emulator keeps it is listed once.
    const QStringList entries = cardsMenu();
    EXPECT_EQ(entries.filter(QStringLiteral("Emulator folder card")).size(), 1);
    EXPECT_TRUE(entries.filter(QStringLiteral("Opened lately")).isEmpty());
}

TEST_F(CardsMenuTest, ANewJapaneseImageIsMadeAndShown)
{
    makeCard(4);
    start();
    const QString path = QString::fromStdString(dir.file("new.raw"));
    dialogs.files.push_back(path);
    dialogs.entries.push_back(QStringLiteral("8"));
    dialogs.choices.push_back(1);
    cardsMenu(QStringLiteral("New card image"));
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(QFileInfo(path).size(), qint64(MCB_CARD_BYTES(8)));
    EXPECT_EQ(qEnvironmentVariable("MCBRIDGE_DEVICE"), QStringLiteral("image:") + path);
    mcb_card* card = nullptr;
    ASSERT_EQ(mcb_open(("image:" + path).toLocal8Bit().constData(), &card), MCB_OK);
    mcb_card_info info{};
    info.size = sizeof info;
    EXPECT_EQ(mcb_describe_card(card, &info), MCB_OK);
    EXPECT_EQ(info.encoding, 1u);
    mcb_close(card);
}

TEST_F(CardsMenuTest, FormatAsksTwiceAndKeepsTheCardFirst)
{
    makeCard(4);
    placeOnCard(0, {.code = "GAFE01", .name = "town", .blocks = 2}, 5);
    const std::vector<uint8_t> before = cardImage();
    start();
    listCard();
    dialogs.yesNo = {true, false};
    cardsMenu(QStringLiteral("Format card"));
    EXPECT_EQ(cardImage(), before); // the second answer was no
    dialogs.yesNo = {true, true};
    cardsMenu(QStringLiteral("Format card"));
    EXPECT_TRUE(mcb::inspectCard(cardImage()).saves.empty());
    const QStringList kept =
        QDir(QString::fromStdString(dir.file("saver"))).entryList({"card before format*"});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(mcbtest::readFile(dir.file("saver/" + kept[0].toStdString())), before);
    EXPECT_TRUE(dialogs.messages.last().startsWith("The card was formatted."))
        << dialogs.messages.last().toStdString();
}

TEST_F(CardsMenuTest, SplitToTheSdCardAndGatherBack)
{
    makeCard(16);
    placeOnCard(0, {.code = "GAFE01", .name = "town", .blocks = 2}, 5);
    placeOnCard(1, {.code = "GZLJ01", .name = "zelda", .seed = 3}, 7);
    fs::create_directories(dir.file("media/me/SD/MemoryCards"));
    start();
    listCard();
    dialogs.choices.push_back(0);
    cardsMenu(QStringLiteral("Copy this card's saves"));
    EXPECT_TRUE(dialogs.messages.last().startsWith("2 per-game cards made on"))
        << dialogs.messages.last().toStdString();
    EXPECT_TRUE(
        fs::exists(dir.file("media/me/SD/MemoryCards/GC/DL-DOL-GZLJ-JPN/DL-DOL-GZLJ-JPN-1.raw")));
    // Onto a new, empty card: both saves come back.
    const QString path = QString::fromStdString(dir.file("empty.raw"));
    ASSERT_EQ(mcb_create_image(path.toLocal8Bit().constData(), 16, 0), MCB_OK);
    qputenv("MCBRIDGE_DEVICE", ("image:" + path).toLocal8Bit());
    form->deviceChanged();
    cardsMenu(QStringLiteral("Gather per-game cards"));
    EXPECT_EQ(dialogs.messages.last(), "2 of 2 saves gathered onto the card.");
    EXPECT_EQ(names(form->ListView1).size(), 2);
}
