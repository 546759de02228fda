// What the status line and the notices say when no card can be listed: no
// adapter set, a file that is no card image, an unformatted card, and a card
// image that may only be read.
#include "app_fixture.h"
#include "cards/card_status.h"

#include "i18n/texts.h"

#include <QFile>
#include <QPushButton>

namespace {

struct StatusCase {
    const char* name;
    quint16 languageId;
    const char* noAdapter;
    const char* notACard;
    const char* notListed;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.name; }

class StatusTexts : public AppTest, public ::testing::WithParamInterface<StatusCase> {};

// A card file of the right length for an 8 Mbit card, all zeros: no header
// names a size.
void writeZeroCard(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(1024 * 1024, '\0'));
}

} // namespace

TEST_P(StatusTexts, NameWhatStandsInTheWayInEachLanguage)
{
    const StatusCase& c = GetParam();
    noAdapter();
    start(c.languageId);
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8(c.noAdapter));
    listCard();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0), say_n_noadapter);
    EXPECT_TRUE(say_n_noadapter.contains("MCBRIDGE_DEVICE"));

    writeZeroCard(cardPath);
    qputenv("MCBRIDGE_DEVICE", ("image:" + cardPath).toLocal8Bit());
    dialogs.messages.clear();
    listCard();
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8(c.notACard));
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0), say_n_notacard + say_why_notacard);

    makeCard(4);
    form->deviceChanged();
    start(c.languageId);
    EXPECT_EQ(form->Label1->text(), QString::fromUtf8(c.notListed));
}

INSTANTIATE_TEST_SUITE_P(Languages, StatusTexts,
                         ::testing::Values(StatusCase{"English", 0x0409, "No adapter found",
                                                      "No card read", "Card found, not listed"},
                                           StatusCase{"TraditionalChinese", 0x0404, "未找到轉接器",
                                                      "未能讀取記憶卡", "已找到記憶卡，尚未列出"},
                                           StatusCase{"SimplifiedChinese", 0x0804, "未找到适配器",
                                                      "未能读取存储卡", "已找到存储卡，尚未列出"},
                                           StatusCase{"Japanese", 0x0411, "アダプターなし",
                                                      "カード読み取り不可", "カードあり・未読込"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppTest, AnUnformattedCardIsNeverShownWithNoFreeBlocks)
{
    writeZeroCard(cardPath);
    qputenv("MCBRIDGE_DEVICE", ("image:" + cardPath).toLocal8Bit());
    start();
    listCard();
    EXPECT_EQ(form->Label1->text(), "No card read");
    EXPECT_FALSE(form->Label1->text().contains("BLOCK FREE"));
    for (QPushButton* b : {form->UpLoadBtn, form->DownLoadBtn, form->DeleteBtn, form->ReadCardBtn,
                           form->WriteCardBtn})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages.at(0).endsWith("not a formatted memory card"));
}

TEST_F(AppTest, ATextFileGivenAsTheCardIsNamedNotACardImage)
{
    QFile f(cardPath);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("just some notes\n");
    f.close();
    qputenv("MCBRIDGE_DEVICE", ("image:" + cardPath).toLocal8Bit());
    start();
    EXPECT_EQ(form->Label1->text(), "No card read");
    listCard();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages.at(0), say_n_notacard + say_why_imagesize);
}

TEST_F(AppTest, AReadOnlyCardImageKeepsTheWritingCommandsOffAndSaysWhy)
{
    makeCard(4);
    placeOnCard(0, {.name = "one", .blocks = 2}, 5);
    const auto saved = imageWritable;
    imageWritable = [this](const QString& path) { return path != cardPath; };
    start();
    listCard();
    imageWritable = saved;
    EXPECT_EQ(form->Label1->text(), "  ( 57 )BLOCK FREE READ-ONLY");
    EXPECT_TRUE(form->DownLoadBtn->isEnabled());
    EXPECT_TRUE(form->EmailBtn->isEnabled());
    EXPECT_TRUE(form->ReadCardBtn->isEnabled());
    for (QPushButton* b : {form->UpLoadBtn, form->DeleteBtn, form->EditBtn, form->WriteCardBtn}) {
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_EQ(b->toolTip(), say_n_readonly) << b->objectName().toStdString();
    }
}

TEST_F(AppTest, NoUsbAdapterPluggedInIsToldHowToChooseOne)
{
    // The program's default when no device was chosen: a USB adapter.
    qputenv("MCBRIDGE_DEVICE", "usb:ffff:fffe");
    start();
    EXPECT_EQ(form->Label1->text(), "No adapter found");
    listCard();
    EXPECT_EQ(dialogs.messages, QStringList{say_n_noadapter});
}
