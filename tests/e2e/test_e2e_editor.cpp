// The region editor of the real program on an X screen of its own (:69):
// opened on the mould step that has no region, the automatic first region
// accepted, saved with "End Set"; the region is stored, its change-log line
// is in the record, and the next cycles judge it (a black frame passes, the
// part inside the region fails). Screenshots to $MOULDMON_SHOTS.

#include "tests/e2e/operatorscreen.h"

#include "core/texttable.h"
#include "inspection/cammersingleton.h"
#include "inspection/templatestore.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <cstring>

using namespace e2e;

namespace {

// "End Set", the editor bar's lowest button.
constexpr int kEndSetY = 1080 - 10 - 56;
constexpr int kFilterSize = 3;
constexpr int kAlarmArea = 40;

cv::Mat greyOf(const QImage& frame)
{
    cv::Mat out(frame.height(), frame.width(), CV_8UC1);
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(out.ptr(y), frame.constScanLine(y), frame.width());
    return out;
}

class Editor : public OperatorScreen
{
protected:
    Editor()
        : OperatorScreen(xscreen())
    {
        para.productDetectOn = 0;   // the editor opens on the mould step
        para.autoRegionOffered = 1;
        para.isPswUsed = 0;
        para.filterSize = kFilterSize;
        para.alarmArea = kAlarmArea;
    }

    static XScreen& xscreen()
    {
        static XScreen shared(69);
        return shared;
    }

    // The mould step has no region; the product step's reference shows the
    // part where the mould step's patch goes, the mould step's is empty.
    void beforeProgram() override
    {
        ASSERT_TRUE(EditRegions(file("PARAM.db"), 0, [](CammerSingleton* r) { r->roiNum[1] = 0; }));
        for (int step = 0; step < 2; ++step) {
            const QString path = file(TemplateStore::TemplatePath(0, step, 0));
            QDir().mkpath(QFileInfo(path).path());
            ASSERT_TRUE(TemplateStore::WriteFrame(path, greyOf(Frame(step == 0 ? kMouldPatch : kNoPatch))));
        }
    }
};

TEST_F(Editor, FirstRegionOfferedSavedAndJudged)
{
    startShown(1);
    pressForDialog(kArea);
    answer(true);   // "Need to generate an area automatically?"
    QThread::msleep(500);
    shoot("auto-region");
    ASSERT_TRUE(screen.click(kBarX, kEndSetY));
    answer(true);   // "Whether to save parameter?"

    ASSERT_TRUE(WaitFor([&] { return regionRow(0, "detect1").startsWith("1 "); }, kWaitMs)) << regionRow(0, "detect1").toStdString();
    const QStringList stored = regionRow(0, "ROI1-0").split(' ', Qt::SkipEmptyParts);
    ASSERT_GE(stored.size(), 7);
    // A, B, C, function, shape: the filter size, a fifth of the full white difference, the alarm area, defect, polygon.
    EXPECT_EQ(stored.mid(0, 5), (QStringList{QString::number(kFilterSize), "51", QString::number(kAlarmArea), "0", "2"}));
    EXPECT_TRUE(records().contains("Detection Mold of camera 1 Added Polygon area 1, function is Defect Detection,"
                                   "the sensitivity is 51,, the filter size is 3, the alarm area is 40"))
        << records().join(" | ").toStdString();

    // Back on the live picture: a black mould passes, the part in the region fails.
    mouldRegionJudged();
}

// The same in the other languages: the questions, the editor and the
// change-log line in the language in force.
class EditorLanguages : public Editor, public ::testing::WithParamInterface<int>
{
};

TEST_P(EditorLanguages, ChangeLogInTheLanguageInForce)
{
    gLan = GetParam();
    startShown(1);
    pressForDialog(kArea);
    answer(true);
    QThread::msleep(500);
    shoot("auto-region");
    ASSERT_TRUE(screen.click(kBarX, kEndSetY));
    answer(true);
    const QString line = GetParam() == 0
                             ? "相机1模具检测：新增多边形区域1，功能为缺陷检测，灵敏度为51，滤波尺寸为3，报警面积为40"
                             : "相機1模具檢測：新增多邊形區域1，功能為缺陷檢測，靈敏度為51，濾波尺寸為3，報警面積為40";
    EXPECT_TRUE(WaitFor([&] { return records().contains(line); }, kWaitMs)) << records().join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Chinese, EditorLanguages, ::testing::Values(0, 2));

}  // namespace
