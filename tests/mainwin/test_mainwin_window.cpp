// The main window built in this process, as the program entry builds it,
// over simulated cameras: the views the layout shows and how far each is
// built, the grid and the scales, the title bar rows (and the counters read
// from count.txt), the questions about the cameras, the zoom of a single
// view. The window, the camera layer and the settings are one per program,
// so each case runs in a process of its own.

#include "camera/cameradetect.h"
#include "camera/cameraglobals.h"
#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/power.h"
#include "core/texttable.h"
#include "screen/cammerwidget.h"
#include "screen/imagecontainer.h"
#include "screen/indexbutton.h"
#include "screen/iostatuswidget.h"
#include "screen/mainwindow.h"
#include "screen/runcontroller.h"
#include "screen/titlebar.h"
#include "screen/viewgrid.h"
#include "tests/mainwin/programfixture.h"
#include "tests/mainwin/programobjects.h"
#include "tests/mainwin/windowrig.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <QVariant>
#include <gtest/gtest.h>
#include <functional>
#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <unistd.h>

using namespace windowrig;

namespace {

void setSerials(const QString& snDb, int count)
{
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "serials");
    db.setDatabaseName(snDb);
    db.open();
    for (int i = 0; i < count; ++i) {
        QSqlQuery q(db);
        q.prepare("update sysparam set value=? where name=?");
        q.addBindValue(serialOf(i));
        q.addBindValue(QString("serialNB%1").arg(i));
        q.exec();
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase("serials");
}

QString storedSerial(const QString& snDb, int i)
{
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "serials");
        db.setDatabaseName(snDb);
        db.open();
        QSqlQuery q(db);
        q.prepare("select value from sysparam where name=?");
        q.addBindValue(QString("serialNB%1").arg(i));
        if (q.exec() && q.next())
            value = q.value(0).toString();
        db.close();
    }
    QSqlDatabase::removeDatabase("serials");
    return value;
}

// Views 0..shown-1 are fully built and on screen, the others neither.
void expectViewsInUse(const MainWindow& w, int shown)
{
    for (int i = 0; i < kMaxCameras; ++i) {
        EXPECT_EQ(w.views[i]->fullyBuilt(), i < shown) << "view " << i;
        EXPECT_EQ(w.views[i]->isVisible(), i < shown) << "view " << i;
    }
}

// The title bar's rows show each camera in use with the counters of count.txt.
void expectRows(const MainWindow& w, int cameras)
{
    const QStringList counts = QString(kCounts).split(' ', Qt::SkipEmptyParts);
    for (int c = 0; c < std::min(cameras, TitleBar::kRows); ++c) {
        const CameraInfo* row = w.titleBar->rows[c];
        EXPECT_TRUE(WaitFor([&] { return row->layerCount->text() == counts[2 * c]; }, 5000))
            << "row " << c << ": " << row->layerCount->text().toStdString();
        EXPECT_EQ(row->ngCount->text(), counts[2 * c + 1]);
        EXPECT_TRUE(row->message->text().startsWith(QString("Cam %1 Mold ").arg(c + 1)))
            << row->message->text().toStdString();
    }
}


void checkGridLayout(int cameras)
{
    WindowRig rig(cameras);
    MainWindow& w = *rig.build();
    EXPECT_TRUE(rig.answerer->asked.isEmpty());
    EXPECT_EQ(numCamera, cameras);
    EXPECT_EQ(gImageW, kFrameW);
    expectViewsInUse(w, cameras);
    EXPECT_EQ(w.size(), QSize(1920, 1080));
    EXPECT_EQ(w.titleBar->geometry(), QRect(0, 0, 1920, 98));
    EXPECT_EQ(w.imageContainer->geometry(), QRect(0, 98, 1725, 982));
    EXPECT_EQ(w.ioStatus->geometry(), QRect(0, 802, 1725, 180));
    EXPECT_EQ(w.indexButton->geometry(), QRect(1485, 0, 240, 982));

    const ViewGrid grid = CameraGrid(cameras, 1725, 982);
    if (cameras == 1) {
        EXPECT_EQ(w.selectedView, 0);
        EXPECT_EQ(w.views[0]->geometry(), QRect(0, 0, 1725, 982));
        EXPECT_EQ(w.zoomTool, 1);
        EXPECT_TRUE(w.zoomInButton->isVisible());
        EXPECT_EQ(w.zoomInButton->parentWidget(), w.views[0]);
        EXPECT_FLOAT_EQ(w.imageScaleX, 1725.0f / kFrameW);
    } else {
        EXPECT_EQ(w.selectedView, cameras);
        for (int i = 0; i < cameras; ++i)
            EXPECT_EQ(w.views[i]->geometry(), grid.cells[i]) << "view " << i;
        EXPECT_EQ(w.zoomTool, 0);
        EXPECT_FALSE(w.zoomInButton->isVisible());
        EXPECT_FLOAT_EQ(w.imageScaleX, float(grid.cellSize.width()) / kFrameW);
        EXPECT_FLOAT_EQ(w.imageScaleY, float(grid.cellSize.height()) / kFrameH);
        EXPECT_FLOAT_EQ(w.displayScaleX, float(grid.cellSize.width()) / 1725);
        EXPECT_FLOAT_EQ(w.displayScaleY, float(grid.cellSize.height()) / 982);
    }
    expectRows(w, cameras);
    EXPECT_EQ(RecordLines(rig.work.file("RECORD.db")).value(0),
              QString("The system is ready, there is %1 cameras").arg(cameras));
    // The last camera's frames arrive (their frame stamp moves the mean a little).
    EXPECT_TRUE(WaitFor([&] { return std::abs(w.views[cameras - 1]->brightness - (40 + 20 * (cameras - 1))) <= 2; }, 5000))
        << w.views[cameras - 1]->brightness;
}

}  // namespace

TEST(MainWindowDeathTest, OneCameraFillsTheDisplayArea)
{
    inOwnProcess([] { checkGridLayout(1); });
}

TEST(MainWindowDeathTest, FourCamerasInAGrid)
{
    inOwnProcess([] { checkGridLayout(4); });
}

TEST(MainWindowDeathTest, EightCamerasInAGrid)
{
    inOwnProcess([] { checkGridLayout(8); });
}

TEST(MainWindowDeathTest, NoCameraAsksAndBuildsTheFourViewsOfItsLayout)
{
    inOwnProcess([] {
        for (bool yes : {false, true}) {
            // The answer decides over the stored serials only.
            WindowRig rig(0);
            setSerials(rig.work.file("SN.db"), 1);
            MainWindow& w = *rig.build(yes);
            ASSERT_EQ(rig.answerer->asked.size(), 1);
            EXPECT_TRUE(rig.answerer->asked[0].contains(LanStr(134))) << rig.answerer->asked[0].toStdString();
            EXPECT_TRUE(rig.answerer->asked[0].contains("Detection camera"));
            EXPECT_EQ(rig.answerer->centres[0].x(), 959);   // asked over the whole screen
            EXPECT_EQ(gCameraID, kCameraNone);
            EXPECT_EQ(numCamera, 4);
            EXPECT_EQ(gShowW, 1725);
            EXPECT_EQ(gShowH, 982);
            expectViewsInUse(w, 4);
            EXPECT_EQ(storedSerial(rig.work.file("SN.db"), 0), yes ? "0" : serialOf(0));
            EXPECT_TRUE(RecordLines(rig.work.file("RECORD.db")).contains("The system is ready, there is 4 cameras"));
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(w.views[i]->work->imageRaw.size(), cv::Size(1920, 1080));
            EXPECT_TRUE(rig.powerRequests.isEmpty());
            delete rig.window;
        }
    });
}

TEST(MainWindowDeathTest, ChangedCameraCountMayClearTheSerialsAndReboot)
{
    inOwnProcess([] {
        WindowRig rig(1);
        setSerials(rig.work.file("SN.db"), 2);
        rig.build(true);
        ASSERT_EQ(rig.answerer->asked.size(), 1);
        EXPECT_TRUE(rig.answerer->asked[0].contains(LanStr(360)));
        EXPECT_EQ(storedSerial(rig.work.file("SN.db"), 1), "0");
        EXPECT_EQ(rig.powerRequests, QStringList({"reboot"}));
    });
}

TEST(MainWindowDeathTest, OneSelectedViewAndZoomOfTheSelectedView)
{
    inOwnProcess([] {
        WindowRig rig(4);
        MainWindow& w = *rig.build();
        w.selectedView = 2;
        w.ChangeCammer();
        for (int i = 0; i < kMaxCameras; ++i)
            EXPECT_EQ(w.views[i]->isVisible(), i == 2) << i;
        EXPECT_EQ(w.views[2]->geometry(), QRect(0, 0, 1725, 982));
        EXPECT_FLOAT_EQ(w.displayScaleX, 1.0f);
        EXPECT_EQ(w.zoomInButton->parentWidget(), w.views[2]);

        // The first press only reveals the other controls; then x1.2 steps to 32.
        w.MEnlargeScale();
        EXPECT_EQ(w.zoomTool, 2);
        EXPECT_EQ(w.zoomFactor, 1.0);
        EXPECT_TRUE(w.zoomOutButton->isVisible());
        const double steps[] = {1.2, 1.44, 1.728, 2.0736, 2.48832, 2.985984};
        for (double f : steps) {
            w.MEnlargeScale();
            EXPECT_NEAR(w.zoomFactor, f, 1e-9);
        }
        for (int i = 0; i < 30; ++i)
            w.MScale(1);
        EXPECT_EQ(w.zoomFactor, 32.0);
        w.MRecovery();
        EXPECT_EQ(w.zoomFactor, 1.0);
        w.SlotMoveR();   // no pan at factor 1
        EXPECT_EQ(w.zoomOffset, QPointF(0, 0));
        w.cursorImagePos = QPoint(100, 50);
        w.MScale(1);
        EXPECT_NEAR(w.zoomOffset.x(), 100 - 100 * 1.2, 1e-4);
        w.SlotMoveL();
        EXPECT_NEAR(w.zoomOffset.x(), 100 - 100 * 1.2 - 1.2, 1e-4);
        w.MReductionScale();   // 1.2 / 1.2 is below 1.1: back to 1 and no offset
        EXPECT_EQ(w.zoomFactor, 1.0);
        EXPECT_EQ(w.zoomOffset, QPointF(0, 0));
        w.MTimerScale();
        EXPECT_EQ(w.zoomTool, 1);

        w.selectedView = numCamera;
        w.ChangeCammer();
        expectViewsInUse(w, 4);
        EXPECT_EQ(w.zoomTool, 0);
    });
}
