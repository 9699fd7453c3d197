// The run controller at work, on simulated cameras and the IO-board
// simulator (never run by ctest):
//
//   runbench edge    the real program: delay from an input edge at the board
//                    simulator to the clamp-inhibit output frame on the wire,
//                    both stamped by the simulator's monotonic clock, over
//                    repeated cycles, beside a bare sleeping thread's
//                    lateness; and the program's memory.
//   runbench pass    the main window in this process: duration of each
//                    polling pass, the interval from one pass to the next and
//                    how late each pass starts (with the longest work the GUI
//                    thread did before a pass more than 2 ms late), while
//                    cycles run (8 cameras judged at every step). With
//                    --stalled-client the network link is on and its client
//                    connects, then neither reads nor acknowledges. With
//                    --lock-held the link sends live video of the cameras
//                    and the fake network client holds a share's lock for
//                    5 s at each read.
//   runbench memory  the real program on a multi-detection machine of 8 steps
//                    with 50 regions and 10 template files per step and
//                    camera: resident memory (and its anonymous part) after
//                    start-up, after W cycles through every step, then every
//                    100 cycles over K more, beside the lateness of a bare
//                    thread sleeping 1 ms meanwhile.
//   runbench editor  the main window in this process on the same machine:
//                    resident memory after start-up, with the region editor
//                    open on each camera showing every step, and after it
//                    was closed again each time.
//
// Options: --cameras N (8), --cycles K (200, edge and memory), --warm W (100,
// memory), --seconds S (20, pass), --size WxH (1280x1024), --wrapper "CMD"
// (memory: the program runs under CMD, e.g. "heaptrack -o FILE"). Run it pinned
// with `taskset -c 0,1` to see a two-core machine.

#include "camera/cameraglobals.h"
#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/wizardpara.h"
#include "inspection/cammersingleton.h"
#include "inspection/regionjudge.h"
#include "inspection/perf/scenes.h"
#include "inspection/templatestore.h"
#include "network/network.h"
#include "screen/cammerwidget.h"
#include "screen/mainwindow.h"
#include "screen/regioption.h"
#include "screen/runcontroller.h"
#include "tests/common/testsupport.h"
#include "tests/e2e/e2emachine.h"
#include "tests/mainwin/programfixture.h"
#include "tests/mainwin/programobjects.h"
#include "tools/ioboard-sim/ioboardsim.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <opencv2/core.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <netinet/in.h>
#include <sched.h>
#include <time.h>
#include <sys/socket.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

using namespace e2e;

namespace {

constexpr int kIdle = 0x0F0;            // no output on (lines 4..7 inverted)
constexpr int kClampInhibit = 0x0F1;
constexpr int kWaitMs = 20000;
constexpr int kMissedMs = 2000;
constexpr int kSettleMs = 1500;         // frames flowing after start-up
// The start-up is over: its one-second splash, then the style sheet and the
// main window shown, which hold the GUI thread for some 0.15 s. A cycle in
// that time measures the start-up, not the run.
constexpr int kStartUpMs = 4000;
constexpr int kPassMs = 3;
constexpr int kTickMs = 100;
constexpr double kLongMs = 5;
constexpr int kClosedUs = 200000;
constexpr int kTemplateFiles = 10;   // per step and camera (memory, editor)

struct Options {
    int cameras = 8;
    int cycles = 200;
    int seconds = 20;
    int warm = 100;
    QSize size{1280, 1024};
    bool stalledClient = false;
    bool lockHeld = false;
    QStringList wrapper;   // memory: runs the program under it (a heap profiler)
};

void printFigures(const char* what, std::vector<double> v, const char* unit)
{
    if (v.empty()) {
        std::printf("%-34s no samples\n", what);
        return;
    }
    std::sort(v.begin(), v.end());
    auto at = [&](double q) { return v[std::min(v.size() - 1, size_t(q * double(v.size())))]; };
    std::printf("%-34s n=%-6zu p50 %8.3f  p99 %8.3f  max %8.3f %s\n", what, v.size(), at(0.5), at(0.99), v.back(),
                unit);
}

// The five longest of a series, with their place in it (from 0).
void printLongest(const std::vector<double>& v)
{
    std::vector<size_t> order(v.size());
    std::iota(order.begin(), order.end(), size_t(0));
    const size_t n = std::min<size_t>(5, v.size());
    std::partial_sort(order.begin(), order.begin() + n, order.end(), [&](size_t a, size_t b) { return v[a] > v[b]; });
    std::printf("%-34s", "longest (cycle: ms)");
    for (size_t k = 0; k < n; ++k)
        std::printf("  %zu: %.1f", order[k], v[order[k]]);
    std::printf("\n");
}

// VmRSS and VmHWM of a process, in MB.
struct Memory {
    double resident = 0, peak = 0;
};

Memory memoryOf(qint64 pid)
{
    Memory m;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return m;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 2 && f[0] == "VmRSS:")
            m.resident = f[1].toDouble() / 1024;
        if (f.size() >= 2 && f[0] == "VmHWM:")
            m.peak = f[1].toDouble() / 1024;
    }
    return m;
}

// Fields of /proc/<pid>/smaps_rollup, in MB.
double rollupOf(qint64 pid, const QByteArray& field)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : rollup.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() >= 2 && f[0] == field + ':')
            return f[1].toDouble() / 1024;
    }
    return 0;
}

void printMemory(const char* what, qint64 pid)
{
    const Memory m = memoryOf(pid);
    std::printf("%-34s resident %7.1f MB  peak %7.1f MB  (anonymous %.1f, file %.1f)\n", what, m.resident, m.peak,
                rollupOf(pid, "Anonymous"), m.resident - rollupOf(pid, "Anonymous"));
    std::fflush(stdout);
}

// A working directory as run.sh lays it out, the settings, and the cameras.
class Machine
{
public:
    Machine(const Options& o, const std::function<void(WizardPara&)>& settings)
    {
        if (qEnvironmentVariableIsEmpty("MOULDMON_BUILD_DIR"))
            qputenv("MOULDMON_BUILD_DIR", MM_BUILD_DIR);
        LayOutWorkDir(dir.path());
        LoadBaseline(file("PARAM.db"), &para);
        settings(para);
        if (!WriteSettings(file("PARAM.db"), para, o.cameras, 0, o.size)
            || !WriteCameras(file("simcams"), o.cameras, nullptr, o.size))
            qFatal("cannot lay out the machine in %s", qPrintable(dir.path()));
    }
    QString file(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    WizardPara para;
};

// Events of the board simulator.
class Board
{
public:
    Board()
    {
        if (!io.start())
            qFatal("the IO-board simulator did not start");
        io.command(QStringLiteral("set 1"));   // safety door closed
    }
    // The next event of the kind (and word, when >= 0) within timeoutMs:
    // its time in seconds, or -1.
    double nextOf(const char* kind, int word, int timeoutMs)
    {
        IOBoardSim::Event e;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs && io.next(&e, int(timeoutMs - t.elapsed()))) {
            if (e.kind == QLatin1String(kind) && (word < 0 || e.word == word))
                return e.time;
        }
        return -1;
    }
    // The same within 20 s, or an error.
    double waitFor(const char* kind, int word = -1)
    {
        const double time = nextOf(kind, word, kWaitMs);
        if (time >= 0)
            return time;
        // Thrown through the program's Program, which ends it.
        throw std::runtime_error(QStringLiteral("no %1 %2 from the board simulator")
                                     .arg(QLatin1String(kind))
                                     .arg(word, 3, 16, QLatin1Char('0'))
                                     .toStdString());
    }
    // The clamp inhibited from the opening of the board until detection runs.
    void started(int idle = kIdle) { waitFor("out", idle | 1), waitFor("out", idle); }
    // Lets ms pass reading the simulator's events: left unread they fill its
    // output pipe, and it stops serving the board after some 300 cycles.
    void pass(int ms)
    {
        IOBoardSim::Event e;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms)
            io.next(&e, int(ms - t.elapsed()));
    }

    IOBoardSim io;
};

// The mould-open input starts a cycle that inhibits the clamp at once; the
// mould step is judged 0.1 s later and releases it.
int edge(const Options& o)
{
    Machine machine(o, [](WizardPara& p) {
        p.productDetectOn = 0;
        p.trigInDelay[1] = 1;
    });
    Board board;
    Program program(machine.dir.path(), machine.file("simcams"), board.io.device());
    board.started();
    QThread::msleep(kStartUpMs);
    std::vector<double> delays;
    int missed = 0;
    SleepJitter jitter;
    while (int(delays.size()) < o.cycles && missed <= o.cycles) {
        board.io.command(QStringLiteral("set 0"));
        const double in = board.waitFor("in");
        const double out = board.nextOf("out", kClampInhibit, kMissedMs);
        if (out >= 0) {
            delays.push_back((out - in) * 1000);
            board.waitFor("out", kIdle);
        } else {
            ++missed;
        }
        board.io.command(QStringLiteral("clear 0"));
        board.waitFor("in");
        // The mould closes for a while (the result pictures of the cycle are
        // made meanwhile); the next edge comes at a random place of the IO
        // thread's 5 ms period.
        QThread::usleep(kClosedUs + QRandomGenerator::global()->bounded(10000));
    }
    std::printf("%d cameras %dx%d, %zu cycles\n", o.cameras, o.size.width(), o.size.height(), delays.size());
    printFigures("input edge -> clamp inhibit on wire", delays, "ms");
    printLongest(delays);
    printFigures("bare thread sleeping 1 ms: lateness", jitter.Finish(), "ms");
    // The program polls no input while a step counts down or is judged: an
    // opening that came and went meanwhile starts no cycle.
    std::printf("openings that started no cycle within %d ms: %d\n", kMissedMs, missed);
    printMemory("program memory", program.process.processId());
    return program.terminate() ? 0 : 1;
}

// The process-wide objects of the program entry, in its order.
void makeProgramObjects(const Machine& machine, const QString& device)
{
    qputenv("MOULDMON_SIM_CAMERAS", QFile::encodeName(machine.file("simcams")));
    qputenv("MOULDMON_IO_DEVICE", QFile::encodeName(device));
    qputenv("MOULDMON_LED_LOG", QFile::encodeName(machine.file("led.log")));
    CommandRunner::setRecordFile(machine.file("shell.log"));
    QDir::setCurrent(machine.dir.path());
    SetAppDir(machine.dir.path());
    MakeProgramObjects();
}

// What an event is, for the tables: the receiver's class (a timer's owner's)
// and the event type. Taken before the event is delivered, which may delete
// the receiver.
struct EventKind {
    EventKind(QObject* receiver, QEvent* event)
        : timer(qobject_cast<QTimer*>(receiver) && receiver->parent())
        , className((timer ? receiver->parent() : receiver)->metaObject()->className())
        , type(int(event->type()))
    {
    }
    QString name() const
    {
        return QStringLiteral("%1%2 event %3")
            .arg(QLatin1String(className))
            .arg(timer ? QStringLiteral(" timer") : QString())
            .arg(type);
    }
    bool timer;
    const char* className;
    int type;
};

// Times the program's own passes and countdown ticks as the event loop
// delivers their timers: the pass is the single-shot 3 ms timer, a tick a
// periodic 100 ms one; a tick that judged a step moves the countdown phase
// from 1 (counting) to 2 (judged). A pass is late by the time from the end
// of the pass before plus 3 ms to its start; the longest piece of work the
// GUI thread did in between is noted against it.
class TimingApplication : public QApplication
{
public:
    using QApplication::QApplication;

    static constexpr double kLateMs = 2;

    bool notify(QObject* receiver, QEvent* event) override
    {
        // The run controller's timers have no parent.
        auto* timer = event->type() == QEvent::Timer && controller && !receiver->parent()
                          ? qobject_cast<QTimer*>(receiver) : nullptr;
        const bool pass = timer && timer->isSingleShot() && timer->interval() == kPassMs;
        const bool tick = timer && !timer->isSingleShot() && timer->interval() == kTickMs;
        if (!pass && !tick)
            return timed(receiver, event);
        const int counting = countdowns();
        const qint64 t0 = clock.nsecsElapsed();
        if (pass)
            passStarts(t0);
        const bool done = QApplication::notify(receiver, event);
        const qint64 t1 = clock.nsecsElapsed();
        const double ms = double(t1 - t0) / 1e6;
        if (pass) {
            if (lastPass >= 0) {
                passes.push_back(ms);
                intervals.push_back(double(t0 - lastPass) / 1e6);
            }
            lastPass = t0;
            lastPassEnd = t1;
        } else {
            ran(QStringLiteral("countdown tick"), ms);
            if (countdowns() < counting)
                inspections.push_back(ms);
        }
        return done;
    }

    // Any other work of the GUI thread: noted when it holds the passes up
    // for more than 5 ms.
    bool timed(QObject* receiver, QEvent* event)
    {
        if (!controller)
            return QApplication::notify(receiver, event);
        const EventKind kind(receiver, event);
        countPaint(receiver, event);
        const qint64 t0 = clock.nsecsElapsed();
        const bool done = QApplication::notify(receiver, event);
        const double ms = double(clock.nsecsElapsed() - t0) / 1e6;
        if (ms > kLongMs || ms > longestBefore)
            ran(kind.name(), ms);
        return done;
    }

    // Paints of the window (each may repaint several views) and of views.
    void countPaint(QObject* receiver, QEvent* event)
    {
        if (event->type() == QEvent::UpdateRequest && receiver->isWidgetType())
            ++windowPaints;
        if (event->type() == QEvent::Paint && qobject_cast<CammerWidget*>(receiver))
            ++viewPaints;
    }

    void ran(const QString& what, double ms)
    {
        if (ms > kLongMs)
            longEvents[what].push_back(ms);
        if (ms > longestBefore) {
            longestBefore = ms;
            before = what;
        }
    }

    void passStarts(qint64 t0)
    {
        if (lastPassEnd >= 0) {
            const double late = double(t0 - lastPassEnd) / 1e6 - kPassMs;
            lateness.push_back(late);
            if (late > kLateMs)
                lateAfter[before.isEmpty() ? QStringLiteral("nothing timed") : before].push_back(longestBefore);
        }
        before.clear();
        longestBefore = 0;
    }

    int countdowns() const
    {
        int n = 0;
        for (int d = 0; d < gDNum; ++d)
            n += controller->countdownActive(d);
        return n;
    }

    RunController* controller = nullptr;   // timing while set
    QElapsedTimer clock;
    qint64 lastPass = -1;
    qint64 lastPassEnd = -1;
    std::vector<double> passes, intervals, inspections, lateness;
    std::map<QString, std::vector<double>> longEvents;
    // Late passes by the longest work done before them: that work's times.
    std::map<QString, std::vector<double>> lateAfter;
    QString before;
    double longestBefore = 0;
    int windowPaints = 0, viewPaints = 0;
};

// CPU time of the calling thread and of the process, in seconds.
double cpuSeconds(clockid_t which)
{
    timespec t{};
    clock_gettime(which, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// A client of the network link on port that connects with a small receive
// buffer, then neither reads nor acknowledges; -1 when it cannot connect.
int StalledClient(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The window's passes while the mould opens every 1.4 s (a cycle judges the
// product and the mould step on every camera).
int pass(const Options& o, TimingApplication& app)
{
    Machine machine(o, [&o](WizardPara& p) {
        p.netLinkOn = o.stalledClient || o.lockHeld;
        if (o.lockHeld) {
            p.videoType = 2;
            WizardPara::SetText(p.useName, QStringLiteral("lo"));
        }
    });
    Board board;
    makeProgramObjects(machine, board.io.device());
    int client = -1;
    QTemporaryDir keys;
    QProcess lockClient;
    if (o.stalledClient || o.lockHeld) {
        qputenv("MOULDMON_NET_PORT", "18891");
        qputenv("MOULDMON_VIDEO_KEYDIR", QFile::encodeName(keys.path()));
        gpNet = new CNT_Net;
        if (o.lockHeld) {
            lockClient.setProcessChannelMode(QProcess::ForwardedChannels);
            lockClient.start(QStringLiteral("python3"),
                             {SourceDir() + QStringLiteral("/tools/netclient-fake/netclient_fake.py"),
                              QStringLiteral("--port"), QStringLiteral("18891"), QStringLiteral("--video"),
                              QStringLiteral("100000"), QStringLiteral("--video-gap"), QStringLiteral("0"),
                              QStringLiteral("--hold-sem"), QStringLiteral("5")});
            QElapsedTimer wait;
            wait.start();
            while (!gpNet->isClientConnected && wait.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            client = gpNet->isClientConnected ? 0 : -1;
        } else {
            client = StalledClient(CNT_Net::Port());
        }
        if (!gpNet->isSetUp || client < 0)
            throw std::runtime_error("the network link or its client did not start");
    }
    auto* window = new MainWindow;
    window->show();
    if (o.lockHeld)
        gpNet->CNT_FirstInit();   // the frame timer; the memory-info message to the client

    bool open = false;
    QTimer mould;
    QObject::connect(&mould, &QTimer::timeout, [&] {
        open = !open;
        board.io.command(open ? QStringLiteral("set 0") : QStringLiteral("clear 0"));
        mould.start(open ? 1000 : 400);
    });
    std::unique_ptr<SleepJitter> jitter;
    double guiCpu = 0, processCpu = 0;
    QTimer::singleShot(kSettleMs, [&] {
        guiCpu = -cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        processCpu = -cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        app.clock.start();
        app.controller = window->runController();
        jitter = std::make_unique<SleepJitter>();
        mould.start(0);
    });
    QTimer::singleShot(kSettleMs + o.seconds * 1000, [&] {
        guiCpu += cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
        processCpu += cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        app.controller = nullptr;
        app.quit();
    });
    app.exec();

    std::printf("%d cameras %dx%d, %d s, %d cycles, %d frames taken by camera 0\n", o.cameras, o.size.width(),
                o.size.height(), o.seconds, gAllNum[0], window->runController()->state().frameCount[0]);
    std::printf("CPU time: GUI thread %.2f s, process %.2f s; window paints %d, view paints %d\n", guiCpu,
                processCpu, app.windowPaints, app.viewPaints);
    printFigures("polling pass", app.passes, "ms");
    printFigures("pass start to next pass start", app.intervals, "ms");
    printFigures("pass start lateness", app.lateness, "ms");
    printFigures("bare thread sleeping 1 ms: lateness", jitter ? jitter->Finish() : std::vector<double>(), "ms");
    printFigures("countdown tick judging a step", app.inspections, "ms");
    for (const auto& [kind, times] : app.longEvents)
        printFigures(qPrintable(QStringLiteral("> 5 ms: %1").arg(kind)), times, "ms");
    for (const auto& [kind, times] : app.lateAfter)
        printFigures(qPrintable(QStringLiteral("late > 2 ms after: %1").arg(kind)), times, "ms");
    printMemory("memory (this process)", QCoreApplication::applicationPid());
    if (gpNet)
        std::printf("network messages waiting for the client: %d\n", gpNet->queuedMessages().size());
    if (o.lockHeld)
        std::printf("video frames written %d, skipped for a held lock %d\n", gpNet->framesWritten, gpNet->framesBusy);
    window->StopCameras();
    if (o.lockHeld) {
        gpNet->CNT_FreeShareMemory();
        lockClient.kill();
        lockClient.waitForFinished(3000);
    } else if (client >= 0) {
        ::close(client);
    }
    return 0;
}

int countFiles(const QString& root, const QString& pattern)
{
    int n = 0;
    QDirIterator it(root, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    for (; it.hasNext(); it.next())
        ++n;
    return n;
}

// Ten template pictures for each of 8 steps and every camera: the black
// frame the simulated cameras show.
void writeTemplates(const Machine& machine, const Options& o)
{
    const cv::Mat picture(o.size.height(), o.size.width(), CV_8UC1, cv::Scalar(0));
    for (int c = 0; c < o.cameras; ++c) {
        for (int d = 0; d < kMaxDetects; ++d) {
            QDir().mkpath(machine.file(QStringLiteral("cammer%1%2").arg(c + 1).arg(d + 1)));
            for (int t = 0; t < kTemplateFiles; ++t) {
                const QString path = machine.file(TemplateStore::TemplatePath(c, d, t).mid(2));
                if (!TemplateStore::WriteFrame(path, picture))
                    qFatal("cannot write %s", qPrintable(path));
            }
        }
    }
}

// The 50 regions of the engine benchmark in every step of every camera, with
// limits that the black frames pass (every cycle runs to its end and hands
// its OK pictures to the writer).
void writeRegions(const Machine& machine, const Options& o)
{
    const int w = o.size.width(), h = o.size.height();
    for (int c = 0; c < o.cameras; ++c) {
        const bool written = EditRegions(machine.file("PARAM.db"), c, [&](CammerSingleton* record) {
            for (int d = 0; d < kMaxDetects; ++d) {
                LayOutRegions(record, d, w, h, double(kShowW) / w, double(kShowH) / h);
                for (int r = 0; r < kMaxRegions; ++r) {
                    if (record->func[d][r] != kFuncSimilarity && record->func[d][r] != kFuncDefect)
                        record->area[d][r] = w * h;
                }
            }
        });
        if (!written)
            qFatal("cannot write the regions of camera %d", c + 1);
    }
}

// A multi-detection machine: eight stations on the mould-open input, judged
// one after the other (each 0.1 s after the one before), 10 templates a step.
void multiDetection(WizardPara& p)
{
    p.machineType = 4;
    p.multiDetectCount = kMaxDetects;
    std::fill(std::begin(p.outputOwner), std::end(p.outputOwner), 0);
    std::fill(std::begin(p.rowTrigger), std::end(p.rowTrigger), 0);
    std::fill(std::begin(p.rowCutMode), std::end(p.rowCutMode), 0);
    std::fill(std::begin(p.trigInDelay), std::end(p.trigInDelay), 1);
    p.templateCount = kTemplateFiles;
}

// Every step with 50 regions: memory after o.warm cycles, then every 100
// cycles over o.cycles more.
int memory(const Options& o)
{
    Machine machine(o, multiDetection);
    writeTemplates(machine, o);
    writeRegions(machine, o);
    Board board;
    Program program(machine.dir.path(), machine.file("simcams"), board.io.device(), o.wrapper);
    const qint64 pid = program.process.processId();
    board.started(0x000);   // outputs 4..7 not inverted on this type
    QThread::msleep(kSettleMs);
    std::printf("%d cameras %dx%d, 8 steps, 50 regions and 10 templates each\n", o.cameras, o.size.width(),
                o.size.height());
    printMemory("after start-up", pid);
    SleepJitter jitter;
    auto cycle = [&] {
        board.io.command(QStringLiteral("set 0"));
        board.pass(1000);   // eight stations of 0.1 s, judged and handed on
        board.io.command(QStringLiteral("clear 0"));
        board.pass(200);
    };
    for (int k = 0; k < o.warm; ++k)
        cycle();
    printMemory(qPrintable(QStringLiteral("after %1 cycles").arg(o.warm)), pid);
    std::vector<double> readings{memoryOf(pid).resident};
    for (int k = 1; k <= o.cycles; ++k) {
        cycle();
        if (k % 100 == 0 || k == o.cycles) {
            readings.push_back(memoryOf(pid).resident);
            std::printf("after %d cycles: resident %.1f MB, anonymous %.1f MB\n", o.warm + k, readings.back(),
                        rollupOf(pid, "Anonymous"));
            std::fflush(stdout);
        }
    }
    const auto [low, high] = std::minmax_element(readings.begin(), readings.end());
    std::printf("over the last %d cycles: resident %.1f .. %.1f MB, spread %.2f %%\n", o.cycles, *low, *high,
                100.0 * (*high - *low) / *low);
    printMemory("at the end", pid);
    printFigures("bare thread sleeping 1 ms: lateness", jitter.Finish(), "ms");
    QThread::msleep(2000);   // the writer stores the last pictures
    std::printf("count.txt \"%s\", %d result pictures, %d template files\n", qPrintable(ReadText(machine.file("count.txt"))),
                countFiles(machine.file("alarmimage"), QStringLiteral("*.jpg")), countFiles(machine.dir.path(), QStringLiteral("template*.bmp")));
    return program.terminate() ? 0 : 1;
}

// The region editor opened and closed on every camera, each time showing
// the templates of every step.
int editor(const Options& o)
{
    Machine machine(o, [](WizardPara& p) {
        multiDetection(p);
        p.productDetectOn = 1;
        p.mouldAsProduct = 0;
    });
    writeTemplates(machine, o);
    Board board;
    makeProgramObjects(machine, board.io.device());
    auto* window = new MainWindow;
    window->show();
    QThread::msleep(kSettleMs);
    QCoreApplication::processEvents();
    std::printf("%d cameras %dx%d, 8 steps, 10 templates each\n", o.cameras, o.size.width(), o.size.height());
    printMemory("after start-up", QCoreApplication::applicationPid());
    window->setUserLevel(UserFactory);
    for (int c = 0; c < numCamera; ++c) {
        window->selectedView = c;
        window->ChangeCammer();
        window->SlotAdjustArea();
        window->regiOption->ChangeCameraSlot(c);
        for (int d = 0; d < gDNum; ++d) {
            window->regiOption->setDetect(d);
            for (int t = 0; t < kTemplateFiles; ++t)
                window->regiOption->SlotTempNext();
            QCoreApplication::processEvents();
        }
        const CammerWidget& view = *window->views[c];
        const int step = view.heldTemplateStep();
        int loaded = 0;
        for (const cv::Mat& t : view.work->templates[std::max(step, 0)])
            loaded += !t.empty();
        printMemory(qPrintable(QStringLiteral("editor open on camera %1 (step %2: %3 in memory)").arg(c + 1).arg(step + 1).arg(loaded)),
                    QCoreApplication::applicationPid());
        window->RegionBtnsToggledSlot(RegiOption::EndSetting, true);
        QCoreApplication::processEvents();
        int held = 0;
        for (int v = 0; v < numCamera; ++v)
            held += window->views[v]->heldTemplateStep() >= 0;
        printMemory(qPrintable(QStringLiteral("closed (%1 views hold templates)").arg(held)),
                    QCoreApplication::applicationPid());
    }
    window->StopCameras();
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TimingApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("mode"), QStringLiteral("edge, pass, memory or editor"));
    const QCommandLineOption cameras(QStringLiteral("cameras"), QStringLiteral("simulated cameras"), QStringLiteral("n"), QStringLiteral("8"));
    const QCommandLineOption cycles(QStringLiteral("cycles"), QStringLiteral("cycles"), QStringLiteral("n"), QStringLiteral("200"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("seconds of passes"), QStringLiteral("s"), QStringLiteral("20"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("frame size"), QStringLiteral("WxH"), QStringLiteral("1280x1024"));
    const QCommandLineOption stalled(QStringLiteral("stalled-client"),
                                     QStringLiteral("pass: network link on, its client never reads nor acknowledges"));
    const QCommandLineOption lockHeld(QStringLiteral("lock-held"),
                                      QStringLiteral("pass: live video on, the fake client holds the video lock"));
    const QCommandLineOption warm(QStringLiteral("warm"), QStringLiteral("memory: cycles before the first reading"),
                                  QStringLiteral("n"), QStringLiteral("100"));
    const QCommandLineOption wrapper(QStringLiteral("wrapper"),
                                     QStringLiteral("memory: a program (and its arguments) that runs the program, e.g. heaptrack"),
                                     QStringLiteral("command"));
    parser.addOptions({cameras, cycles, warm, seconds, size, stalled, lockHeld, wrapper});
    parser.addHelpOption();
    parser.process(app);
    Options o;
    o.cameras = std::clamp(parser.value(cameras).toInt(), 1, kMaxCameras);
    o.cycles = std::max(parser.value(cycles).toInt(), 1);
    o.seconds = std::max(parser.value(seconds).toInt(), 1);
    o.warm = std::max(parser.value(warm).toInt(), 0);
    o.stalledClient = parser.isSet(stalled);
    o.lockHeld = parser.isSet(lockHeld);
    o.wrapper = parser.value(wrapper).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList wh = parser.value(size).split(QLatin1Char('x'));
    if (wh.size() == 2)
        o.size = QSize(wh[0].toInt(), wh[1].toInt());
    cpu_set_t usable;
    CPU_ZERO(&usable);
    sched_getaffinity(0, sizeof usable, &usable);
    std::printf("cores: %d usable of %ld\n", CPU_COUNT(&usable), sysconf(_SC_NPROCESSORS_ONLN));
    const QString mode = parser.positionalArguments().value(0, QStringLiteral("edge"));
    try {
        if (mode == QLatin1String("edge"))
            return edge(o);
        if (mode == QLatin1String("pass"))
            return pass(o, app);
        if (mode == QLatin1String("memory"))
            return memory(o);
        if (mode == QLatin1String("editor"))
            return editor(o);
    } catch (const std::runtime_error& e) {
        std::fprintf(stderr, "runbench: %s\n", e.what());
        return 1;
    }
    parser.showHelp(1);
}
