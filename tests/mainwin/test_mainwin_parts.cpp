// The pieces of the main screen on their own: the view grid, the texts a
// view writes, the title bar, the IO strip and the zoom knob.

#include "core/controlport.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/imagecontainer.h"
#include "screen/iostatuswidget.h"
#include "screen/titlebar.h"
#include "screen/viewgrid.h"
#include "screen/viewtexts.h"
#include "tests/common/fakehost.h"
#include "tests/common/testsupport.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QMutex>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

QRect cell(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

struct GridCase {
    int cameras;
    QVector<QRect> cells;
    QSize cellSize;
};

}  // namespace

TEST(ViewGrid, CellsForEveryCameraCountOnTheDisplayArea)
{
    const GridCase cases[] = {
        {1, {cell(0, 0, 1724, 981)}, {1725, 982}},
        {2, {cell(0, 0, 861, 981), cell(862, 0, 1723, 981)}, {862, 982}},
        {3, {cell(0, 0, 861, 490), cell(862, 0, 1723, 490), cell(0, 491, 861, 981)}, {862, 491}},
        {4, {cell(0, 0, 861, 490), cell(862, 0, 1723, 490), cell(0, 491, 861, 981), cell(862, 491, 1723, 981)},
         {862, 491}},
        // Three columns one pixel wider than a third: the last ends at 1727,
        // beyond the area's last column 1724.
        {5, {cell(0, 0, 575, 490), cell(576, 0, 1151, 490), cell(1152, 0, 1727, 490), cell(0, 491, 575, 981),
             cell(576, 491, 1151, 981)}, {576, 491}},
        {8, {cell(0, 0, 430, 490), cell(431, 0, 861, 490), cell(862, 0, 1292, 490), cell(1293, 0, 1723, 490),
             cell(0, 491, 430, 981), cell(431, 491, 861, 981), cell(862, 491, 1292, 981), cell(1293, 491, 1723, 981)},
         {431, 491}},
    };
    for (const GridCase& c : cases) {
        const ViewGrid grid = CameraGrid(c.cameras, 1725, 982);
        EXPECT_EQ(grid.cells, c.cells) << c.cameras << " cameras";
        EXPECT_EQ(grid.cellSize, c.cellSize) << c.cameras << " cameras";
    }
    EXPECT_EQ(CameraGrid(6, 1725, 982).cells.size(), 6);
    EXPECT_EQ(CameraGrid(6, 1725, 982).cells[5], cell(1152, 491, 1727, 981));
    EXPECT_EQ(CameraGrid(7, 1725, 982).cells.size(), 7);
    EXPECT_TRUE(CameraGrid(0, 1725, 982).cells.isEmpty());
    EXPECT_TRUE(CameraGrid(9, 1725, 982).cells.isEmpty());
}

class ViewTexts : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        saved = gLan;
        gLan = 1;
    }
    void TearDown() override { gLan = saved; }
    int saved = 0;
};

TEST_F(ViewTexts, StepNamesByMachineType)
{
    EXPECT_EQ(StepName(0, 0), "Prod");
    EXPECT_EQ(StepName(3, 1), "Mold");
    EXPECT_EQ(StepName(5, 1), "Mold");
    EXPECT_EQ(StepName(1, 2), "Right prod");
    EXPECT_EQ(StepName(2, 3), "Right mold");
    EXPECT_EQ(StepName(4, 0), "1st");
    EXPECT_EQ(StepName(4, 7), "8th");
}

TEST_F(ViewTexts, CameraStateWordByRunStateAndCountdownPhase)
{
    const struct {
        int runState, phase;
        const char* text;
        QColor colour;
    } cases[] = {
        {2, 1, "resampling", Qt::cyan}, {3, 3, "stopping", Qt::red},  {1, 1, "detecting", Qt::green},
        {1, 2, "detected", Qt::green},   {1, 3, "Waiting", Qt::green}, {1, 0, "", Qt::green},
    };
    for (const auto& c : cases) {
        const StateWord word = CameraStateWord(c.runState, c.phase);
        EXPECT_EQ(word.text, QString::fromLatin1(c.text)) << c.runState << "/" << c.phase;
        EXPECT_EQ(word.colour, c.colour) << c.runState << "/" << c.phase;
    }
    EXPECT_EQ(BrowseStateWord(1).text, "detecting");
    EXPECT_EQ(CameraStatusText(2, "Mold", "Waiting"), "Cam 3 Mold Waiting");
}

TEST_F(ViewTexts, CountdownIsHiddenAtTwoHundredthsOrLess)
{
    EXPECT_EQ(CountdownText(0.02f), "");
    EXPECT_EQ(CountdownText(0.0f), "");
    EXPECT_EQ(CountdownText(-1.0f), "");
    EXPECT_EQ(CountdownText(0.1f), "0.1");
    EXPECT_EQ(CountdownText(1.5f), "1.5");
    EXPECT_EQ(CountdownText(12.34f), "12.3");
    EXPECT_EQ(CountdownText(2.0f), "2");
}

TEST_F(ViewTexts, LocationReadOut)
{
    EXPECT_EQ(LocationText(311, 432, 0, false), "311, 432, 0");
    EXPECT_EQ(LocationText(5, 6, 0x102030, true), "5, 6, 16, 32, 48");
}

class TitleBarTest : public ::testing::Test
{
protected:
    void SetUp() override { Data_Init(); }
    TitleBar bar;

    QLabel* lamp(int i) const { return bar.lamps[i]; }
};

TEST_F(TitleBarTest, LampPictureNumbers)
{
    const struct {
        int group, index, on, picture;
    } cases[] = {{0, 0, 1, 18}, {0, 0, 0, 19}, {0, 2, 1, 22}, {0, 3, 0, 25},
                 {1, 0, 1, 26}, {1, 2, 0, 31}, {1, 3, 1, 32}, {1, 3, 0, 33}};
    for (const auto& c : cases)
        EXPECT_EQ(LampPicture(c.group, c.index, c.on), c.picture) << c.group << c.index << c.on;
}

TEST_F(TitleBarTest, StartsWithPlaceholdersAndLampsOff)
{
    EXPECT_EQ(bar.height(), 98);
    EXPECT_EQ(bar.date->text(), "0000-00-00");
    EXPECT_EQ(bar.clock->text(), "00:00");
    EXPECT_EQ(bar.costTime->text(), "0.0s");
    EXPECT_EQ(bar.location->text(), "311,432,0");
    EXPECT_EQ(std::vector<int>(bar.lampPicture, bar.lampPicture + 8), (std::vector<int>{19, 21, 23, 25, 27, 29, 31, 33}));
    for (int i = 0; i < 8; ++i)
        EXPECT_FALSE(lamp(i)->pixmap(Qt::ReturnByValue).isNull());
}

TEST_F(TitleBarTest, ClockTicksOnceASecond)
{
    EXPECT_TRUE(WaitFor([&] { return bar.date->text() != "0000-00-00"; }, 3000));
    EXPECT_EQ(bar.date->text(), QDate::currentDate().toString("yyyy-MM-dd"));
    EXPECT_EQ(bar.clock->text().size(), 8);
}

TEST_F(TitleBarTest, CameraInfoWritesByType)
{
    bar.setCameraInfo(1, CameraInfo::Message, "Cam 2 Mold Waiting", MessageOk);
    bar.setCameraInfo(1, CameraInfo::LayerNum, "17", 0);
    bar.setCameraInfo(1, CameraInfo::NGNum, "3", 0);
    EXPECT_EQ(bar.rows[1]->message->text(), "Cam 2 Mold Waiting");
    EXPECT_EQ(bar.rows[1]->layerCount->text(), "17");
    EXPECT_EQ(bar.rows[1]->ngCount->text(), "3");
    EXPECT_TRUE(bar.rows[1]->showsOkIcon);
    bar.setCameraInfo(1, CameraInfo::Message, "stopping", MessageWarning);
    EXPECT_FALSE(bar.rows[1]->showsOkIcon);
    bar.setCameraInfo(1, CameraInfo::Message, "x", 0);
    EXPECT_FALSE(bar.rows[1]->showsOkIcon);

    // Type 0 writes the cost-time label whatever the position; rows beyond
    // the fourth are not shown.
    const QString rowText = bar.rows[0]->message->text();
    bar.setCameraInfo(5, CameraInfo::CostTime, "20", 0);
    bar.setCameraInfo(5, CameraInfo::Message, "Cam 6", MessageOk);
    bar.setCameraInfo(-1, CameraInfo::NGNum, "9", 0);
    EXPECT_EQ(bar.costTime->text(), "20");
    EXPECT_EQ(bar.rows[0]->message->text(), rowText);
    for (CameraInfo* row : bar.rows)
        EXPECT_EQ(row->ngCount->text(), row == bar.rows[1] ? "3" : "0");
}

TEST_F(TitleBarTest, RowsStartWithTheirCameraNumberInTheLanguageInForce)
{
    const int saved = gLan;
    gLan = 1;
    TitleBar english;
    gLan = saved;
    EXPECT_EQ(english.rows[2]->message->text(), "Camera 3 information");
    EXPECT_TRUE(bar.rows[3]->message->text().startsWith(gLan == 1 ? "Camera 4" : "4"));
}

TEST_F(TitleBarTest, LampsSwitchByGroupAndIndex)
{
    bar.promptSwitching_State(0, 2, 1);
    EXPECT_EQ(bar.lampPicture[2], 22);
    bar.promptSwitching_State(1, 2, 0);
    EXPECT_EQ(bar.lampPicture[6], 31);
    bar.promptSwitching_State(1, 2, 1);
    EXPECT_EQ(bar.lampPicture[6], 30);
    bar.promptSwitching_State(0, 4, 1);   // inputs 4..9 have no lamp
    EXPECT_EQ(std::vector<int>(bar.lampPicture, bar.lampPicture + 8), (std::vector<int>{19, 21, 22, 25, 27, 29, 30, 33}));
}

TEST(IOStrip, LampsOfTheMultiDetectionTypeFollowItsTriggerInputs)
{
    const int anyType[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    IOStripLayout all = StripLayout(0, anyType, 180);
    EXPECT_TRUE(all.inputLamp[0] && all.inputLamp[1] && all.inputLamp[2] && all.inputLamp[3]);
    EXPECT_EQ(all.alarmPicture, QRect(472, 95, 70, 80));

    const int stations[8] = {1, 3, 3, 9, -1, 12, 1, 3};
    IOStripLayout multi = StripLayout(4, stations, 180);
    EXPECT_FALSE(multi.inputLamp[0]);
    EXPECT_TRUE(multi.inputLamp[1]);
    EXPECT_FALSE(multi.inputLamp[2]);
    EXPECT_TRUE(multi.inputLamp[3]);
    EXPECT_EQ(multi.alarmPicture, QRect(157, 95, 70, 80));
}

namespace {

class IOStripWidget : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        if (!pMutexIO)
            pMutexIO = new QMutex;
        savedPara = gpWPara;
        gpWPara = &para;
        para.machineType = 4;
        const int stations[8] = {1, 3, 1, 3, 1, 3, 1, 3};
        std::copy(std::begin(stations), std::end(stations), para.trigInput);
        port = std::make_unique<ControlPort>(work.file("no-board"));
        savedPort = gpControlIO;
        gpControlIO = port.get();
        savedHost = gpHost;
        host.level = UserFactory;
        gpHost = &host;
        gShowW = 1725;
        gShowH = 982;
        strip = std::make_unique<IOStatusWidget>(&parent);
        strip->setTitleBar(&bar);
        parent.resize(1725, 982);
        parent.show();
    }
    void TearDown() override
    {
        strip.reset();
        gpControlIO = savedPort;
        port.reset();
        gpWPara = savedPara;
        gpHost = savedHost;
    }
    void setInputs(int word)
    {
        {
            QMutexLocker lock(pMutexIO);
            gDataIn = word;
        }
        port->IOInTrigger(-1);
    }
    void paint()
    {
        strip->refresh();
        QCoreApplication::processEvents();
        strip->repaint();
    }

    TempWorkDir work;
    WizardPara para;
    std::unique_ptr<ControlPort> port;
    FakeHost host;
    QWidget parent;
    TitleBar bar;
    std::unique_ptr<IOStatusWidget> strip;
    WizardPara* savedPara = nullptr;
    ControlPort* savedPort = nullptr;
    HostWindow* savedHost = nullptr;
};

}  // namespace

TEST_F(IOStripWidget, PaintingSwitchesOnlyTheLampsOfStationInputsAndTheOutputs)
{
    EXPECT_EQ(strip->geometry(), QRect(0, 802, 1725, 180));
    setInputs(0xF);
    port->IOSetOut(kOutClampInhibit, 1);
    port->IOSetOut(kOutAlarm, 1);
    paint();
    EXPECT_EQ(std::vector<int>(bar.lampPicture, bar.lampPicture + 8), (std::vector<int>{19, 20, 23, 24, 26, 29, 30, 33}));
    setInputs(0x0);
    port->IOSetOut(kOutAlarm, 0);
    paint();
    EXPECT_EQ(std::vector<int>(bar.lampPicture, bar.lampPicture + 8), (std::vector<int>{19, 21, 23, 25, 26, 29, 31, 33}));
}

TEST_F(IOStripWidget, HiddenStripLeavesTheLamps)
{
    strip->hide();
    setInputs(0x2);
    strip->refresh();
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.lampPicture[1], 21);
}

TEST_F(IOStripWidget, APressLogsOut)
{
    QTest::mouseClick(strip.get(), Qt::LeftButton, Qt::NoModifier, QPoint(900, 90));
    EXPECT_EQ(host.level, UserNone);
}

TEST(ZoomKnob, DragReportsARateAndSpringsBack)
{
    EXPECT_EQ(ZoomDragFor(-26).value, 49);
    EXPECT_EQ(ZoomDragFor(-26).knobOffset, -26);
    EXPECT_EQ(ZoomDragFor(80).value, -100);
    EXPECT_EQ(ZoomDragFor(80).knobOffset, 53);
    EXPECT_EQ(ZoomDragFor(-54).value, 100);
    EXPECT_EQ(ZoomDragFor(53).value, -100);
    EXPECT_EQ(ZoomDragFor(0).value, 0);

    ZoomWidget knob;
    EXPECT_EQ(knob.size(), QSize(86, 192));
    QList<int> rates;
    QObject::connect(&knob, &ZoomWidget::zoomSignal, [&](int v) { rates << v; });
    QTest::mousePress(&knob, Qt::LeftButton, Qt::NoModifier, QPoint(43, 96));
    QMouseEvent drag(QEvent::MouseMove, QPointF(43, 176), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&knob, &drag);
    EXPECT_EQ(knob.knobOffset, 53);
    QTest::mouseRelease(&knob, Qt::LeftButton, Qt::NoModifier, QPoint(43, 176));
    EXPECT_EQ(knob.knobOffset, 0);
    ASSERT_FALSE(rates.isEmpty());
    EXPECT_EQ(rates.last(), -100);
}
