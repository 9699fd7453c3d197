// The settings pages in the hub: every page loads the editing copy and
// stores it back unchanged (clamped where a value is out of range); the camera
// sliders act on the shown camera at once; the factory switch unhides the
// factory controls before anything is confirmed; the group controls.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "resources/artwork.h"
#include "settings/advancedpages.h"
#include "settings/camerapages.h"
#include "settings/paramgroups.h"
#include "settings/systempages.h"
#include "settings/systemsettingwidget.h"
#include "tests/common/testsupport.h"
#include "widgets/blineedit.h"
#include "widgets/blinelabel.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"
#include "widgets/cslider.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QDir>
#include <QLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

class AnsweringPorts : public MaintenancePorts
{
public:
    bool ask(const QString&) override { return true; }
    void warn(const QString& t) override { warnings << t; }
    QStringList warnings;
};

class Pages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        InitArtwork();
        gLan = 1;
        numCamera = 2;
        gpWPara = &inForce;
        gpWParaBak = &edited;
        inForce.defectOn = 1;
        inForce.exposeTime[1] = 70;
        inForce.sharp[1] = 33;
        edited = inForce;
        hub = std::make_unique<SystemSettingWidget>();
        hub->applyImage = [this](int view, ImageSetting s) { applied.push_back({view, s}); };
        hub->setActionPorts(std::make_unique<AnsweringPorts>());
    }
    void TearDown() override
    {
        hub.reset();
        gpWPara = nullptr;
        gpWParaBak = nullptr;
    }
    void storeAll()
    {
        for (int index : SystemSettingWidget::SettingsPages())
            hub->page(index)->accept();
    }
    void open(int page)
    {
        hub->changeWidget(page);
        hub->resize(1725, 982);
        hub->show();
    }
    C_Slider* image(ImageSetting s) { return hub->cameraParams->imageSlider(s); }

    TempWorkDir work;
    WizardPara inForce;
    WizardPara edited;
    std::unique_ptr<SystemSettingWidget> hub;
    std::vector<std::pair<int, ImageSetting>> applied;
};

// In-range values of every setting the pages edit.
void FillInRange(WizardPara& w)
{
    int k = 0;
    for (const SliderRules* rules : {&SystemParamSliders(), &AdvancedParamSliders()}) {
        for (const SliderRule& r : *rules)
            r.field(w) = r.min + 1 + (k++ % 3);
    }
    w.screenOffTime = 120;
    for (const SwitchRules* rules : {&SystemFunctionSwitches(), &AdvancedFunctionSwitches(), &CameraFunctionSwitches()}) {
        std::vector<bool> ticks;
        for (size_t i = 0; i < rules->size(); ++i)
            ticks.push_back((k++ % 2) == 0);
        StoreSwitches(*rules, ticks, w);
    }
    w.perRoiParams = 1;
    for (int s = 0; s < kImageSettingCount; ++s)
        ImageValue(w, static_cast<ImageSetting>(s), 0) = ImageRange(static_cast<ImageSetting>(s)).min + 7;
    w.captureSpeed = 9;
}

TEST_F(Pages, EveryPageStoresBackWhatItLoaded)
{
    FillInRange(edited);
    const WizardPara expected = edited;
    open(0);
    storeAll();
    for (const QString& row : WizardPara::RowNames())
        EXPECT_EQ(edited.RowText(row), expected.RowText(row)) << row.toStdString();
}

TEST_F(Pages, OutOfRangeValuesLoadAtTheNearestEndAndStoreSo)
{
    edited.alarmArea = 5000;
    edited.maxLocationOffset = 9000;
    edited.exposeTime[0] = 200;
    edited.captureSpeed = 50;
    edited.productDetectOn = 2;
    open(0);
    EXPECT_EQ(edited.exposeTime[0], 100) << "the exposure slider's load acts at once";
    EXPECT_EQ(edited.captureSpeed, 50) << "the speed waits for the confirmation";
    storeAll();
    EXPECT_EQ(edited.alarmArea, 1000);
    EXPECT_EQ(edited.maxLocationOffset, 8000);
    EXPECT_EQ(edited.captureSpeed, 32);
    EXPECT_EQ(edited.productDetectOn, 1);
    EXPECT_EQ(inForce.alarmArea, WizardPara().alarmArea) << "pages never write the record in force";
}

TEST_F(Pages, DelaysShowInSecondsAndScreenOffBelowTenBecomesTen)
{
    edited.trigInDelay[0] = 15;
    open(0);
    EXPECT_EQ(hub->systemParams->row(kDelay1).value->text(), "1.5");
    EXPECT_EQ(hub->systemParams->row(kDelay1).unit->text(), "S");
    const SliderRow& screenOff = hub->advancedParams->row(kScreenOffRow);
    screenOff.slider->setValue(5);
    EXPECT_EQ(screenOff.slider->value(), 10);
    EXPECT_EQ(screenOff.value->text(), "10");
    screenOff.slider->setValue(0);
    EXPECT_EQ(screenOff.slider->value(), 0);
}

TEST_F(Pages, PasswordFieldsAreEmptiedAndTheLanguageInForceTicked)
{
    open(1);
    hub->systemFunctions->newPassword->setText("1234");
    hub->systemFunctions->languages->button(2)->setChecked(true);
    hub->hide();
    hub->show();
    EXPECT_TRUE(hub->systemFunctions->newPassword->text().isEmpty());
    EXPECT_EQ(hub->systemFunctions->languages->checkedId(), 1);
}

TEST_F(Pages, LiveSlidersActOnTheShownCameraAtOnce)
{
    open(3);
    applied.clear();
    image(ImageSetting::Exposure)->setValue(40);
    EXPECT_EQ(edited.exposeTime[0], 40);
    EXPECT_NE(inForce.exposeTime[0], 40);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_EQ(applied[0], std::make_pair(0, ImageSetting::Exposure));

    // Camera 2: the sliders load its values and act on it.
    QTest::mouseClick(hub->cameraPanel->cameras->button(1), Qt::LeftButton);
    EXPECT_EQ(outSet, 1);
    EXPECT_EQ(image(ImageSetting::Exposure)->value(), 70);
    EXPECT_EQ(image(ImageSetting::Sharpness)->value(), 33);
    applied.clear();
    image(ImageSetting::Contrast)->setValue(150);
    EXPECT_EQ(edited.contrast[1], 150);
    EXPECT_EQ(applied, (std::vector<std::pair<int, ImageSetting>>{{1, ImageSetting::Contrast}}));

    // The capture speed waits for the confirmation.
    applied.clear();
    hub->cameraParams->row(CameraParamsWidget::kSpeedRow).slider->setValue(20);
    EXPECT_TRUE(applied.empty());
    EXPECT_NE(edited.captureSpeed, 20);
    hub->cameraParams->accept();
    EXPECT_EQ(edited.captureSpeed, 20);
}

TEST_F(Pages, EveryShowingStartsAtTheFirstCamera)
{
    open(3);
    QTest::mouseClick(hub->cameraPanel->cameras->button(1), Qt::LeftButton);
    hub->hide();
    hub->show();
    EXPECT_EQ(outSet, 0);
    EXPECT_EQ(hub->cameraPanel->cameras->checkedId(), 0);
    EXPECT_EQ(image(ImageSetting::Exposure)->value(), edited.exposeTime[0]);
}

TEST_F(Pages, WithOneCameraTheCameraButtonsDoNothing)
{
    numCamera = 1;
    open(3);
    QTest::mouseClick(hub->cameraPanel->cameras->button(1), Qt::LeftButton);
    EXPECT_EQ(outSet, 0);
}

TEST_F(Pages, NextAndPreviousStopAtTheCamerasInUse)
{
    open(3);
    hub->cameraPanel->viewBtnToggled(true);
    EXPECT_TRUE(hub->cameraPanel->isWindow());
    EXPECT_EQ(hub->cameraPanel->size(), QSize(1105, 325));
    QTest::mousePress(hub->cameraPanel->previous, Qt::LeftButton);
    EXPECT_EQ(outSet, 0);
    QTest::mousePress(hub->cameraPanel->next, Qt::LeftButton);
    EXPECT_EQ(outSet, 1);
    QTest::mousePress(hub->cameraPanel->next, Qt::LeftButton);
    EXPECT_EQ(outSet, 1) << "two cameras in use";
    EXPECT_FALSE(hub->cameraPanel->cameras->button(2)->isVisible());
    hub->cameraPanel->viewBtnToggled(false);
    EXPECT_FALSE(hub->cameraPanel->isWindow());
    EXPECT_EQ(hub->cameraParams->layout()->indexOf(hub->cameraPanel), 0);
}

TEST_F(Pages, AutomaticShadingActsOnEveryCamera)
{
    open(4);
    applied.clear();
    hub->cameraFunctions->switches.boxes[kAutoShadingSwitch]->setChecked(true);
    EXPECT_NE(edited.autoShading, 0);
    EXPECT_EQ(applied.size(), 8u);
}

TEST_F(Pages, TheFactorySwitchShowsFactoryControlsBeforeConfirming)
{
    open(4);
    EXPECT_FALSE(hub->cameraFunctions->switches.boxes[1]->isVisible());
    hub->changeWidget(12);
    hub->advancedFunctions->switches.boxes[kFactorySwitch]->setChecked(true);
    hub->changeWidget(4);
    EXPECT_TRUE(hub->cameraFunctions->switches.boxes[1]->isVisible());
    hub->changeWidget(3);
    EXPECT_TRUE(hub->cameraParams->row(CameraParamsWidget::kSpeedRow).slider->isVisible());
    hub->changeWidget(12);
    hub->advancedFunctions->switches.boxes[kFactorySwitch]->setChecked(false);
    hub->changeWidget(3);
    EXPECT_FALSE(hub->cameraParams->row(CameraParamsWidget::kSharpRow).slider->isVisible());
    EXPECT_TRUE(hub->cameraParams->row(CameraParamsWidget::kExposureRow).slider->isVisible());
    EXPECT_EQ(edited.showFactoryParams, 0);
}

TEST_F(Pages, GroupControlsShowTheGroupInForce)
{
    for (const char* name : {"alpha", "beta", "default"})
        QDir().mkpath(QStringLiteral("paraGroup/%1").arg(name));
    hub->ParaGroupUpdateList();
    const std::pair<int, QString> cases[] = {{2, "default"}, {1, "beta"}, {0, ""}, {7, ""}};
    for (const auto& c : cases) {
        inForce.paramGroup = c.first;
        hub->hide();
        open(11);
        EXPECT_EQ(hub->advancedParams->groupName->text(), c.second) << c.first;
    }
    EXPECT_EQ(hub->advancedParams->groupList->currentIndex(), -1);
}

TEST_F(Pages, BackupUnderANewNameSelectsItAndDeleteDropsIt)
{
    QDir().mkpath("paraGroup/default");
    QDir().mkpath("paraGroup/zeta");
    QFile db("PARAM.db");
    ASSERT_TRUE(db.open(QIODevice::WriteOnly));
    db.write("job");
    db.close();
    hub->ParaGroupUpdateList();
    open(11);
    hub->advancedParams->groupName->setText("mould 7");
    QTest::mouseClick(hub->advancedParams->backup, Qt::LeftButton);
    EXPECT_EQ(hub->advancedParams->groupList->count(), 3);
    EXPECT_EQ(hub->advancedParams->groupList->currentText(), "mould 7");
    EXPECT_EQ(inForce.paramGroup, 1);
    EXPECT_EQ(edited.paramGroup, 1);
    QTest::mouseClick(hub->advancedParams->remove, Qt::LeftButton);
    EXPECT_EQ(hub->advancedParams->groupList->findText("mould 7"), -1);
    EXPECT_FALSE(QDir("paraGroup/mould 7").exists());
    EXPECT_TRUE(QFile::exists("PARAM.db"));
}

}  // namespace
