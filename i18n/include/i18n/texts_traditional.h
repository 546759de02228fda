#pragma once

// Traditional Chinese texts of the main window, chosen for Taiwan, Hong Kong,
// Singapore and Macao. The writing text of the whole-card restore is ours: it
// mirrors the reading text with 寫入 in place of 讀取.

#include <QStringView>

// Messages, questions and status halves.
inline constexpr QStringView Tsay_saver_LOADING = u"正在讀取";
inline constexpr QStringView Tsay_saver_backup = u"備用儲存";
inline constexpr QStringView Tsay_saver_upload = u"上載儲存";
inline constexpr QStringView Tsay_saver_delete = u"刪除儲存";
inline constexpr QStringView Tsay_saver_reading = u"正在讀取全張卡的容量";
inline constexpr QStringView Tsay_saver_writing = u"正在寫入全張卡的容量";
inline constexpr QStringView TSay_wait = u"請等候 ...";
inline constexpr QStringView Tsay_DELETEcomplete = u"刪除完成";
inline constexpr QStringView Tsay_uploadcomplete = u"上載完成";
inline constexpr QStringView Tsay_Backupcomplete = u"備份完成";
inline constexpr QStringView Tsay_Editcomplete = u"更新完成";
inline constexpr QStringView TSay_ask_DeleteFile0 = u"確定刪除? ";
inline constexpr QStringView TSay_ask_OverWriteFile0 = u"是否確定取代這 ";
inline constexpr QStringView TSay_ask_OverWriteFile1 = u" 檔案 ?";
inline constexpr QStringView Tsay_ask_sendmail = u"請先建立郵件帳號";
inline constexpr QStringView TSay_ask_Exit = u"確定離開 ?";
inline constexpr QStringView TSay_FREEBLOCK0 = u"  尚餘( ";
inline constexpr QStringView TSay_FREEBLOCK1 = u" ) 單位";
inline constexpr QStringView TSay_WARNING0 = u"請選擇卡中遊戲";
inline constexpr QStringView TSay_WARNING1 = u"請選擇遊戲文件";
inline constexpr QStringView TSay_WARNING2 = u"請選擇單個遊戲文件";
inline constexpr QStringView TSay_INFORM1 = u"請更新目錄";

// Failures, named with the save or file that failed.
inline constexpr QStringView Tsay_backupfailed = u"備份失敗: ";
inline constexpr QStringView Tsay_uploadfailed = u"上載失敗: ";
inline constexpr QStringView Tsay_deletefailed = u"刪除失敗: ";
inline constexpr QStringView Tsay_nofreeblock = u"剩餘單位不足: ";
inline constexpr QStringView Tsay_readcardfailed = u"讀取全張容量失敗: ";
inline constexpr QStringView Tsay_writecardfailed = u"寫入全張容量失敗, 卡中資料可能不完整: ";
inline constexpr QStringView Tsay_mailfailed = u"發送郵件失敗: ";
inline constexpr QStringView Tsay_editfailed = u"更新失敗, 卡中保留原有資料: ";
inline constexpr QStringView Tsay_editwrongsize =
    u"更新失敗, 編輯後的資料必須保持完整的 8 KB 區塊大小, 卡中保留原有資料: ";

// What the card holds after a failed write, the full-card question and
// its answer, and two saves that cannot be told apart.
inline constexpr QStringView Tsay_cardholdsnew = u"卡中已是新的資料";
inline constexpr QStringView Tsay_cardholdsold = u"卡中仍保留原有資料";
inline constexpr QStringView Tsay_cardholdsnone = u"卡中已沒有該資料";
inline constexpr QStringView Tsay_cardholdsother = u"卡中的資料既非原有資料也非新資料";
inline constexpr QStringView Tsay_cardunreadable = u"無法重新讀取卡";
inline constexpr QStringView Tsay_cardholdsimage = u"卡中已寫入完整的映像";
inline constexpr QStringView TSay_ask_DeleteFirst =
    u"卡中剩餘單位不足, 無法在保留原有資料的同時寫入 %1 (需要 %2 單位, 剩餘 %3 "
    u"單位)。是否將原有資料儲存到存檔資料夾中的 %4, 從卡中刪除後再寫入新資料?";
inline constexpr QStringView Tsay_oldkept = u"原有資料已儲存在存檔資料夾中: ";
inline constexpr QStringView Tsay_twinsavers =
    u"卡中有兩個名稱和代碼相同的資料, 請先刪除其中一個: ";

// Captions of the main window's ten command buttons.
inline constexpr QStringView TUpDateBtn = u"更新目錄";
inline constexpr QStringView TReadCardBtn = u"讀取全張容量";
inline constexpr QStringView TWriteCardBtn = u"寫入全張容量";
inline constexpr QStringView TDeleteBtn = u"刪除項目";
inline constexpr QStringView TDownLoadBtn = u"備份項目";
inline constexpr QStringView TUpLoadBtn = u"上載項目";
inline constexpr QStringView TEditBtn = u"修改專案";
inline constexpr QStringView TEmailBtn = u"發送郵件";
inline constexpr QStringView TExitBtn = u"關  閉";
inline constexpr QStringView Tchangebtn = u"版本轉換";
