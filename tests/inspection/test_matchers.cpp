// The grey band matcher and the similarity score on small fixtures with
// known answers.

#include "inspection/graymatch.h"
#include "inspection/surf.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {

cv::Mat flat(int w, int h, int grey)
{
    return cv::Mat(h, w, CV_8UC1, cv::Scalar(grey));
}

// A part with an edge: a smooth ramp with a darker rectangle.
cv::Mat part()
{
    cv::Mat m(48, 64, CV_8UC1);
    for (int y = 0; y < m.rows; ++y)
        for (int x = 0; x < m.cols; ++x)
            m.at<uchar>(y, x) = static_cast<uchar>(120 + x / 2 + y / 4);
    cv::rectangle(m, cv::Rect(8, 6, 20, 30), cv::Scalar(40), cv::FILLED);
    return m;
}

cv::Mat texture(int w, int h, unsigned seed)
{
    cv::Mat m(h, w, CV_8UC1);
    cv::RNG rng(0x9E3779B97F4A7C15ull * (seed + 1));   // unrelated streams for near seeds
    rng.fill(m, cv::RNG::UNIFORM, 0, 256);
    cv::GaussianBlur(m, m, cv::Size(3, 3), 0.8);
    return m;
}

GrayMatch trained(const std::vector<cv::Mat>& templates, int tol, int multiplier, int edge = 100,
                  int maxTol = 150, const cv::Mat& mask = cv::Mat())
{
    GrayMatch g;
    const cv::Size size = templates.empty() ? cv::Size(8, 8) : templates[0].size();
    g.Create(size.width, size.height, mask);
    for (const cv::Mat& t : templates)
        EXPECT_TRUE(g.AddTemp(t));
    g.Train(tol, multiplier, edge, maxTol);
    return g;
}

cv::Mat matchOf(const GrayMatch& g, const cv::Mat& roi)
{
    cv::Mat out;
    EXPECT_TRUE(g.Match(roi, out));
    return out;
}

TEST(GrayMatch, IdenticalRegionHasNoDifferenceAndABlobGivesExactlyTheBlob)
{
    const cv::Mat t = part();
    const GrayMatch g = trained({t}, 25, 0);
    EXPECT_EQ(cv::countNonZero(matchOf(g, t)), 0);
    cv::Mat roi = t.clone();
    const cv::Rect blob(40, 20, 10, 10);
    roi(blob) += cv::Scalar(60);
    const cv::Mat out = matchOf(g, roi);
    EXPECT_EQ(cv::countNonZero(out), 100);
    EXPECT_EQ(cv::countNonZero(out(blob)), 100);
    EXPECT_EQ(out.size(), roi.size());
}

TEST(GrayMatch, BandIsTheTemplatesRangeWidenedByTheTolerance)
{
    struct Case {
        std::vector<int> templates;
        int tol, multiplier, maxTol;
        int lowest, highest;   // grey levels still good
    } cases[] = {
        {{100}, 25, 0, 150, 75, 125},
        {{100}, 0, 4, 150, 100, 100},
        {{100, 110}, 10, 0, 150, 90, 120},
        {{100, 110}, 10, 2, 150, 80, 130},   // sigma 5
        {{100, 110}, 100, 0, 30, 70, 140},   // capped
        {{10, 250}, 25, 0, 150, 0, 255},     // saturates
    };
    for (const Case& c : cases) {
        std::vector<cv::Mat> ts;
        for (int v : c.templates)
            ts.push_back(flat(6, 5, v));
        const GrayMatch g = trained(ts, c.tol, c.multiplier, 100, c.maxTol);
        for (int v : {c.lowest - 1, c.lowest, c.highest, c.highest + 1}) {
            if (v < 0 || v > 255)
                continue;
            const bool good = v >= c.lowest && v <= c.highest;
            EXPECT_EQ(cv::countNonZero(matchOf(g, flat(6, 5, v))), good ? 0 : 30)
                << "templates " << c.templates[0] << " tol " << c.tol << " grey " << v;
        }
    }
}

TEST(GrayMatch, EdgesToleratePixelMisalignmentOnlyWhenAsked)
{
    cv::Mat t = flat(20, 10, 50);
    t.colRange(10, 20).setTo(200);
    cv::Mat shifted = flat(20, 10, 50);
    shifted.colRange(11, 20).setTo(200);
    EXPECT_EQ(cv::countNonZero(matchOf(trained({t}, 25, 0, 100), shifted)), 0);
    const cv::Mat strict = matchOf(trained({t}, 25, 0, 0), shifted);
    EXPECT_EQ(cv::countNonZero(strict), 10);
    EXPECT_EQ(cv::countNonZero(strict.col(10)), 10);
}

TEST(GrayMatch, PixelsOutsideTheMaskNeverDiffer)
{
    cv::Mat mask = flat(8, 8, 0);
    mask(cv::Rect(0, 0, 4, 8)).setTo(255);
    const GrayMatch g = trained({flat(8, 8, 100)}, 10, 0, 100, 150, mask);
    const cv::Mat out = matchOf(g, flat(8, 8, 200));
    EXPECT_EQ(cv::countNonZero(out), 32);
    EXPECT_EQ(cv::countNonZero(out(cv::Rect(4, 0, 4, 8))), 0);
}

TEST(GrayMatch, ValidityAndRegionsThatDoNotFit)
{
    GrayMatch g;
    cv::Mat out;
    EXPECT_FALSE(g.IsValid());
    EXPECT_FALSE(g.Match(flat(8, 8, 1), out));
    EXPECT_EQ(cv::countNonZero(out), 0);

    g = trained({}, 25, 0);   // no template: nothing ever differs
    EXPECT_TRUE(g.IsValid());
    EXPECT_EQ(cv::countNonZero(matchOf(g, flat(8, 8, 255))), 0);

    g = trained({flat(8, 8, 100)}, 5, 0);
    EXPECT_FALSE(g.AddTemp(flat(8, 8, 100)));   // trained already
    EXPECT_FALSE(g.Match(flat(9, 8, 200), out));
    EXPECT_EQ(out.size(), cv::Size(9, 8));
    EXPECT_EQ(cv::countNonZero(out), 0);
    g.Clear();
    EXPECT_FALSE(g.IsValid());

    GrayMatch h;
    h.Create(8, 8, cv::Mat());
    EXPECT_FALSE(h.AddTemp(flat(7, 8, 100)));
    EXPECT_FALSE(h.IsValid());
}

TEST(GrayMatch, HundredTemplatesKeepOnlyTheBand)
{
    std::vector<cv::Mat> ts;
    for (int i = 0; i < 100; ++i)
        ts.push_back(flat(16, 16, 100 + i % 7));
    const GrayMatch g = trained(ts, 5, 0);
    EXPECT_EQ(g.Templates(), 100);
    EXPECT_EQ(g.Low().at<uchar>(0, 0), 95);
    EXPECT_EQ(g.High().at<uchar>(0, 0), 111);
    EXPECT_EQ(cv::countNonZero(matchOf(g, flat(16, 16, 111))), 0);
    EXPECT_EQ(cv::countNonZero(matchOf(g, flat(16, 16, 112))), 256);
}

// ---------------------------------------------------------------- similarity

SURF similarity(const std::vector<cv::Mat>& templates, const cv::Mat& mask = cv::Mat())
{
    SURF s;
    const cv::Size size = templates.empty() ? cv::Size(40, 30) : templates[0].size();
    s.Create(size.width, size.height, mask);
    for (const cv::Mat& t : templates)
        EXPECT_TRUE(s.AddTemp(t));
    s.Train();
    return s;
}

float scoreOf(const SURF& s, const cv::Mat& roi)
{
    cv::Mat out;
    return s.Match(roi, out);
}

TEST(SURF, ScoresAlikeHighAndUnrelatedLow)
{
    const cv::Mat t = texture(40, 30, 1);
    const SURF s = similarity({t});
    EXPECT_FLOAT_EQ(scoreOf(s, t), 100.0f);
    EXPECT_LT(scoreOf(s, texture(40, 30, 2)), 30.0f);
    cv::Mat brighter;
    t.convertTo(brighter, -1, 0.8, 20);   // lighting: gain and offset
    EXPECT_GT(scoreOf(s, brighter), 99.0f);
    cv::Mat inverted = 255 - t;
    EXPECT_EQ(scoreOf(s, inverted), 0.0f);
}

TEST(SURF, ShiftsOfUpToTwoPixelsAreSearched)
{
    const cv::Mat big = texture(60, 50, 3);
    const SURF s = similarity({big(cv::Rect(10, 10, 40, 30))});
    EXPECT_GT(scoreOf(s, big(cv::Rect(12, 9, 40, 30))), 99.0f);
    EXPECT_LT(scoreOf(s, big(cv::Rect(16, 10, 40, 30))), 60.0f);
}

TEST(SURF, ClosestTemplateCountsAndDifferencesAreMarked)
{
    const cv::Mat a = texture(40, 30, 4), b = texture(40, 30, 5);
    const SURF s = similarity({a, b});
    EXPECT_EQ(s.Templates(), 2);
    EXPECT_FLOAT_EQ(scoreOf(s, b), 100.0f);
    cv::Mat roi = b.clone();
    const cv::Rect patch(20, 12, 6, 6);
    roi(patch).setTo(255);
    roi(patch) -= b(patch) / 8;   // far from the template but not flat
    cv::Mat out;
    const float score = s.Match(roi, out);
    EXPECT_LT(score, 100.0f);
    EXPECT_GT(score, 50.0f);
    const int marked = cv::countNonZero(out);
    EXPECT_GT(marked, 20);
    EXPECT_EQ(cv::countNonZero(out(patch)), marked);
}

// Templates alike (kept once in memory) count and judge as separate ones.
TEST(SURF, TemplatesAlikeJudgeAsSeparateOnes)
{
    const cv::Mat a = texture(40, 30, 4), b = texture(40, 30, 5);
    const SURF twice = similarity({a, a.clone(), b, a.clone()});
    const SURF once = similarity({a, b});
    EXPECT_EQ(twice.Templates(), 4);
    cv::Mat roi = a.clone();
    roi(cv::Rect(5, 5, 8, 8)).setTo(255);
    for (const cv::Mat& probe : {a, b, roi, texture(40, 30, 9)}) {
        cv::Mat outTwice, outOnce;
        EXPECT_FLOAT_EQ(twice.Match(probe, outTwice), once.Match(probe, outOnce));
        EXPECT_EQ(cv::norm(outTwice, outOnce, cv::NORM_INF), 0);
    }
}

TEST(SURF, FlatRegionsCompareTheirMeans)
{
    const SURF s = similarity({flat(40, 30, 100)});
    EXPECT_FLOAT_EQ(scoreOf(s, flat(40, 30, 110)), 100.0f);
    EXPECT_FLOAT_EQ(scoreOf(s, flat(40, 30, 111)), 0.0f);
    EXPECT_FLOAT_EQ(scoreOf(s, texture(40, 30, 6)), 0.0f);   // means far apart
    const SURF t = similarity({texture(40, 30, 6)});
    EXPECT_FLOAT_EQ(scoreOf(t, flat(40, 30, 100)), 0.0f);
}

TEST(SURF, OnlyTheMaskIsCompared)
{
    const cv::Mat t = texture(40, 30, 7);
    cv::Mat mask = flat(40, 30, 0);
    mask(cv::Rect(0, 0, 20, 30)).setTo(255);
    const SURF s = similarity({t}, mask);
    cv::Mat roi = t.clone();
    roi(cv::Rect(22, 0, 18, 30)) = texture(18, 30, 8);   // beyond the shift reach of the mask
    EXPECT_FLOAT_EQ(scoreOf(s, roi), 100.0f);
}

TEST(SURF, UntrainedOrEmptyScoresZero)
{
    SURF s;
    EXPECT_FALSE(s.IsValid());
    EXPECT_EQ(scoreOf(s, flat(40, 30, 1)), 0.0f);
    s = similarity({});
    EXPECT_TRUE(s.IsValid());
    EXPECT_EQ(scoreOf(s, texture(40, 30, 1)), 0.0f);
    s = similarity({texture(40, 30, 1)});
    cv::Mat out;
    EXPECT_EQ(s.Match(texture(41, 30, 1), out), 0.0f);
    EXPECT_EQ(out.size(), cv::Size(41, 30));
    s.Clear();
    EXPECT_FALSE(s.IsValid());
    // Regions too small to shift are compared in place.
    const cv::Mat tiny = texture(6, 5, 9);
    EXPECT_FLOAT_EQ(scoreOf(similarity({tiny}), tiny), 100.0f);
}

}  // namespace
