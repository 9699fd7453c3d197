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
#include "core/wizardpara.h"
#include "inspection/autoregion.h"
#include "inspection/cammerrecongnize.h"
#include "inspection/templatestore.h"
#include "screen/cammerwidget.h"
#include "screen/drawroiwidget.h"
#include "screen/imagecontainer.h"
#include "screen/indexbutton.h"
#include "screen/iostatuswidget.h"
#include "screen/mainwindow.h"
#include "screen/regionchangelog.h"
#include "screen/viewtexts.h"
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
#include <QFileInfo>
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

// The region editor's save: asked, the change log in RECORD.db, the regions
// in force, stored (a missing step row inserted) and trained; a "no" keeps
// the edit only until the editor opens again.
TEST(MainWindowDeathTest, EditorSaveWritesTheChangeLogStoresAndTrains)
{
    inOwnProcess([] {
        WindowRig rig(1);
        MainWindow& w = *rig.build(true);
        CammerWidget& view = *w.views[0];
        {
            QSqlQuery q(w.paramDb);
            ASSERT_TRUE(q.exec("delete from cammer0 where name = 'detect0'"));
        }
        w.editor->Reset(false);
        const int d = w.editDetect;   // an enabled step
        ASSERT_TRUE(gpWPara->detectOn[d]);
        CammerSingleton& edit = *view.editRecord;
        edit.roiNum[d] = 1;
        edit.roiType[d][0] = kRoiRect;
        edit.rects[d][0].rect = QRect(300, 200, 200, 150);
        edit.func[d][0] = 0;
        edit.minWH[d][0] = 3;
        edit.sensitivity[d][0] = 25;
        edit.area[d][0] = 100;
        edit.SetImageRect(d, 0);
        view.work->editMasks[d][0] = edit.MakeMask(d, 0);
        EXPECT_FALSE(view.engine->GrayMatcher(d, 0).IsValid());
        rig.answerer->asked.clear();

        w.editor->SlotSaveData();
        ASSERT_EQ(rig.answerer->asked.size(), 1);
        EXPECT_TRUE(rig.answerer->asked[0].contains("Whether to save parameter?"));
        const QString head = QString("Detection %1 of camera 1 ").arg(StepName(gpWPara->machineType, d));
        const QString added = head + "Added rectangular  area 1, function is Defect Detection,the sensitivity is 25,, "
                                     "the filter size is 3, the alarm area is 100";
        EXPECT_EQ(RecordLines(rig.work.file("RECORD.db")).filter("camera 1 "), QStringList(added));
        EXPECT_FALSE(RecordsDiffer(*view.liveRecord, edit));
        EXPECT_TRUE(view.engine->GrayMatcher(d, 0).IsValid());
        CammerSingleton stored(0);
        stored.LoadDatafromFile(w.paramDb, nullptr);
        EXPECT_FALSE(RecordsDiffer(stored, *view.liveRecord));
        {
            QSqlQuery q(w.paramDb);
            ASSERT_TRUE(q.exec("select value from cammer0 where name = 'detect0'"));
            EXPECT_TRUE(q.next());
        }

        // Nothing changed: nothing asked.
        rig.answerer->asked.clear();
        w.editor->SlotSaveData();
        EXPECT_TRUE(rig.answerer->asked.isEmpty());

        // "No": the edit stays in the edit record until the next opening.
        rig.answerer = std::make_unique<QuestionAnswerer>(false);
        edit.sensitivity[d][0] = 40;
        w.editor->SlotSaveData();
        EXPECT_EQ(rig.answerer->asked.size(), 1);
        EXPECT_EQ(view.liveRecord->sensitivity[d][0], 25);
        EXPECT_EQ(edit.sensitivity[d][0], 40);
        EXPECT_EQ(RecordLines(rig.work.file("RECORD.db")).filter("camera 1 ").size(), 1);
        w.editor->Reset(false);
        EXPECT_EQ(edit.sensitivity[d][0], 25);
    });
}

// Opening the editor on an empty step offers the automatic first region
// (the product template differs from the mould template in a bright part);
// the tool bar's deleting then removes one region or all of the step.
TEST(MainWindowDeathTest, EditorOffersTheFirstRegionAndDeletesRegions)
{
    inOwnProcess([] {
        WindowRig rig(1);
        MainWindow& w = *rig.build(true);
        CammerWidget& view = *w.views[0];
        gpWPara->isPswUsed = 0;
        gpWPara->autoRegionOffered = 1;
        const cv::Mat mould(kFrameH, kFrameW, CV_8UC1, cv::Scalar(40));
        cv::Mat product = mould.clone();
        const cv::Rect part(200, 150, 160, 120);
        product(part).setTo(220);
        for (int step = 0; step < 2; ++step) {
            QDir().mkpath(QFileInfo(TemplateStore::TemplatePath(0, step, 0)).path());
            ASSERT_TRUE(TemplateStore::WriteFrame(TemplateStore::TemplatePath(0, step, 0), step ? mould : product));
        }
        rig.answerer->asked.clear();

        w.SlotAdjustArea();
        ASSERT_EQ(rig.answerer->asked.size(), 1);
        EXPECT_TRUE(rig.answerer->asked[0].contains("automatically"));
        const int d = w.editDetect;
        CammerSingleton& edit = *view.editRecord;
        ASSERT_EQ(edit.roiNum[d], 1);
        EXPECT_EQ(edit.roiType[d][0], kRoiPolygon);
        const QRect box = edit.polygons[d][0].imageRect;
        const QRect grown = QRect(part.x, part.y, part.width, part.height).adjusted(-30, -30, 30, 30);
        EXPECT_TRUE(box.contains(QRect(part.x, part.y, part.width, part.height))) << box.x() << "," << box.y();
        EXPECT_TRUE(grown.contains(box)) << box.width() << "x" << box.height();
        EXPECT_EQ(edit.sensitivity[d][0], 180 / 5);
        EXPECT_EQ(view.selectedRoi, -1);
        EXPECT_EQ(view.liveRecord->roiNum[d], 0);
        const QString shots = qEnvironmentVariable("MOULDMON_SHOTS");
        if (!shots.isEmpty()) {
            QDir().mkpath(shots);
            view.grab().save(QDir(shots).filePath("autoregion-editor.png"));
        }

        // Deleting needs a selected region.
        rig.answerer->asked.clear();
        w.editor->SlotDeleteROI();
        ASSERT_EQ(rig.answerer->asked.size(), 1);
        EXPECT_TRUE(rig.answerer->asked[0].contains("Didn't selected area!"));
        view.selectedRoi = 0;
        w.editor->SlotDeleteROI();
        EXPECT_TRUE(rig.answerer->asked.last().contains("Be sure to delete the selected area?"));
        EXPECT_EQ(edit.roiNum[d], 0);
        EXPECT_EQ(view.selectedRoi, -1);

        // All regions of the step; its ignore points are cleared and written.
        AutogenerationRegion(*view.work, d, 1, 1);
        view.work->ignoreImage[d].setTo(3);
        w.editor->SlotDeleteAllROI();
        EXPECT_TRUE(rig.answerer->asked.last().contains("Be sure to delete all the areas?"));
        EXPECT_EQ(edit.roiNum[d], 0);
        const cv::Mat written = TemplateStore::ReadFrame(TemplateStore::IgnorePointPath(0, d), kFrameW, kFrameH, 8);
        ASSERT_FALSE(written.empty());
        EXPECT_EQ(cv::countNonZero(written), 0);

        // Not on the live picture.
        AutogenerationRegion(*view.work, d, 1, 1);
        gSource = 1;
        const int asked = rig.answerer->asked.size();
        w.editor->SlotDeleteAllROI();
        EXPECT_EQ(rig.answerer->asked.size(), asked);
        EXPECT_EQ(edit.roiNum[d], 1);
    });
}
