#include "core/texttable.h"

QString gaLanStr[kTextCount][kLanCount];
int gLan = 0;

namespace {
struct Entry {
    int k;
    const char* zh;
    const char* en;
    const char* tw;
};

// Entries used by the start-up until the full table arrives.
const Entry kEntries[] = {
    {133, "系统正在初始化，\r\n请稍候..", "The system is initializing, \r\n please wait..", "系統正在初始化，\r\n請稍候.."},
    {134, "没有可用的相机，是否清除相机序列号？", "No camera available, clear the camera serial codes?", "沒有可用的相機，是否清除相機序列號？"},
    {135, "数据库打开失败，请重启！", "Database failed to open, please restart!", "資料庫打開失敗，請重啟！"},
    {150, "系统就绪，共有%1个相机", "The system is ready, there is %1 cameras", "系統就緒，共有%1個相機"},
    {160, "系统参数文件错误，请\r\n恢复参数组\r\n或联系供应商", "System parameter file error, please \r\n restore parameter group \r\n or contact supplier", "系統參數文件錯誤，請\r\n恢復參數組\r\n或聯繫供應商"},
    {568, "警告!", "Warning!", "警告!"},
    {569, "密码确认", "Password confirmation", "密碼確認"},
    {588, "检测相机", "Detection camera", "檢測相機"},
};
}  // namespace

void Data_Init()
{
    for (const Entry& e : kEntries) {
        gaLanStr[e.k][0] = QString::fromUtf8(e.zh);
        gaLanStr[e.k][1] = QString::fromUtf8(e.en);
        gaLanStr[e.k][2] = QString::fromUtf8(e.tw);
    }
}

QString LanStr(int k, int lan)
{
    if (k < 0 || k >= kTextCount || lan < 0 || lan >= kLanCount)
        return QString();
    return gaLanStr[k][lan];
}

QString LanStr(int k)
{
    return LanStr(k, gLan);
}
