#include "network/netstatistics.h"

#include "network/netbody.h"
#include "network/netstore.h"

#include <cjson/cJSON.h>

#include <QFile>

#include <algorithm>
#include <limits>

using NetBody::ccJSON_AddItemToObject;
using NetBody::Json;
using NetStore::Int;
using NetStore::Int64;
using NetStore::Text;

const char* const CNT_Path_Statistics::kFile = "./cnt_net/data/Statistics";

namespace {

int ClampInt(qint64 v)
{
    return int(std::clamp<qint64>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool ReadAlarm(const cJSON* item, QMap<int, CNT_Path_Statistics_Alarm>& into)
{
    CNT_Path_Statistics_Alarm a;
    if (!Int(item, "alarm_area_num", &a.alarm_area_num) || !Text(item, "alarm_algorithm_type", &a.alarm_algorithm_type)
        || !Int(item, "alarm_result", &a.alarm_result))
        return false;
    into.insert(a.alarm_area_num - 1, a);
    return true;
}

bool ReadDetect(const cJSON* item, QMap<int, CNT_Path_Statistics_Detect>& into)
{
    CNT_Path_Statistics_Detect d;
    const cJSON* alarms = cJSON_GetObjectItem(item, "alarm");
    if (!Int(item, "time", &d.time) || !Int(item, "ng_sum", &d.ng_sum) || !Int(item, "produce", &d.produce)
        || !Int(item, "monitor_times", &d.monitor_times) || !Int(item, "ok_num", &d.ok_num)
        || !Int(item, "ok_rate", &d.ok_rate) || !Int(item, "not_ok_num", &d.not_ok_num)
        || !Int(item, "not_ok_rate", &d.not_ok_rate) || !cJSON_IsArray(alarms))
        return false;
    const cJSON* a = nullptr;
    cJSON_ArrayForEach(a, alarms) {
        if (!ReadAlarm(a, d.alarm))
            break;
    }
    into.insert(d.time - 1, d);
    return true;
}

bool ReadCamera(const cJSON* item, QMap<int, CNT_Path_Statistics_Camera>& into)
{
    CNT_Path_Statistics_Camera c;
    const cJSON* steps = cJSON_GetObjectItem(item, "ng_monitors");
    if (!Text(item, "camera_id", &c.camera_id) || !Int(item, "disalarm_timeout_time", &c.disalarm_timeout_time)
        || !Int(item, "last_monitor_period", &c.last_monitor_period)
        || !Int(item, "now_monitor_period", &c.now_monitor_period)
        || !Int(item, "average_monitor_period", &c.average_monitor_period) || !cJSON_IsArray(steps))
        return false;
    const cJSON* s = nullptr;
    cJSON_ArrayForEach(s, steps) {
        if (!ReadDetect(s, c.ng_monitors))
            break;
    }
    into.insert(c.camera_id.toInt() - 1, c);
    return true;
}

}  // namespace

void CNT_Path_Statistics::Reset(qint64 nowMs)
{
    product_name = "no set";
    product_serial = "1";
    products_num = 10000;
    start_utc = nowMs;
    total_stop_alarm_timelen = 0;
    utc_watch_total = nowMs - start_utc;
    watch_count_total = 0;
    ng_count_total = 0;
    ng_notification_rate = 0;
    cameras.clear();
}

bool CNT_Path_Statistics::Restore(const QByteArray& text)
{
    const Json root(cJSON_ParseWithLength(text.constData(), size_t(text.size())));
    if (!cJSON_IsObject(root.get()))
        return true;
    const cJSON* o = root.get();
    isRestored = false;
    const bool all = Text(o, "product_name", &product_name) && Text(o, "product_serial", &product_serial)
        && Int(o, "products_num", &products_num) && Int64(o, "start_utc", &start_utc)
        && Int64(o, "real_produce", &real_produce) && Int64(o, "utc_watch_total", &utc_watch_total)
        && Int64(o, "total_stop_alarm_timelen", &total_stop_alarm_timelen)
        && Int(o, "watch_count_total", &watch_count_total) && Int(o, "ng_count_total", &ng_count_total)
        && Int(o, "ng_notification_rate", &ng_notification_rate) && Int64(o, "watch_circle", &watch_circle);
    if (!all)
        return false;
    const cJSON* list = cJSON_GetObjectItem(cJSON_GetObjectItem(o, "camera"), "ng");
    const cJSON* c = nullptr;
    if (cJSON_IsArray(list)) {
        cJSON_ArrayForEach(c, list) {
            if (!ReadCamera(c, cameras))
                break;
        }
    }
    isRestored = true;
    return true;
}

bool CNT_Path_Statistics::SaveToFile(const char* data, int len, const QString& path)
{
    return NetStore::WriteWhole(path, QByteArray(data, len));
}

void NetStatistics::InitStatistics(qint64 nowMs, const QString& path)
{
    statistics.Reset(nowMs);
    QByteArray text;
    if (!NetStore::ReadWhole(path, &text))
        return;
    if (!statistics.Restore(text))
        QFile::remove(path);
}

void NetStatistics::ChkandAddStaticticsItem(int camera, int detect, int roi)
{
    if (!statistics.cameras.contains(camera)) {
        CNT_Path_Statistics_Camera c;
        c.camera_id = QByteArray::number(camera + 1);
        statistics.cameras.insert(camera, c);
    }
    auto& steps = statistics.cameras[camera].ng_monitors;
    if (!steps.contains(detect)) {
        CNT_Path_Statistics_Detect d;
        d.time = detect + 1;
        steps.insert(detect, d);
    }
    auto& regions = steps[detect].alarm;
    if (regions.contains(roi)) {
        ++regions[roi].alarm_result;
        return;
    }
    CNT_Path_Statistics_Alarm a;
    a.alarm_area_num = roi + 1;
    a.alarm_result = 1;
    regions.insert(roi, a);
}

void NetStatistics::CNT_AddNgTimes(int ms)
{
    statistics.total_stop_alarm_timelen += ms;
    alarmDurations.append(ms);
}

int NetStatistics::CNT_AddCycle()
{
    if (alarmDurations.size() > kKeptDurations)
        alarmDurations.removeFirst();
    if (alarmDurations.isEmpty())
        return 0;
    qint64 sum = 0;
    for (const int ms : alarmDurations)
        sum += ms;
    return int(sum / alarmDurations.size());
}

int NetStatistics::Rate(qint64 part, qint64 whole)
{
    return whole == 0 ? 0 : ClampInt(part * 10000 / whole);
}

QByteArray NetStatistics::Report(const StatisticsReportInputs& in)
{
    CNT_Path_Statistics& s = statistics;
    int most = 0, mostNg = 0;
    for (int c = 0; c < in.camerasInUse && c < in.allNum.size() && c < in.failNum.size(); ++c) {
        most = std::max(most, in.allNum[c]);
        mostNg = std::max(mostNg, in.failNum[c]);
    }
    s.watch_count_total = most;
    s.ng_count_total = mostNg;
    s.ng_notification_rate = Rate(mostNg, most);
    s.utc_watch_total = in.nowMs - s.start_utc - qint64(in.stoppedMinutes) * 60000;
    s.real_produce = (qint64(most) - mostNg) * in.cavities;
    s.watch_circle = in.cycleTenths * 100;
    const int latest = alarmDurations.isEmpty() ? 0 : alarmDurations.last();
    const int average = CNT_AddCycle();
    s.product_name = in.productName;
    s.product_serial = QByteArray::number(in.productBatch);
    s.products_num = in.plannedQuantity;

    const Json root = NetBody::NewObject();
    cJSON* o = root.get();
    ccJSON_AddItemToObject(o, "device_id", in.host);
    ccJSON_AddItemToObject(o, "state", qint64(in.state));
    ccJSON_AddItemToObject(o, "product_name", s.product_name.constData());
    ccJSON_AddItemToObject(o, "product_serial", s.product_serial.constData());
    ccJSON_AddItemToObject(o, "products_num", qint64(s.products_num));
    ccJSON_AddItemToObject(o, "start_utc", s.start_utc);
    ccJSON_AddItemToObject(o, "real_produce", s.real_produce);
    ccJSON_AddItemToObject(o, "utc_watch_total", s.utc_watch_total);
    ccJSON_AddItemToObject(o, "total_stop_alarm_timelen", s.total_stop_alarm_timelen);
    ccJSON_AddItemToObject(o, "watch_count_total", qint64(s.watch_count_total));
    ccJSON_AddItemToObject(o, "ng_count_total", qint64(s.ng_count_total));
    ccJSON_AddItemToObject(o, "ng_notification_rate", qint64(s.ng_notification_rate));
    ccJSON_AddItemToObject(o, "watch_circle", s.watch_circle);
    ccJSON_AddItemToObject(o, "utc", in.nowMs);
    ccJSON_AddItemToObject(o, "ng_image", in.ngImage.toUtf8().constData());
    cJSON* camera = cJSON_AddObjectToObject(o, "camera");
    cJSON* ng = cJSON_AddArrayToObject(camera, "ng");

    for (auto c = s.cameras.begin(); c != s.cameras.end(); ++c) {
        const int k = c.key();
        if (k < 0 || k > kMaxKey)
            return QByteArray();
        CNT_Path_Statistics_Camera& cam = c.value();
        cam.disalarm_timeout_time = 1;
        cam.last_monitor_period = ClampInt(s.total_stop_alarm_timelen);
        cam.now_monitor_period = latest;
        cam.average_monitor_period = average;
        cJSON* co = cJSON_CreateObject();
        cJSON_AddItemToArray(ng, co);
        ccJSON_AddItemToObject(co, "camera_id", QByteArray::number(k + 1).constData());
        ccJSON_AddItemToObject(co, "disalarm_timeout_time", qint64(cam.disalarm_timeout_time));
        ccJSON_AddItemToObject(co, "last_monitor_period", qint64(cam.last_monitor_period));
        ccJSON_AddItemToObject(co, "now_monitor_period", qint64(cam.now_monitor_period));
        ccJSON_AddItemToObject(co, "average_monitor_period", qint64(cam.average_monitor_period));
        cJSON* steps = cJSON_AddArrayToObject(co, "ng_monitors");
        const int all = k < in.allNum.size() ? in.allNum[k] : 0;
        const int fail = k < in.failNum.size() ? in.failNum[k] : 0;
        for (auto d = cam.ng_monitors.begin(); d != cam.ng_monitors.end(); ++d) {
            if (d.key() < 0 || d.key() > kMaxKey)
                return QByteArray();
            CNT_Path_Statistics_Detect& st = d.value();
            st.ng_sum = fail;
            st.produce = in.plannedQuantity;
            st.monitor_times = all;
            st.ok_num = all - fail;
            st.ok_rate = Rate(qint64(all) - fail, all);
            st.not_ok_num = fail;
            st.not_ok_rate = Rate(fail, all);
            cJSON* so = cJSON_CreateObject();
            cJSON_AddItemToArray(steps, so);
            ccJSON_AddItemToObject(so, "time", qint64(st.time));
            ccJSON_AddItemToObject(so, "ng_sum", qint64(st.ng_sum));
            ccJSON_AddItemToObject(so, "produce", qint64(st.produce));
            ccJSON_AddItemToObject(so, "monitor_times", qint64(st.monitor_times));
            ccJSON_AddItemToObject(so, "ok_num", qint64(st.ok_num));
            ccJSON_AddItemToObject(so, "ok_rate", qint64(st.ok_rate));
            ccJSON_AddItemToObject(so, "not_ok_num", qint64(st.not_ok_num));
            ccJSON_AddItemToObject(so, "not_ok_rate", qint64(st.not_ok_rate));
            cJSON* alarms = cJSON_AddArrayToObject(so, "alarm");
            for (const CNT_Path_Statistics_Alarm& a : st.alarm) {
                cJSON* ao = cJSON_CreateObject();
                cJSON_AddItemToArray(alarms, ao);
                ccJSON_AddItemToObject(ao, "alarm_area_num", qint64(a.alarm_area_num));
                ccJSON_AddItemToObject(ao, "alarm_algorithm_type", a.alarm_algorithm_type.constData());
                ccJSON_AddItemToObject(ao, "alarm_result", qint64(a.alarm_result));
            }
        }
    }
    return NetBody::Print(o);
}

const char* NetStatistics::RunStateText(int runState)
{
    switch (runState) {
    case 1: return "正在检测";
    case 2: return "模板训练中";
    case 3: return "停止检测";
    default: return "";
    }
}

const char* NetStatistics::DetectMethodText(int trigSource)
{
    switch (trigSource) {
    case 1: return "开模到位";
    case 2: return "安全门";
    case 3: return "顶针";
    case -1: return "成品手动抓拍";
    case -2: return "模腔手动抓拍";
    default: return "";
    }
}

namespace {

// The element of array whose number member key equals id, appended by make
// when missing. Numbers are added as raw decimal text.
template <typename Make>
cJSON* FindOrAdd(cJSON* array, const char* key, int id, Make make)
{
    const QByteArray idText = QByteArray::number(id);
    cJSON* item = nullptr;
    cJSON_ArrayForEach(item, array) {
        const cJSON* member = cJSON_GetObjectItemCaseSensitive(item, key);
        if (cJSON_IsRaw(member) && idText == member->valuestring)
            return item;
    }
    item = cJSON_CreateObject();
    cJSON_AddItemToArray(array, item);
    ccJSON_AddItemToObject(item, key, qint64(id));
    make(item);
    return item;
}

}  // namespace

QByteArray NetStatistics::CycleReport(const CycleReportInputs& in, const QList<param_roi>& results)
{
    const Json root = NetBody::NewObject();
    cJSON* o = root.get();
    ccJSON_AddItemToObject(o, "device_id", in.host);
    ccJSON_AddItemToObject(o, "utc", in.utc);
    ccJSON_AddItemToObject(o, "state", RunStateText(in.runState));
    ccJSON_AddItemToObject(o, "detect_method", DetectMethodText(in.trigSource));
    ccJSON_AddItemToObject(o, "product_name", in.productName.constData());
    ccJSON_AddItemToObject(o, "product_serial", QByteArray::number(in.productBatch).constData());
    ccJSON_AddItemToObject(o, "product_num", qint64(in.plannedQuantity));
    ccJSON_AddItemToObject(o, "product_moldcavity", qint64(in.cavities));
    ccJSON_AddItemToObject(o, "product_operator", in.operatorName.constData());
    ccJSON_AddItemToObject(o, "result", qint64(in.isNg ? 1 : 0));
    cJSON* array = cJSON_AddArrayToObject(o, "array");
    for (const param_roi& r : results) {
        const int c = r.camera;
        if (c < 0 || c >= in.camerasInUse)
            continue;
        cJSON* cam = FindOrAdd(array, "camera_id", c + 1, [&](cJSON* item) {
            ccJSON_AddItemToObject(item, "device_ng", qint64(c < in.failNum.size() ? in.failNum[c] : 0));
            ccJSON_AddItemToObject(item, "device_all", qint64(c < in.allNum.size() ? in.allNum[c] : 0));
            cJSON_AddArrayToObject(item, "detect_array");
        });
        if (r.detect < 0 || r.detect > 4)
            continue;
        cJSON* step = FindOrAdd(cJSON_GetObjectItemCaseSensitive(cam, "detect_array"), "detect_id", r.detect + 1,
                                [](cJSON* item) { cJSON_AddArrayToObject(item, "roi_array"); });
        cJSON* roi = cJSON_CreateObject();
        cJSON_AddItemToArray(cJSON_GetObjectItemCaseSensitive(step, "roi_array"), roi);
        ccJSON_AddItemToObject(roi, "roi_id", qint64(r.roi + 1));
        ccJSON_AddItemToObject(roi, "algorithm_type", qint64(r.mode));
        ccJSON_AddItemToObject(roi, "algorithm_result", qint64(r.value));
        ccJSON_AddItemToObject(roi, "algorithm_premin", qint64(r.lower));
        ccJSON_AddItemToObject(roi, "algorithm_premax", qint64(r.upper));
        ccJSON_AddItemToObject(roi, "is_alarm", qint64(r.ok));
    }
    return NetBody::Print(o);
}
