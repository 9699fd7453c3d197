// Speed and accuracy of the vision library beside plain OpenCV baselines, on
// synthetic mould scenes at 1280x1024 and 2592x1944:
// - FindShape (+/-10 degrees, and shift only) against cv::matchTemplate
//   (TM_CCOEFF_NORMED) over the whole frame, swept over the same range in
//   1 degree steps with the template turned by warpAffine;
// - GrayMatch with 1, 10 and 100 templates against the per-template
//   cv::absdiff (smallest difference to any template above B);
// - SURF (similarity score) against per-template matchTemplate scores;
// - accuracy: position (px) and angle (degrees) errors, and detection of a
//   5x5 foreign object (40 grey levels) against false NG on good frames,
//   under sensor noise and lighting drift.
// Timings are made with one thread and with every core (cv::setNumThreads).

#include "scenes.h"

#include "inspection/findshape.h"
#include "inspection/graymatch.h"
#include "inspection/imagehelpers.h"
#include "inspection/surf.h"

#include <benchmark/benchmark.h>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kSizes[][2] = {{1280, 1024}, {2592, 1944}};
constexpr int kAngleRange = 10;     // degrees each way
constexpr int kMaxShift = 40;       // pixels each way
constexpr double kNoise = 3.0;      // grey levels (sigma)
constexpr int kTolerance = 25;      // B of a defect region
constexpr int kLeastMatch = 10;
constexpr int kFrames = 8;          // moved frames cycled through by the timings
constexpr int kAccuracyTrials = 30;
constexpr int kBaselineTrials = 3;  // the baseline takes seconds per search
constexpr int kDefectTrials = 40;
constexpr int kObject = 5;          // side of the foreign object
constexpr int kObjectContrast = 40;
constexpr int kOpening = 3;         // opening applied before counting a detection

// Camera conditions of the defect trials: noise of templates and frames, a
// lighting drift of the frames (alternately brighter and darker) and a
// residual misalignment left by the positioning (alternately each way).
struct Condition {
    const char* name;
    double noise;
    double drift;
    double misalign;   // pixels
};
const Condition kConditions[] = {
    {"noise3", 3.0, 0.0, 0.0},
    {"noise6", 6.0, 0.0, 0.0},
    {"noise3_drift8pct", 3.0, 0.08, 0.0},
    {"noise3_shift1px", 3.0, 0.0, 1.0},
};
const int kTemplateCounts[] = {1, 10, 100};

using Clock = std::chrono::steady_clock;

double millisSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Pose {
    cv::Point2d shift;
    double angle = 0;
};

// One size's scene: the reference frame, the position region (a quarter of
// each side, centred) and frames of the mould moved by known poses.
struct Fixture {
    cv::Mat reference;
    cv::Rect model;
    cv::Point centre;
    std::vector<cv::Mat> turned, shifted;
    std::vector<Pose> turnedPoses, shiftedPoses;
};

Pose randomPose(cv::RNG& rng, bool turn)
{
    Pose p;
    p.shift = cv::Point2d(rng.uniform(-kMaxShift, kMaxShift) + rng.uniform(0.0, 1.0),
                          rng.uniform(-kMaxShift, kMaxShift) + rng.uniform(0.0, 1.0));
    p.angle = turn ? rng.uniform(-static_cast<double>(kAngleRange), static_cast<double>(kAngleRange)) : 0.0;
    return p;
}

cv::Mat cameraView(const Fixture& f, const Pose& p, unsigned seed, double gain = 1.0)
{
    return Disturb(MoveScene(f.reference, p.shift, f.centre, p.angle), kNoise, gain, seed);
}

const Fixture& fixture(int w, int h)
{
    static std::map<std::pair<int, int>, Fixture> cache;
    auto it = cache.find({w, h});
    if (it != cache.end())
        return it->second;
    Fixture& f = cache[{w, h}];
    f.reference = MakeMouldScene(w, h, 7);
    f.model = cv::Rect(w * 3 / 8, h * 3 / 8, w / 4, h / 4);
    f.centre = cv::Point(f.model.x + f.model.width / 2, f.model.y + f.model.height / 2);
    cv::RNG rng(1234);
    for (int i = 0; i < kFrames; ++i) {
        f.turnedPoses.push_back(randomPose(rng, true));
        f.turned.push_back(cameraView(f, f.turnedPoses.back(), 100 + i));
        f.shiftedPoses.push_back(randomPose(rng, false));
        f.shifted.push_back(cameraView(f, f.shiftedPoses.back(), 200 + i));
    }
    return f;
}

// Milliseconds per call of each measured case, for the closing summary.
std::map<std::string, double>& results()
{
    static std::map<std::string, double> r;
    return r;
}

std::string sizeName(int w, int h)
{
    return std::to_string(w) + "x" + std::to_string(h);
}

class Threads
{
public:
    explicit Threads(int n) { cv::setNumThreads(n); }
    ~Threads() { cv::setNumThreads(-1); }
};

// ------------------------------------------------------------ positioning

FindShape trainedModel(const Fixture& f, int range)
{
    FindShape model;
    model.CreateShape(f.reference(f.model), cv::Mat(), range, f.centre, kLeastMatch);
    return model;
}

// Baseline: the template turned in 1 degree steps, each matched over the
// whole frame with normalised correlation; the best wins.
Pose baselineSearch(const Fixture& f, const cv::Mat& frame, int range)
{
    const cv::Mat templ = f.reference(f.model);
    const cv::Point2f c(static_cast<float>(f.model.width / 2), static_cast<float>(f.model.height / 2));
    double best = -2;
    Pose pose;
    for (int a = -range; a <= range; ++a) {
        cv::Mat turned, score;
        cv::warpAffine(templ, turned, cv::getRotationMatrix2D(c, a, 1.0), templ.size(), cv::INTER_LINEAR,
                       cv::BORDER_REPLICATE);
        cv::matchTemplate(frame, turned, score, cv::TM_CCOEFF_NORMED);
        double value = 0;
        cv::Point at;
        cv::minMaxLoc(score, nullptr, &value, nullptr, &at);
        if (value > best) {
            best = value;
            pose.shift = cv::Point2d(at.x + c.x - f.centre.x, at.y + c.y - f.centre.y);
            pose.angle = a;
        }
    }
    return pose;
}

void BM_FindShape(benchmark::State& state, int w, int h, int range, int threads)
{
    Threads scope(threads);
    const Fixture& f = fixture(w, h);
    const FindShape model = trainedModel(f, range);
    const std::vector<cv::Mat>& frames = range > 0 ? f.turned : f.shifted;
    double ms = 0;
    size_t i = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(model.Search(frames[i++ % frames.size()], cv::Point(0, 0)));
        ms += millisSince(start);
    }
    results()["FindShape " + sizeName(w, h) + " r" + std::to_string(range) + " t" + std::to_string(threads)] =
        ms / static_cast<double>(state.iterations());
}

void BM_FindShapeBaseline(benchmark::State& state, int w, int h, int range, int threads)
{
    Threads scope(threads);
    const Fixture& f = fixture(w, h);
    const std::vector<cv::Mat>& frames = range > 0 ? f.turned : f.shifted;
    double ms = 0;
    size_t i = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(baselineSearch(f, frames[i++ % frames.size()], range));
        ms += millisSince(start);
    }
    results()["matchTemplate " + sizeName(w, h) + " r" + std::to_string(range) + " t" + std::to_string(threads)] =
        ms / static_cast<double>(state.iterations());
}

struct Errors {
    double sumPx = 0, maxPx = 0, maxWholePx = 0, sumDeg = 0, maxDeg = 0;
    int found = 0, trials = 0;

    void add(const Pose& truth, const cv::Point2d& shift, double angle, bool ok)
    {
        const double px = cv::norm(shift - truth.shift);
        const cv::Point2d whole(std::round(shift.x), std::round(shift.y));
        const double deg = std::abs(angle - truth.angle);
        sumPx += px;
        maxPx = std::max(maxPx, px);
        maxWholePx = std::max(maxWholePx, cv::norm(whole - truth.shift));
        sumDeg += deg;
        maxDeg = std::max(maxDeg, deg);
        found += ok;
        ++trials;
    }
};

void BM_PositionAccuracy(benchmark::State& state, int w, int h)
{
    const Fixture& f = fixture(w, h);
    const FindShape model = trainedModel(f, kAngleRange);
    Errors ours, base;
    cv::RNG rng(99);
    for (auto _ : state) {
        for (int i = 0; i < kAccuracyTrials; ++i) {
            const Pose truth = randomPose(rng, true);
            const double gain = 1.0 + rng.uniform(-0.1, 0.1);
            const cv::Mat frame = cameraView(f, truth, 300 + i, gain);
            const FindShape::Match m = model.Search(frame, cv::Point(0, 0));
            ours.add(truth, m.shift, m.angle, m.found);
            if (i < kBaselineTrials) {
                const Pose b = baselineSearch(f, frame, kAngleRange);
                base.add(truth, b.shift, b.angle, true);
            }
        }
    }
    state.counters["mean_px"] = ours.sumPx / ours.trials;
    state.counters["max_px"] = ours.maxPx;
    state.counters["max_px_whole"] = ours.maxWholePx;
    state.counters["mean_deg"] = ours.sumDeg / ours.trials;
    state.counters["max_deg"] = ours.maxDeg;
    state.counters["found"] = static_cast<double>(ours.found) / ours.trials;
    state.counters["base_max_px"] = base.maxPx;
    state.counters["base_max_deg"] = base.maxDeg;
    const std::string key = "accuracy " + sizeName(w, h);
    results()[key + " max_px"] = ours.maxPx;
    results()[key + " max_px_whole"] = ours.maxWholePx;
    results()[key + " max_deg"] = ours.maxDeg;
    results()[key + " base_max_px"] = base.maxPx;
    results()[key + " base_max_deg"] = base.maxDeg;
}

// ------------------------------------------------------------ defects

std::vector<cv::Mat> goodTemplates(const Fixture& f, int n, double noise = kNoise)
{
    std::vector<cv::Mat> templates;
    cv::RNG rng(5);
    for (int i = 0; i < n; ++i)
        templates.push_back(Disturb(f.reference, noise, 1.0 + rng.uniform(-0.02, 0.02), 1000 + i));
    return templates;
}

GrayMatch trainedGrayMatch(const std::vector<cv::Mat>& templates)
{
    GrayMatch g;
    g.Create(templates[0].cols, templates[0].rows, cv::Mat());
    for (const cv::Mat& t : templates)
        g.AddTemp(t);
    g.Train(kTolerance, 0, 100, 150);
    return g;
}

// Baseline: a pixel differs when it is more than B from every template.
void absdiffBaseline(const cv::Mat& roi, const std::vector<cv::Mat>& templates, cv::Mat& out)
{
    cv::Mat nearest, d;
    cv::absdiff(roi, templates[0], nearest);
    for (size_t k = 1; k < templates.size(); ++k) {
        cv::absdiff(roi, templates[k], d);
        cv::min(nearest, d, nearest);
    }
    cv::compare(nearest, kTolerance, out, cv::CMP_GT);
}

void BM_GrayMatch(benchmark::State& state, int w, int h, int templates, int threads, bool baseline)
{
    Threads scope(threads);
    const Fixture& f = fixture(w, h);
    const std::vector<cv::Mat> good = goodTemplates(f, templates);
    const GrayMatch g = trainedGrayMatch(good);
    const cv::Mat frame = Disturb(f.reference, kNoise, 1.0, 77);
    cv::Mat out;
    double ms = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (baseline)
            absdiffBaseline(frame, good, out);
        else
            g.Match(frame, out);
        benchmark::DoNotOptimize(out.data);
        ms += millisSince(start);
    }
    state.counters["templates"] = templates;
    results()[std::string(baseline ? "absdiff " : "GrayMatch ") + sizeName(w, h) + " n" + std::to_string(templates)
              + " t" + std::to_string(threads)] = ms / static_cast<double>(state.iterations());
}

bool anyLeft(const cv::Mat& out, const cv::Rect& where)
{
    cv::Mat opened;
    cv::morphologyEx(out(where), opened, cv::MORPH_OPEN,
                     cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(kOpening, kOpening)));
    return cv::countNonZero(opened) > 0;
}

// Detection of a 5x5 foreign object and false NG on good frames, for
// GrayMatch (10 templates) and the absdiff baseline against template 0 and
// against the nearest of the same 10 templates.
void BM_DefectAccuracy(benchmark::State& state, int w, int h, Condition c)
{
    const Fixture& f = fixture(w, h);
    const std::vector<cv::Mat> good = goodTemplates(f, 10, c.noise);
    const std::vector<cv::Mat> first{good[0]};
    const GrayMatch g = trainedGrayMatch(good);
    const cv::Rect frameRect(0, 0, w, h);
    struct Method {
        const char* name;
        std::function<void(const cv::Mat&, cv::Mat&)> match;
        int detected = 0, falseNg = 0;
    };
    std::vector<Method> methods = {
        {"", [&](const cv::Mat& frame, cv::Mat& out) { g.Match(frame, out); }},
        {"base0_", [&](const cv::Mat& frame, cv::Mat& out) { absdiffBaseline(frame, first, out); }},
        {"base10_", [&](const cv::Mat& frame, cv::Mat& out) { absdiffBaseline(frame, good, out); }},
    };
    cv::RNG rng(17);
    for (auto _ : state) {
        for (int i = 0; i < kDefectTrials; ++i) {
            const double gain = 1.0 + (i % 2 ? c.drift : -c.drift);
            const double off = i % 2 ? c.misalign : -c.misalign;
            const cv::Mat scene = c.misalign > 0 ? MoveScene(f.reference, cv::Point2d(off, -off), f.centre, 0)
                                                 : f.reference;
            cv::Mat frame = Disturb(scene, c.noise, gain, 5000 + i);
            cv::Mat out;
            for (Method& m : methods) {
                m.match(frame, out);
                m.falseNg += anyLeft(out, frameRect);
            }
            // The same frame with a foreign object, lighter or darker than the mould there.
            const cv::Rect object(rng.uniform(8, w - 8 - kObject), rng.uniform(8, h - 8 - kObject), kObject, kObject);
            const int here = cv::saturate_cast<int>(cv::mean(frame(object))[0]);
            frame(object).setTo(here < 128 ? here + kObjectContrast : here - kObjectContrast);
            const cv::Rect near(object.x - 1, object.y - 1, kObject + 2, kObject + 2);
            for (Method& m : methods) {
                m.match(frame, out);
                m.detected += anyLeft(out, near);
            }
        }
    }
    const double n = kDefectTrials;
    const std::string key = "defects " + sizeName(w, h) + " " + c.name + " ";
    for (const Method& m : methods) {
        state.counters[std::string(m.name) + "detect"] = m.detected / n;
        state.counters[std::string(m.name) + "false_ng"] = m.falseNg / n;
        results()[key + m.name + "detect"] = m.detected / n;
        results()[key + m.name + "false_ng"] = m.falseNg / n;
    }
}

// ------------------------------------------------------------ similarity

void BM_Similarity(benchmark::State& state, int w, int h, int templates, bool baseline)
{
    const Fixture& f = fixture(w, h);
    const cv::Rect region(w * 2 / 5, h * 2 / 5, w / 5, h / 5);
    std::vector<cv::Mat> crops;
    for (const cv::Mat& t : goodTemplates(f, templates))
        crops.push_back(t(region).clone());
    SURF s;
    s.Create(region.width, region.height, cv::Mat());
    for (const cv::Mat& c : crops)
        s.AddTemp(c);
    s.Train();
    const cv::Mat roi = Disturb(f.reference, kNoise, 1.1, 88)(region).clone();
    const cv::Mat other = f.reference(region + cv::Point(region.width, 0)).clone();
    cv::Mat out, score;
    double ms = 0, value = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (baseline) {
            value = -1;
            for (const cv::Mat& c : crops) {
                cv::matchTemplate(roi, c, score, cv::TM_CCOEFF_NORMED);
                value = std::max(value, 100.0 * score.at<float>(0, 0));
            }
        } else {
            value = s.Match(roi, out);
        }
        benchmark::DoNotOptimize(value);
        ms += millisSince(start);
    }
    state.counters["score"] = value;
    if (!baseline)
        state.counters["score_unrelated"] = s.Match(other, out);
    results()[std::string(baseline ? "matchTemplate score " : "SURF ") + sizeName(w, h) + " n"
              + std::to_string(templates)] = ms / static_cast<double>(state.iterations());
}

// ------------------------------------------------------------ registration

void registerAll(int cores)
{
    const int threadCounts[] = {1, cores};
    for (const auto& size : kSizes) {
        const int w = size[0], h = size[1];
        const std::string s = sizeName(w, h);
        for (int t : threadCounts) {
            const std::string tn = "/threads:" + std::to_string(t);
            for (int range : {kAngleRange, 0}) {
                const std::string rn = range > 0 ? "/pm10deg" : "/shift";
                benchmark::RegisterBenchmark(("FindShape/" + s + rn + tn).c_str(), BM_FindShape, w, h, range, t)
                    ->Unit(benchmark::kMillisecond)->UseRealTime();
                benchmark::RegisterBenchmark(("Baseline_matchTemplate/" + s + rn + tn).c_str(), BM_FindShapeBaseline,
                                             w, h, range, t)
                    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(range > 0 ? 1 : 3);
            }
            for (int n : kTemplateCounts) {
                const std::string nn = "/templates:" + std::to_string(n);
                benchmark::RegisterBenchmark(("GrayMatch/" + s + nn + tn).c_str(), BM_GrayMatch, w, h, n, t, false)
                    ->Unit(benchmark::kMillisecond)->UseRealTime();
                benchmark::RegisterBenchmark(("Baseline_absdiff/" + s + nn + tn).c_str(), BM_GrayMatch, w, h, n, t, true)
                    ->Unit(benchmark::kMillisecond)->UseRealTime();
            }
        }
        for (int n : kTemplateCounts) {
            const std::string nn = "/templates:" + std::to_string(n);
            benchmark::RegisterBenchmark(("SURF/" + s + nn).c_str(), BM_Similarity, w, h, n, false)
                ->Unit(benchmark::kMillisecond)->UseRealTime();
            benchmark::RegisterBenchmark(("Baseline_matchTemplateScore/" + s + nn).c_str(), BM_Similarity, w, h, n, true)
                ->Unit(benchmark::kMillisecond)->UseRealTime();
        }
        benchmark::RegisterBenchmark(("Accuracy_position/" + s).c_str(), BM_PositionAccuracy, w, h)
            ->Unit(benchmark::kMillisecond)->Iterations(1);
        for (const Condition& c : kConditions) {
            benchmark::RegisterBenchmark(("Accuracy_defects/" + s + "/" + c.name).c_str(), BM_DefectAccuracy, w, h, c)
                ->Unit(benchmark::kMillisecond)->Iterations(1);
        }
    }
}

double result(const std::string& key)
{
    const auto it = results().find(key);
    return it == results().end() ? std::nan("") : it->second;
}

void printSummary(int cores)
{
    std::printf("\nSummary (cores: %d; OpenCV %s)\n", cores, CV_VERSION);
    for (const auto& size : kSizes) {
        const std::string s = sizeName(size[0], size[1]);
        for (int t : {1, cores}) {
            const std::string tn = " t" + std::to_string(t);
            for (int range : {kAngleRange, 0}) {
                const std::string rn = " r" + std::to_string(range);
                const double ours = result("FindShape " + s + rn + tn);
                const double base = result("matchTemplate " + s + rn + tn);
                std::printf("%-9s %2d thread(s) FindShape %-10s %8.2f ms | matchTemplate %s %9.1f ms | %6.0fx faster\n",
                            s.c_str(), t, range > 0 ? "+/-10 deg" : "shift", ours,
                            range > 0 ? "21 angles" : "1 angle  ", base, base / ours);
            }
            std::printf("%-9s %2d thread(s) GrayMatch ", s.c_str(), t);
            for (int n : kTemplateCounts)
                std::printf(" n=%-3d %6.2f ms", n, result("GrayMatch " + s + " n" + std::to_string(n) + tn));
            std::printf(" | absdiff");
            for (int n : kTemplateCounts)
                std::printf(" n=%-3d %7.2f ms", n, result("absdiff " + s + " n" + std::to_string(n) + tn));
            std::printf("\n");
        }
        std::printf("%-9s SURF region %dx%d:", s.c_str(), size[0] / 5, size[1] / 5);
        for (int n : kTemplateCounts)
            std::printf(" n=%-3d %6.2f ms", n, result("SURF " + s + " n" + std::to_string(n)));
        std::printf(" | matchTemplate scores");
        for (int n : kTemplateCounts)
            std::printf(" n=%-3d %6.2f ms", n, result("matchTemplate score " + s + " n" + std::to_string(n)));
        std::printf("\n");
        const std::string a = "accuracy " + s;
        std::printf("%-9s position error: FindShape max %.2f px (whole-pixel result %.2f px), max %.2f deg | "
                    "baseline max %.2f px, %.2f deg\n",
                    s.c_str(), result(a + " max_px"), result(a + " max_px_whole"), result(a + " max_deg"),
                    result(a + " base_max_px"), result(a + " base_max_deg"));
        for (const Condition& c : kConditions) {
            const std::string d = "defects " + s + " " + c.name + " ";
            std::printf("%-9s 5x5 object, %-16s detected / false NG: GrayMatch(10) %3.0f%% / %3.0f%% | "
                        "absdiff(template 0) %3.0f%% / %3.0f%% | absdiff(nearest of 10) %3.0f%% / %3.0f%%\n",
                        s.c_str(), c.name, 100 * result(d + "detect"), 100 * result(d + "false_ng"),
                        100 * result(d + "base0_detect"), 100 * result(d + "base0_false_ng"),
                        100 * result(d + "base10_detect"), 100 * result(d + "base10_false_ng"));
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int cores = cv::getNumberOfCPUs();
    benchmark::Initialize(&argc, argv);
    registerAll(cores);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary(cores);
    return 0;
}
