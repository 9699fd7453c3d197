// Region judging by detection function on small fixtures whose answer is
// known: blob areas as OpenCV's contour area counts them (a filled n x n
// square measures (n - 1)^2, less 2 once the 3 x 3 opening has taken its
// corners), boxes, verdicts, masks, ignore points and
// ignore areas, regions that cannot be judged, the region results of a
// cycle, and the preview of the parameter sliders.

#include "enginefixture.h"

#include "core/texttable.h"
#include "inspection/regionjudge.h"

#include <QCoreApplication>

#include <opencv2/imgproc.hpp>

#include <functional>

namespace {

constexpr int kW = 200, kH = 160;
const QRect kBox(20, 20, 160, 120);   // region box (20,20)-(179,139)

// The area of a filled n x n square after the opening with the 3 x 3
// elliptical element (a cross): its four corner pixels go.
constexpr int Opened(int n)
{
    return (n - 1) * (n - 1) - 2;
}

void Square(cv::Mat& f, int x, int y, int n, int level)
{
    f(cv::Rect(x, y, n, n)).setTo(level);
}

// A right triangle of legs n with its right angle at the bottom-right
// (mirrored: at the bottom-left) and its box's top-left corner at (x, y).
void Triangle(cv::Mat& f, int x, int y, int n, bool mirrored)
{
    std::vector<cv::Point> corners = mirrored
        ? std::vector<cv::Point>{{x, y}, {x, y + n - 1}, {x + n - 1, y + n - 1}}
        : std::vector<cv::Point>{{x + n - 1, y}, {x + n - 1, y + n - 1}, {x, y + n - 1}};
    cv::fillPoly(f, std::vector<std::vector<cv::Point>>{corners}, cv::Scalar(255));
}

void Dots(cv::Mat& f, int count, int level)
{
    for (int i = 0; i < count; ++i)
        Square(f, 24 + (i % 15) * 10, 24 + (i / 15) * 10, 5, level);
}

struct FunctionCase {
    const char* name;
    int func, a, b, c;
    int background;
    std::function<void(cv::Mat&)> paint;
    int value;
    bool ng;
    int boxes;
    int templateLevel = -1;   // a flat template of this level (functions 0 and 6), -1 none
};

const FunctionCase kCases[] = {
    // 0 defect: band 100 +/- 25 learnt from one flat template, opening 3 (A), alarm area 100 (C).
    {"defect_11x11_at_limit", 0, 3, 25, 98, 100, [](cv::Mat& f) { Square(f, 40, 40, 11, 30); }, Opened(11), false, 1, 100},
    {"defect_12x12_over", 0, 3, 25, 98, 100, [](cv::Mat& f) { Square(f, 40, 40, 12, 30); }, Opened(12), true, 1, 100},
    {"defect_inside_band", 0, 3, 25, 100, 100, [](cv::Mat& f) { Square(f, 40, 40, 30, 124); }, 0, false, 0, 100},
    {"defect_2x2_opened_away", 0, 3, 25, 100, 100, [](cv::Mat& f) { Square(f, 40, 40, 2, 0); }, 0, false, 0, 100},
    // 1 spot: grey 0..50 (A = 0x3200), area 80..500.
    {"spot_20x20_inside", 1, 0x3200, 80, 500, 200, [](cv::Mat& f) { Square(f, 40, 40, 20, 20); }, Opened(20), false, 1},
    {"spot_9x9_below", 1, 0x3200, 80, 500, 200, [](cv::Mat& f) { Square(f, 40, 40, 9, 20); }, Opened(9), true, 1},
    {"spot_25x25_above", 1, 0x3200, 80, 500, 200, [](cv::Mat& f) { Square(f, 40, 40, 25, 20); }, Opened(25), true, 1},
    {"spot_limits_swapped", 1, 0x0032, 80, 500, 200, [](cv::Mat& f) { Square(f, 40, 40, 20, 20); }, Opened(20), false, 1},
    {"spot_limit_grey_included", 1, 0x3200, 80, 500, 200, [](cv::Mat& f) { Square(f, 40, 40, 20, 50); }, Opened(20), false, 1},
    {"spot_above_limit_grey", 1, 0x3200, 80, 500, 200, [](cv::Mat& f) { Square(f, 40, 40, 20, 51); }, 0, true, 0},
    // 4 black area: grey 0..50, at most 100.
    {"black_11x11_at_limit", 4, 0, 50, 98, 200, [](cv::Mat& f) { Square(f, 40, 40, 11, 0); }, Opened(11), false, 1},
    {"black_12x12_over", 4, 0, 50, 98, 200, [](cv::Mat& f) { Square(f, 40, 40, 12, 0); }, Opened(12), true, 1},
    {"black_2x2_opened_away", 4, 0, 50, 100, 200, [](cv::Mat& f) { Square(f, 40, 40, 2, 0); }, 0, false, 0},
    {"black_two_blobs_summed", 4, 0, 50, 100, 200,
     [](cv::Mat& f) {
         Square(f, 40, 40, 11, 0);
         Square(f, 100, 60, 6, 50);
     },
     Opened(11) + Opened(6), true, 2},
    {"black_outside_box_unseen", 4, 0, 50, 100, 200, [](cv::Mat& f) { Square(f, 0, 0, 15, 0); }, 0, false, 0},
    // 5 white area: grey 200..255, at most 100.
    {"white_11x11_at_limit", 5, 0, 200, 98, 100, [](cv::Mat& f) { Square(f, 40, 40, 11, 200); }, Opened(11), false, 1},
    {"white_12x12_over", 5, 0, 200, 98, 100, [](cv::Mat& f) { Square(f, 40, 40, 12, 255); }, Opened(12), true, 1},
    // 6 similarity (flat template: compared by mean), at least 80.
    {"similar_same", 6, 0, 80, 0, 100, [](cv::Mat&) {}, 100, false, 0, 100},
    {"similar_other_mean", 6, 0, 80, 0, 100, [](cv::Mat& f) { f.setTo(160); }, 0, true, 1, 100},
    // 7 white count: grey 128..255, at most 3 blobs.
    {"white_count_3_dots", 7, 1, 128, 3, 100, [](cv::Mat& f) { Dots(f, 3, 255); }, 3, false, 3},
    {"white_count_4_dots", 7, 1, 128, 3, 100, [](cv::Mat& f) { Dots(f, 4, 255); }, 4, true, 4},
    {"white_count_closing_joins", 7, 3, 128, 1, 100,
     [](cv::Mat& f) {
         Square(f, 40, 40, 5, 255);
         Square(f, 46, 40, 5, 255);
     },
     1, false, 1},
    // 8 direction: blobs of 5,000..10,000, side 1 flags a background left of the middle.
    {"direction_flagged", 8, 1, 5000, 10000, 0, [](cv::Mat& f) { Triangle(f, 40, 25, 110, false); }, 1, true, 1},
    {"direction_mirrored_not_flagged", 8, 1, 5000, 10000, 0, [](cv::Mat& f) { Triangle(f, 40, 25, 110, true); }, 0,
     false, 0},
    {"direction_side_0", 8, 0, 5000, 10000, 0, [](cv::Mat& f) { Triangle(f, 40, 25, 110, true); }, 1, true, 1},
    {"direction_limits_swapped", 8, 1, 10000, 5000, 0, [](cv::Mat& f) { Triangle(f, 40, 25, 110, false); }, 1, true,
     1},
    {"direction_too_small", 8, 1, 5000, 10000, 0, [](cv::Mat& f) { Triangle(f, 40, 25, 60, false); }, 0, false, 0},
};

class FunctionTable : public EngineFixture, public ::testing::WithParamInterface<FunctionCase>
{
};

TEST_P(FunctionTable, MeasuresAndJudges)
{
    const FunctionCase& fc = GetParam();
    Frame(kW, kH);
    const int r = AddRect(0, fc.func, kBox, fc.a, fc.b, fc.c);
    if (fc.templateLevel >= 0)
        Template(0, 0, Flat(fc.templateLevel));
    cv::Mat frame = Flat(fc.background);
    fc.paint(frame);
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][r], fc.value);
    EXPECT_EQ(view.roiOk[0][r], !fc.ng);
    EXPECT_EQ(view.cameraOk, !fc.ng);
    EXPECT_EQ(Count(0, r), fc.boxes);
    EXPECT_TRUE(records.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Functions, FunctionTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FunctionCase>& info) { return info.param.name; });

TEST_F(EngineFixture, BoxesAreFrameCoordinatesWithExclusiveEnds)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncBlackArea, kBox, 0, 50, 1000);
    cv::Mat frame = Flat(200);
    Square(frame, 40, 50, 11, 0);
    Judge(0, frame);
    const AlarmRect& box = view.alarmRects[0][r][1];
    EXPECT_EQ(box.x1, 40);
    EXPECT_EQ(box.y1, 50);
    EXPECT_EQ(box.x2, 51);
    EXPECT_EQ(box.y2, 61);
    EXPECT_EQ(cv::countNonZero(view.defectImage), 121 - 4);   // the opening took the corners
    EXPECT_EQ(view.defectImage.at<uchar>(50, 45), 255);
    EXPECT_EQ(view.defectImage.at<uchar>(50, 40), 0);
}

TEST_F(EngineFixture, WhiteCountCountsEveryBlobAndRecords99Boxes)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncWhiteCount, kBox, 1, 128, 100);
    cv::Mat frame = Flat(100);
    Dots(frame, 120, 255);
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][r], 120);
    EXPECT_EQ(Count(0, r), 99);
    EXPECT_FALSE(view.roiOk[0][r]);   // 120 blobs against at most 100
}

TEST_F(EngineFixture, AreaSumCoversMoreThan99Blobs)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncBlackArea, kBox, 0, 50, 100000);
    settings.minSpot = 1;
    cv::Mat frame = Flat(200);
    Dots(frame, 120, 0);
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][r], 120 * 16);
    EXPECT_EQ(Count(0, r), 99);
}

TEST_F(EngineFixture, DefectAtLimitIsOkWhicheverWayTheTemplateCounts)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncDefect, kBox, 3, 25, Opened(11));
    Template(0, 0, Flat(100));
    cv::Mat atLimit = Flat(100);
    Square(atLimit, 40, 40, 11, 30);
    for (int ngImage : {0, 1}) {
        settings.templateIsNgImage = ngImage;
        Judge(0, atLimit);
        EXPECT_EQ(view.roiValue[0][r], Opened(11));
        EXPECT_TRUE(view.roiOk[0][r]) << ngImage;
    }
    // A template showing the defect: a frame like it (difference 0) fails.
    Judge(0, Flat(100));
    EXPECT_EQ(view.roiValue[0][r], 0);
    EXPECT_FALSE(view.roiOk[0][r]);
}

TEST_F(EngineFixture, DefectWithoutTemplateMeasuresNothing)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncDefect, kBox, 3, 25, 100);
    cv::Mat frame = Flat(100);
    Square(frame, 40, 40, 30, 0);
    Judge(0, frame);
    EXPECT_TRUE(Engine().GrayMatcher(0, r).IsValid());
    EXPECT_EQ(view.roiValue[0][r], 0);
    EXPECT_TRUE(view.roiOk[0][r]);
    settings.templateIsNgImage = 1;
    Judge(0, frame);
    EXPECT_FALSE(view.roiOk[0][r]);
}

TEST_F(EngineFixture, DefectWithSharedSettingsUsesAlarmAreaAndFilterSize)
{
    Frame(kW, kH);
    settings.perRoiParams = 0;
    settings.alarmArea = 150;
    settings.filterSize = 5;   // opens a 4x4 blob away
    trigSource = 1;
    settings.netLinkOn = 1;
    const int r = AddRect(0, kFuncDefect, kBox, 1, 25, 100);
    Template(0, 0, Flat(100));
    cv::Mat frame = Flat(100);
    Square(frame, 40, 40, 13, 30);
    Square(frame, 100, 40, 4, 30);
    Judge(0, frame);
    EXPECT_EQ(Count(0, r), 1);
    EXPECT_EQ(view.roiValue[0][r], 138);   // 12 x 12, corners rounded by the 5 x 5 element
    EXPECT_TRUE(view.roiOk[0][r]);   // against the alarm area 150, not C 100
    ASSERT_EQ(g_listParamROI.size(), 1);
    EXPECT_EQ(g_listParamROI[0].lower, 0);
    EXPECT_EQ(g_listParamROI[0].upper, 100);
}

TEST_F(EngineFixture, OpeningKernelFromStoredParameterIsAtLeastOne)
{
    Frame(kW, kH);
    const int tiny = AddRect(0, kFuncDefect, kBox, 0, 25, 0);
    const int negative = AddRect(0, kFuncDefect, kBox, -7, 25, 0);
    const int huge = AddRect(0, kFuncDefect, kBox, 1 << 30, 25, 0);
    Template(0, 0, Flat(100));
    cv::Mat frame = Flat(100);
    Square(frame, 40, 40, 2, 0);
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][tiny], 1);       // a 2x2 blob, kept by a 1x1 element
    EXPECT_EQ(view.roiValue[0][negative], 1);
    EXPECT_EQ(view.roiValue[0][huge], 0);       // opened away
    EXPECT_TRUE(records.isEmpty());
}

TEST_F(EngineFixture, SimilarityScoresTexture)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncSimilarity, kBox, 0, 80, 0);
    const cv::Mat scene = MakeMouldScene(kW, kH, 7);
    Template(0, 0, scene);
    Judge(0, scene);
    EXPECT_EQ(view.roiValue[0][r], 100);
    EXPECT_TRUE(view.roiOk[0][r]);
    Judge(0, MakeMouldScene(kW, kH, 99));
    EXPECT_LT(view.roiValue[0][r], 30);
    EXPECT_FALSE(view.roiOk[0][r]);
}

TEST_F(EngineFixture, UntrainedSimilarityScoresZero)
{
    Frame(kW, kH);
    Engine();   // trained before the regions exist
    const int strict = AddRect(0, kFuncSimilarity, kBox, 0, 80, 0);
    const int lenient = AddRect(0, kFuncSimilarity, kBox, 0, 0, 0);
    Judge(0, Flat(100));
    EXPECT_EQ(view.roiValue[0][strict], 0);
    EXPECT_FALSE(view.roiOk[0][strict]);
    EXPECT_TRUE(view.roiOk[0][lenient]);
}

TEST_F(EngineFixture, OnlyTemplatesInUseUpToTheTotalAreLearnt)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncDefect, kBox, 1, 0, 0);
    Template(0, 0, Flat(100));
    Template(0, 2, Flat(120));
    Template(0, 5, Flat(140));
    view.templateTotal[0] = 2;   // slot 5 is beyond the total
    Engine();
    EXPECT_EQ(Engine().GrayMatcher(0, r).Templates(), 2);
    EXPECT_EQ(Engine().GrayMatcher(0, r).High().at<uchar>(0, 0), 120);
}

TEST_F(EngineFixture, ShapeMaskLimitsTheRegion)
{
    Frame(kW, kH);
    const int circle = AddCircle(0, kFuncBlackArea, 100, 80, 50, 0, 0, 50, 1000);
    const int ring = AddCircle(0, kFuncBlackArea, 100, 80, 50, 30, 0, 50, 1000);
    const int triangle = AddPolygon(0, kFuncBlackArea, {{50, 30}, {170, 30}, {50, 150}}, 0, 50, 1000);
    cv::Mat frame = Flat(200);
    Square(frame, 52, 32, 11, 0);   // in the boxes' corner: outside the circle, inside the triangle
    Square(frame, 95, 75, 11, 0);   // the centre: in the disc, in the ring's hole
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][circle], Opened(11));
    EXPECT_EQ(view.roiValue[0][ring], 0);
    EXPECT_EQ(view.roiValue[0][triangle], 2 * Opened(11));
}

TEST_F(EngineFixture, IgnorePointsAreNotInspected)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncBlackArea, kBox, 0, 50, 50);
    view.ignoreImage[0](cv::Rect(38, 38, 16, 16)).setTo(1);
    cv::Mat frame = Flat(200);
    Square(frame, 40, 40, 11, 0);
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][r], 0);
    EXPECT_TRUE(view.cameraOk);
}

TEST_F(EngineFixture, IgnoreAreaCutsOutItsShapeAndKeepsIgnorePoints)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncBlackArea, kBox, 0, 50, 1000);
    AddCircle(0, kFuncIgnoreArea, 100, 80, 40, 0, 0, 0, 0);   // box (60,40)-(139,119)
    view.ignoreImage[0](cv::Rect(60, 40, 8, 8)).setTo(255);   // box corner, outside the circle
    cv::Mat frame = Flat(200);
    Square(frame, 95, 75, 11, 0);    // in the circle: ignored
    Square(frame, 60, 40, 6, 0);     // on the ignore points: stays ignored
    Square(frame, 129, 109, 11, 0);  // box corner outside the circle: inspected
    Judge(0, frame);
    const cv::Mat& valid = Engine().ValidArea(0);
    EXPECT_EQ(valid.at<uchar>(80, 100), 0);
    EXPECT_EQ(valid.at<uchar>(42, 62), 0);
    EXPECT_EQ(valid.at<uchar>(115, 135), 255);
    EXPECT_EQ(view.roiValue[0][r], Opened(11));
}

TEST_F(EngineFixture, StepWithoutRegionsIsOk)
{
    Frame(kW, kH);
    view.ignoreImage[0].at<uchar>(3, 4) = 9;
    Judge(0, Flat(0));
    EXPECT_TRUE(view.cameraOk);
    EXPECT_EQ(cv::countNonZero(view.defectImage), 0);
    EXPECT_EQ(Engine().ValidArea(0).at<uchar>(3, 4), 0);
    EXPECT_EQ(cv::countNonZero(Engine().ValidArea(0)), kW * kH - 1);
    EXPECT_TRUE(records.isEmpty());
}

TEST_F(EngineFixture, IgnoreAndPositionRegionsAreNeverJudged)
{
    Frame(kW, kH);
    trigSource = 1;
    settings.netLinkOn = 1;
    const int ignore = AddRect(0, kFuncIgnoreArea, kBox, 0, 0, 0);
    const int position = AddRect(0, kFuncPosition, kBox, 10, 0, 0);
    view.roiValue[0][position] = 7;
    view.alarmRects[0][position][0].x1 = 3;
    Judge(0, Flat(0));
    EXPECT_EQ(view.roiValue[0][ignore], 0);
    EXPECT_EQ(view.roiValue[0][position], 0);
    EXPECT_EQ(Count(0, position), 0);
    EXPECT_TRUE(view.cameraOk);
    EXPECT_TRUE(g_listParamROI.isEmpty());
}

TEST_F(EngineFixture, RegionsThatCannotBeJudgedAreErrorsOfTheirOwn)
{
    Frame(kW, kH);
    const int noMask = AddRect(1, kFuncBlackArea, kBox, 0, 50, 100);
    const int offFrame = AddRect(1, kFuncBlackArea, QRect(300, 20, 50, 50), 0, 50, 100);
    const int staleMask = AddRect(1, kFuncBlackArea, kBox, 0, 50, 100);
    const int good = AddRect(1, kFuncBlackArea, kBox, 0, 50, 100);
    view.liveMasks[1][noMask] = cv::Mat();
    view.liveMasks[1][staleMask] = cv::Mat(10, 10, CV_8UC1, cv::Scalar(255));
    view.roiValue[1][noMask] = 42;
    cv::Mat frame = Flat(200);
    Square(frame, 40, 40, 12, 0);
    Judge(1, frame);
    EXPECT_EQ(records, (QStringList{"REG RUN ERROR = 0, 1, -1", "REG RUN ERROR = 0, 1, -3",
                                    "REG RUN ERROR = 0, 1, -1"}));
    EXPECT_FALSE(view.cameraOk);
    EXPECT_TRUE(view.roiOk[1][noMask]);
    EXPECT_TRUE(view.roiOk[1][offFrame]);
    EXPECT_EQ(view.roiValue[1][noMask], 42);
    EXPECT_EQ(view.roiValue[1][good], Opened(12));   // judged all the same
    EXPECT_FALSE(view.roiOk[1][good]);
}

TEST_F(EngineFixture, UntrainedStepIsAnError)
{
    Frame(kW, kH);
    settings.detectOn[1] = 0;
    AddRect(1, kFuncBlackArea, kBox, 0, 50, 100);
    Judge(1, Flat(200));
    EXPECT_EQ(records, QStringList{"REG RUN ERROR = 0, 1, -2"});
    EXPECT_FALSE(view.cameraOk);
}

TEST_F(EngineFixture, RegionReachingPastTheFrameIsCut)
{
    Frame(kW, kH);
    const int disc = AddCircle(0, kFuncBlackArea, 190, 80, 40, 0, 0, 50, 1000);   // box x 150..229
    const int defect = AddCircle(0, kFuncDefect, 190, 80, 40, 0, 3, 25, 1000);
    Template(0, 0, Flat(200));
    cv::Mat frame = Flat(200);
    Square(frame, 185, 75, 11, 0);
    Judge(0, frame);
    EXPECT_TRUE(records.isEmpty());
    EXPECT_EQ(view.roiValue[0][disc], Opened(11));
    EXPECT_EQ(view.roiValue[0][defect], Opened(11));
    EXPECT_EQ(view.alarmRects[0][disc][1].x1, 185);
}

TEST_F(EngineFixture, RegionResultsAreCollectedWhileACycleIsReported)
{
    Frame(kW, kH);
    AddRect(0, kFuncBlackArea, kBox, 0, 50, 100);                  // fails
    AddRect(0, kFuncIgnoreArea, QRect(0, 0, 5, 5), 0, 0, 0);       // never reported
    AddRect(0, kFuncSpot, kBox, 0x3200, 80, 500);                  // passes after a failure
    AddRect(0, kFuncSimilarity, kBox, 0, 0, 0);
    AddRect(0, kFuncDirection, kBox, 1, 5000, 10000);
    cv::Mat frame = Flat(200);
    Square(frame, 40, 40, 12, 0);
    settings.netLinkOn = 1;
    Judge(0, frame);
    EXPECT_TRUE(g_listParamROI.isEmpty());   // no trigger source
    trigSource = 3;
    settings.netLinkOn = 0;
    Judge(0, frame);
    EXPECT_TRUE(g_listParamROI.isEmpty());   // network link off
    settings.netLinkOn = 1;
    Judge(0, frame);
    ASSERT_EQ(g_listParamROI.size(), 4);
    const param_roi& black = g_listParamROI[0];
    EXPECT_EQ((std::vector<int>{black.camera, black.detect, black.roi, black.mode, black.value, black.lower,
                                black.upper, black.ok}),
              (std::vector<int>{0, 0, 0, 4, Opened(12), 0, 100, 0}));
    const param_roi& spot = g_listParamROI[1];
    EXPECT_EQ((std::vector<int>{spot.roi, spot.mode, spot.value, spot.lower, spot.upper, spot.ok}),
              (std::vector<int>{2, 1, Opened(12), 80, 500, 0}));
    EXPECT_EQ(g_listParamROI[2].lower, 0);
    EXPECT_EQ(g_listParamROI[2].upper, -1);
    EXPECT_EQ(g_listParamROI[3].upper, 0);
}

TEST_F(EngineFixture, ColourFramesAreJudgedOnTheirGreyOrHue)
{
    Frame(kW, kH, true);
    const int r = AddRect(0, kFuncWhiteArea, kBox, 0, 150, 1000);
    cv::Mat frame(kH, kW, CV_8UC4, cv::Scalar(0, 0, 255, 255));   // red: hue 0
    frame(cv::Rect(40, 40, 11, 11)).setTo(cv::Scalar(255, 0, 0, 255));   // blue: hue 170
    gisGrayHue = 0;
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][r], Opened(11));
    gisGrayHue = 1;   // grey: red 76, blue 29, both below 150
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][r], 0);
    EXPECT_EQ(Engine().SearchWindow(0), cv::Rect());   // no positioning in colour
}

// A grey camera in colour mode delivers pictures without colour: their hue is
// 0 everywhere and would hide every defect, so they are judged on their grey.
TEST_F(EngineFixture, ColourlessFramesAreJudgedOnTheirGreyInHueMode)
{
    Frame(kW, kH, true);
    const int r = AddRect(0, kFuncWhiteArea, kBox, 0, 150, 1000);
    cv::Mat frame(kH, kW, CV_8UC4, cv::Scalar(30, 30, 30, 255));
    frame(cv::Rect(40, 40, 11, 11)).setTo(cv::Scalar(255, 255, 255, 255));
    gisGrayHue = 0;
    Judge(0, frame);
    EXPECT_EQ(view.roiValue[0][r], Opened(11));
    Judge(0, frame);
    QCoreApplication::processEvents();
    EXPECT_EQ(records, QStringList{LanStr(595).arg(1)});   // said once
}

// The preview of the parameter sliders runs on the template on show of the
// edited record and declares nothing.
TEST_F(EngineFixture, PreviewMeasuresTheEditedRegionOnTheShownTemplate)
{
    Frame(kW, kH);
    AddRect(0, kFuncBlackArea, kBox, 0, 50, 100);
    const int spot = AddRect(0, kFuncSpot, kBox, 0x3200, 80, 500);
    const int count = AddRect(0, kFuncWhiteCount, kBox, 1, 128, 3);
    AddRect(0, kFuncDefect, kBox, 3, 25, 100);
    cv::Mat shown = Flat(100);
    Square(shown, 40, 112, 20, 20);
    Dots(shown, 120, 255);
    Template(0, 0, Flat(100));
    Template(0, 1, shown);
    view.shownTemplate = 1;
    CopyToEdit();
    Engine();
    EXPECT_TRUE(Engine().RunTest(0, spot));
    EXPECT_EQ(view.roiValue[0][spot], Opened(20));
    EXPECT_TRUE(view.previewShown);
    EXPECT_EQ(cv::countNonZero(view.defectImage), 400 - 4);
    EXPECT_TRUE(Engine().RunTest(0, count));
    EXPECT_EQ(view.roiValue[0][count], 120);   // every blob
    view.previewShown = false;
    EXPECT_TRUE(Engine().RunTest(0, 3));       // defect regions only repaint
    EXPECT_FALSE(view.previewShown);
    EXPECT_EQ(cv::countNonZero(view.defectImage), 0);
    EXPECT_FALSE(Engine().RunTest(0, 4));      // no such region
    EXPECT_TRUE(view.cameraOk);
    EXPECT_TRUE(view.roiOk[0][0]);
    EXPECT_EQ(Count(0, count), 0);
}

TEST_F(EngineFixture, PreviewOnAnUntrainedStepUsesTheRegionMask)
{
    Frame(kW, kH);
    settings.detectOn[1] = 0;
    const int r = AddCircle(1, kFuncBlackArea, 100, 80, 30, 0, 0, 50, 100);
    cv::Mat shown = Flat(200);
    Square(shown, 95, 75, 11, 0);
    Square(shown, 70, 50, 6, 0);   // box corner, outside the disc
    Template(1, 0, shown);
    CopyToEdit();
    EXPECT_TRUE(Engine().ValidArea(1).empty());
    EXPECT_TRUE(Engine().RunTest(1, r));
    EXPECT_EQ(view.roiValue[1][r], Opened(11));
}

TEST_F(EngineFixture, PreviewOfDirectionOutlinesFlaggedBlobs)
{
    Frame(kW, kH);
    const int r = AddRect(0, kFuncDirection, kBox, 1, 5000, 10000);
    cv::Mat shown = Flat(0);
    Triangle(shown, 40, 25, 110, false);
    Template(0, 0, shown);
    CopyToEdit();
    EXPECT_TRUE(Engine().RunTest(0, r));
    EXPECT_EQ(view.roiValue[0][r], 1);
    EXPECT_EQ(view.defectImage.at<uchar>(25, 40), 255);   // box outline corner, outside the blob
    EXPECT_EQ(Count(0, r), 0);
}

}  // namespace
