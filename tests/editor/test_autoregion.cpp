// The automatic first region: the difference of the product and mould
// templates as one convex polygon, on drawn blobs, on the end-to-end
// machine's frames and on a simulated mould with a moulded part. With
// MOULDMON_SHOTS naming a folder, each polygon is drawn on its product
// template there.

#include "inspection/autoregion.h"
#include "inspection/regionjudge.h"
#include "inspection/templatestore.h"

#include "tests/e2e/e2emachine.h"
#include "tests/engine/enginefixture.h"
#include "tests/common/testsupport.h"

#include <QDir>
#include <QImage>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int kW = 640;
constexpr int kH = 480;
constexpr int kGrow = 25;   // the 50-pixel ellipse grows the outline by about its radius

cv::Mat blank(int level = 0)
{
    return cv::Mat(kH, kW, CV_8UC1, cv::Scalar(level));
}

cv::Mat fromImage(const QImage& image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    cv::Mat out(grey.height(), grey.width(), CV_8UC1);
    for (int y = 0; y < grey.height(); ++y)
        std::memcpy(out.ptr(y), grey.constScanLine(y), grey.width());
    return out;
}

cv::Rect boxOf(const RegionProposal& p)
{
    return cv::boundingRect(p.polygon);
}

// The box grows by about the ellipse's radius on every side.
void expectGrownAround(const cv::Rect& box, const cv::Rect& part)
{
    EXPECT_NEAR(box.x, part.x - kGrow, 6) << "left";
    EXPECT_NEAR(box.y, part.y - kGrow, 6) << "top";
    EXPECT_NEAR(box.x + box.width, part.x + part.width + kGrow, 6) << "right";
    EXPECT_NEAR(box.y + box.height, part.y + part.height + kGrow, 6) << "bottom";
}

bool convex(const std::vector<cv::Point>& polygon)
{
    return polygon.size() >= 3 && cv::isContourConvex(polygon);
}

// The polygon drawn on the product template, when pictures are asked for.
void shoot(const char* name, const cv::Mat& product, const std::vector<cv::Point>& polygon)
{
    const QString folder = qEnvironmentVariable("MOULDMON_SHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    cv::Mat picture;
    cv::cvtColor(product, picture, cv::COLOR_GRAY2BGR);
    cv::polylines(picture, std::vector<std::vector<cv::Point>>{polygon}, true, cv::Scalar(0, 255, 0), 2);
    for (const cv::Point& p : polygon)
        cv::circle(picture, p, 4, cv::Scalar(0, 0, 255), cv::FILLED);
    cv::imwrite(QDir(folder).filePath(QString("autoregion-%1.png").arg(name)).toStdString(), picture);
}

TEST(ProposeRegion, OneBlobGivesItsOutlineGrownByTheLargeEllipse)
{
    const cv::Rect part(200, 150, 200, 100);
    cv::Mat product = blank(60);
    product(part).setTo(180);
    const RegionProposal p = ProposeRegion(product, blank(60));
    ASSERT_TRUE(convex(p.polygon));
    expectGrownAround(boxOf(p), part);
    // The corners of the part lie well inside, the corners of the box outside
    // (the outline is rounded, then simplified to within 10 pixels).
    for (const cv::Point& corner : {part.tl(), part.br() - cv::Point(1, 1)})
        EXPECT_GT(cv::pointPolygonTest(p.polygon, corner, true), 5);
    EXPECT_LT(cv::pointPolygonTest(p.polygon, boxOf(p).tl(), false), 0);
    EXPECT_EQ(p.sensitivity, 120 / 5);
    shoot("blob", product, p.polygon);
}

TEST(ProposeRegion, TwoBlobsGiveOneRegionSpanningBoth)
{
    const cv::Rect left(60, 60, 80, 60), right(460, 320, 100, 80);
    cv::Mat product = blank();
    product(left).setTo(40);
    product(right).setTo(40);
    const RegionProposal p = ProposeRegion(product, blank());
    ASSERT_TRUE(convex(p.polygon));
    expectGrownAround(boxOf(p), left | right);
    // A uniform difference of 40 over the changed pixels: a fifth of it.
    EXPECT_EQ(p.sensitivity, 8);
}

TEST(ProposeRegion, NoDifferenceOrOnlySpecksGiveNothing)
{
    EXPECT_TRUE(ProposeRegion(blank(90), blank(90)).polygon.empty());
    cv::Mat specks = blank(90);
    for (int i = 0; i < 40; ++i)
        specks.at<uchar>(10 + 11 * i, 15 + 13 * i) = 200;   // single pixels: opened away
    EXPECT_TRUE(ProposeRegion(specks, blank(90)).polygon.empty());
    EXPECT_TRUE(ProposeRegion(blank(), cv::Mat()).polygon.empty());
}

TEST(ProposeRegion, EndToEndMachineFramesFindTheProductPatch)
{
    const cv::Mat product = fromImage(e2e::Frame(e2e::kProductPatch));
    const cv::Mat mould = fromImage(e2e::Frame(e2e::kNoPatch));
    const RegionProposal p = ProposeRegion(product, mould);
    ASSERT_TRUE(convex(p.polygon));
    const QRect patch = e2e::kPatch[0];
    expectGrownAround(boxOf(p), cv::Rect(patch.x(), patch.y(), patch.width(), patch.height()));
    EXPECT_EQ(p.sensitivity, 255 / 5);
    shoot("e2e-patch", product, p.polygon);
}

// The simulated mould with a moulded part in it, each template with its own
// sparse sensor noise of one grey level, as the simulated cameras give it.
cv::Mat withNoise(cv::Mat frame, unsigned seed)
{
    cv::RNG rng(seed);
    for (int i = 0; i < frame.total() / 97; ++i) {
        uchar& v = frame.at<uchar>(rng.uniform(0, frame.rows), rng.uniform(0, frame.cols));
        v = cv::saturate_cast<uchar>(v + (rng.uniform(0, 2) ? 1 : -1));
    }
    return frame;
}

class SimulatedMould : public EngineFixture
{
protected:
    void SetUp() override
    {
        Frame(kW, kH);
        settings.filterSize = 4;
        settings.alarmArea = 150;
        mould = MakeMouldScene(kW, kH, 7);
        product = mould.clone();
        const std::vector<cv::Point> outline{{250, 180}, {430, 200}, {450, 300}, {330, 330}, {240, 280}};
        cv::fillPoly(product, std::vector<std::vector<cv::Point>>{outline}, cv::Scalar(215), cv::LINE_AA);
        part = cv::boundingRect(outline);
        product = withNoise(product, 1);
        mould = withNoise(mould, 2);
    }
    cv::Mat mould, product;
    cv::Rect part;
};

TEST_F(SimulatedMould, ThePartIsFoundOnTheSimulatedMould)
{
    const RegionProposal p = ProposeRegion(product, mould);
    ASSERT_TRUE(convex(p.polygon));
    expectGrownAround(boxOf(p), part);
    EXPECT_GE(p.polygon.size(), 5u);
    EXPECT_LE(p.polygon.size(), 30u);
    // The part stands some 90 to 150 grey levels above the steel.
    EXPECT_GT(p.sensitivity, 10);
    EXPECT_LT(p.sensitivity, 35);
    shoot("mould", product, p.polygon);
}

TEST_F(SimulatedMould, TheProposalBecomesRegionZeroOfTheEditedStep)
{
    TempWorkDir dir;
    QDir(dir.path()).mkpath("cammer11");
    QDir(dir.path()).mkpath("cammer12");
    // The templates come from their files (none is kept in memory), and the
    // display is larger than the frame.
    ASSERT_TRUE(TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 0), product));
    ASSERT_TRUE(TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 1, 0), mould));
    gShowW = 1725;
    gShowH = 982;
    gShowAW = 1725.0f / kW;
    gShowAH = 982.0f / kH;

    ASSERT_TRUE(AutogenerationRegion(view, 1, settings.filterSize, settings.alarmArea));
    const RegionProposal p = ProposeRegion(product, mould);
    ASSERT_EQ(edit.roiNum[1], 1);
    EXPECT_EQ(edit.roiType[1][0], kRoiPolygon);
    EXPECT_EQ(edit.func[1][0], kFuncDefect);
    EXPECT_EQ(edit.minWH[1][0], 4);
    EXPECT_EQ(edit.sensitivity[1][0], p.sensitivity);
    EXPECT_EQ(edit.area[1][0], 150);
    EXPECT_TRUE(edit.polygons[1][0].IsSelected());
    // Frame vertices within a pixel of the proposal's; the mask fills the inside.
    const RePolygon& polygon = edit.polygons[1][0];
    ASSERT_EQ(polygon.count(), static_cast<int>(p.polygon.size()));
    for (int i = 0; i < polygon.count(); ++i) {
        EXPECT_NEAR(polygon.ipts[i].x(), p.polygon[i].x, 1) << i;
        EXPECT_NEAR(polygon.ipts[i].y(), p.polygon[i].y, 1) << i;
        EXPECT_NEAR(polygon.pts[i].x(), p.polygon[i].x * gShowAW, 1) << i;
    }
    const cv::Mat& mask = view.editMasks[1][0];
    ASSERT_FALSE(mask.empty());
    EXPECT_NEAR(cv::countNonZero(mask), cv::contourArea(p.polygon), 0.03 * cv::contourArea(p.polygon));
    EXPECT_EQ(edit.roiNum[0], 0);
    EXPECT_EQ(live.roiNum[1], 0);   // only the edit has it

    // A step that has a region gets none.
    EXPECT_FALSE(AutogenerationRegion(view, 1, 1, 1));
    EXPECT_EQ(edit.minWH[1][0], 4);
}

TEST_F(SimulatedMould, AMissingTemplateGivesNoRegion)
{
    TempWorkDir dir;
    QDir(dir.path()).mkpath("cammer11");
    ASSERT_TRUE(TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, 0, 0), product));
    EXPECT_FALSE(AutogenerationRegion(view, 0, 1, 1));
    EXPECT_EQ(edit.roiNum[0], 0);
}

}  // namespace
