#include "network/netbody.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cammersingleton.h"

#include <cjson/cJSON.h>

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace NetBody {

void JsonDelete::operator()(cJSON* item) const
{
    cJSON_Delete(item);
}

Json NewObject()
{
    return Json(cJSON_CreateObject());
}

void ccJSON_AddItemToObject(cJSON* object, const char* key, const char* bytes)
{
    cJSON_AddItemToObject(object, key, cJSON_CreateString(bytes));
}

void ccJSON_AddItemToObject(cJSON* object, const char* key, qint64 number)
{
    // Raw decimal text: every 64-bit value prints whole, never with an exponent.
    cJSON_AddItemToObject(object, key, cJSON_CreateRaw(QByteArray::number(number).constData()));
}

void ccJSON_AddItemToObject(cJSON* object, const char* key, const QString& text)
{
    ccJSON_AddItemToObject(object, key, LinkText(text).toUtf8().constData());
}

void ccJSON_AddItemToObject(cJSON* object, const char* key, const std::string& bytes)
{
    ccJSON_AddItemToObject(object, key, bytes.c_str());
}

QByteArray Print(const cJSON* object)
{
    char* text = cJSON_Print(object);
    const QByteArray out(text ? text : "");
    std::free(text);
    return out;
}

QString LinkText(const QString& text)
{
    return QString::fromUtf8(text.toLatin1());
}

namespace {

// Deepest nesting of arrays and objects in a JSON text, strings skipped.
int Depth(const QByteArray& text)
{
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

}  // namespace

Json ParseReplyBody(const QString& body)
{
    const QByteArray text = body.toUtf8();
    if (Depth(text) > kReplyDepth)
        return nullptr;
    // the terminating NUL counted in, so that trailing text is refused
    Json root(cJSON_ParseWithLengthOpts(text.constData(), size_t(text.size()) + 1, nullptr, true));
    return cJSON_IsObject(root.get()) ? std::move(root) : nullptr;
}

bool WholeNumber(const cJSON* item, qint64* value)
{
    if (!cJSON_IsNumber(item))
        return false;
    const double d = item->valuedouble;
    // 2^63 is the first double out of range; NaN fails both comparisons
    if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0) || d != std::trunc(d))
        return false;
    *value = qint64(d);
    return true;
}

qint64 Utc(const QDateTime& time)
{
    return time.toMSecsSinceEpoch();
}

namespace {

using Pair = std::pair<const char*, QString>;

// key=value pairs joined by "&", nothing escaped.
QString Form(std::initializer_list<Pair> pairs)
{
    QStringList parts;
    for (const Pair& p : pairs)
        parts << QString::fromLatin1(p.first) + QLatin1Char('=') + p.second;
    return parts.join(QLatin1Char('&'));
}

QString Dotted(const int (&n)[4])
{
    return QStringLiteral("%1.%2.%3.%4").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]);
}

void AddCamera(cJSON* array, const WizardPara& p, int c)
{
    cJSON* cam = cJSON_CreateObject();
    ccJSON_AddItemToObject(cam, "camera_id", QString::number(c + 1));
    ccJSON_AddItemToObject(cam, "expose_time", qint64(p.exposeTime[c]));
    ccJSON_AddItemToObject(cam, "adjust_plus", qint64(p.adjustPlus[c]));
    ccJSON_AddItemToObject(cam, "num_fail_detect", qint64(gFailNum[c]));
    ccJSON_AddItemToObject(cam, "num_all_detect", qint64(gAllNum[c]));
    ccJSON_AddItemToObject(cam, "sharp", qint64(p.sharp[c]));
    ccJSON_AddItemToObject(cam, "contrast", qint64(p.contrast[c]));
    ccJSON_AddItemToObject(cam, "camera_serial", gSerialNB[c][0] ? gSerialNB[c] : "0");
    cJSON_AddItemToArray(array, cam);
}

// Shape members of one region: type, point count, points, inner and outer radius.
void AddShape(cJSON* roi, const CammerSingleton& record, int d, int r)
{
    int type = -1;
    QVector<QPoint> points;
    int inner = 0, outer = 0;
    switch (record.roiType[d][r]) {
    case kRoiRect:
        type = 0;
        points = {record.rects[d][r].rect.topLeft(), record.rects[d][r].rect.bottomRight()};
        break;
    case kRoiCircle: {
        const Circle& c = record.circles[d][r];
        type = 1;
        points = {QPoint(c.cx, c.cy)};
        inner = c.rIn;
        outer = c.r;
        break;
    }
    case kRoiPolygon:
        type = 2;
        points = record.polygons[d][r].pts;
        break;
    default:
        break;
    }
    ccJSON_AddItemToObject(roi, "roi_type", qint64(type));
    ccJSON_AddItemToObject(roi, "top_point_count", qint64(points.size()));
    for (int i = 0; i < points.size(); ++i) {
        ccJSON_AddItemToObject(roi, QByteArray("top_" + QByteArray::number(i) + "_x").constData(), qint64(points[i].x()));
        ccJSON_AddItemToObject(roi, QByteArray("top_" + QByteArray::number(i) + "_y").constData(), qint64(points[i].y()));
    }
    ccJSON_AddItemToObject(roi, "in_r", qint64(inner));
    ccJSON_AddItemToObject(roi, "out_r", qint64(outer));
}

}  // namespace

QByteArray ROIParam(const QString& host, const CammerSingleton& record, int d)
{
    const Json root = NewObject();
    cJSON* o = root.get();
    const int count = qBound(0, record.roiNum[d], kMaxRegions);
    ccJSON_AddItemToObject(o, "device_id", host);
    ccJSON_AddItemToObject(o, "camera_id", QString::number(record.camera + 1));
    ccJSON_AddItemToObject(o, "detect", qint64(d + 1));
    ccJSON_AddItemToObject(o, "count", qint64(count));
    cJSON* rois = cJSON_AddArrayToObject(o, "roi");
    for (int r = 0; r < count; ++r) {
        cJSON* roi = cJSON_CreateObject();
        ccJSON_AddItemToObject(roi, "roi_idx", qint64(r + 1));
        ccJSON_AddItemToObject(roi, "min_size", qint64(record.minWH[d][r]));
        ccJSON_AddItemToObject(roi, "sensibility", qint64(record.sensitivity[d][r]));
        ccJSON_AddItemToObject(roi, "max_area", qint64(record.area[d][r]));
        ccJSON_AddItemToObject(roi, "algorithm", qint64(record.func[d][r]));
        ccJSON_AddItemToObject(roi, "output_point", qint64(record.outN[r]));
        AddShape(roi, record, d, r);
        cJSON_AddItemToArray(rois, roi);
    }
    return Print(o);
}

QString Record(const QString& host, const QDateTime& time, const QString& level, const QString& remark)
{
    return Form({{"device_id", host}, {"operater", level}, {"utc", QString::number(Utc(time))},
                 {"description", remark}});
}

QByteArray Param(const QString& host, const WizardPara& p)
{
    const Json root = NewObject();
    cJSON* o = root.get();
    auto num = [o](const char* key, qint64 value) { ccJSON_AddItemToObject(o, key, value); };
    auto text = [o](const char* key, const QString& value) { ccJSON_AddItemToObject(o, key, value); };
    const char* const kNoAddress = "0.0.0.0";
    text("device_id", host);
    num("finished_product_detect", p.trigInDelay[0]);
    num("cavity_detect", p.trigInDelay[1]);
    num("neutron_detect", p.trigInDelay[2]);
    num("fourth_detect", p.trigInDelay[3]);
    num("is_psw_used", p.isPswUsed);
    ccJSON_AddItemToObject(o, "password", p.password);
    num("semi_auto", p.semiAuto);
    num("enabe_one_test", p.detectOn[0]);
    num("enabe_two_test", p.mouldAsProduct);
    num("enable_correct", p.motionCorrection);
    num("enable_stop_mold", p.noClampWhenStopped);
    num("enable_screen_alert", p.alarmSound);
    num("front_mold_timelen", p.preCut);
    num("front_auto_check_time", p.reDetectTimes);
    num("ok_record_max_num", p.okImagesKept);
    num("enable_watch_dog", 1);
    num("mold_cutoff", p.cutEjectorWhenClamping);
    num("max_mold_num", p.templateCount);
    num("enable_stop_check", p.minSpot);
    num("ng_max_num", p.ngImagesKept);
    num("thimble_pulse", p.ejectorPulseTime);
    num("mold_pulse", p.clampPulseTime);
    num("enable_stop_not_alarm", p.ejectorPulseOnNG);
    num("is_cut_ontime", p.cutClampAfterMouldOK);
    num("is_cut_ontime_thimble", p.cutEjectorAfterProductOK);
    num("enable_cutoff_ontime", p.noEjectorControl);
    num("enable_pass_protect", p.pswNoDetect);
    num("language", gLan);
    num("enable_mold_backup", p.input4Use);
    num("location_adge", p.maxLocationOffset);
    num("location_level", p.screenOffTime);
    num("capture_speed", p.captureSpeed);
    num("input_timeout_len", p.noInputTimeout);
    num("enable_output_thimble_pulse", p.output4Use);
    num("enable_disarm_before_open", p.alarmNeedsDoorOpen);
    num("difference_multiplier", p.diffMultiplier);
    num("enable_defect_detect", p.defectOn);
    num("enable_spot_detect", p.spotOn);
    num("enable_ignore_area", p.ignoreAreaOn);
    num("enable_manual_edit", p.positionOn);
    num("enable_display_detail", p.perRoiParams);
    num("auto_cancel_timelen", p.autoLogoutTime);
    num("enable_one_not_mold", p.oneNotMould);
    num("enable_trigger_safety", p.doorTriggerDetect);
    num("enable_network", p.networkEnabled);
    const std::pair<const char*, const int (*)[4]> addresses[] = {
        {"local_addr_", &p.ipAddress}, {"mask_", &p.netmask}, {"gateway_", &p.gateway}};
    for (const auto& a : addresses) {
        text((QByteArray(a.first) + '1').constData(), Dotted(*a.second));
        for (int i = 2; i <= 4; ++i)
            ccJSON_AddItemToObject(o, (QByteArray(a.first) + QByteArray::number(i)).constData(), kNoAddress);
    }
    num("minimum_size", p.filterSize);
    num("minimum_area", p.alarmArea);
    num("serial_port", p.serialPort);
    num("enable_color_camera", p.colourCamera);
    num("enable_gray_channel", p.greyChannel);
    num("snap_shot", p.showSnapshot);
    num("min_spot", p.minSpot);
    num("factory_param", p.showFactoryParams);
    num("report_alarm", p.outPolarity[2]);
    num("prohibit_optimize", p.noLensOptimisation);
    cJSON* cameras = cJSON_AddArrayToObject(o, "camera");
    for (int c = 0; c < kMaxCameras; ++c)
        AddCamera(cameras, p, c);
    return Print(o);
}

QString DelTempPic(const QString& host, int camera, int step, const QString& name, const QDateTime& now,
                   const QString& stopOperator)
{
    return Form({{"deviceId", host}, {"cameraId", QString::number(camera)}, {"detectId", QString::number(step)},
                 {"template", name}, {"utc", QString::number(Utc(now))}, {"operator", stopOperator}});
}

QString SaveNgVideo(const QString& host, int camera, const QString& product, int isNg)
{
    return Form({{"device_id", host}, {"camera_id", QString::number(camera)}, {"product", product},
                 {"isng", QString::number(isNg)}});
}

QString TelInfo(const QString& host, int step, int count, const WizardPara& p)
{
    return Form({{"device_id", host}, {"check_id", QString::number(step + 1)},
                 {"product_count", QString::number(count)}, {"worker_name", WizardPara::Text(p.techName)},
                 {"mobile", WizardPara::Text(p.techPhone)}});
}

const char* ClearMethodText(int imageState)
{
    switch (imageState) {
    case 4: return "不检测此模解除";
    case 5: return "添加为模板解除";
    case 6: return "重新检测切换到模腔检测";
    case 7: return "进行重检检测";
    case 8: return "重检检测OK";
    default: return "";
    }
}

QByteArray Cancle(const QString& host, qint64 bindUtc, const QDateTime& now, int imageState, const WizardPara& p)
{
    const Json root = NewObject();
    cJSON* o = root.get();
    ccJSON_AddItemToObject(o, "device_id", host);
    ccJSON_AddItemToObject(o, "bind_utc", bindUtc);
    ccJSON_AddItemToObject(o, "utc", Utc(now));
    ccJSON_AddItemToObject(o, "method", ClearMethodText(imageState));
    ccJSON_AddItemToObject(o, "product_operator", p.operatorName);
    return Print(o);
}

}  // namespace NetBody
