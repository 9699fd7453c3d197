// Message bodies: keys, order and value types as the network client reads
// them. Message 2's key order and spellings are pinned in one list.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cammersingleton.h"
#include "network/netbody.h"

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <QStringList>
#include <cstring>

namespace {

const QString kHost = QStringLiteral("mm-07");
const QDateTime kTime = QDateTime::fromMSecsSinceEpoch(1733820000123, Qt::UTC);

struct Parsed {
    explicit Parsed(const QByteArray& text) : root(cJSON_ParseWithLength(text.constData(), size_t(text.size()))) {}
    ~Parsed() { cJSON_Delete(root); }
    cJSON* root;
};

// "key:s" for a string, "key:n" for a whole number, "key:a" for an array.
QStringList Shape(const cJSON* object)
{
    QStringList keys;
    for (const cJSON* item = object ? object->child : nullptr; item; item = item->next) {
        const char* kind = cJSON_IsString(item) ? "s" : cJSON_IsArray(item) ? "a"
            : cJSON_IsNumber(item) && item->valuedouble == double(qint64(item->valuedouble)) ? "n" : "?";
        keys << QStringLiteral("%1:%2").arg(QString::fromUtf8(item->string), QLatin1String(kind));
    }
    return keys;
}

const char* Text(const cJSON* object, const char* key)
{
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(object, key);
    return cJSON_IsString(item) ? item->valuestring : "<none>";
}

double Number(const cJSON* object, const char* key)
{
    const cJSON* item = cJSON_GetObjectItemCaseSensitive(object, key);
    return cJSON_IsNumber(item) ? item->valuedouble : -12345;
}

}  // namespace

TEST(NetBody, SettingsMessageKeysInOrder)
{
    WizardPara p;
    p.trigInDelay[0] = 11;
    p.trigInDelay[3] = 14;
    WizardPara::SetText(p.password, QStringLiteral("pa\"ss"));
    p.detectOn[0] = 1;
    p.minSpot = 7;
    p.outPolarity[2] = 1;
    p.ipAddress[0] = 10, p.ipAddress[1] = 0, p.ipAddress[2] = 0, p.ipAddress[3] = 7;
    p.exposeTime[5] = 555;
    gFailNum[1] = 3;
    gAllNum[1] = 40;
    std::strcpy(gSerialNB[2], "SN-2");
    const QByteArray body = NetBody::Param(kHost, p);
    Parsed json(body);
    ASSERT_TRUE(cJSON_IsObject(json.root)) << body.constData();
    const QStringList expected = QStringLiteral(
        "device_id:s finished_product_detect:n cavity_detect:n neutron_detect:n fourth_detect:n is_psw_used:n "
        "password:s semi_auto:n enabe_one_test:n enabe_two_test:n enable_correct:n enable_stop_mold:n "
        "enable_screen_alert:n front_mold_timelen:n front_auto_check_time:n ok_record_max_num:n enable_watch_dog:n "
        "mold_cutoff:n max_mold_num:n enable_stop_check:n ng_max_num:n thimble_pulse:n mold_pulse:n "
        "enable_stop_not_alarm:n is_cut_ontime:n is_cut_ontime_thimble:n enable_cutoff_ontime:n "
        "enable_pass_protect:n language:n enable_mold_backup:n location_adge:n location_level:n capture_speed:n "
        "input_timeout_len:n enable_output_thimble_pulse:n enable_disarm_before_open:n difference_multiplier:n "
        "enable_defect_detect:n enable_spot_detect:n enable_ignore_area:n enable_manual_edit:n "
        "enable_display_detail:n auto_cancel_timelen:n enable_one_not_mold:n enable_trigger_safety:n "
        "enable_network:n local_addr_1:s local_addr_2:s local_addr_3:s local_addr_4:s mask_1:s mask_2:s mask_3:s "
        "mask_4:s gateway_1:s gateway_2:s gateway_3:s gateway_4:s minimum_size:n minimum_area:n serial_port:n "
        "enable_color_camera:n enable_gray_channel:n snap_shot:n min_spot:n factory_param:n report_alarm:n "
        "prohibit_optimize:n camera:a").split(QLatin1Char(' '));
    EXPECT_EQ(Shape(json.root), expected);
    EXPECT_EQ(expected.size(), 69);

    const cJSON* cameras = cJSON_GetObjectItemCaseSensitive(json.root, "camera");
    ASSERT_EQ(cJSON_GetArraySize(cameras), 8);
    const QStringList cameraKeys = QStringLiteral(
        "camera_id:s expose_time:n adjust_plus:n num_fail_detect:n num_all_detect:n sharp:n contrast:n "
        "camera_serial:s").split(QLatin1Char(' '));
    for (int c = 0; c < 8; ++c) {
        const cJSON* cam = cJSON_GetArrayItem(cameras, c);
        EXPECT_EQ(Shape(cam), cameraKeys) << c;
        EXPECT_STREQ(Text(cam, "camera_id"), QByteArray::number(c + 1).constData());
    }
    EXPECT_STREQ(Text(json.root, "device_id"), "mm-07");
    EXPECT_STREQ(Text(json.root, "password"), "pa\"ss");
    EXPECT_EQ(Number(json.root, "finished_product_detect"), 11);
    EXPECT_EQ(Number(json.root, "fourth_detect"), 14);
    EXPECT_EQ(Number(json.root, "enabe_one_test"), 1);
    EXPECT_EQ(Number(json.root, "enable_watch_dog"), 1);
    EXPECT_EQ(Number(json.root, "enable_stop_check"), 7);
    EXPECT_EQ(Number(json.root, "min_spot"), 7);
    EXPECT_EQ(Number(json.root, "report_alarm"), 1);
    EXPECT_STREQ(Text(json.root, "local_addr_1"), "10.0.0.7");
    EXPECT_STREQ(Text(json.root, "mask_3"), "0.0.0.0");
    EXPECT_EQ(Number(cJSON_GetArrayItem(cameras, 5), "expose_time"), 555);
    EXPECT_EQ(Number(cJSON_GetArrayItem(cameras, 1), "num_fail_detect"), 3);
    EXPECT_EQ(Number(cJSON_GetArrayItem(cameras, 1), "num_all_detect"), 40);
    EXPECT_STREQ(Text(cJSON_GetArrayItem(cameras, 2), "camera_serial"), "SN-2");
    EXPECT_STREQ(Text(cJSON_GetArrayItem(cameras, 3), "camera_serial"), "0");
    // the formatted layout: one member per line, tab-indented
    EXPECT_TRUE(body.startsWith("{\n\t\"device_id\":\t\"mm-07\",\n\t\"finished_product_detect\":\t11,\n"));
    gFailNum[1] = gAllNum[1] = 0;
    gSerialNB[2][0] = 0;
}

TEST(NetBody, FormBodiesCarryTheirTextsRaw)
{
    WizardPara p;
    WizardPara::SetText(p.techName, QString::fromUtf8("王工"));
    WizardPara::SetText(p.techPhone, QStringLiteral("13800000000"));
    struct Case {
        QString body;
        QString expected;
    };
    const Case cases[] = {
        {NetBody::Record(kHost, kTime, QStringLiteral("Primary"), QString::fromUtf8("a&b=c 中")),
         QString::fromUtf8("device_id=mm-07&operater=Primary&utc=1733820000123&description=a&b=c 中")},
        {NetBody::DelTempPic(kHost, 1, 2, QStringLiteral("template3.bmp"), kTime, QStringLiteral("--")),
         QStringLiteral("deviceId=mm-07&cameraId=1&detectId=2&template=template3.bmp&utc=1733820000123&operator=--")},
        {NetBody::SaveNgVideo(kHost, 1, QStringLiteral("no set"), 1),
         QStringLiteral("device_id=mm-07&camera_id=1&product=no set&isng=1")},
        {NetBody::TelInfo(kHost, 0, 3, p),
         QString::fromUtf8("device_id=mm-07&check_id=1&product_count=3&worker_name=王工&mobile=13800000000")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.body, c.expected);
}

TEST(NetBody, AlarmReleaseMembersAndMethods)
{
    WizardPara p;
    WizardPara::SetText(p.operatorName, QString::fromUtf8("李"));
    const std::pair<int, const char*> methods[] = {
        {0, ""}, {3, ""}, {4, "不检测此模解除"}, {5, "添加为模板解除"}, {6, "重新检测切换到模腔检测"},
        {7, "进行重检检测"}, {8, "重检检测OK"}, {9, ""}};
    for (const auto& m : methods) {
        Parsed json(NetBody::Cancle(kHost, 1733820000000, kTime, m.first, p));
        EXPECT_EQ(Shape(json.root),
                  QStringLiteral("device_id:s bind_utc:n utc:n method:s product_operator:s").split(QLatin1Char(' ')));
        EXPECT_STREQ(Text(json.root, "method"), m.second);
        EXPECT_STREQ(Text(json.root, "product_operator"), "李");
        EXPECT_EQ(Number(json.root, "bind_utc"), 1733820000000.0);
        EXPECT_EQ(Number(json.root, "utc"), 1733820000123.0);
    }
    // large whole numbers print in full, never with an exponent
    const QByteArray body = NetBody::Cancle(kHost, 1733820000000, kTime, 0, p);
    EXPECT_TRUE(body.contains("\"bind_utc\":\t1733820000000,")) << body.constData();
}

TEST(NetBody, TextsThroughTheQStringOverloadArriveInTheirLatin1Form)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("mm-07"), QStringLiteral("mm-07")},
        {QString::fromUtf8("机台"), QStringLiteral("??")},
        {QString::fromUtf8("caf\u00e9"), QString::fromUtf8("caf\ufffd")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NetBody::LinkText(c.first), c.second);
        const NetBody::Json o = NetBody::NewObject();
        NetBody::ccJSON_AddItemToObject(o.get(), "device_id", c.first);
        Parsed json(NetBody::Print(o.get()));
        EXPECT_EQ(QString::fromUtf8(Text(json.root, "device_id")), c.second);
    }
}

TEST(NetBody, RegionsOfOneStepByShape)
{
    CammerSingleton record(2);
    const int d = 1;
    record.roiNum[d] = 4;
    record.roiType[d][0] = kRoiRect;
    record.rects[d][0].rect = QRect(QPoint(10, 20), QPoint(110, 220));
    record.roiType[d][1] = kRoiCircle;
    record.circles[d][1].cx = 300, record.circles[d][1].cy = 400;
    record.circles[d][1].r = 50, record.circles[d][1].rIn = 20;
    record.roiType[d][2] = kRoiPolygon;
    const QPoint triangle[] = {{1, 2}, {30, 4}, {5, 60}};
    record.polygons[d][2] = RePolygon(3, triangle);
    record.roiType[d][3] = 9;
    record.minWH[d][0] = 5, record.sensitivity[d][0] = 25, record.area[d][0] = 100, record.func[d][0] = 8;
    record.outN[1] = 3;
    Parsed json(NetBody::ROIParam(kHost, record, d));
    EXPECT_EQ(Shape(json.root), QStringLiteral("device_id:s camera_id:s detect:n count:n roi:a").split(' '));
    EXPECT_STREQ(Text(json.root, "camera_id"), "3");
    EXPECT_EQ(Number(json.root, "detect"), 2);
    EXPECT_EQ(Number(json.root, "count"), 4);
    const cJSON* rois = cJSON_GetObjectItemCaseSensitive(json.root, "roi");
    ASSERT_EQ(cJSON_GetArraySize(rois), 4);
    const QString common = "roi_idx:n min_size:n sensibility:n max_area:n algorithm:n output_point:n roi_type:n "
                           "top_point_count:n ";
    const QString shapes[] = {
        "top_0_x:n top_0_y:n top_1_x:n top_1_y:n in_r:n out_r:n",
        "top_0_x:n top_0_y:n in_r:n out_r:n",
        "top_0_x:n top_0_y:n top_1_x:n top_1_y:n top_2_x:n top_2_y:n in_r:n out_r:n",
        "in_r:n out_r:n",
    };
    const int types[] = {0, 1, 2, -1};
    const int counts[] = {2, 1, 3, 0};
    for (int r = 0; r < 4; ++r) {
        const cJSON* roi = cJSON_GetArrayItem(rois, r);
        EXPECT_EQ(Shape(roi), (common + shapes[r]).split(' ')) << r;
        EXPECT_EQ(Number(roi, "roi_idx"), r + 1);
        EXPECT_EQ(Number(roi, "roi_type"), types[r]);
        EXPECT_EQ(Number(roi, "top_point_count"), counts[r]);
    }
    const cJSON* rect = cJSON_GetArrayItem(rois, 0);
    EXPECT_EQ(Number(rect, "top_1_x"), 110);   // the bottom-right corner is the last pixel inside
    EXPECT_EQ(Number(rect, "top_1_y"), 220);
    EXPECT_EQ(Number(rect, "algorithm"), 8);
    const cJSON* ring = cJSON_GetArrayItem(rois, 1);
    EXPECT_EQ(Number(ring, "top_0_x"), 300);
    EXPECT_EQ(Number(ring, "in_r"), 20);
    EXPECT_EQ(Number(ring, "out_r"), 50);
    EXPECT_EQ(Number(ring, "output_point"), 3);
    EXPECT_EQ(Number(cJSON_GetArrayItem(rois, 2), "top_2_y"), 60);

    Parsed empty(NetBody::ROIParam(kHost, record, 5));
    EXPECT_EQ(Number(empty.root, "count"), 0);
    EXPECT_EQ(cJSON_GetArraySize(cJSON_GetObjectItemCaseSensitive(empty.root, "roi")), 0);
}

TEST(NetBody, ReplyBodiesThatAreNotPlainObjectsAreRefused)
{
    const std::pair<QString, bool> cases[] = {
        {"{\"result\":[{\"product_name\":\"P1\"}]}", true},
        {QString::fromUtf8("{\"result\":[{\"product_name\":\"产品\"}]}"), true},
        {"{\"a\":\"[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[\"}", true},   // brackets inside a string
        {"{\"a\":" + QString(31, '[') + QString(31, ']') + "}", true},
        {"{\"a\":" + QString(32, '[') + QString(32, ']') + "}", false},
        {QString(20000, '['), false},
        {"[{\"result\":[]}]", false},
        {"{result: nope", false},
        {"", false},
        {"{\"a\":1} trailing", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NetBody::ParseReplyBody(c.first) != nullptr, c.second) << c.first.left(60).toStdString();
}

TEST(NetBody, OnlyWholeNumbersInRangeAreRead)
{
    const std::pair<const char*, bool> cases[] = {
        {"1733820000000", true}, {"-5", true}, {"0", true}, {"1.5", false}, {"1e300", false},
        {"-1e300", false}, {"9223372036854775807", false}, {"\"12\"", false}, {"null", false}};
    for (const auto& c : cases) {
        Parsed json(QByteArray("{\"n\":") + c.first + "}");
        qint64 value = -1;
        EXPECT_EQ(NetBody::WholeNumber(cJSON_GetObjectItemCaseSensitive(json.root, "n"), &value), c.second) << c.first;
        if (c.second)
            EXPECT_EQ(value, QByteArray(c.first).toLongLong());
    }
}
