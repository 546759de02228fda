#pragma once

// Simplified Chinese texts of the main window, chosen for the People's
// Republic only. Blanks inside the texts are part of them.

#include <QStringView>

// Messages, questions and status halves.
inline constexpr QStringView Ssay_saver_LOADING = u"正在读取";
inline constexpr QStringView Ssay_saver_backup = u"备用储存";
inline constexpr QStringView Ssay_saver_upload = u"上载储存";
inline constexpr QStringView Ssay_saver_delete = u"删除储存";
inline constexpr QStringView Ssay_saver_reading = u"正在读取整张卡的容量";
inline constexpr QStringView Ssay_saver_writing = u"正在写入整张卡的容量";
inline constexpr QStringView SSay_wait = u"请等待...";
inline constexpr QStringView Ssay_DELETEcomplete = u"删除完成";
inline constexpr QStringView Ssay_uploadcomplete = u"上载完成";
inline constexpr QStringView Ssay_Backupcomplete = u"备用完成";
inline constexpr QStringView Ssay_Editcomplete = u"更新储存";
inline constexpr QStringView SSay_ask_DeleteFile0 = u"确定删除?";
inline constexpr QStringView SSay_ask_OverWriteFile0 = u"是否确定取代这 ";
inline constexpr QStringView SSay_ask_OverWriteFile1 = u" 档案 ?";
inline constexpr QStringView Ssay_ask_sendmail = u"请先建立邮件帐户！";
inline constexpr QStringView SSay_ask_Exit = u"确定真的离开 ?";
inline constexpr QStringView SSay_FREEBLOCK0 = u"  尚余(";
inline constexpr QStringView SSay_FREEBLOCK1 = u")单位";
inline constexpr QStringView SSay_WARNING0 = u"请选择卡中游戏";
inline constexpr QStringView SSay_WARNING1 = u"请选择游戏文件";
inline constexpr QStringView SSay_WARNING2 = u"请选择单个游戏文件";
inline constexpr QStringView SSay_INFORM1 = u"请更新目录";

// Failures, named with the save or file that failed.
inline constexpr QStringView Ssay_backupfailed = u"备份失败: ";
inline constexpr QStringView Ssay_uploadfailed = u"上载失败: ";
inline constexpr QStringView Ssay_deletefailed = u"删除失败: ";
inline constexpr QStringView Ssay_nofreeblock = u"剩余单位不足: ";
inline constexpr QStringView Ssay_readcardfailed = u"读取整卡容量失败: ";
inline constexpr QStringView Ssay_writecardfailed = u"写入整卡容量失败, 卡中数据可能不完整: ";
inline constexpr QStringView Ssay_mailfailed = u"发送邮件失败: ";
inline constexpr QStringView Ssay_editfailed = u"更新失败, 卡中保留原有数据: ";
inline constexpr QStringView Ssay_editwrongsize =
    u"更新失败, 编辑后的数据必须保持完整的 8 KB 区块大小, 卡中保留原有数据: ";

// What the card holds after a failed write, the full-card question and
// its answer, and two saves that cannot be told apart.
inline constexpr QStringView Ssay_cardholdsnew = u"卡中已是新的数据";
inline constexpr QStringView Ssay_cardholdsold = u"卡中仍保留原有数据";
inline constexpr QStringView Ssay_cardholdsnone = u"卡中已没有该数据";
inline constexpr QStringView Ssay_cardholdsother = u"卡中的数据既非原有数据也非新数据";
inline constexpr QStringView Ssay_cardunreadable = u"无法重新读取卡";
inline constexpr QStringView Ssay_cardholdsimage = u"卡中已写入完整的映像";
inline constexpr QStringView SSay_ask_DeleteFirst =
    u"卡中剩余单位不足, 无法在保留原有数据的同时写入 %1 (需要 %2 单位, 剩余 %3 "
    u"单位)。是否将原有数据保存到存档文件夹中的 %4, 从卡中删除后再写入新数据?";
inline constexpr QStringView Ssay_oldkept = u"原有数据已保存在存档文件夹中: ";
inline constexpr QStringView Ssay_twinsavers =
    u"卡中有两个名称和代码相同的数据, 请先删除其中一个: ";

// Captions of the main window's ten command buttons.
inline constexpr QStringView SUpDateBtn = u"更新目录";
inline constexpr QStringView SReadCardBtn = u"读取整卡容量";
inline constexpr QStringView SWriteCardBtn = u"写入整卡容量";
inline constexpr QStringView SDeleteBtn = u"删除项目";
inline constexpr QStringView SDownLoadBtn = u"备份项目";
inline constexpr QStringView SUpLoadBtn = u"上载项目";
inline constexpr QStringView SEditBtn = u"修改项目";
inline constexpr QStringView SEmailBtn = u"发送邮件";
inline constexpr QStringView SExitBtn = u"关  闭";
inline constexpr QStringView Schangebtn = u"版本转换";
