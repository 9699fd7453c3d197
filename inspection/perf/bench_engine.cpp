// One detection step of the inspection engine over 8 cameras at 1280x1024:
// 50 regions per step (a position region and a mix of the functions 0, 1, 4,
// 5, 6, 7 and 8 in rectangles, circles and polygons), 10 templates per step,
// all 8 steps of every camera trained. Reports the training time, the time
// to align and judge one step of all cameras (in parallel with
// CammerRecong::InspectAll, and one camera after the other; wall and CPU
// time and page faults, beside the lateness of a bare thread sleeping 1 ms
// meanwhile), and the resident memory of the trained engines and their working sets.
//
//   build/inspection/perf/mm_engine_bench [offset]
//   taskset -c 0,1 build/inspection/perf/mm_engine_bench
// offset: the position search reaches this far around the position region
// (maxLocationOffset; 8000, the default, searches the whole frame).
// BENCH_DEBUG=1 lists the failed regions; BENCH_PROFILE_LOOPS=n only judges
// the step n times after the set-up (for a profiler).

#include "scenes.h"

#include "inspection/cammerrecongnize.h"
#include "inspection/regionjudge.h"

#include "core/wizardpara.h"

#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

#include <QRect>
#include <QVector>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <sched.h>
#include <sys/resource.h>
#include <string>
#include <time.h>
#include <vector>

namespace {

constexpr int kW = 1280, kH = 1024;
constexpr int kCameras = 8;
constexpr int kSteps = 8;
constexpr int kTemplates = 10;
constexpr int kRuns = 200;
constexpr int kJudgedStep = 1;

using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::string(field).size());
    }
    return -1;
}

int CoresAllowed()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    return sched_getaffinity(0, sizeof(set), &set) == 0 ? CPU_COUNT(&set) : -1;
}

struct Camera {
    explicit Camera(int index) : record(index) { view.cameraIndex = index; }
    CammerSingleton record;
    CameraWorkSet view;
    std::unique_ptr<CammerRecong> engine;
};

// 50 regions of step d laid out as the engine and run benchmarks share them.
void LayOut(Camera& cam, int d)
{
    LayOutRegions(&cam.record, d, kW, kH, 1.0, 1.0);
    for (int r = 0; r < kMaxRegions; ++r) {
        cam.record.SetImageRect(d, r);
        cam.view.liveMasks[d][r] = cam.record.MakeMask(d, r);
    }
}

// Sets the limits of the measuring functions from what each region shows on
// template 0, as the operator does with the sliders: a good frame passes.
void TuneLimits(Camera& cam, int d)
{
    CammerSingleton& rec = cam.record;
    cam.view.editRecord = &rec;
    cam.view.editMasks = cam.view.liveMasks;
    cam.view.shownTemplate = 0;
    for (int r = 1; r < kMaxRegions; ++r) {
        const int func = rec.func[d][r];
        if (func == kFuncDefect || func == kFuncSimilarity)
            continue;
        cam.engine->RunTest(d, r);
        const int value = cam.view.roiValue[d][r];
        switch (func) {
        case kFuncSpot:
            rec.sensitivity[d][r] = 0;
            rec.area[d][r] = 2 * value + 100;
            break;
        case kFuncWhiteCount:
            rec.area[d][r] = value + 5;
            break;
        case kFuncDirection:
            if (value > 0) {   // the other side, or no blob strictly between equal limits
                rec.minWH[d][r] = 0;
                cam.engine->RunTest(d, r);
                if (cam.view.roiValue[d][r] > 0)
                    rec.area[d][r] = rec.sensitivity[d][r];
            }
            break;
        default:
            rec.area[d][r] = 2 * value + 100;
            break;
        }
    }
    cam.view.editRecord = nullptr;
}

struct Stats {
    double median, p99, max;
};

Stats Summarise(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back()};
}

void Print(const char* what, const Stats& s)
{
    std::printf("%-46s median %7.2f ms  p99 %7.2f ms  max %7.2f ms\n", what, s.median, s.p99, s.max);
}

long MinorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

void PrintCount(const char* what, const Stats& s)
{
    std::printf("%-46s median %7.0f     p99 %7.0f     max %7.0f\n", what, s.median, s.p99, s.max);
}

double CpuMillis(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    static WizardPara settings;
    gpWPara = &settings;
    for (int d = 0; d < kSteps; ++d)
        settings.detectOn[d] = 1;
    settings.motionCorrection = 0;
    settings.rotationCorrection = 0;
    settings.maxLocationOffset = argc > 1 ? std::atoi(argv[1]) : 8000;
    settings.perRoiParams = 1;
    settings.minSpot = 3;
    settings.filterSize = 3;
    settings.alarmArea = 100;
    gImageW = gShowW = kW;
    gImageH = gShowH = kH;
    gImageLen = gColorLen = kW * kH;
    gShowAW = gShowAH = 1.0f;
    gTempNum = kTemplates;
    gDNum = kSteps;

    std::printf("cores allowed %d, OpenCV threads %d, frame %dx%d, %d cameras x %d steps x %d regions, "
                "%d templates a step, position search offset %d\n",
                CoresAllowed(), cv::getNumThreads(), kW, kH, kCameras, kSteps, kMaxRegions, kTemplates,
                settings.maxLocationOffset);
    const long rssStart = StatusKb("VmRSS:");

    std::vector<std::unique_ptr<Camera>> cameras;
    double trainMs = 0;
    cv::Mat judged[kCameras];
    for (int c = 0; c < kCameras; ++c) {
        auto cam = std::make_unique<Camera>(c);
        cam->view.Allocate(kW, kH, false, kTemplates);
        for (int d = 0; d < kSteps; ++d) {
            LayOut(*cam, d);
            cam->view.ignoreImage[d] = cv::Mat::zeros(kH, kW, CV_8UC1);
        }
        cam->engine = std::make_unique<CammerRecong>(&cam->record, &cam->view);   // trains nothing yet: no templates
        for (int d = 0; d < kSteps; ++d) {
            const cv::Mat scene = MakeMouldScene(kW, kH, 100 * c + d);
            for (int t = 0; t < kTemplates; ++t)
                cam->view.SetTemplate(d, t, Disturb(scene, 2.0, 1.0 + 0.01 * (t % 3), 1000 * c + 10 * d + t));
            const auto start = Clock::now();
            cam->engine->CreateShape(d);
            cam->engine->VarTrain(d);
            trainMs += MillisSince(start);
            TuneLimits(*cam, d);
            if (d == kJudgedStep) {
                judged[c] = MoveScene(Disturb(scene, 2.0, 1.0, 77 + c), cv::Point2d(3 + c, -2 - c % 3),
                                      cv::Point2d(kW / 2, kH / 2), 0);
                if (c == 5)
                    judged[c](cv::Rect(200, 200, 40, 40)).setTo(0);   // a defect
            }
            for (int t = 0; t < kTemplates; ++t)
                cam->view.ClearTemplate(d, t);   // the view's template store is counted apart
        }
        cameras.push_back(std::move(cam));
    }
    const long rssTrained = StatusKb("VmRSS:");
    const struct mallinfo2 heap = mallinfo2();
    const double inUseMb = (heap.uordblks + heap.hblkhd) / 1048576.0;
    std::printf("training (CreateShape + VarTrain), all %d steps: %.0f ms in all, %.1f ms a step\n",
                kCameras * kSteps, trainMs, trainMs / (kCameras * kSteps));

    std::vector<CammerRecong*> engines;
    for (auto& cam : cameras)
        engines.push_back(cam->engine.get());
    auto takeFrames = [&] {
        for (int c = 0; c < kCameras; ++c) {
            cameras[c]->view.frames.Detach(cameras[c]->view.imageRaw);
            judged[c].copyTo(cameras[c]->view.imageRaw);
        }
    };

    if (const char* loops = std::getenv("BENCH_PROFILE_LOOPS")) {   // for a profiler: judging only
        for (int i = 0; i < std::atoi(loops); ++i) {
            for (CammerRecong* e : engines) {
                e->ShapeMatch(kJudgedStep);
                e->Run(kJudgedStep);
            }
        }
        return 0;
    }
    // What a step found on every camera: values, verdicts, alarm boxes and
    // defect pixels, to compare the parallel step with the serial one (and
    // one build with another).
    auto fingerprint = [&] {
        std::vector<double> f;
        for (auto& cam : cameras) {
            const CameraWorkSet& v = cam->view;
            f.push_back(v.cameraOk);
            for (int r = 0; r < kMaxRegions; ++r) {
                f.push_back(v.roiValue[kJudgedStep][r]);
                f.push_back(v.roiOk[kJudgedStep][r]);
                const AlarmRect* boxes = v.alarmRects[kJudgedStep][r];
                for (int k = 0; k <= std::clamp(boxes[0].x1, 0, kMaxAlarmRects - 1); ++k)
                    f.insert(f.end(), {double(boxes[k].x1), double(boxes[k].y1), double(boxes[k].x2), double(boxes[k].y2)});
            }
            f.push_back(cv::sum(v.defectImage)[0]);
            f.push_back(cv::norm(v.imageWork, cv::NORM_L1));
        }
        return f;
    };
    takeFrames();
    CammerRecong::InspectAll(engines, kJudgedStep);
    const std::vector<double> parallelResult = fingerprint();
    takeFrames();
    for (CammerRecong* e : engines) {
        e->ShapeMatch(kJudgedStep);
        e->Run(kJudgedStep);
    }
    const std::vector<double> serialResult = fingerprint();
    double checksum = 0;
    for (size_t i = 0; i < serialResult.size(); ++i)
        checksum += serialResult[i] * double(i % 997 + 1);
    std::printf("results of the step: parallel and serial %s, checksum %.0f\n",
                parallelResult == serialResult ? "agree" : "DIFFER", checksum);

    // CPU time of the whole process: the serial position search runs its
    // own parallel loops on OpenCV's threads too.
    std::vector<double> together, togetherCpu, oneByOne, oneByOneCpu, alignOnly, judgeOnly;
    std::vector<double> togetherFaults, oneByOneFaults;
    SleepJitter jitter;
    for (int i = 0; i < kRuns; ++i) {
        takeFrames();
        auto start = Clock::now();
        double cpu = CpuMillis(CLOCK_PROCESS_CPUTIME_ID);
        long faults = MinorFaults();
        CammerRecong::InspectAll(engines, kJudgedStep);
        together.push_back(MillisSince(start));
        togetherCpu.push_back(CpuMillis(CLOCK_PROCESS_CPUTIME_ID) - cpu);
        togetherFaults.push_back(MinorFaults() - faults);

        takeFrames();
        double align = 0, judge = 0;
        start = Clock::now();
        cpu = CpuMillis(CLOCK_PROCESS_CPUTIME_ID);
        faults = MinorFaults();
        for (CammerRecong* e : engines) {
            const auto a = Clock::now();
            e->ShapeMatch(kJudgedStep);
            const auto b = Clock::now();
            e->Run(kJudgedStep);
            align += std::chrono::duration<double, std::milli>(b - a).count();
            judge += MillisSince(b);
        }
        oneByOne.push_back(MillisSince(start));
        oneByOneCpu.push_back(CpuMillis(CLOCK_PROCESS_CPUTIME_ID) - cpu);
        oneByOneFaults.push_back(MinorFaults() - faults);
        alignOnly.push_back(align);
        judgeOnly.push_back(judge);
    }
    Print("bare thread sleeping 1 ms: lateness", Summarise(jitter.Finish()));
    Print("step of 8 cameras, in parallel (InspectAll)", Summarise(together));
    Print("  CPU time of all threads", Summarise(togetherCpu));
    PrintCount("  page faults", Summarise(togetherFaults));
    Print("step of 8 cameras, one after the other", Summarise(oneByOne));
    Print("  CPU time of all threads", Summarise(oneByOneCpu));
    PrintCount("  page faults", Summarise(oneByOneFaults));
    Print("  of which positioning (ShapeMatch x 8)", Summarise(alignOnly));
    Print("  of which judging (Run x 8)", Summarise(judgeOnly));

    // Judging cost by function: the other regions of camera 0 are skipped
    // (marked as ignore areas, which judging passes over).
    Camera& first = *cameras[0];
    int saved[kMaxRegions];
    std::copy(first.record.func[kJudgedStep], first.record.func[kJudgedStep] + kMaxRegions, saved);
    for (int f : {0, 1, 4, 5, 6, 7, 8}) {
        int regions = 0;
        for (int r = 0; r < kMaxRegions; ++r) {
            first.record.func[kJudgedStep][r] = saved[r] == f ? f : kFuncIgnoreArea;
            regions += saved[r] == f ? 1 : 0;
        }
        std::vector<double> times, cpuTimes;
        for (int i = 0; i < kRuns; ++i) {
            const auto start = Clock::now();
            const double cpu = CpuMillis(CLOCK_THREAD_CPUTIME_ID);
            first.engine->Run(kJudgedStep);
            times.push_back(MillisSince(start));
            cpuTimes.push_back(CpuMillis(CLOCK_THREAD_CPUTIME_ID) - cpu);
        }
        const Stats st = Summarise(times);
        const double cpu = Summarise(cpuTimes).median;
        std::printf("  Run of camera 0, function %d only (%2d regions): median %.3f ms (CPU %.3f ms), %.3f ms a region\n",
                    f, regions, st.median, cpu, cpu / std::max(regions, 1));
    }
    std::copy(saved, saved + kMaxRegions, first.record.func[kJudgedStep]);

    int ng = 0, found = 0;
    for (auto& cam : cameras) {
        ng += cam->view.cameraOk ? 0 : 1;
        found += cam->engine->LastAlignment().found ? 1 : 0;
    }
    std::printf("cameras NG %d (1 defect placed), frames positioned %d of %d\n", ng, found, kCameras);
    if (std::getenv("BENCH_DEBUG")) {
        for (auto& cam : cameras)
            for (int r = 0; r < kMaxRegions; ++r)
                if (!cam->view.roiOk[kJudgedStep][r])
                    std::printf("cam %d region %d func %d value %d\n", cam->view.cameraIndex, r,
                                cam->record.func[kJudgedStep][r], cam->view.roiValue[kJudgedStep][r]);
    }
    std::printf("resident memory: %ld MB at start, %ld MB trained (engines and working sets, templates "
                "released; %.0f MB of it allocated), peak %ld MB\n",
                rssStart / 1024, rssTrained / 1024, inUseMb, StatusKb("VmHWM:") / 1024);
    std::printf("templates held by the views would add %.0f MB (%d a step, %.2f MB each)\n",
                kCameras * kSteps * kTemplates * (kW * kH / 1048576.0), kTemplates, kW * kH / 1048576.0);
    return 0;
}
