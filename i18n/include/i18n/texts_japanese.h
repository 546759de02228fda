#pragma once

// Japanese texts of the main window. The app shows them in a font with
// Japanese glyphs (skin/japanese_font.h); the free-block halves carry no
// blanks, so the status reads 残り59ブロック.

#include <QStringView>

// Messages, questions and status halves.
inline constexpr QStringView Jsay_saver_LOADING = u"ロード";
inline constexpr QStringView Jsay_saver_backup = u"バックアップ";
inline constexpr QStringView Jsay_saver_upload = u"アップロード";
inline constexpr QStringView Jsay_saver_delete = u"削除";
inline constexpr QStringView Jsay_saver_reading = u"読み込み中";
inline constexpr QStringView Jsay_saver_writing = u"書き込み中";
inline constexpr QStringView JSay_wait = u"お待ち下さい。...";
inline constexpr QStringView Jsay_DELETEcomplete = u"削除完了。";
inline constexpr QStringView Jsay_uploadcomplete = u"データ追加完了";
inline constexpr QStringView Jsay_Backupcomplete = u"データ保存完了";
inline constexpr QStringView Jsay_Editcomplete = u"アップデートしました。";
inline constexpr QStringView JSay_ask_DeleteFile0 = u"削除しますか？?";
inline constexpr QStringView JSay_ask_OverWriteFile0 = u"上書きします。";
inline constexpr QStringView JSay_ask_OverWriteFile1 = u"よろしいですか。";
inline constexpr QStringView Jsay_ask_sendmail = u"メール番号を建ててください!";
inline constexpr QStringView JSay_ask_Exit = u"終了しますか?";
inline constexpr QStringView JSay_FREEBLOCK0 = u"残り";
inline constexpr QStringView JSay_FREEBLOCK1 = u"ブロック";
inline constexpr QStringView JSay_WARNING0 = u"カード にゲームを選択してください";
inline constexpr QStringView JSay_WARNING1 = u"ゲームファイルを選択してください";
inline constexpr QStringView JSay_WARNING2 = u"一つゲームのファイルを選択";
inline constexpr QStringView JSay_INFORM1 = u"新しい目録変換してください";

// Failures, named with the save or file that failed.
inline constexpr QStringView Jsay_backupfailed = u"データ保存失敗: ";
inline constexpr QStringView Jsay_uploadfailed = u"データ追加失敗: ";
inline constexpr QStringView Jsay_deletefailed = u"データ削除失敗: ";
inline constexpr QStringView Jsay_nofreeblock = u"空きブロック不足: ";
inline constexpr QStringView Jsay_readcardfailed = u"一括読み込み失敗: ";
inline constexpr QStringView Jsay_writecardfailed =
    u"一括書き込み失敗。カードのデータが不完全な可能性があります: ";
inline constexpr QStringView Jsay_mailfailed = u"メール送信失敗: ";
inline constexpr QStringView Jsay_editfailed =
    u"アップデート失敗。カードには元のデータが残っています: ";
inline constexpr QStringView Jsay_editwrongsize =
    u"アップデート失敗。編集後のデータは 8 KB "
    u"のブロック単位の大きさのままにしてください。カードには元のデータが残っています: ";

// What the card holds after a failed write, the full-card question and
// its answer, and two saves that cannot be told apart.
inline constexpr QStringView Jsay_cardholdsnew = u"カードには新しいデータが書き込まれています";
inline constexpr QStringView Jsay_cardholdsold = u"カードには元のデータが残っています";
inline constexpr QStringView Jsay_cardholdsnone = u"カードにはこのデータがありません";
inline constexpr QStringView Jsay_cardholdsother =
    u"カードのデータは元のものでも新しいものでもありません";
inline constexpr QStringView Jsay_cardunreadable = u"カードを読み直せませんでした";
inline constexpr QStringView Jsay_cardholdsimage = u"カードにはイメージ全体が書き込まれています";
inline constexpr QStringView JSay_ask_DeleteFirst =
    u"カードの空きが足りないため、元のデータを残したまま %1 を書き込めません（必要 %2 "
    u"ブロック、空き %3 ブロック）。元のデータを保存フォルダに %4 "
    u"として残し、カードから削除してから新しいデータを書き込みますか？";
inline constexpr QStringView Jsay_oldkept = u"元のデータを保存フォルダに残しました: ";
inline constexpr QStringView Jsay_twinsavers =
    u"同じ名前とコードのデータがカードに二つあります。先に一つを削除してください: ";

// Captions of the main window's ten command buttons.
inline constexpr QStringView JUpDateBtn = u"データリスト読み込み";
inline constexpr QStringView JReadCardBtn = u"一括読み込み";
inline constexpr QStringView JWriteCardBtn = u"一括書き込み";
inline constexpr QStringView JDeleteBtn = u"データ削除";
inline constexpr QStringView JDownLoadBtn = u"データ保存";
inline constexpr QStringView JUpLoadBtn = u"データ追加";
inline constexpr QStringView JEditBtn = u"データ編集";
inline constexpr QStringView JEmailBtn = u"メール";
inline constexpr QStringView JExitBtn = u"終了";
inline constexpr QStringView Jchangebtn = u"換えるに";
