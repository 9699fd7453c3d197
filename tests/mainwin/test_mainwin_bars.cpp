// The side bars and the button column on their own: which snapshot buttons
// the settings show, the manual-step chooser, the toggle zone, the logo; the
// option bar's signals and its silent unchecking of the settings button.

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/indexbutton.h"
#include "screen/optionbar.h"
#include "tests/common/testsupport.h"
#include "widgets/boptionbutton.h"
#include "widgets/colorbutton.h"
#include "widgets/combobox.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Bars : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        saved = gpWPara;
        gpWPara = &para;
        gLan = 1;
    }
    void TearDown() override { gpWPara = saved; }

    TempWorkDir work;
    WizardPara para;
    WizardPara* saved = nullptr;
};

}  // namespace

TEST_F(Bars, SnapshotButtonsFollowTheSettings)
{
    const struct {
        int showSnapshot, productOn, machineType;
        bool product, mould;
    } cases[] = {
        {1, 1, 0, true, true},    // the standard type with the product step
        {1, 0, 0, false, true},   // product step off
        {1, 1, 4, false, false},  // multi-detection
        {0, 1, 0, false, false},  // snapshots off
        {1, 1, 1, true, true},
    };
    for (const auto& c : cases) {
        para.showSnapshot = c.showSnapshot;
        para.productDetectOn = c.productOn;
        para.machineType = c.machineType;
        IndexButton column(nullptr);
        EXPECT_EQ(!column.proSnapshot->isHidden(), c.product) << c.showSnapshot << c.productOn << c.machineType;
        EXPECT_EQ(!column.moldSnapshot->isHidden(), c.mould) << c.showSnapshot << c.productOn << c.machineType;
        EXPECT_FALSE(column.hasLogo());
    }
}

TEST_F(Bars, ManualStepChooserHoldsTheMultiDetectionSteps)
{
    para.multiDetectCount = 3;
    IndexButton column(nullptr);
    ASSERT_EQ(column.stepChooser->count(), 3);
    EXPECT_EQ(column.stepChooser->itemText(0), "1st");
    EXPECT_EQ(column.stepChooser->itemText(2), "3rd");
    EXPECT_EQ(column.CurChooseTrig(), 0);
    para.multiDetectCount = 0;
    column.Reset();
    EXPECT_EQ(column.CurChooseTrig(), -1);
}

// A press left of x 110 (rounded) toggles the show flag.
TEST_F(Bars, ToggleZoneRoundsThePress)
{
    IndexButton column(nullptr);
    const auto press = [&](double x) {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(x, 10), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&column, &e);
    };
    press(109.6);
    EXPECT_FALSE(column.GetShowFlag());
    press(109.4);
    EXPECT_TRUE(column.GetShowFlag());
    column.SlotShowHideTimeout();
    EXPECT_FALSE(column.GetShowFlag());
}

TEST_F(Bars, LogoPrefersTheBitmap)
{
    QDir().mkpath("images");
    QImage bmp(40, 20, QImage::Format_RGB32);
    bmp.fill(Qt::red);
    ASSERT_TRUE(bmp.save("images/logo2.bmp"));
    QImage png(40, 20, QImage::Format_RGB32);
    png.fill(Qt::blue);
    ASSERT_TRUE(png.save("images/logo2.png"));
    IndexButton column(nullptr);
    ASSERT_TRUE(column.hasLogo());
    const QLabel* logo = column.findChild<QLabel*>();
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->geometry(), QRect(0, 0, 230, 110));
    EXPECT_EQ(logo->pixmap(Qt::ReturnByValue).toImage().pixel(1, 1), QColor(Qt::red).rgb());
}

TEST_F(Bars, OptionBarReportsEachCommandByItsType)
{
    OptionBar bar;
    std::vector<int> reported;
    QObject::connect(&bar, &OptionBar::btnsToggled, [&](OptionBar::BTN_TYPE type, bool) { reported.push_back(type); });
    const OptionBar::BTN_TYPE types[] = {OptionBar::MultiScreen, OptionBar::StopDetection, OptionBar::SystemSettings,
                                         OptionBar::Resample, OptionBar::AreaSettings, OptionBar::MouldSnapshot};
    for (OptionBar::BTN_TYPE type : types) {
        bar.button(type)->click();
        EXPECT_EQ(reported, std::vector<int>{type});
        EXPECT_EQ(bar.lastType, type);
        reported.clear();
    }
    EXPECT_TRUE(bar.button(OptionBar::Statistics)->isHidden());
    bar.proSnapshot->click();
    EXPECT_TRUE(reported.empty()) << "the product snapshot goes straight to its trigger";
}

TEST_F(Bars, RefusedSettingsUncheckWithoutASignal)
{
    OptionBar bar;
    int signals_ = 0;
    BOptionButton* settings = bar.button(OptionBar::SystemSettings);
    settings->click();
    ASSERT_TRUE(settings->isChecked());
    QObject::connect(&bar, &OptionBar::btnsToggled, [&] { ++signals_; });
    bar.SetTLast();
    EXPECT_FALSE(settings->isChecked());
    EXPECT_TRUE(settings->isCheckable());
    EXPECT_EQ(bar.lastType, 0);
    EXPECT_EQ(signals_, 0);
}

TEST_F(Bars, StartStopButtonShowsTheRunState)
{
    OptionBar bar;
    BOptionButton* b = bar.button(OptionBar::StopDetection);
    EXPECT_EQ(b->text(), "Stop Detection");
    bar.ShowDetecting(false);
    EXPECT_EQ(b->text(), "Start Detection");
    EXPECT_TRUE(b->styleSheet().contains("#ee2329"));
    bar.ShowDetecting(true);
    EXPECT_TRUE(b->styleSheet().contains("#4ab74c"));
}
