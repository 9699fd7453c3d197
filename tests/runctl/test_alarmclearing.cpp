// The operator's answers to an alarm, on the run controller with recording
// views: which gate stops each action (password, safety door, the camera
// shown, the template count, the operator's "no"), what each changes
// (outputs, result-picture states, templates and ignore points on disk,
// record lines), and the slot and pixel choices of the template library.

#include "inspection/cameraworkset.h"
#include "inspection/cammersingleton.h"
#include "inspection/templatestore.h"
#include "runfixture.h"
#include "screen/alarmclearing.h"
#include "screen/drawroiwidget.h"
#include "screen/templatelibrary.h"
#include "screen/viewreadings.h"

#include <QDir>
#include <opencv2/core.hpp>
#include <QFile>
#include <QFileInfo>

namespace {

class FakeClearingScreen : public ClearingScreen
{
public:
    int CheckPassword() override
    {
        said << "password";
        return level;
    }
    bool Ask(const QString& text) override
    {
        said << "ask " + text;
        return yes;
    }
    void Warn(const QString& text) override { said << "warn " + text; }
    void SaveData() override { said << "save"; }
    int selectedView() const override { return selected; }
    int editDetect() const override { return edit; }
    bool safeDoorOpen() const override { return door; }
    void SelectView(int camera) override
    {
        selected = camera;
        said << QStringLiteral("select %1").arg(camera);
    }
    void SetSource(int source) override
    {
        gSource = source;
        said << QStringLiteral("source %1").arg(source);
    }
    void ShowEditorTools() override { said << "tools"; }
    void Repaint(int) override {}
    void RestartBlink(int camera) override { said << QStringLiteral("blink %1").arg(camera); }
    cv::Mat ShownNgPicture(int) override { return ngPicture; }
    void ShowNextTemplate() override { said << "next"; }
    void TemplateWritten(const QString& path) override { said << "written " + QFileInfo(path).fileName(); }
    void TemplateDeleted(int camera1, int step1, const QString& name) override
    {
        said << QStringLiteral("deleted %1 %2 %3").arg(camera1).arg(step1).arg(name);
    }

    // What was asked or said, without the saves.
    QStringList dialog() const
    {
        QStringList out = said;
        out.removeAll("save");
        return out;
    }

    int level = 2;
    bool yes = true;
    bool door = true;
    int selected = 0;
    int edit = 1;
    cv::Mat ngPicture;
    QStringList said;
};

constexpr int kW = 16, kH = 12;

class Clearing : public RunTest
{
protected:
    // Two cameras, camera 2 NG in the mould step: the alarm is up.
    void alarm(int cameras = 2, int ngCamera = 1)
    {
        gTempNum = slotCount;
        start(cameras);
        view(ngCamera).verdict[1] = false;
        for (int c = 0; c < cameras; ++c) {
            auto set = std::make_unique<CameraWorkSet>();
            set->cameraIndex = c;
            set->Allocate(kW, kH, false, slotCount);
            set->liveRecord = &record;
            set->imageWork.setTo(c + 10);
            works.push_back(std::move(set));
            for (int d = 0; d < 2; ++d)
                QDir().mkpath(QFileInfo(TemplateStore::TemplatePath(c, d, 0)).path());
        }
        pulse(0);
        advance(3000);
        ASSERT_EQ(st().displayState, DisplayState::Alarm);
        AlarmClearing::Ports ports;
        ports.controller = ctl.get();
        ports.screen = &fake;
        for (int c = 0; c < cameras; ++c) {
            ports.works.append(works[c].get());
            ports.views.append(views[c].get());
        }
        clearing = std::make_unique<AlarmClearing>(ports);
        gSource = 1;
        fake.selected = cameras;
    }

    // Writes template files of camera 1, step 2 with the given ages (seconds).
    void templateFiles(const std::vector<std::pair<QString, int>>& files)
    {
        const QString folder = QFileInfo(TemplateStore::TemplatePath(0, 1, 0)).path();
        for (const auto& [name, age] : files) {
            QFile f(folder + "/" + name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("x");
            f.flush();
            f.setFileTime(QDateTime::currentDateTime().addSecs(-age), QFileDevice::FileModificationTime);
        }
    }
    static bool templateExists(int camera, int step, int slot)
    {
        return QFile::exists(TemplateStore::TemplatePath(camera, step, slot));
    }

    int slotCount = 5;
    CammerSingleton record{0};
    std::vector<std::unique_ptr<CameraWorkSet>> works;
    FakeClearingScreen fake;
    std::unique_ptr<AlarmClearing> clearing;
};

const QString kAlarmLine = "Camera 2Alarm";

// Every gate that ends an action before it changes anything: no record
// line, the alarm and its outputs as they were.
struct GateCase {
    const char* name;
    void (AlarmClearing::*action)();
    int selected;   // -1: all views
    int level;      // granted access level (0 refused)
    bool door;
    bool yes;
    int templates;
    QStringList dialog;
};

class ClearingGates : public Clearing, public ::testing::WithParamInterface<GateCase>
{
};

TEST_P(ClearingGates, EndWithoutChange)
{
    const GateCase& c = GetParam();
    slotCount = c.templates;
    para.pswNoDetect = para.pswAddTemplate = para.pswIgnorePoint = 1;
    para.isPswUsed = 1;
    para.alarmNeedsDoorOpen = 1;
    alarm();
    fake.selected = c.selected < 0 ? 2 : c.selected;
    fake.level = c.level;
    fake.door = c.door;
    fake.yes = c.yes;
    const int before = out();
    (clearing.get()->*c.action)();
    EXPECT_EQ(fake.dialog(), c.dialog);
    EXPECT_EQ(records().last(), kAlarmLine);
    EXPECT_EQ(st().displayState, DisplayState::Alarm);
    EXPECT_EQ(out(), before);
    EXPECT_FALSE(templateExists(1, 1, 1));
}

const QString kDoor = "warn Open the safety door to lift the alarm";
const QString kSwitch = "warn Tip: Please switch to the alarm \r\n camera before proceeding!";
const QString kMaxOne = "warn Warning: The maximum template \r\n number is 1, operation failed!";
const QString kAddQuestion = "ask Be sure to add to the template \r\n library?";

INSTANTIATE_TEST_SUITE_P(
    Table, ClearingGates,
    ::testing::Values(
        GateCase{"skip_password_refused", &AlarmClearing::SlotNoCheckCur, 1, 0, true, true, 5, {"password"}},
        GateCase{"skip_door_not_opened", &AlarmClearing::SlotNoCheckCur, 1, 2, false, true, 5, {"password", kDoor}},
        GateCase{"skip_all_answered_no", &AlarmClearing::SlotNoCheckCur, -1, 2, true, false, 5,
                 {"password", "ask Be sure not to detect this mold \r\n for all cameras?"}},
        GateCase{"skip_ok_camera_shown", &AlarmClearing::SlotNoCheckCur, 0, 2, true, true, 5, {"password", kSwitch}},
        GateCase{"skip_one_answered_no", &AlarmClearing::SlotNoCheckCur, 1, 2, true, false, 5,
                 {"password", "ask Be sure not to detect this mold \r\n for camera 2?"}},
        GateCase{"add_all_views", &AlarmClearing::SlotAddTemp, -1, 2, true, true, 5, {kSwitch}},
        GateCase{"add_ok_camera", &AlarmClearing::SlotAddTemp, 0, 2, true, true, 5, {kSwitch}},
        GateCase{"add_door_not_opened", &AlarmClearing::SlotAddTemp, 1, 2, false, true, 5, {kDoor}},
        GateCase{"add_one_template_slot", &AlarmClearing::SlotAddTemp, 1, 2, true, true, 1, {kMaxOne}},
        GateCase{"add_password_refused", &AlarmClearing::SlotAddTemp, 1, 0, true, true, 5, {"password"}},
        GateCase{"add_answered_no", &AlarmClearing::SlotAddTemp, 1, 2, true, false, 5, {"password", kAddQuestion}},
        GateCase{"ignore_all_views", &AlarmClearing::SlotIgnoreAlarmPoint, -1, 2, true, true, 5, {kSwitch}},
        GateCase{"ignore_password_refused", &AlarmClearing::SlotIgnoreAlarmPoint, 1, 0, true, true, 5, {"password"}},
        GateCase{"delete_points_ok_camera", &AlarmClearing::SlotDeleteIgnorePoint, 0, 2, true, true, 5, {kSwitch}},
        GateCase{"delete_points_answered_no", &AlarmClearing::SlotDeleteIgnorePoint, 1, 2, true, false, 5,
                 {"ask Be sure to delete all the ignored \r\n points?"}}),
    [](const ::testing::TestParamInfo<GateCase>& info) { return std::string(info.param.name); });

// Re-check on a single live view: the view moves on to the next camera
// still NG (wrapping), and the alarm stays while one is.
TEST_F(Clearing, ReCheckFollowsTheCamerasStillNg)
{
    alarm(3, 2);
    view(0).verdict[1] = false;
    fake.selected = 1;
    clearing->SlotReCheck();
    EXPECT_EQ(fake.said, (QStringList{"save", "select 2"}));
    EXPECT_EQ(st().displayState, DisplayState::Alarm);
    EXPECT_EQ(gSource, 1);
    view(2).verdict[1] = true;
    fake.said.clear();
    clearing->SlotReCheck();
    EXPECT_EQ(fake.said, (QStringList{"save", "select 0"})) << "wraps after the last camera";
    view(0).verdict[1] = true;
    clearing->SlotReCheck();
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    EXPECT_EQ(gSource, -1);
    EXPECT_EQ(out() & O2, 0);
}

TEST_F(Clearing, SkipForAllCamerasRecordsAfterTheDecision)
{
    alarm();
    fake.selected = 2;
    const size_t inspected = view(1).inspections.size();
    clearing->SlotNoCheckCur();
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    EXPECT_EQ(gSource, -1);
    EXPECT_EQ(view(1).inspections.size(), inspected) << "no camera is inspected again";
    EXPECT_EQ(records().last(), "All cameras do not detect this mold");
    EXPECT_EQ(out(), 0);
}

TEST_F(Clearing, SkipForOneCameraRecordsBeforeTheReCheck)
{
    alarm();
    fake.selected = 1;
    clearing->SlotNoCheckCur();
    EXPECT_EQ(records().mid(records().indexOf(kAlarmLine) + 1), QStringList{"Camera 2 do not detect the mold"});
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    EXPECT_EQ(view(1).callsOf("UpdateFailImage"), QStringList{"UpdateFailImage 1 0 4"});
}

// Adding the live picture: the lowest free slot gets the aligned frame on
// disk, the camera is retrained and passes, the alarm ends.
TEST_F(Clearing, LivePictureBecomesATemplate)
{
    alarm();
    fake.selected = 1;
    works[1]->SetTemplate(1, 0, works[1]->imageWork);
    works[1]->SetTemplate(1, 2, works[1]->imageWork);
    clearing->SlotAddTemp();
    EXPECT_TRUE(templateExists(1, 1, 1));
    EXPECT_EQ(works[1]->templateTotal[1], 3);
    const cv::Mat written = TemplateStore::ReadFrame(TemplateStore::TemplatePath(1, 1, 1), kW, kH, 8);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.at<uchar>(0, 0), 11);
    EXPECT_TRUE(fake.said.contains("written template1.bmp"));
    EXPECT_EQ(view(1).callsOf("Retrain").value(0), "Retrain 1");
    EXPECT_TRUE(records().contains("Camerar 2 added a template"));
    EXPECT_EQ(view(1).callsOf("UpdateFailImage"), QStringList{"UpdateFailImage 1 0 5"});
    EXPECT_EQ(st().displayState, DisplayState::ResultShown);
    EXPECT_EQ(out() & O2, 0);
}

// In the editor a recent NG picture is added; the camera is retrained when
// the editor saves.
TEST_F(Clearing, NgPictureInTheEditorMarksTheCamera)
{
    alarm();
    st().displayState = DisplayState::Editing;
    gSource = 2;
    fake.selected = 0;
    fake.ngPicture = cv::Mat(kH, kW, CV_8UC1, cv::Scalar(77));
    clearing->SlotAddTemp();
    EXPECT_TRUE(templateExists(0, 1, 0));
    EXPECT_TRUE(clearing->templateChanged[0]);
    EXPECT_TRUE(view(0).callsOf("Retrain").isEmpty());
    // A source that does not fit the page: nothing, not even a line.
    gSource = 0;
    const QStringList before = records();
    clearing->SlotAddTemp();
    EXPECT_EQ(records(), before);
}

// A full library: the oldest template but the reference gives way.
struct FullCase {
    const char* name;
    int slotCount;
    std::vector<std::pair<QString, int>> files;   // name, age in seconds
    int slot;
    QString deleted;
};

class FullLibrary : public Clearing, public ::testing::WithParamInterface<FullCase>
{
};

TEST_P(FullLibrary, OldestGivesWay)
{
    const FullCase& c = GetParam();
    slotCount = c.slotCount;
    alarm(2, 0);
    fake.selected = 0;
    for (int t = 0; t < c.slotCount; ++t)
        works[0]->SetTemplate(1, t, works[0]->imageWork);
    templateFiles(c.files);
    clearing->SlotAddTemp();
    EXPECT_TRUE(fake.said.contains(QStringLiteral("written template%1.bmp").arg(c.slot))) << fake.said.join('|').toStdString();
    if (c.deleted.isEmpty()) {
        EXPECT_TRUE(fake.said.filter("deleted").isEmpty());
    } else {
        EXPECT_TRUE(fake.said.contains("deleted 1 2 " + c.deleted));
        EXPECT_FALSE(QFile::exists(QFileInfo(TemplateStore::TemplatePath(0, 1, 0)).path() + "/" + c.deleted));
    }
    EXPECT_EQ(works[0]->templateTotal[1], c.slotCount) << "counts stay";
}

INSTANTIATE_TEST_SUITE_P(
    Table, FullLibrary,
    ::testing::Values(
        FullCase{"oldest_replaced", 3, {{"template0.bmp", 10}, {"template1.bmp", 50}, {"template2.bmp", 30}}, 1, ""},
        FullCase{"reference_oldest_second_taken", 3,
                 {{"template0.bmp", 90}, {"template2.bmp", 50}, {"template1.bmp", 30}}, 2, ""},
        FullCase{"count_lowered_file_deleted", 3,
                 {{"template0.bmp", 90}, {"template4.bmp", 80}, {"template1.bmp", 30}}, 2, "template4.bmp"},
        FullCase{"foreign_names_never_slot_0", 3,
                 {{"templateX.bmp", 99}, {"template0.bmp", 90}, {"template-1.bmp", 80}}, 2, ""},
        FullCase{"no_files_last_slot", 4, {}, 3, ""}),
    [](const ::testing::TestParamInfo<FullCase>& info) { return std::string(info.param.name); });

// Ignore points: a region above 2000 is refused with a warning naming 2000;
// one of exactly 2000 is marked, boxes touching the frame's edge included.
TEST_F(Clearing, IgnorePointsOfTheFailedRegions)
{
    alarm();
    fake.selected = 1;
    record.roiNum[1] = 2;
    CameraWorkSet& w = *works[1];
    w.defectImage = cv::Mat::zeros(kH, kW, CV_8UC1);
    w.defectImage(cv::Rect(kW - 3, kH - 2, 3, 2)).setTo(1);
    w.defectImage.at<uchar>(0, 0) = 1;
    w.roiOk[1][0] = false;
    w.roiValue[1][0] = 2000;
    w.alarmRects[1][0][0].x1 = 2;
    w.alarmRects[1][0][1] = AlarmRect{kW - 3, kH - 2, kW, kH};   // at the corner, exclusive ends
    w.alarmRects[1][0][2] = AlarmRect{0, 0, 1, 1};
    w.roiOk[1][1] = false;
    w.roiValue[1][1] = 2001;
    w.alarmRects[1][1][0].x1 = 1;
    w.alarmRects[1][1][1] = AlarmRect{0, 0, kW, kH};
    w.ignoreImage[1] = cv::Mat::zeros(kH, kW, CV_8UC1);
    clearing->SlotIgnoreAlarmPoint();
    EXPECT_EQ(fake.dialog().filter("warn"),
              QStringList{"warn Warning: The current regional alert \r\n area is greater than 2000, \r\n "
                          "this operation is invalid!"});
    EXPECT_EQ(cv::countNonZero(w.ignoreImage[1]), 7);
    EXPECT_EQ(w.ignoreImage[1].at<uchar>(kH - 1, kW - 1), 255);
    EXPECT_TRUE(records().contains("Camera 2 ignoring the current alarm point"));
    EXPECT_TRUE(QFile::exists(TemplateStore::IgnorePointPath(1, 1)));
    EXPECT_EQ(view(1).callsOf("Retrain").value(0), "Retrain 1");
    EXPECT_EQ(st().displayState, DisplayState::Alarm) << "the alarm stays";
}

TEST_F(Clearing, DeleteShownTemplate)
{
    alarm();
    fake.selected = 0;
    fake.edit = 1;
    works[0]->shownTemplate = 0;
    clearing->SlotTempDeleteCur();
    EXPECT_EQ(fake.said,
              QStringList{"warn If you want to delete the first \r\ntemplate, please click \"Resample\"!"});
    templateFiles({{"template2.bmp", 5}});
    works[0]->SetTemplate(1, 2, works[0]->imageWork);
    works[0]->shownTemplate = 2;
    fake.said.clear();
    clearing->SlotTempDeleteCur();
    EXPECT_EQ(fake.said, (QStringList{"ask Be sure to delete the current template?", "deleted 1 2 template2.bmp", "next"}));
    EXPECT_FALSE(templateExists(0, 1, 2));
    EXPECT_EQ(works[0]->templateFlags[1][2], 0);
    EXPECT_TRUE(clearing->templateChanged[0]);
    EXPECT_EQ(records().last(), "Camera 1 has deleted the 3 template ");
}

TEST_F(Clearing, DeleteAllKeepsTheReference)
{
    alarm();
    templateFiles({{"template0.bmp", 5}, {"template1.bmp", 5}, {"template3.bmp", 5}});
    works[0]->SetTemplate(1, 3, works[0]->imageWork);
    clearing->SlotTempDeleteAll();
    EXPECT_TRUE(templateExists(0, 1, 0));
    EXPECT_FALSE(templateExists(0, 1, 1));
    EXPECT_FALSE(templateExists(0, 1, 3));
    EXPECT_EQ(fake.said, (QStringList{"deleted 1 2 template1.bmp", "deleted 1 2 template3.bmp"}));
    EXPECT_EQ(works[0]->templateFlags[1][3], 0);
    EXPECT_EQ(records().last(), "Delete all templates");
}

// Live and template alternate during the alarm; back on the live picture
// the NG cameras blink again.
TEST_F(Clearing, LiveAndTemplateAlternate)
{
    alarm();
    fake.selected = 1;
    clearing->SlotAutoChange();
    EXPECT_EQ(fake.said, (QStringList{"tools", "source 0"}));
    fake.said.clear();
    clearing->SlotAutoChange();
    EXPECT_EQ(fake.said, (QStringList{"source 1", "blink 1"}));
    fake.said.clear();
    fake.selected = 2;
    clearing->SlotAutoChange();
    EXPECT_TRUE(fake.said.isEmpty()) << "all views: nothing";
}

// Looking at the template during the alarm needs the password: refused, the
// live picture stays and so does the alarm output; granted, the output goes.
TEST_F(Clearing, TemplateSourceDuringTheAlarm)
{
    para.isPswUsed = 1;
    alarm();
    ASSERT_TRUE(out() & O2);
    fake.level = 0;
    EXPECT_FALSE(clearing->ApplySource(0));
    EXPECT_EQ(gSource, 1);
    EXPECT_TRUE(out() & O2);
    fake.level = 1;
    EXPECT_TRUE(clearing->ApplySource(0));
    EXPECT_EQ(gSource, 0);
    EXPECT_FALSE(out() & O2);
    EXPECT_TRUE(out() & O0) << "the clamp stays inhibited";
}

TEST(TemplateLibrary, FileNumbers)
{
    EXPECT_EQ(TemplateFileNumber("template0.bmp"), 0);
    EXPECT_EQ(TemplateFileNumber("template12.bmp"), 12);
    EXPECT_EQ(TemplateFileNumber("template.bmp"), -1);
    EXPECT_EQ(TemplateFileNumber("template1.BMP"), -1);
    EXPECT_EQ(TemplateFileNumber("template1.bmp.bak"), -1);
    EXPECT_EQ(FreeTemplateSlot({1, 1, 0, 0}), 2);
    EXPECT_EQ(FreeTemplateSlot({1, 1}), -1);
}

// The step the editor opens on outside the alarm.
TEST(EditStep, ByMachineType)
{
    struct Case {
        int type, side;
        bool asProduct, productOn;
        int steps[4];
    };
    const Case cases[] = {
        {0, 0, false, true, {0, 1, 2, 3}},  {0, 0, false, false, {1, 1, 1, 1}}, {0, 0, true, true, {0, 0, 0, 0}},
        {4, 0, false, false, {1, 1, 2, 3}}, {4, 0, false, true, {0, 1, 2, 3}},
        {1, 0, false, true, {0, 1, 0, 1}},  {1, 1, false, true, {2, 2, 2, 3}},  {1, 1, true, true, {2, 2, 2, 2}},
        {2, 1, false, false, {3, 3, 3, 3}}, {2, 2, false, false, {1, 1, 3, 3}}, {2, 2, true, true, {0, 1, 0, 1}},
    };
    for (const Case& c : cases) {
        for (int cur = 0; cur < 4; ++cur) {
            EXPECT_EQ(EditStepFor(cur, c.type, c.side, c.asProduct, c.productOn, 4), c.steps[cur])
                << "type " << c.type << " side " << c.side << " as product " << c.asProduct << " product "
                << c.productOn << " step " << cur;
        }
    }
    EXPECT_EQ(EditStepFor(3, 0, 0, false, true, 2), 0) << "outside the steps";
}

}  // namespace
