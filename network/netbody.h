#pragma once
// Bodies of the messages to the network client. Form bodies are key=value
// pairs joined by "&" with nothing escaped; JSON bodies are one object in the
// formatted layout of cJSON, members in a fixed order, every number whole.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>
#include <string>

class CammerSingleton;
class WizardPara;
struct cJSON;

enum SendType {
    kSendNone0 = 0, kSendRecord = 1, kSendParam = 2, kSendNone3 = 3, kSendNone4 = 4,
    kSendAlarmPic = 5, kSendTempPic = 6, kSendStatistics = 7, kSendROIParam = 8,
    kSendMemoryInfo = 9, kSendManualStop = 10, kSendDelTempPic = 11, kSendAddRemind = 12,
    kSendDelRemind = 13, kSendGetProduct = 14, kSendSaveNgVideo = 15, kSendTelInfo = 16,
    kSendGetRemindList = 17, kSendStatisticsOnce = 18, kSendRunState = 19, kSendCancle = 20,
};
constexpr int kSendTypes = 21;

namespace NetBody {

struct JsonDelete {
    void operator()(cJSON* item) const;
};
using Json = std::unique_ptr<cJSON, JsonDelete>;

Json NewObject();
// The four ways a member is added: byte texts as they stand, numbers, and
// QStrings in their Latin-1 form (only ASCII arrives unchanged).
void ccJSON_AddItemToObject(cJSON* object, const char* key, const char* bytes);
void ccJSON_AddItemToObject(cJSON* object, const char* key, qint64 number);
void ccJSON_AddItemToObject(cJSON* object, const char* key, const QString& text);
void ccJSON_AddItemToObject(cJSON* object, const char* key, const std::string& bytes);
// The formatted print, as UTF-8.
QByteArray Print(const cJSON* object);
// What a QString becomes on the link: its Latin-1 bytes ("?" for characters
// outside Latin-1) read as UTF-8, so that bytes above 127 show as U+FFFD.
QString LinkText(const QString& text);

// The JSON body of a reply of the client: null when it is not JSON, not an
// object, or nested deeper than kReplyDepth.
constexpr int kReplyDepth = 32;
Json ParseReplyBody(const QString& body);
// A whole number that fits in 64 bits; false for anything else (a string,
// a fraction, NaN, infinity, 1e300).
bool WholeNumber(const cJSON* item, qint64* value);

// Milliseconds since 1970-01-01 UTC.
qint64 Utc(const QDateTime& time);

// Message bodies, by type.
QString Record(const QString& host, const QDateTime& time, const QString& level, const QString& remark);
// Counts and serial numbers per camera come from the run's globals.
QByteArray Param(const QString& host, const WizardPara& para);
// Regions of step detect (from 0) of a camera's region record.
QByteArray ROIParam(const QString& host, const CammerSingleton& record, int detect);
QString DelTempPic(const QString& host, int camera, int step, const QString& name, const QDateTime& now,
                   const QString& stopOperator);
QString SaveNgVideo(const QString& host, int camera, const QString& product, int isNg);
QString TelInfo(const QString& host, int step, int count, const WizardPara& para);
QByteArray Cancle(const QString& host, qint64 bindUtc, const QDateTime& now, int imageState,
                  const WizardPara& para);

// The clearing method of a released alarm, by the result-picture state of
// the released step (4 to 8; empty for any other value).
const char* ClearMethodText(int imageState);

}  // namespace NetBody
