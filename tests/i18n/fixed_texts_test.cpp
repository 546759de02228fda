#include "i18n/captions.h"
#include "i18n/texts.h"
#include "text_keys.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using i18n::Language;

// The texts users have always seen, character for character, blanks and
// misspellings included. They are written here a second time on purpose: an
// edit to the text list that changes one of them fails its named row.

namespace {

struct FixedText {
    Language language;
    const char* key;
    const char16_t* text;
};

void PrintTo(const FixedText& row, std::ostream* os)
{
    *os << languageName(row.language) << ' ' << row.key;
}

// clang-format off
constexpr FixedText cEnglish[] = {
    {Language::English, "say_saver_LOADING", u"LOADING"},
    {Language::English, "say_saver_backup", u"SAVER BACKUP"},
    {Language::English, "say_saver_upload", u"SAVER UPLOAD"},
    {Language::English, "say_saver_delete", u"SAVER DELETE"},
    {Language::English, "say_saver_reading", u"READING CAPABLITY"},
    {Language::English, "say_saver_writing", u"WRITING CAPABLITY"},
    {Language::English, "Say_wait", u"Please waiting.."},
    {Language::English, "say_DELETEcomplete", u"DELETE Complete"},
    {Language::English, "say_uploadcomplete", u"UPLOAD Complete"},
    {Language::English, "say_Backupcomplete", u"BACKUP Complete"},
    {Language::English, "say_Editcomplete", u"SAVER UPDATED"},
    {Language::English, "Say_ask_DeleteFile0", u"Do you want to Delete ?"},
    {Language::English, "Say_ask_OverWriteFile0", u"Do you want to Overwrite Saver "},
    {Language::English, "Say_ask_OverWriteFile1", u" Now ?"},
    {Language::English, "say_ask_sendmail", u"Please register an email account first"},
    {Language::English, "Say_ask_Exit", u"Do you want to Exit ?"},
    {Language::English, "Say_FREEBLOCK0", u"  ( "},
    {Language::English, "Say_FREEBLOCK1", u" )BLOCK FREE"},
    {Language::English, "Say_WARNING0", u"Please Choose GC Game! "},
    {Language::English, "Say_WARNING1", u"Please Choose Game File!"},
    {Language::English, "Say_WARNING2", u"please Choose a Game File!"},
    {Language::English, "Say_INFORM1", u"Please List Game Saver!"},
    {Language::English, "UpDateBtn", u"LIST GAME SAVER"},
    {Language::English, "ReadCardBtn", u"BACKUP CARD"},
    {Language::English, "WriteCardBtn", u"UPLOAD CARD"},
    {Language::English, "DeleteBtn", u"DELETE SAVER"},
    {Language::English, "DownLoadBtn", u"BACKUP SAVER"},
    {Language::English, "UpLoadBtn", u"UPLOAD SAVER"},
    {Language::English, "EditBtn", u"EDIT SAVER"},
    {Language::English, "EmailBtn", u"MAIL SAVER"},
    {Language::English, "ExitBtn", u"CLOSE"},
    {Language::English, "changebtn", u"VERSIONS CHANGE "},
};

constexpr FixedText cTraditional[] = {
    {Language::TraditionalChinese, "say_saver_LOADING", u"正在讀取"},
    {Language::TraditionalChinese, "say_saver_backup", u"備用儲存"},
    {Language::TraditionalChinese, "say_saver_upload", u"上載儲存"},
    {Language::TraditionalChinese, "say_saver_delete", u"刪除儲存"},
    {Language::TraditionalChinese, "say_saver_reading", u"正在讀取全張卡的容量"},
    {Language::TraditionalChinese, "say_saver_writing", u"正在寫入全張卡的容量"}, // ours
    {Language::TraditionalChinese, "Say_wait", u"請等候 ..."},
    {Language::TraditionalChinese, "say_DELETEcomplete", u"刪除完成"},
    {Language::TraditionalChinese, "say_uploadcomplete", u"上載完成"},
    {Language::TraditionalChinese, "say_Backupcomplete", u"備份完成"},
    {Language::TraditionalChinese, "say_Editcomplete", u"更新完成"},
    {Language::TraditionalChinese, "Say_ask_DeleteFile0", u"確定刪除? "},
    {Language::TraditionalChinese, "Say_ask_OverWriteFile0", u"是否確定取代這 "},
    {Language::TraditionalChinese, "Say_ask_OverWriteFile1", u" 檔案 ?"},
    {Language::TraditionalChinese, "say_ask_sendmail", u"請先建立郵件帳號"},
    {Language::TraditionalChinese, "Say_ask_Exit", u"確定離開 ?"},
    {Language::TraditionalChinese, "Say_FREEBLOCK0", u"  尚餘( "},
    {Language::TraditionalChinese, "Say_FREEBLOCK1", u" ) 單位"},
    {Language::TraditionalChinese, "Say_WARNING0", u"請選擇卡中遊戲"},
    {Language::TraditionalChinese, "Say_WARNING1", u"請選擇遊戲文件"},
    {Language::TraditionalChinese, "Say_WARNING2", u"請選擇單個遊戲文件"},
    {Language::TraditionalChinese, "Say_INFORM1", u"請更新目錄"},
    {Language::TraditionalChinese, "UpDateBtn", u"更新目錄"},
    {Language::TraditionalChinese, "ReadCardBtn", u"讀取全張容量"},
    {Language::TraditionalChinese, "WriteCardBtn", u"寫入全張容量"},
    {Language::TraditionalChinese, "DeleteBtn", u"刪除項目"},
    {Language::TraditionalChinese, "DownLoadBtn", u"備份項目"},
    {Language::TraditionalChinese, "UpLoadBtn", u"上載項目"},
    {Language::TraditionalChinese, "EditBtn", u"修改專案"},
    {Language::TraditionalChinese, "EmailBtn", u"發送郵件"},
    {Language::TraditionalChinese, "ExitBtn", u"關  閉"},
    {Language::TraditionalChinese, "changebtn", u"版本轉換"},
};

constexpr FixedText cSimplified[] = {
    {Language::SimplifiedChinese, "say_saver_LOADING", u"正在读取"},
    {Language::SimplifiedChinese, "say_saver_backup", u"备用储存"},
    {Language::SimplifiedChinese, "say_saver_upload", u"上载储存"},
    {Language::SimplifiedChinese, "say_saver_delete", u"删除储存"},
    {Language::SimplifiedChinese, "say_saver_reading", u"正在读取整张卡的容量"},
    {Language::SimplifiedChinese, "say_saver_writing", u"正在写入整张卡的容量"},
    {Language::SimplifiedChinese, "Say_wait", u"请等待..."},
    {Language::SimplifiedChinese, "say_DELETEcomplete", u"删除完成"},
    {Language::SimplifiedChinese, "say_uploadcomplete", u"上载完成"},
    {Language::SimplifiedChinese, "say_Backupcomplete", u"备用完成"},
    {Language::SimplifiedChinese, "say_Editcomplete", u"更新储存"},
    {Language::SimplifiedChinese, "Say_ask_DeleteFile0", u"确定删除?"},
    {Language::SimplifiedChinese, "Say_ask_OverWriteFile0", u"是否确定取代这 "},
    {Language::SimplifiedChinese, "Say_ask_OverWriteFile1", u" 档案 ?"},
    {Language::SimplifiedChinese, "say_ask_sendmail", u"请先建立邮件帐户！"},
    {Language::SimplifiedChinese, "Say_ask_Exit", u"确定真的离开 ?"},
    {Language::SimplifiedChinese, "Say_FREEBLOCK0", u"  尚余("},
    {Language::SimplifiedChinese, "Say_FREEBLOCK1", u")单位"},
    {Language::SimplifiedChinese, "Say_WARNING0", u"请选择卡中游戏"},
    {Language::SimplifiedChinese, "Say_WARNING1", u"请选择游戏文件"},
    {Language::SimplifiedChinese, "Say_WARNING2", u"请选择单个游戏文件"},
    {Language::SimplifiedChinese, "Say_INFORM1", u"请更新目录"},
    {Language::SimplifiedChinese, "UpDateBtn", u"更新目录"},
    {Language::SimplifiedChinese, "ReadCardBtn", u"读取整卡容量"},
    {Language::SimplifiedChinese, "WriteCardBtn", u"写入整卡容量"},
    {Language::SimplifiedChinese, "DeleteBtn", u"删除项目"},
    {Language::SimplifiedChinese, "DownLoadBtn", u"备份项目"},
    {Language::SimplifiedChinese, "UpLoadBtn", u"上载项目"},
    {Language::SimplifiedChinese, "EditBtn", u"修改项目"},
    {Language::SimplifiedChinese, "EmailBtn", u"发送邮件"},
    {Language::SimplifiedChinese, "ExitBtn", u"关  闭"},
    {Language::SimplifiedChinese, "changebtn", u"版本转换"},
};

constexpr FixedText cJapanese[] = {
    {Language::Japanese, "say_saver_LOADING", u"ロード"},
    {Language::Japanese, "say_saver_backup", u"バックアップ"},
    {Language::Japanese, "say_saver_upload", u"アップロード"},
    {Language::Japanese, "say_saver_delete", u"削除"},
    {Language::Japanese, "say_saver_reading", u"読み込み中"},
    {Language::Japanese, "say_saver_writing", u"書き込み中"},
    {Language::Japanese, "Say_wait", u"お待ち下さい。..."},
    {Language::Japanese, "say_DELETEcomplete", u"削除完了。"},
    {Language::Japanese, "say_uploadcomplete", u"データ追加完了"},
    {Language::Japanese, "say_Backupcomplete", u"データ保存完了"},
    {Language::Japanese, "say_Editcomplete", u"アップデートしました。"},
    {Language::Japanese, "Say_ask_DeleteFile0", u"削除しますか？?"},
    {Language::Japanese, "Say_ask_OverWriteFile0", u"上書きします。"},
    {Language::Japanese, "Say_ask_OverWriteFile1", u"よろしいですか。"},
    {Language::Japanese, "say_ask_sendmail", u"メール番号を建ててください!"},
    {Language::Japanese, "Say_ask_Exit", u"終了しますか?"},
    {Language::Japanese, "Say_FREEBLOCK0", u"残り"},
    {Language::Japanese, "Say_FREEBLOCK1", u"ブロック"},
    {Language::Japanese, "Say_WARNING0", u"カード にゲームを選択してください"},
    {Language::Japanese, "Say_WARNING1", u"ゲームファイルを選択してください"},
    {Language::Japanese, "Say_WARNING2", u"一つゲームのファイルを選択"},
    {Language::Japanese, "Say_INFORM1", u"新しい目録変換してください"},
    {Language::Japanese, "UpDateBtn", u"データリスト読み込み"},
    {Language::Japanese, "ReadCardBtn", u"一括読み込み"},
    {Language::Japanese, "WriteCardBtn", u"一括書き込み"},
    {Language::Japanese, "DeleteBtn", u"データ削除"},
    {Language::Japanese, "DownLoadBtn", u"データ保存"},
    {Language::Japanese, "UpLoadBtn", u"データ追加"},
    {Language::Japanese, "EditBtn", u"データ編集"},
    {Language::Japanese, "EmailBtn", u"メール"},
    {Language::Japanese, "ExitBtn", u"終了"},
    {Language::Japanese, "changebtn", u"換えるに"},
};
// clang-format on

class FixedTexts : public ::testing::TestWithParam<FixedText> {
protected:
    void TearDown() override { clearTextVariables(); }
};

// Read where the program reads them: the variable after filling, or the
// caption the window sets on the button.
TEST_P(FixedTexts, AreKeptExactly)
{
    const FixedText& row = GetParam();
    const TextKey* key = findTextKey(row.key);
    ASSERT_NE(key, nullptr) << "the list has no key " << row.key;
    if (key->variable) {
        i18n::fillTexts(row.language);
        EXPECT_EQ(*key->variable, QStringView(row.text));
    } else {
        EXPECT_EQ(i18n::captionFor(row.language, QString::fromLatin1(row.key)),
                  QStringView(row.text));
    }
}

std::string keyName(const ::testing::TestParamInfo<FixedText>& info) { return info.param.key; }

INSTANTIATE_TEST_SUITE_P(English, FixedTexts, ::testing::ValuesIn(cEnglish), keyName);
INSTANTIATE_TEST_SUITE_P(Traditional, FixedTexts, ::testing::ValuesIn(cTraditional), keyName);
INSTANTIATE_TEST_SUITE_P(Simplified, FixedTexts, ::testing::ValuesIn(cSimplified), keyName);
INSTANTIATE_TEST_SUITE_P(Japanese, FixedTexts, ::testing::ValuesIn(cJapanese), keyName);

} // namespace
