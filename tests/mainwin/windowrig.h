#pragma once
// The main window built in the calling process over simulated cameras, as
// the program entry builds it: a working directory, the cameras and the
// process-wide objects, the window, and an answerer of its questions. The
// window, the camera layer and the settings are one per program, so each
// case runs in a process of its own (inOwnProcess).

#include "core/commandrunner.h"
#include "core/power.h"
#include "screen/mainwindow.h"
#include "tests/common/testsupport.h"
#include "tests/mainwin/programfixture.h"
#include "tests/mainwin/programobjects.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

namespace windowrig {

inline constexpr int kFrameW = 640;
inline constexpr int kFrameH = 480;
inline const char* const kCounts = "5 1 7 2 9 3 11 4 13 5 15 6 17 7 19 8 ";

inline QString serialOf(int cam)
{
    return QString("SIMCAM-%1").arg(cam, 3, 10, QChar('0'));
}

// Simulated cameras with small grey frames of their own brightness.
inline void makeCameras(const QString& folder, int count)
{
    for (int cam = 0; cam < count; ++cam) {
        const QString dir = QString("%1/cam%2").arg(folder).arg(cam);
        QDir().mkpath(dir);
        cv::imwrite((dir + "/frame.png").toStdString(), cv::Mat(kFrameH, kFrameW, CV_8UC1, cv::Scalar(40 + 20 * cam)));
        QFile serial(dir + "/serial");
        serial.open(QIODevice::WriteOnly);
        serial.write(serialOf(cam).toUtf8());
    }
    QDir().mkpath(folder);
}

// Answers the modal question of the start-up and keeps what it asked.
class QuestionAnswerer : public QObject
{
public:
    explicit QuestionAnswerer(bool yes)
        : yes(yes)
    {
        connect(&timer, &QTimer::timeout, this, [this] { answer(); });
        timer.start(20);
    }
    QStringList asked;         // texts of the boxes answered
    QList<QPoint> centres;     // where they stood

private:
    void answer()
    {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        QStringList texts;
        for (QLabel* label : box->findChildren<QLabel*>())
            texts << label->text();
        asked << texts.join('|');
        centres << box->geometry().center();
        yes ? box->accept() : box->reject();
    }
    bool yes;
    QTimer timer;
};

// A working directory, the cameras and the objects the program entry makes
// before its main window; then the window.
class WindowRig
{
public:
    explicit WindowRig(int cameras)
    {
        LayOutWorkDir(work.path());
        SetParamNumber(work.file("PARAM.db"), "system2", 12, 1);   // English
        QFile counts(work.file("count.txt"));
        counts.open(QIODevice::WriteOnly);
        counts.write(kCounts);
        counts.close();
        makeCameras(work.file("simcams"), cameras);
        qputenv("MOULDMON_SIM_CAMERAS", work.file("simcams").toLocal8Bit());
        qputenv("MOULDMON_IO_DEVICE", work.file("no-board").toLocal8Bit());
        qputenv("MOULDMON_LED_LOG", work.file("led.log").toLocal8Bit());
        CommandRunner::setRecordFile(work.file("shell.log"));
        SetRecordedPowerHandler([this](const char* what) { powerRequests << what; });
        SetAppDir(QDir::currentPath());
        MakeProgramObjects();
    }
    MainWindow* build(bool answerYes = false)
    {
        answerer = std::make_unique<QuestionAnswerer>(answerYes);
        window = new MainWindow;
        window->show();
        QCoreApplication::processEvents();
        return window;
    }

    TempWorkDir work;
    std::unique_ptr<QuestionAnswerer> answerer;
    MainWindow* window = nullptr;
    QStringList powerRequests;
};


// Runs body in a process of its own and expects it to pass every check.
inline void inOwnProcess(const std::function<void()>& body)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto child = [&] {
        body();
        // The child's failures, for the parent's report.
        const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
        for (int i = 0; i < result->total_part_count(); ++i) {
            const ::testing::TestPartResult& part = result->GetTestPartResult(i);
            if (part.failed())
                std::fprintf(stderr, "%s:%d: %s\n", part.file_name(), part.line_number(), part.message());
        }
        std::fflush(nullptr);
        _exit(::testing::Test::HasFailure() ? 1 : 0);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

}  // namespace windowrig
