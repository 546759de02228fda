// Every interface text of the main window, written once with its four
// translations in this order: English, Traditional Chinese, Simplified Chinese,
// Japanese. The variables, the language tables and the button captions are all
// expanded from this list, so adding a text is one entry here.
//
// I18N_TEXT(key, ...) is a text the commands read through the variable `key`;
// I18N_CAPTION(button, ...) is the caption of the command button with that
// object name, and defaults to I18N_TEXT. Define them, include this file, and it
// undefines them again; it has no include guard because each use expands it.
//
// Every character counts: blanks at either end are part of the texts, and the
// English misspellings are the program's long-standing wording that users know.

#ifndef I18N_CAPTION
#define I18N_CAPTION I18N_TEXT
#endif

// clang-format off

// Messages, questions and the halves of the status texts.

// Busy text while the card list is read, or a save is fetched to edit or to mail.
I18N_TEXT(say_saver_LOADING,
          u"LOADING",
          u"正在讀取",
          u"正在读取",
          u"ロード")

// Busy text while card saves are copied to files.
I18N_TEXT(say_saver_backup,
          u"SAVER BACKUP",
          u"備用儲存",
          u"备用储存",
          u"バックアップ")

// Busy text while save files are copied to the card.
I18N_TEXT(say_saver_upload,
          u"SAVER UPLOAD",
          u"上載儲存",
          u"上载储存",
          u"アップロード")

// Busy text while card saves are deleted.
I18N_TEXT(say_saver_delete,
          u"SAVER DELETE",
          u"刪除儲存",
          u"删除储存",
          u"削除")

// Status text, shown alone, while the whole card is read into an image file.
I18N_TEXT(say_saver_reading,
          u"READING CAPABLITY",
          u"正在讀取全張卡的容量",
          u"正在读取整张卡的容量",
          u"読み込み中")

// Status text, shown alone, while an image file is written over the whole card.
// The Traditional Chinese one is ours: the reading text with 寫入 for 讀取.
I18N_TEXT(say_saver_writing,
          u"WRITING CAPABLITY",
          u"正在寫入全張卡的容量",
          u"正在写入整张卡的容量",
          u"書き込み中")

// Second half of every busy text, after the action and a comma.
I18N_TEXT(Say_wait,
          u"Please waiting..",
          u"請等候 ...",
          u"请等待...",
          u"お待ち下さい。...")

// Notice after card saves were deleted.
I18N_TEXT(say_DELETEcomplete,
          u"DELETE Complete",
          u"刪除完成",
          u"删除完成",
          u"削除完了。")

// Notice after save files were copied to the card.
I18N_TEXT(say_uploadcomplete,
          u"UPLOAD Complete",
          u"上載完成",
          u"上载完成",
          u"データ追加完了")

// Notice after card saves were copied to files.
I18N_TEXT(say_Backupcomplete,
          u"BACKUP Complete",
          u"備份完成",
          u"备用完成",
          u"データ保存完了")

// Notice after edited saves were written back to the card.
I18N_TEXT(say_Editcomplete,
          u"SAVER UPDATED",
          u"更新完成",
          u"更新储存",
          u"アップデートしました。")

// Question before card saves are deleted.
I18N_TEXT(Say_ask_DeleteFile0,
          u"Do you want to Delete ?",
          u"確定刪除? ",
          u"确定删除?",
          u"削除しますか？?")

// Overwrite question, the half before the file name or path.
I18N_TEXT(Say_ask_OverWriteFile0,
          u"Do you want to Overwrite Saver ",
          u"是否確定取代這 ",
          u"是否确定取代这 ",
          u"上書きします。")

// Overwrite question, the half after the file name or path.
I18N_TEXT(Say_ask_OverWriteFile1,
          u" Now ?",
          u" 檔案 ?",
          u" 档案 ?",
          u"よろしいですか。")

// Notice when no mail account is set up.
I18N_TEXT(say_ask_sendmail,
          u"Please register an email account first",
          u"請先建立郵件帳號",
          u"请先建立邮件帐户！",
          u"メール番号を建ててください!")

// Notice when no mail program could take a save; the path of the copy follows.
I18N_TEXT(say_no_mail_program,
          u"No mail program was found. The save was put in:\n",
          u"找不到郵件程式。存檔已放在：\n",
          u"找不到邮件程序。存档已放在：\n",
          u"メールプログラムが見つかりません。セーブの保存先:\n")

// The print preview's buttons.
I18N_TEXT(say_preview_print,
          u"Print",
          u"列印",
          u"打印",
          u"印刷")
I18N_TEXT(say_preview_previous,
          u"< Previous",
          u"< 上一頁",
          u"< 上一页",
          u"< 前へ")
I18N_TEXT(say_preview_next,
          u"Next >",
          u"下一頁 >",
          u"下一页 >",
          u"次へ >")
I18N_TEXT(say_preview_zoom_out,
          u"Zoom out",
          u"縮小",
          u"缩小",
          u"縮小")
I18N_TEXT(say_preview_zoom_in,
          u"Zoom in",
          u"放大",
          u"放大",
          u"拡大")
I18N_TEXT(say_preview_close,
          u"Close",
          u"關閉",
          u"关闭",
          u"閉じる")

// Question of the close button.
I18N_TEXT(Say_ask_Exit,
          u"Do you want to Exit ?",
          u"確定離開 ?",
          u"确定真的离开 ?",
          u"終了しますか?")

// Free-block status, the half before the number. The Japanese halves carry no
// blanks, so the status reads 残り59ブロック.
I18N_TEXT(Say_FREEBLOCK0,
          u"  ( ",
          u"  尚餘( ",
          u"  尚余(",
          u"残り")

// Free-block status, the half after the number.
I18N_TEXT(Say_FREEBLOCK1,
          u" )BLOCK FREE",
          u" ) 單位",
          u")单位",
          u"ブロック")

// Notice when a command needs a selected card save and none is selected.
I18N_TEXT(Say_WARNING0,
          u"Please Choose GC Game! ",
          u"請選擇卡中遊戲",
          u"请选择卡中游戏",
          u"カード にゲームを選択してください")

// Notice when copying to the card and no save file is selected.
I18N_TEXT(Say_WARNING1,
          u"Please Choose Game File!",
          u"請選擇遊戲文件",
          u"请选择游戏文件",
          u"ゲームファイルを選択してください")

// Notice of the region change when not exactly one save file is selected.
I18N_TEXT(Say_WARNING2,
          u"please Choose a Game File!",
          u"請選擇單個遊戲文件",
          u"请选择单个游戏文件",
          u"一つゲームのファイルを選択")

// Notice when a list is double-clicked or dropped on before the card was listed.
I18N_TEXT(Say_INFORM1,
          u"Please List Game Saver!",
          u"請更新目錄",
          u"请更新目录",
          u"新しい目録変換してください")

// Failure notices: the text, then the names of the saves or files that failed.

// Card saves that could not be copied to files.
I18N_TEXT(say_backupfailed,
          u"BACKUP Failed: ",
          u"備份失敗: ",
          u"备份失败: ",
          u"データ保存失敗: ")

// Save files that could not be copied to the card.
I18N_TEXT(say_uploadfailed,
          u"UPLOAD Failed: ",
          u"上載失敗: ",
          u"上载失败: ",
          u"データ追加失敗: ")

// Card saves that could not be deleted, and old saves an edit could not remove.
I18N_TEXT(say_deletefailed,
          u"DELETE Failed: ",
          u"刪除失敗: ",
          u"删除失败: ",
          u"データ削除失敗: ")

// Save files that did not fit in the card's free blocks.
I18N_TEXT(say_nofreeblock,
          u"Not Enough Free BLOCK: ",
          u"剩餘單位不足: ",
          u"剩余单位不足: ",
          u"空きブロック不足: ")

// The whole card could not be read into an image file.
I18N_TEXT(say_readcardfailed,
          u"BACKUP CARD Failed: ",
          u"讀取全張容量失敗: ",
          u"读取整卡容量失败: ",
          u"一括読み込み失敗: ")

// Writing an image file over the whole card stopped part way.
I18N_TEXT(say_writecardfailed,
          u"UPLOAD CARD Failed, the card may be incomplete: ",
          u"寫入全張容量失敗, 卡中資料可能不完整: ",
          u"写入整卡容量失败, 卡中数据可能不完整: ",
          u"一括書き込み失敗。カードのデータが不完全な可能性があります: ")

// A save could not be fetched or handed to the mail program.
I18N_TEXT(say_mailfailed,
          u"MAIL Failed: ",
          u"發送郵件失敗: ",
          u"发送邮件失败: ",
          u"メール送信失敗: ")

// An edited save could not be written back; the card keeps the old one.
I18N_TEXT(say_editfailed,
          u"UPDATE Failed, the card keeps the old saver: ",
          u"更新失敗, 卡中保留原有資料: ",
          u"更新失败, 卡中保留原有数据: ",
          u"アップデート失敗。カードには元のデータが残っています: ")

// An edited save is no longer whole blocks long, so the card keeps the old one.
I18N_TEXT(say_editwrongsize,
          u"UPDATE Failed, the edited saver must stay whole 8 KB blocks long, the "
          u"card keeps the old saver: ",
          u"更新失敗, 編輯後的資料必須保持完整的 8 KB 區塊大小, 卡中保留原有資料: ",
          u"更新失败, 编辑后的数据必须保持完整的 8 KB 区块大小, 卡中保留原有数据: ",
          u"アップデート失敗。編集後のデータは 8 KB のブロック単位の大きさのままにしてください。"
          u"カードには元のデータが残っています: ")

// After a failed write the card is read again; what it holds for the save is
// shown in brackets after the save's name.
I18N_TEXT(say_cardholdsnew,
          u"the card holds the new saver all the same",
          u"卡中已是新的資料",
          u"卡中已是新的数据",
          u"カードには新しいデータが書き込まれています")

I18N_TEXT(say_cardholdsold,
          u"the card still holds the old saver",
          u"卡中仍保留原有資料",
          u"卡中仍保留原有数据",
          u"カードには元のデータが残っています")

I18N_TEXT(say_cardholdsnone,
          u"the card holds no such saver now",
          u"卡中已沒有該資料",
          u"卡中已没有该数据",
          u"カードにはこのデータがありません")

I18N_TEXT(say_cardholdsother,
          u"the card holds neither the old nor the new saver",
          u"卡中的資料既非原有資料也非新資料",
          u"卡中的数据既非原有数据也非新数据",
          u"カードのデータは元のものでも新しいものでもありません")

I18N_TEXT(say_cardunreadable,
          u"the card could not be read again",
          u"無法重新讀取卡",
          u"无法重新读取卡",
          u"カードを読み直せませんでした")

// After a failed restore whose image the card holds after all.
I18N_TEXT(say_cardholdsimage,
          u"the card holds the whole image all the same",
          u"卡中已寫入完整的映像",
          u"卡中已写入完整的映像",
          u"カードにはイメージ全体が書き込まれています")

// A replacement with no room beside the old save: the question (through
// deleteFirstQuestion: save, blocks needed, blocks free, file kept as), then
// the notice of where the old save was kept.
I18N_TEXT(Say_ask_DeleteFirst,
          u"No room on the card for %1 beside the old saver (%2 BLOCK needed, %3 free). Keep the "
          u"old saver in the save folder as %4, delete it from the card and then write the new one?",
          u"卡中剩餘單位不足, 無法在保留原有資料的同時寫入 %1 (需要 %2 單位, 剩餘 %3 "
          u"單位)。是否將原有資料儲存到存檔資料夾中的 %4, 從卡中刪除後再寫入新資料?",
          u"卡中剩余单位不足, 无法在保留原有数据的同时写入 %1 (需要 %2 单位, 剩余 %3 "
          u"单位)。是否将原有数据保存到存档文件夹中的 %4, 从卡中删除后再写入新数据?",
          u"カードの空きが足りないため、元のデータを残したまま %1 を書き込めません（必要 %2 "
          u"ブロック、空き %3 ブロック）。元のデータを保存フォルダに %4 "
          u"として残し、カードから削除してから新しいデータを書き込みますか？")

I18N_TEXT(say_oldkept,
          u"The old saver was kept in the save folder: ",
          u"原有資料已儲存在存檔資料夾中: ",
          u"原有数据已保存在存档文件夹中: ",
          u"元のデータを保存フォルダに残しました: ")

// An upload refused because two card saves share its name and code.
I18N_TEXT(say_twinsavers,
          u"Two savers on the card have this name and code, delete one first: ",
          u"卡中有兩個名稱和代碼相同的資料, 請先刪除其中一個: ",
          u"卡中有两个名称和代码相同的数据, 请先删除其中一个: ",
          u"同じ名前とコードのデータがカードに二つあります。先に一つを削除してください: ")

// Started on a card image that does not exist (through createCardQuestion:
// the path); No quits without making one.
I18N_TEXT(Say_ask_CreateCard,
          u"The card image %1 does not exist. Make a blank 16 Mbit card there?",
          u"記憶卡映像檔 %1 不存在。是否在此處建立一張空白的 16 Mbit 記憶卡?",
          u"存储卡映像文件 %1 不存在。是否在此处创建一张空白的 16 Mbit 存储卡?",
          u"カードイメージ %1 がありません。ここに空の 16 Mbit カードを作りますか？")

// A whole-card image read from another card: the question before it is
// written (%1: the image), and its three answers.
I18N_TEXT(Say_ask_OtherCard,
          u"%1 was read from another card. Written as it is, it gives this card that card's "
          u"identity, and savers that some games (F-Zero GX, Phantasy Star Online) bind to a "
          u"card stop working on it. Keep this card's identity (such savers are re-signed for "
          u"it), or overwrite it with the image's?",
          u"%1 是從另一張記憶卡讀取的。直接寫入會使這張卡變成那張卡的身分, "
          u"部分遊戲 (F-Zero GX, Phantasy Star Online) 綁定在卡上的資料將無法在這張卡上使用。"
          u"要保留這張卡的身分 (這類資料會改為這張卡的簽名), 還是以映像的身分覆寫?",
          u"%1 是从另一张存储卡读取的。直接写入会使这张卡变成那张卡的身份, "
          u"部分游戏 (F-Zero GX, Phantasy Star Online) 绑定在卡上的数据将无法在这张卡上使用。"
          u"要保留这张卡的身份 (这类数据会改为这张卡的签名), 还是以映像的身份覆盖?",
          u"%1 は別のカードから読み込まれたものです。そのまま書き込むと、このカードは"
          u"そのカードの識別情報になり、一部のゲーム (F-Zero GX、Phantasy Star Online) "
          u"がカードに結び付けたデータはこのカードで使えなくなります。このカードの識別情報を"
          u"残しますか (そのようなデータはこのカード用に署名し直します)、"
          u"それともイメージのもので上書きしますか？")

I18N_TEXT(say_keepidentity,
          u"Keep this card's identity",
          u"保留這張卡的身分",
          u"保留这张卡的身份",
          u"このカードの識別情報を残す")

I18N_TEXT(say_overwriteidentity,
          u"Overwrite it",
          u"覆寫身分",
          u"覆盖身份",
          u"上書きする")

I18N_TEXT(say_cancel,
          u"Cancel",
          u"取消",
          u"取消",
          u"キャンセル")

// Before a whole-card restore the card is read into a file in the save folder;
// after it, the user is told which file.
I18N_TEXT(say_cardkept,
          u"The card as it was before is kept in: ",
          u"卡的原有內容已儲存在: ",
          u"卡的原有内容已保存在: ",
          u"書き込み前のカードの内容を保存しました: ")

// The card could not be read into that file, so nothing was written.
I18N_TEXT(say_cardnotkept,
          u"UPLOAD CARD stopped, the card could not be kept in a file first, nothing was "
          u"written: ",
          u"寫入全張容量已停止, 無法先將卡的內容儲存到檔案, 未寫入任何資料: ",
          u"写入整卡容量已停止, 无法先将卡的内容保存到文件, 未写入任何数据: ",
          u"一括書き込みを中止しました。先にカードの内容をファイルに保存できなかったため、"
          u"何も書き込んでいません: ")

// Why the library says a call failed, shown in brackets after what failed;
// one per failure reason of the library.
I18N_TEXT(say_why_nodevice,
          u"no adapter is set up",
          u"未設定轉接器",
          u"未设置适配器",
          u"アダプターが設定されていません")

I18N_TEXT(say_why_baddevice,
          u"the adapter's device name is not understood",
          u"無法識別轉接器的裝置名稱",
          u"无法识别适配器的设备名称",
          u"アダプターのデバイス名が正しくありません")

I18N_TEXT(say_why_notfound,
          u"the adapter or card image was not found",
          u"找不到轉接器或記憶卡映像",
          u"找不到适配器或存储卡映像",
          u"アダプターまたはカードイメージが見つかりません")

I18N_TEXT(say_why_access,
          u"no permission to open the adapter or card image",
          u"沒有開啟轉接器或記憶卡映像的權限",
          u"没有打开适配器或存储卡映像的权限",
          u"アダプターまたはカードイメージを開く権限がありません")

I18N_TEXT(say_why_imagesize,
          u"the card image is not the size of any card",
          u"記憶卡映像的大小不符合任何記憶卡",
          u"存储卡映像的大小不符合任何存储卡",
          u"カードイメージの大きさがどのカードとも合いません")

I18N_TEXT(say_why_io,
          u"the adapter did not answer",
          u"轉接器沒有回應",
          u"适配器没有响应",
          u"アダプターが応答しません")

I18N_TEXT(say_why_nomemory,
          u"out of memory",
          u"記憶體不足",
          u"内存不足",
          u"メモリが足りません")

I18N_TEXT(say_why_notsupported,
          u"USB adapters are not supported by this build",
          u"此版本不支援 USB 轉接器",
          u"此版本不支持 USB 适配器",
          u"このビルドは USB アダプターに対応していません")

I18N_TEXT(say_why_notacard,
          u"not a formatted memory card",
          u"不是已格式化的記憶卡",
          u"不是已格式化的存储卡",
          u"フォーマットされたメモリーカードではありません")

I18N_TEXT(say_why_damaged,
          u"the card's directory or block map is damaged, the card needs repair",
          u"卡的目錄或區塊表已損壞, 需要修復",
          u"卡的目录或区块表已损坏, 需要修复",
          u"カードのディレクトリまたはブロック表が壊れています。修復が必要です")

I18N_TEXT(say_why_brokenchain,
          u"the saver's chain of blocks is broken",
          u"資料的區塊鏈結已損壞",
          u"数据的区块链接已损坏",
          u"データのブロックのつながりが壊れています")

I18N_TEXT(say_why_noroom,
          u"not enough free blocks on the card",
          u"卡中剩餘單位不足",
          u"卡中剩余单位不足",
          u"カードの空きブロックが足りません")

I18N_TEXT(say_why_noslot,
          u"the card's directory is full",
          u"卡的目錄已滿",
          u"卡的目录已满",
          u"カードのディレクトリがいっぱいです")

I18N_TEXT(say_why_readback,
          u"the card does not hold what was written",
          u"卡中的資料與寫入的不符",
          u"卡中的数据与写入的不符",
          u"カードの内容が書き込んだものと違います")

I18N_TEXT(say_why_ambiguous,
          u"two savers on the card have this name and code",
          u"卡中有兩個名稱和代碼相同的資料",
          u"卡中有两个名称和代码相同的数据",
          u"同じ名前とコードのデータがカードに二つあります")

I18N_TEXT(say_why_nosave,
          u"no such saver on the card",
          u"卡中沒有該資料",
          u"卡中没有该数据",
          u"カードにそのデータはありません")

I18N_TEXT(say_why_notasave,
          u"the file is not a saver file",
          u"該檔案不是存檔",
          u"该文件不是存档",
          u"このファイルはセーブデータではありません")

I18N_TEXT(say_why_file,
          u"a file could not be read or written",
          u"無法讀取或寫入檔案",
          u"无法读取或写入文件",
          u"ファイルを読み書きできませんでした")

I18N_TEXT(say_why_notloaded,
          u"the card's directory has not been read",
          u"尚未讀取卡的目錄",
          u"尚未读取卡的目录",
          u"カードのディレクトリがまだ読み込まれていません")

I18N_TEXT(say_why_badargument,
          u"invalid argument",
          u"參數無效",
          u"参数无效",
          u"引数が無効です")

I18N_TEXT(say_why_othercard,
          u"the image was read from another card",
          u"該映像來自另一張記憶卡",
          u"该映像来自另一张存储卡",
          u"このイメージは別のカードから読み込まれたものです")

I18N_TEXT(say_why_failed,
          u"the operation failed",
          u"操作失敗",
          u"操作失败",
          u"処理に失敗しました")

I18N_TEXT(say_why_imagelength,
          u"the image is not as large as the card",
          u"映像的大小與記憶卡不符",
          u"映像的大小与存储卡不符",
          u"イメージの大きさがカードと合いません")

I18N_TEXT(say_why_notopen,
          u"no adapter is open",
          u"轉接器未開啟",
          u"适配器未打开",
          u"アダプターが開かれていません")
// The status line and notices that say what stands between the user and the
// card: no adapter set, an adapter that does not answer, no card in it, a card
// image that may only be read. The status line is narrow; the notices say how.
I18N_TEXT(say_st_noadapter,
          u"No adapter found",
          u"未找到轉接器",
          u"未找到适配器",
          u"アダプターなし")

I18N_TEXT(say_n_noadapter,
          u"No adapter was found. Plug one in, or start the program with --card IMAGE or --device DEVICE, or set MCBRIDGE_DEVICE.",
          u"找不到轉接器。請接上轉接器，或以 --card 映像檔 或 --device 裝置 啟動程式，或設定 MCBRIDGE_DEVICE。",
          u"找不到适配器。请接上适配器，或以 --card 映像文件 或 --device 设备 启动程序，或设置 MCBRIDGE_DEVICE。",
          u"アダプターが見つかりません。接続するか、--card イメージ または --device デバイス を付けて起動するか、MCBRIDGE_DEVICE を設定してください。")

I18N_TEXT(say_st_noanswer,
          u"Adapter not answering",
          u"轉接器沒有回應",
          u"适配器没有响应",
          u"アダプター応答なし")

I18N_TEXT(say_n_noanswer,
          u"The adapter could not be opened: ",
          u"無法開啟轉接器：",
          u"无法打开适配器：",
          u"アダプターを開けません：")

I18N_TEXT(say_st_notacard,
          u"No card read",
          u"未能讀取記憶卡",
          u"未能读取存储卡",
          u"カード読み取り不可")

I18N_TEXT(say_n_notacard,
          u"This is not a card image, or the card is not formatted: ",
          u"這不是記憶卡映像檔，或記憶卡未格式化：",
          u"这不是存储卡映像文件，或存储卡未格式化：",
          u"カードイメージではないか、カードがフォーマットされていません：")

// Before the first listing: the card answered, its saves are not read yet.
I18N_TEXT(say_st_notlisted,
          u"Card found, not listed",
          u"已找到記憶卡，尚未列出",
          u"已找到存储卡，尚未列出",
          u"カードあり・未読込")

// After the free blocks when the card image may only be read.
I18N_TEXT(say_st_readonly,
          u" READ-ONLY",
          u" 唯讀",
          u" 只读",
          u" 読取専用")

// Why the commands that write are off (tooltip of those buttons).
I18N_TEXT(say_n_readonly,
          u"The card image is read-only: nothing can be written to it.",
          u"記憶卡映像檔為唯讀：無法寫入。",
          u"存储卡映像文件为只读：无法写入。",
          u"カードイメージは読み取り専用です。書き込みはできません。")


I18N_TEXT(say_why_imageheader,
          u"the card image begins with another tool's header; only plain images (.gcp, .raw) are read",
          u"記憶卡映像前面有其他工具的標頭；只能讀取純映像 (.gcp, .raw)",
          u"存储卡映像前面有其他工具的文件头；只能读取纯映像 (.gcp, .raw)",
          u"カードイメージの前に他のツールのヘッダーがあります。読めるのはヘッダーのないイメージ (.gcp, .raw) だけです")

// Another program holds the card's write lock (its name and process follow
// when they can be told).
I18N_TEXT(say_why_busy,
          u"the card is in use by another program",
          u"記憶卡正由另一個程式使用",
          u"存储卡正由另一个程序使用",
          u"カードは他のプログラムが使用中です")

// The card was swapped or its image replaced while a save was written: the
// list is read again.
I18N_TEXT(say_why_changed,
          u"the card was changed or swapped during the write; it is listed again",
          u"寫入時記憶卡被更換或調換；已重新列出",
          u"写入时存储卡被更换或调换；已重新列出",
          u"書き込み中にカードが変わったか差し替えられました。もう一度読み込みました")

I18N_TEXT(say_why_readonly,
          u"the card may only be read",
          u"記憶卡只能讀取",
          u"存储卡只能读取",
          u"カードは読み取り専用です")

I18N_TEXT(say_why_exists,
          u"the card holds a save of that name already",
          u"記憶卡已有同名的存檔",
          u"存储卡已有同名的存档",
          u"同じ名前のセーブがすでにカードにあります")

// Asked before a file the user protected against writing is replaced.
I18N_TEXT(say_ask_protected,
          u"%1 is protected against writing. Replace it all the same?",
          u"%1 已設為防寫。仍要取代嗎？",
          u"%1 已设为写保护。仍要替换吗？",
          u"%1 は書き込み禁止になっています。それでも置き換えますか？")

// Asked before the file a symbolic link points to is written through it.
I18N_TEXT(say_ask_symlink,
          u"%1 is a link to %2. Write the file it points to?",
          u"%1 是指向 %2 的連結。要寫入它指向的檔案嗎？",
          u"%1 是指向 %2 的链接。要写入它指向的文件吗？",
          u"%1 は %2 へのリンクです。リンク先のファイルに書き込みますか？")

// The backup and restore dialogs' second filter: the same bytes as a .gcp.
I18N_TEXT(say_rawimagefilter,
          u"Raw card image (*.raw *.RAW)",
          u"原始記憶卡映像 (*.raw *.RAW)",
          u"原始存储卡映像 (*.raw *.RAW)",
          u"RAW カードイメージ (*.raw *.RAW)")

// The PC list's context menu: a second card in place of the save folder.
I18N_TEXT(say_menu_showcard,
          u"Show a card here…",
          u"在此顯示記憶卡…",
          u"在此显示存储卡…",
          u"ここにカードを表示…")

I18N_TEXT(say_menu_showadapter,
          u"Show an adapter's card here…",
          u"在此顯示轉接器中的記憶卡…",
          u"在此显示适配器中的存储卡…",
          u"ここにアダプターのカードを表示…")

I18N_TEXT(say_menu_showfolder,
          u"Show the save folder",
          u"顯示存檔資料夾",
          u"显示存档文件夹",
          u"セーブフォルダーを表示")

// The file dialog that picks the card shown on the PC side.
I18N_TEXT(say_cardimagefilter,
          u"Card image (*.gcp *.raw *.GCP *.RAW)",
          u"記憶卡映像 (*.gcp *.raw *.GCP *.RAW)",
          u"存储卡映像 (*.gcp *.raw *.GCP *.RAW)",
          u"カードイメージ (*.gcp *.raw *.GCP *.RAW)")

// The prompt for an adapter's device string (usb:VVVV:PPPP, /dev/...,
// image:PATH, folder:PATH).
I18N_TEXT(say_adapterprompt,
          u"Device (usb:VVVV:PPPP, /dev/..., image:PATH or folder:PATH):",
          u"裝置 (usb:VVVV:PPPP、/dev/...、image:PATH 或 folder:PATH):",
          u"设备 (usb:VVVV:PPPP、/dev/...、image:PATH 或 folder:PATH):",
          u"デバイス (usb:VVVV:PPPP、/dev/...、image:PATH または folder:PATH):")

// Why the chosen card cannot be shown, then the reason.
I18N_TEXT(say_secondcardfailed,
          u"This card cannot be shown: ",
          u"無法顯示此記憶卡: ",
          u"无法显示此存储卡: ",
          u"このカードは表示できません: ")

I18N_TEXT(say_secondcardsame,
          u"That is the card on the left; choose another card.",
          u"那就是左邊的記憶卡，請選擇另一張。",
          u"那就是左边的存储卡，请选择另一张。",
          u"それは左側のカードです。別のカードを選んでください。")

// A card-to-card copy: what failed, then the saves named; or done.
I18N_TEXT(say_cardcopyfailed,
          u"Not copied to the other card: ",
          u"未複製到另一張記憶卡: ",
          u"未复制到另一张存储卡: ",
          u"もう一方のカードにコピーできませんでした: ")

I18N_TEXT(say_cardcopycomplete,
          u"Copied to the other card",
          u"已複製到另一張記憶卡",
          u"已复制到另一张存储卡",
          u"もう一方のカードにコピーしました")

// Busy text while saves go from one card to the other.
I18N_TEXT(say_saver_cardcopy,
          u"COPYING CARD TO CARD",
          u"正在複製記憶卡間的存檔",
          u"正在复制存储卡间的存档",
          u"カード間コピー")
// The card list's context menu: check the card, repair it, bring back deleted saves; each window's buttons.

I18N_TEXT(say_menu_check,
          u"Check card…",
          u"檢查記憶卡…",
          u"检查记忆卡…",
          u"カードをチェック…")

I18N_TEXT(say_menu_repair,
          u"Repair card…",
          u"修復記憶卡…",
          u"修复记忆卡…",
          u"カードを修復…")

I18N_TEXT(say_menu_recover,
          u"Recover deleted saves…",
          u"還原已刪除的資料…",
          u"还原已删除的数据…",
          u"削除したデータを復元…")

I18N_TEXT(say_copy,
          u"Copy",
          u"複製",
          u"复制",
          u"コピー")

I18N_TEXT(say_close,
          u"Close",
          u"關閉",
          u"关闭",
          u"閉じる")

// Copying every save at once (the lists' context menus), its report, and the
// save dialog's filters for the two save containers besides the plain form.

I18N_TEXT(say_menu_copyall_pc,
          u"Copy all to PC…",
          u"全部複製到電腦…",
          u"全部复制到电脑…",
          u"すべてPCへコピー…")

I18N_TEXT(say_menu_copyall_card,
          u"Copy all to card…",
          u"全部複製到記憶卡…",
          u"全部复制到记忆卡…",
          u"すべてカードへコピー…")

I18N_TEXT(say_batch_count,
          u"%1 of %2 saves copied.",
          u"已複製 %1 / %2 個資料。",
          u"已复制 %1 / %2 个数据。",
          u"%2 件中 %1 件のデータをコピーしました。")

I18N_TEXT(say_batch_failed,
          u"Not copied:",
          u"未能複製：",
          u"未能复制：",
          u"コピーできなかったデータ：")

I18N_TEXT(say_batch_samename,
          u"the card already holds a save of this name; copy it alone to replace it",
          u"記憶卡上已有同名資料；請單獨複製以取代它",
          u"记忆卡上已有同名数据；请单独复制以替换它",
          u"カードに同じ名前のデータがあります。置き換えるには単独でコピーしてください")

I18N_TEXT(say_batch_noroom,
          u"needs %1 blocks, %2 are free",
          u"需要 %1 個區塊，只有 %2 個可用",
          u"需要 %1 个区块，只有 %2 个可用",
          u"%1 ブロック必要ですが、空きは %2 ブロックです")

I18N_TEXT(say_filter_gcs,
          u"GCS save container",
          u"GCS 資料格式",
          u"GCS 数据格式",
          u"GCS 形式のデータ")

I18N_TEXT(say_filter_sav,
          u"SAV save container",
          u"SAV 資料格式",
          u"SAV 数据格式",
          u"SAV 形式のデータ")

// The card check's report, a line per finding: %1, %2, ... are filled in by the program.

I18N_TEXT(say_s_directory,
          u"directory",
          u"目錄",
          u"目录",
          u"ディレクトリ")

I18N_TEXT(say_s_map,
          u"allocation map",
          u"區塊配置表",
          u"区块配置表",
          u"ブロック割り当て表")

I18N_TEXT(say_f_inuse,
          u"The %1 in use is copy %2 (update counter %3).",
          u"使用中的%1是第 %2 份 (更新計數 %3)。",
          u"使用中的%1是第 %2 份 (更新计数 %3)。",
          u"使用中の%1はコピー %2 です（更新カウンタ %3）。")

I18N_TEXT(say_f_damaged,
          u"Copy %1 of the %2 is damaged.",
          u"%2的第 %1 份已損壞。",
          u"%2的第 %1 份已损坏。",
          u"%2のコピー %1 が壊れています。")

I18N_TEXT(say_f_header,
          u"The card's header is damaged.",
          u"記憶卡的標頭已損壞。",
          u"记忆卡的标头已损坏。",
          u"カードのヘッダーが壊れています。")

I18N_TEXT(say_f_headersize,
          u"The header says the card holds %1 Mbit; it holds %2.",
          u"標頭記載容量為 %1 Mbit, 實際為 %2。",
          u"标头记载容量为 %1 Mbit, 实际为 %2。",
          u"ヘッダーの容量は %1 Mbit ですが、実際は %2 です。")

I18N_TEXT(say_f_save,
          u"Save in slot %1 (%2): %3 blocks, chain %4.",
          u"位置 %1 的資料 (%2): %3 單位, 鏈 %4。",
          u"位置 %1 的数据 (%2): %3 单位, 链 %4。",
          u"スロット %1 のデータ（%2）: %3 ブロック、チェーン %4。")

I18N_TEXT(say_f_broken,
          u"The save in slot %1 (%2) has a broken chain of blocks.",
          u"位置 %1 的資料 (%2) 區塊鏈已斷裂。",
          u"位置 %1 的数据 (%2) 区块链已断裂。",
          u"スロット %1 のデータ（%2）のブロックのチェーンが壊れています。")

I18N_TEXT(say_f_count,
          u"The save in slot %1 (%2) claims %3 blocks; its chain holds %4.",
          u"位置 %1 的資料 (%2) 記載 %3 單位, 但其鏈有 %4 單位。",
          u"位置 %1 的数据 (%2) 记载 %3 单位, 但其链有 %4 单位。",
          u"スロット %1 のデータ（%2）は %3 ブロックとされていますが、チェーンは %4 ブロックです。")

I18N_TEXT(say_f_shared,
          u"The saves in slots %1 (%2) and %3 claim the same %4 blocks.",
          u"位置 %1 (%2) 與位置 %3 的資料佔用相同的 %4 個單位。",
          u"位置 %1 (%2) 与位置 %3 的数据占用相同的 %4 个单位。",
          u"スロット %1（%2）とスロット %3 のデータが同じ %4 ブロックを使っています。")

I18N_TEXT(say_f_leaked,
          u"%1 blocks are marked used but belong to no save: %2.",
          u"%1 個單位標記為已用, 但不屬於任何資料: %2。",
          u"%1 个单位标记为已用, 但不属于任何数据: %2。",
          u"%1 ブロックが使用中とされていますが、どのデータのものでもありません: %2。")

I18N_TEXT(say_f_freecount,
          u"Copy %1 of the allocation map says %2 blocks are free; %3 are.",
          u"區塊配置表第 %1 份記載剩餘 %2 單位, 實際為 %3。",
          u"区块配置表第 %1 份记载剩余 %2 单位, 实际为 %3。",
          u"ブロック割り当て表のコピー %1 では空きは %2 ブロックですが、実際は %3 です。")

I18N_TEXT(say_f_twins,
          u"The saves in slots %1 and %2 have the same name and game code (%3).",
          u"位置 %1 與位置 %2 的資料名稱和代碼相同 (%3)。",
          u"位置 %1 与位置 %2 的数据名称和代码相同 (%3)。",
          u"スロット %1 と %2 のデータは名前とコードが同じです（%3）。")

I18N_TEXT(say_p_fault,
          u"FAULT: ",
          u"錯誤: ",
          u"错误: ",
          u"エラー: ")

I18N_TEXT(say_p_warning,
          u"Warning: ",
          u"警告: ",
          u"警告: ",
          u"警告: ")

I18N_TEXT(say_v_sound,
          u"The card is sound.",
          u"記憶卡正常。",
          u"记忆卡正常。",
          u"カードは正常です。")

I18N_TEXT(say_v_warnings,
          u"The card is sound, with %1 warnings.",
          u"記憶卡正常, 但有 %1 個警告。",
          u"记忆卡正常, 但有 %1 个警告。",
          u"カードは正常ですが、警告が %1 件あります。")

I18N_TEXT(say_v_unsound,
          u"The card is NOT sound: a console would not read it as it is (%1 faults).",
          u"記憶卡不正常: 主機無法照原樣讀取 (%1 個錯誤)。",
          u"记忆卡不正常: 主机无法照原样读取 (%1 个错误)。",
          u"カードは正常ではありません。このままでは本体で読めません（エラー %1 件）。")

I18N_TEXT(say_check_failed,
          u"The card could not be read.",
          u"無法讀取記憶卡。",
          u"无法读取记忆卡。",
          u"カードを読み込めませんでした。")

// Repair: what it would do, the question before it writes, and what it did.

I18N_TEXT(say_r_rebuild,
          u"Rebuild copy %1 of the %2 from the intact copy.",
          u"以完好的一份重建%2的第 %1 份。",
          u"以完好的一份重建%2的第 %1 份。",
          u"%2のコピー %1 を正常なコピーから作り直す。")

I18N_TEXT(say_r_free,
          u"Free %1 leaked blocks: %2.",
          u"釋放 %1 個無主單位: %2。",
          u"释放 %1 个无主单位: %2。",
          u"どのデータのものでもない %1 ブロックを空ける: %2。")

I18N_TEXT(say_r_freecount,
          u"Correct the free count from %1 to %2.",
          u"將剩餘單位數從 %1 更正為 %2。",
          u"将剩余单位数从 %1 更正为 %2。",
          u"空きブロック数を %1 から %2 に直す。")

I18N_TEXT(say_r_left,
          u"Leave the save in slot %1 (%2) as it is: its chain is broken or shared (cardtool download --force copies what it holds).",
          u"保留位置 %1 的資料 (%2) 不變: 其鏈已斷裂或與其他資料共用 (可用 cardtool download --force 複製其內容)。",
          u"保留位置 %1 的数据 (%2) 不变: 其链已断裂或与其他数据共用 (可用 cardtool download --force 复制其内容)。",
          u"スロット %1 のデータ（%2）はそのままにします。チェーンが壊れているか共用されています（cardtool download --force で中身をコピーできます）。")

I18N_TEXT(say_r_notmended,
          u"Not repaired: ",
          u"未修復: ",
          u"未修复: ",
          u"修復しません: ")

I18N_TEXT(say_r_nothing,
          u"Nothing to repair.",
          u"無需修復。",
          u"无需修复。",
          u"修復するものはありません。")

I18N_TEXT(say_r_plan,
          u"A repair would make these changes:",
          u"修復將進行以下變更:",
          u"修复将进行以下变更:",
          u"修復すると次のように変更します:")

I18N_TEXT(say_ask_repair,
          u"Make these changes on the card now?",
          u"現在要在記憶卡上進行這些變更嗎?",
          u"现在要在记忆卡上进行这些变更吗?",
          u"今カードをこのように変更しますか？")

I18N_TEXT(say_r_done,
          u"Repaired:",
          u"已修復:",
          u"已修复:",
          u"修復しました:")

I18N_TEXT(say_r_failed,
          u"Repair failed. ",
          u"修復失敗。",
          u"修复失败。",
          u"修復に失敗しました。")

// Recover: the saves the last change deleted, the question before one is put back, and what was done.

I18N_TEXT(say_rec_item,
          u"Deleted save from slot %1 (%2): %3 blocks, all still free.",
          u"已刪除的位置 %1 資料 (%2): %3 單位, 均仍空閒。",
          u"已删除的位置 %1 数据 (%2): %3 单位, 均仍空闲。",
          u"削除されたスロット %1 のデータ（%2）: %3 ブロック、すべて空いたままです。")

I18N_TEXT(say_rec_run,
          u"Its chain is gone: its blocks are taken from its first one on.",
          u"其鏈已不存在: 從第一個單位起依序取用。",
          u"其链已不存在: 从第一个单位起依序取用。",
          u"チェーンが残っていないため、最初のブロックから順に使います。")

I18N_TEXT(say_rec_none,
          u"No deleted save can be brought back.",
          u"沒有可還原的已刪除資料。",
          u"没有可还原的已删除数据。",
          u"復元できる削除データはありません。")

I18N_TEXT(say_ask_recover,
          u"Put back the save %1 (%2 blocks)?",
          u"要還原資料 %1 (%2 單位) 嗎?",
          u"要还原数据 %1 (%2 单位) 吗?",
          u"データ %1（%2 ブロック）を復元しますか？")

I18N_TEXT(say_rec_done,
          u"Put back %1 in slot %2.",
          u"已將 %1 還原到位置 %2。",
          u"已将 %1 还原到位置 %2。",
          u"%1 をスロット %2 に復元しました。")

I18N_TEXT(say_rec_failed,
          u"Could not put back %1.",
          u"無法還原 %1。",
          u"无法还原 %1。",
          u"%1 を復元できませんでした。")

// A recovery that failed part-way, as the card was read again after it: the
// save made it back all the same, or it is still there to be put back.
I18N_TEXT(say_rec_back_anyway,
          u"%1 is back all the same, in slot %2, though the card stopped answering before the end.",
          u"雖然存儲卡在完成前停止回應, %1 仍已還原到位置 %2。",
          u"虽然存储卡在完成前停止响应, %1 仍已还原到位置 %2。",
          u"カードが途中で応答しなくなりましたが、%1 はスロット %2 に復元されています。")

I18N_TEXT(say_rec_still,
          u"Could not put back %1. It can still be put back: try again.",
          u"無法還原 %1。仍可還原: 請再試一次。",
          u"无法还原 %1。仍可还原: 请再试一次。",
          u"%1 を復元できませんでした。まだ復元できます。もう一度お試しください。")

// What a save says about itself, in the lists' tooltips: the labels before
// its game code, title, comment, date and block count.
I18N_TEXT(say_tip_game,
          u"Game",
          u"遊戲",
          u"游戏",
          u"ゲーム")

I18N_TEXT(say_tip_title,
          u"Title",
          u"標題",
          u"标题",
          u"タイトル")

I18N_TEXT(say_tip_comment,
          u"Comment",
          u"說明",
          u"说明",
          u"コメント")

I18N_TEXT(say_tip_date,
          u"Date",
          u"日期",
          u"日期",
          u"日付")

I18N_TEXT(say_tip_blocks,
          u"Blocks",
          u"單位",
          u"单位",
          u"ブロック")

// The lists' context menus: the order of the saves, and whether icons move.
I18N_TEXT(say_menu_sort_listed,
          u"Listed order",
          u"原始順序",
          u"原始顺序",
          u"元の順序")

I18N_TEXT(say_menu_sort_name,
          u"Sort by name",
          u"依名稱排序",
          u"按名称排序",
          u"名前順")

I18N_TEXT(say_menu_sort_game,
          u"Sort by game",
          u"依遊戲排序",
          u"按游戏排序",
          u"ゲーム順")

I18N_TEXT(say_menu_sort_date,
          u"Sort by date",
          u"依日期排序",
          u"按日期排序",
          u"日付順")

I18N_TEXT(say_menu_sort_size,
          u"Sort by size",
          u"依大小排序",
          u"按大小排序",
          u"サイズ順")

I18N_TEXT(say_menu_animate,
          u"Animate icons",
          u"動態圖示",
          u"动态图标",
          u"アイコンを動かす")

// Notice when the user declined to make a missing card image: nothing was
// made and the program ends.
I18N_TEXT(say_nocardmade,
          u"No card image was made at %1. Start the program again with an existing card image.",
          u"未在 %1 建立記憶卡映像檔。請以現有的記憶卡映像檔重新啟動程式。",
          u"未在 %1 创建存储卡映像文件。请以现有的存储卡映像文件重新启动程序。",
          u"%1 にカードイメージは作られませんでした。既存のカードイメージでもう一度起動してください。")

// The recovery report's button that puts the deleted save it asks about back.
I18N_TEXT(say_putback,
          u"Put back",
          u"還原",
          u"还原",
          u"復元")

// The batch copy's count when some saves were already in the folder as they are.
I18N_TEXT(say_batch_same,
          u"%1 already in the folder unchanged, not copied again.",
          u"%1 個已在資料夾中且未變更，未再次複製。",
          u"%1 个已在文件夹中且未更改，未再次复制。",
          u"%1 件は変更なしでフォルダーにあるため、コピーしませんでした。")

// A batch the user stopped with Cancel: the saves after the one being
// copied then were not tried.
I18N_TEXT(say_batch_stopped,
          u"You stopped the copy: the other %1 were not tried.",
          u"您已停止複製：其餘 %1 個未嘗試。",
          u"您已停止复制：其余 %1 个未尝试。",
          u"コピーを中止しました。残りの %1 件は試していません。")

// The window would not fit the screen at the scale asked for.
I18N_TEXT(say_scaletoolarge,
          u"At a scale of %1 the window does not fit this screen; it is shown at %2 instead.",
          u"縮放比例 %1 時視窗無法放入此螢幕，改以 %2 顯示。",
          u"缩放比例 %1 时窗口无法放入此屏幕，改以 %2 显示。",
          u"倍率 %1 ではウィンドウがこの画面に収まらないため、%2 で表示します。")

// The heading of the PC side while it shows a second card: its name and
// its free blocks.
I18N_TEXT(say_secondcardhead,
          u"Card %1: %2 blocks free",
          u"記憶卡 %1：尚餘 %2 單位",
          u"存储卡 %1：尚余 %2 单位",
          u"カード %1：残り %2 ブロック")

// The card list's Cards submenu: the cards found on this computer, opening,
// making and formatting a card, and per-game cards on an SD card.
I18N_TEXT(say_menu_cards,
          u"Cards",
          u"記憶卡",
          u"存储卡",
          u"カード")

I18N_TEXT(say_cards_none,
          u"No cards found",
          u"找不到記憶卡",
          u"找不到存储卡",
          u"カードが見つかりません")

// A card found: its kind, where it is, its size and how many saves it holds.
I18N_TEXT(say_cards_entry,
          u"%1: %2 (%3 Mbit, %4 saves)",
          u"%1：%2（%3 Mbit，%4 個存檔）",
          u"%1：%2（%3 Mbit，%4 个存档）",
          u"%1：%2（%3 Mbit、セーブ %4 個）")

I18N_TEXT(say_kind_adapter,
          u"Adapter",
          u"轉接器",
          u"适配器",
          u"アダプター")

I18N_TEXT(say_kind_emuimage,
          u"Emulator card image",
          u"模擬器記憶卡映像",
          u"模拟器存储卡映像",
          u"エミュレーターのカードイメージ")

I18N_TEXT(say_kind_emufolder,
          u"Emulator folder card",
          u"模擬器資料夾記憶卡",
          u"模拟器文件夹存储卡",
          u"エミュレーターのフォルダーカード")

I18N_TEXT(say_kind_pergame,
          u"Per-game card",
          u"單一遊戲記憶卡",
          u"单一游戏存储卡",
          u"ゲーム別カード")

I18N_TEXT(say_kind_recent,
          u"Opened lately",
          u"最近開啟",
          u"最近打开",
          u"最近開いたもの")

// Where a found card is: the emulator's install, its slot and region
// folder; a path the emulator's configuration sets; an SD card's per-game
// card; the device the environment names; a card opened lately. Region
// folders and game ids are shown as they are on the disk.
I18N_TEXT(say_where_native,
          u"native",
          u"原生版",
          u"原生版",
          u"ネイティブ版")

I18N_TEXT(say_where_flatpak,
          u"Flatpak",
          u"Flatpak 版",
          u"Flatpak 版",
          u"Flatpak 版")

I18N_TEXT(say_where_older,
          u"older",
          u"舊版",
          u"旧版",
          u"旧版")

// %1 the install (above), %2 the slot letter.
I18N_TEXT(say_where_slot,
          u"%1, slot %2",
          u"%1，插槽 %2",
          u"%1，插槽 %2",
          u"%1、スロット %2")

// %1 the install and slot (above), %2 the region folder.
I18N_TEXT(say_where_region,
          u"%1, %2",
          u"%1，%2",
          u"%1，%2",
          u"%1、%2")

I18N_TEXT(say_where_configured,
          u"%1 (configured)",
          u"%1（設定檔指定）",
          u"%1（配置文件指定）",
          u"%1（設定ファイルで指定）")

// %1 the SD card's name, %2 the game id, %3 the channel.
I18N_TEXT(say_where_sd,
          u"%1: %2 channel %3",
          u"%1：%2 第 %3 通道",
          u"%1：%2 第 %3 通道",
          u"%1：%2 チャンネル %3")

I18N_TEXT(say_where_variable,
          u"MCBRIDGE_DEVICE",
          u"MCBRIDGE_DEVICE 指定",
          u"MCBRIDGE_DEVICE 指定",
          u"MCBRIDGE_DEVICE で指定")

// Another device node of the same driver as the one MCBRIDGE_DEVICE names.
I18N_TEXT(say_where_node,
          u"device node",
          u"裝置節點",
          u"设备节点",
          u"デバイスノード")

I18N_TEXT(say_where_recent,
          u"opened lately",
          u"最近開啟",
          u"最近打开",
          u"最近開いたもの")

I18N_TEXT(say_menu_opencard,
          u"Open card image…",
          u"開啟記憶卡映像…",
          u"打开存储卡映像…",
          u"カードイメージを開く…")

I18N_TEXT(say_menu_newcard,
          u"New card image…",
          u"新增記憶卡映像…",
          u"新建存储卡映像…",
          u"新しいカードイメージ…")

I18N_TEXT(say_menu_formatcard,
          u"Format card…",
          u"格式化記憶卡…",
          u"格式化存储卡…",
          u"カードをフォーマット…")

I18N_TEXT(say_newcard_size,
          u"Size of the new card in Mbit (4, 8, 16, 32, 64 or 128):",
          u"新記憶卡的容量（Mbit：4、8、16、32、64 或 128）：",
          u"新存储卡的容量（Mbit：4、8、16、32、64 或 128）：",
          u"新しいカードの容量（Mbit：4、8、16、32、64、128）：")

I18N_TEXT(say_newcard_encoding,
          u"In which encoding does the new card keep its texts?",
          u"新記憶卡的文字使用哪種編碼？",
          u"新存储卡的文字使用哪种编码？",
          u"新しいカードの文字コードは？")

I18N_TEXT(say_encoding_western,
          u"Western",
          u"西文",
          u"西文",
          u"欧米")

I18N_TEXT(say_encoding_japanese,
          u"Japanese",
          u"日文",
          u"日文",
          u"日本語")

I18N_TEXT(say_newcard_failed,
          u"The card image could not be made: ",
          u"無法建立記憶卡映像：",
          u"无法创建存储卡映像：",
          u"カードイメージを作成できません：")

I18N_TEXT(say_opencard_failed,
          u"This card cannot be shown: ",
          u"無法顯示此記憶卡：",
          u"无法显示此存储卡：",
          u"このカードは表示できません：")

I18N_TEXT(Say_format_ask,
          u"Format the card? Its %1 saves will be gone.",
          u"要格式化記憶卡嗎？卡上的 %1 個存檔將會消失。",
          u"要格式化存储卡吗？卡上的 %1 个存档将会消失。",
          u"カードをフォーマットしますか？セーブ %1 個が消えます。")

I18N_TEXT(Say_format_askagain,
          u"Really format the card and lose its %1 saves? An image of the card is kept in the save folder first.",
          u"確定要格式化記憶卡並失去 %1 個存檔嗎？會先在存檔資料夾保留記憶卡映像。",
          u"确定要格式化存储卡并失去 %1 个存档吗？会先在存档文件夹保留存储卡映像。",
          u"本当にフォーマットしてセーブ %1 個を消しますか？先にカードのイメージをセーブフォルダーに残します。")

I18N_TEXT(Say_format_done,
          u"The card was formatted. It was kept as it was before in %1",
          u"記憶卡已格式化。格式化前的記憶卡保留在 %1",
          u"存储卡已格式化。格式化前的存储卡保留在 %1",
          u"フォーマットしました。以前のカードは %1 に残してあります")

I18N_TEXT(say_format_failed,
          u"The card was not formatted: ",
          u"記憶卡未格式化：",
          u"存储卡未格式化：",
          u"フォーマットできませんでした：")

I18N_TEXT(say_menu_split,
          u"Copy this card's saves to per-game cards…",
          u"將此記憶卡的存檔複製到單一遊戲記憶卡…",
          u"将此存储卡的存档复制到单一游戏存储卡…",
          u"このカードのセーブをゲーム別カードにコピー…")

I18N_TEXT(say_menu_gather,
          u"Gather per-game cards onto this card…",
          u"將單一遊戲記憶卡收集到此記憶卡…",
          u"将单一游戏存储卡收集到此存储卡…",
          u"ゲーム別カードをこのカードにまとめる…")

I18N_TEXT(say_split_layout,
          u"How does the SD card name its per-game cards?",
          u"SD 卡如何命名單一遊戲記憶卡？",
          u"SD 卡如何命名单一游戏存储卡？",
          u"SD カードのゲーム別カードの名前の付け方は？")

I18N_TEXT(Say_split_summary,
          u"%1 per-game cards made on %2:",
          u"已在 %2 建立 %1 張單一遊戲記憶卡：",
          u"已在 %2 创建 %1 张单一游戏存储卡：",
          u"%2 にゲーム別カードを %1 枚作りました：")

I18N_TEXT(Say_split_notmade,
          u"%1: not copied: %2",
          u"%1：未複製：%2",
          u"%1：未复制：%2",
          u"%1：コピーしませんでした：%2")

I18N_TEXT(Say_gather_summary,
          u"%1 of %2 saves gathered onto the card.",
          u"已將 %2 個存檔中的 %1 個收集到記憶卡。",
          u"已将 %2 个存档中的 %1 个收集到存储卡。",
          u"セーブ %2 個のうち %1 個をカードにまとめました。")

I18N_TEXT(say_gather_nothing,
          u"Nothing was written: ",
          u"未寫入任何資料：",
          u"未写入任何数据：",
          u"何も書き込みませんでした：")

// Undo and the history of changes to the card (the card list's context menu,
// Ctrl+Z): the journal's kinds of change, the questions and the outcomes.

I18N_TEXT(say_menu_undo_none,
          u"Undo",
          u"復原",
          u"撤销",
          u"元に戻す")

// %1: the change, as Say_change_of words it.
I18N_TEXT(Say_menu_undo,
          u"Undo %1…",
          u"復原%1…",
          u"撤销%1…",
          u"%1を元に戻す…")

I18N_TEXT(say_menu_history,
          u"History…",
          u"變更記錄…",
          u"更改记录…",
          u"変更履歴…")

// %1: the kind of change; %2: the saves it touched.
I18N_TEXT(Say_change_of,
          u"%1 of %2",
          u"%2 的%1",
          u"%2 的%1",
          u"%2 の%1")

// %1: the first save; %2: how many others.
I18N_TEXT(Say_change_more,
          u"%1 and %2 more",
          u"%1 及另外 %2 個",
          u"%1 及另外 %2 个",
          u"%1 ほか %2 件")

I18N_TEXT(say_change_upload,
          u"upload",
          u"上載",
          u"上载",
          u"追加")

I18N_TEXT(say_change_replace,
          u"replacement",
          u"取代",
          u"替换",
          u"置き換え")

I18N_TEXT(say_change_delete,
          u"delete",
          u"刪除",
          u"删除",
          u"削除")

I18N_TEXT(say_change_writecard,
          u"whole-card write",
          u"寫入全張記憶卡",
          u"写入整张存储卡",
          u"カード全体の書き込み")

I18N_TEXT(say_change_repair,
          u"repair",
          u"修復",
          u"修复",
          u"修復")

I18N_TEXT(say_change_recover,
          u"recovery",
          u"還原",
          u"还原",
          u"復元")

// %1: the number of the change the undo went back to before.
I18N_TEXT(Say_change_undo,
          u"undo to before #%1",
          u"復原至 #%1 之前",
          u"撤销至 #%1 之前",
          u"#%1 より前に戻す操作")

I18N_TEXT(say_change_unfinished,
          u"unfinished change",
          u"未完成的變更",
          u"未完成的更改",
          u"未完了の変更")

I18N_TEXT(Say_change_blocks,
          u"(%1 blocks kept)",
          u"（保留 %1 個區塊）",
          u"（保留 %1 个块）",
          u"（%1 ブロック保存）")

// %1: the change, on a line of its own.
I18N_TEXT(Say_undo_ask,
          u"Put the card back as it was before this change?\n\n%1\n\nWhat it wrote is taken off the card and what it overwrote or deleted is put back. The undo can itself be undone.",
          u"要將記憶卡恢復到此變更之前的狀態嗎？\n\n%1\n\n此變更寫入的內容將從記憶卡移除，被覆寫或刪除的內容將放回。此復原本身也可以再復原。",
          u"要将存储卡恢复到此更改之前的状态吗？\n\n%1\n\n此更改写入的内容将从存储卡移除，被覆盖或删除的内容将放回。此撤销本身也可以再撤销。",
          u"カードをこの変更の前の状態に戻しますか？\n\n%1\n\n変更で書き込まれたものはカードから取り除かれ、上書き・削除されたものは元に戻ります。この操作もあとで元に戻せます。")

// %1: the changes, one a line, newest first; %2: how many.
I18N_TEXT(Say_undo_askmany,
          u"Put the card back as it was before these %2 changes, newest first?\n\n%1\n\nWhat they wrote is taken off the card and what they overwrote or deleted is put back. The undo can itself be undone.",
          u"要將記憶卡恢復到這 %2 項變更之前的狀態嗎（從最新的開始）？\n\n%1\n\n這些變更寫入的內容將從記憶卡移除，被覆寫或刪除的內容將放回。此復原本身也可以再復原。",
          u"要将存储卡恢复到这 %2 项更改之前的状态吗（从最新的开始）？\n\n%1\n\n这些更改写入的内容将从存储卡移除，被覆盖或删除的内容将放回。此撤销本身也可以再撤销。",
          u"カードをこれら %2 件の変更の前の状態に戻しますか（新しい順）？\n\n%1\n\n変更で書き込まれたものはカードから取り除かれ、上書き・削除されたものは元に戻ります。この操作もあとで元に戻せます。")

// %1: the changes undone, one a line.
I18N_TEXT(Say_undo_done,
          u"The card is back as it was before:\n\n%1",
          u"記憶卡已恢復到以下變更之前的狀態：\n\n%1",
          u"存储卡已恢复到以下更改之前的状态：\n\n%1",
          u"カードを次の変更の前の状態に戻しました：\n\n%1")

// Busy text while an undo writes the card.
I18N_TEXT(say_undo_busy,
          u"UNDO",
          u"復原",
          u"撤销",
          u"元に戻す")

I18N_TEXT(say_undo_nothing,
          u"There is nothing to undo: the journal holds no change to this card.",
          u"沒有可復原的變更：記錄中沒有此記憶卡的變更。",
          u"没有可撤销的更改：记录中没有此存储卡的更改。",
          u"元に戻せる変更はありません。このカードの変更は記録されていません。")

I18N_TEXT(say_undo_gone,
          u"That change is no longer in the journal of this card; nothing was undone.",
          u"該變更已不在此記憶卡的記錄中；未復原任何內容。",
          u"该更改已不在此存储卡的记录中；未撤销任何内容。",
          u"その変更はこのカードの記録にもうありません。何も元に戻していません。")

I18N_TEXT(say_undo_elsewhere,
          u"Nothing was undone: the card was changed elsewhere since (by another program, a console or a copy of the card). Undoing now would throw that later change away, so the card was left as it is.",
          u"未復原任何內容：記憶卡之後已在別處被變更（其他程式、遊戲機或記憶卡的副本）。現在復原會丟失那次變更，因此記憶卡保持原樣。",
          u"未撤销任何内容：存储卡之后已在别处被更改（其他程序、游戏机或存储卡的副本）。现在撤销会丢失那次更改，因此存储卡保持原样。",
          u"何も元に戻していません。このカードはその後ほかの場所（ほかのプログラム、ゲーム機、カードのコピー）で変更されています。いま戻すとその変更が失われるため、カードはそのままです。")

I18N_TEXT(say_undo_failed,
          u"The undo did not finish",
          u"復原未完成",
          u"撤销未完成",
          u"元に戻す操作が完了しませんでした")

I18N_TEXT(say_undo_again,
          u"\nThe card can still be read; choose Undo again to finish it.",
          u"\n記憶卡仍可讀取；請再次選擇「復原」以完成。",
          u"\n存储卡仍可读取；请再次选择“撤销”以完成。",
          u"\nカードは読み込めます。もう一度「元に戻す」を選ぶと完了します。")

I18N_TEXT(say_undo_noread,
          u"The journal of this card could not be read",
          u"無法讀取此記憶卡的記錄",
          u"无法读取此存储卡的记录",
          u"このカードの記録を読み込めません")

// The History window: the changes to the card the journal keeps.

I18N_TEXT(say_history_title,
          u"Changes to this card",
          u"此記憶卡的變更記錄",
          u"此存储卡的更改记录",
          u"このカードの変更履歴")

I18N_TEXT(say_history_when,
          u"When",
          u"時間",
          u"时间",
          u"日時")

I18N_TEXT(say_history_what,
          u"Change",
          u"變更",
          u"更改",
          u"変更")

I18N_TEXT(say_history_saves,
          u"Saves",
          u"存檔",
          u"存档",
          u"セーブ")

I18N_TEXT(say_history_blocks,
          u"Blocks kept",
          u"保留區塊",
          u"保留块",
          u"保存ブロック")

I18N_TEXT(say_history_undo,
          u"Undo to here…",
          u"復原至此…",
          u"撤销至此…",
          u"ここまで戻す…")

I18N_TEXT(say_history_note,
          u"Newest first. \"Undo to here\" puts the card back as it was before the selected change and every later one.",
          u"最新的在最前。「復原至此」會將記憶卡恢復到所選變更及其後所有變更之前的狀態。",
          u"最新的在最前。“撤销至此”会将存储卡恢复到所选更改及其后所有更改之前的状态。",
          u"新しい順です。「ここまで戻す」は、選んだ変更とそれ以降のすべての変更の前の状態にカードを戻します。")

I18N_TEXT(say_why_journal,
          u"the card was changed elsewhere since",
          u"記憶卡之後已在別處被變更",
          u"存储卡之后已在别处被更改",
          u"カードはその後ほかの場所で変更されています")

I18N_TEXT(say_why_journalfile,
          u"the record of the change could not be written to the journal folder, so the card was not touched",
          u"無法將變更記錄寫入記錄資料夾，因此未變更記憶卡",
          u"无法将更改记录写入记录文件夹，因此未更改存储卡",
          u"変更の記録を記録フォルダーに書き込めないため、カードには触れていません")

// Captions of the main window's command buttons, keyed by the buttons' object names.

// List the card's saves.
I18N_CAPTION(UpDateBtn,
             u"LIST GAME SAVER",
             u"更新目錄",
             u"更新目录",
             u"データリスト読み込み")

// Read the whole card into an image file.
I18N_CAPTION(ReadCardBtn,
             u"BACKUP CARD",
             u"讀取全張容量",
             u"读取整卡容量",
             u"一括読み込み")

// Write an image file over the whole card.
I18N_CAPTION(WriteCardBtn,
             u"UPLOAD CARD",
             u"寫入全張容量",
             u"写入整卡容量",
             u"一括書き込み")

// Delete card saves.
I18N_CAPTION(DeleteBtn,
             u"DELETE SAVER",
             u"刪除項目",
             u"删除项目",
             u"データ削除")

// Copy card saves to files.
I18N_CAPTION(DownLoadBtn,
             u"BACKUP SAVER",
             u"備份項目",
             u"备份项目",
             u"データ保存")

// Copy save files to the card.
I18N_CAPTION(UpLoadBtn,
             u"UPLOAD SAVER",
             u"上載項目",
             u"上载项目",
             u"データ追加")

// Edit a card save.
I18N_CAPTION(EditBtn,
             u"EDIT SAVER",
             u"修改專案",
             u"修改项目",
             u"データ編集")

// Mail a save.
I18N_CAPTION(EmailBtn,
             u"MAIL SAVER",
             u"發送郵件",
             u"发送邮件",
             u"メール")

// Close the program.
I18N_CAPTION(ExitBtn,
             u"CLOSE",
             u"關  閉",
             u"关  闭",
             u"終了")

// Change the region of a save file.
I18N_CAPTION(changebtn,
             u"VERSIONS CHANGE ",
             u"版本轉換",
             u"版本转换",
             u"換えるに")

// clang-format on

#undef I18N_TEXT
#undef I18N_CAPTION
