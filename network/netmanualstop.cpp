#include "network/netmanualstop.h"

#include "network/netbody.h"
#include "network/netstore.h"

#include <cjson/cJSON.h>

#include <QFile>

using NetBody::ccJSON_AddItemToObject;
using NetBody::Json;
using NetStore::Int;
using NetStore::Int64;
using NetStore::Text;

const char* const CNT_Path_ManualStop::kFile = "./cnt_net/data/ManualStop";
const char* const CNT_Path_Remind::kFile = "./cnt_net/data/Remind";

namespace {
QByteArray HourMinute(const QDateTime& time)
{
    return time.toString(QStringLiteral("hh:mm")).toUtf8();
}
}  // namespace

qint64 CNT_Path_ManualStop::InitialUtc()
{
    return QDateTime::fromString(QStringLiteral("1970-11-12 13:14:15"), QStringLiteral("yyyy-MM-dd hh:mm:ss"))
        .toMSecsSinceEpoch();
}

void CNT_Path_ManualStop::Update(bool stopped, const QDateTime& now, const QByteArray& operatorName)
{
    const qint64 nowMs = now.toMSecsSinceEpoch();
    if (stopped) {
        utc = nowMs;
        stop_check_timeslot = HourMinute(now) + "---:--";
    } else if (isOpen()) {
        // A clock set back never takes minutes away.
        stop_check_timelen += int(qMax<qint64>(0, (nowMs - utc) / 60000));
        stop_check_timeslot = HourMinute(QDateTime::fromMSecsSinceEpoch(utc)) + '-' + HourMinute(now);
    }
    operator_id = operatorName;
    disalarm_operator_id = operatorName;
}

QByteArray CNT_Path_ManualStop::Body(const QString& host, int state) const
{
    const Json root = NetBody::NewObject();
    cJSON* o = root.get();
    ccJSON_AddItemToObject(o, "device_id", host);
    ccJSON_AddItemToObject(o, "state", qint64(state));
    ccJSON_AddItemToObject(o, "utc", utc);
    ccJSON_AddItemToObject(o, "stop_check_timeslot", stop_check_timeslot.constData());
    ccJSON_AddItemToObject(o, "stop_check_timelen", qint64(stop_check_timelen));
    ccJSON_AddItemToObject(o, "timeout_time", qint64(timeout_time));
    ccJSON_AddItemToObject(o, "operator_id", operator_id.constData());
    ccJSON_AddItemToObject(o, "disalarm_operator_id", disalarm_operator_id.constData());
    ccJSON_AddItemToObject(o, "stop_check_reason", stop_check_reason.constData());
    return NetBody::Print(o);
}

bool CNT_Path_ManualStop::Restore(const QByteArray& text)
{
    const Json root(cJSON_ParseWithLength(text.constData(), size_t(text.size())));
    const cJSON* o = root.get();
    if (!cJSON_IsObject(o))
        return true;
    isRestored = false;
    isRestored = Int64(o, "utc", &utc) && Text(o, "stop_check_timeslot", &stop_check_timeslot)
        && Int(o, "stop_check_timelen", &stop_check_timelen) && Int(o, "timeout_time", &timeout_time)
        && Text(o, "operator_id", &operator_id) && Text(o, "disalarm_operator_id", &disalarm_operator_id)
        && Text(o, "stop_check_reason", &stop_check_reason);
    return isRestored;
}

bool CNT_Path_ManualStop::SaveToFile(const char* data, int len, const QString& path)
{
    return NetStore::WriteWhole(path, QByteArray(data, len));
}

QByteArray CNT_Path_Remind::Added(const QByteArray* fileText, const QByteArray& data)
{
    Json doc(fileText ? cJSON_ParseWithLength(fileText->constData(), size_t(fileText->size())) : nullptr);
    cJSON* reminder = cJSON_ParseWithLength(data.constData(), size_t(data.size()));
    if (!doc) {
        doc.reset(cJSON_CreateObject());
        cJSON* list = cJSON_AddArrayToObject(doc.get(), "remind");
        if (reminder)
            cJSON_AddItemToArray(list, reminder);
        return NetBody::Print(doc.get());
    }
    cJSON* list = cJSON_GetObjectItem(doc.get(), "remind");
    if (!cJSON_IsArray(list)) {
        cJSON_Delete(reminder);
        return QByteArray();
    }
    if (reminder)
        cJSON_AddItemToArray(list, reminder);
    return NetBody::Print(doc.get());
}

QByteArray CNT_Path_Remind::Removed(const QByteArray& fileText, qint64 utc)
{
    const Json doc(cJSON_ParseWithLength(fileText.constData(), size_t(fileText.size())));
    if (!doc)
        return QByteArray();
    cJSON* list = cJSON_GetObjectItem(doc.get(), "remind");
    if (!cJSON_IsArray(list))
        list = nullptr;
    int index = 0;
    const cJSON* item = nullptr;
    cJSON_ArrayForEach(item, list) {
        qint64 created = 0;
        if (Int64(item, "utc", &created) && created == utc) {
            cJSON_DeleteItemFromArray(list, index);
            break;
        }
        ++index;
    }
    return NetBody::Print(doc.get());
}

void CNT_Path_Remind::SaveToFile(const char* data, int len, const QString& path)
{
    QByteArray text;
    const bool exists = NetStore::ReadWhole(path, &text);
    const QByteArray out = Added(exists ? &text : nullptr, QByteArray(data, len));
    if (!out.isNull())
        NetStore::WriteWhole(path, out);
}

bool CNT_Path_Remind::RemoveFromFile(qint64 utc, const QString& path)
{
    QByteArray text;
    if (!NetStore::ReadWhole(path, &text))
        return false;
    const QByteArray out = Removed(text, utc);
    if (out.isNull())
        return false;
    NetStore::WriteWhole(path, out);
    return true;
}

QByteArray CNT_Path_Remind::Body(const QString& host) const
{
    const Json root = NetBody::NewObject();
    cJSON* o = root.get();
    ccJSON_AddItemToObject(o, "device_id", host);
    ccJSON_AddItemToObject(o, "utc", utc);
    ccJSON_AddItemToObject(o, "notification_utc", notification_utc);
    ccJSON_AddItemToObject(o, "duration", duration);
    ccJSON_AddItemToObject(o, "description", description.constData());
    ccJSON_AddItemToObject(o, "operator_id", operator_id.constData());
    return NetBody::Print(o);
}

QByteArray CNT_Path_Remind::DeletedBody(const QString& host, qint64 utc)
{
    const Json root = NetBody::NewObject();
    ccJSON_AddItemToObject(root.get(), "device_id", host);
    ccJSON_AddItemToObject(root.get(), "utc", utc);
    return NetBody::Print(root.get());
}
