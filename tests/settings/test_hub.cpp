// The settings screen's frame: fifteen pages in seven tab groups, the
// reload on every showing, and leaving through the exit button.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "resources/artwork.h"
#include "settings/networkparamswidget.h"
#include "settings/settingspage.h"
#include "settings/camerapages.h"
#include "settings/systempages.h"
#include "widgets/checkbox.h"
#include "settings/systemsettingwidget.h"
#include "widgets/cslider.h"
#include "tests/common/testsupport.h"
#include "widgets/combobox.h"
#include "widgets/splashwidget.h"

#include <gtest/gtest.h>

#include <typeinfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

class CountingPorts : public ConfirmPorts
{
public:
    explicit CountingPorts(SystemSettingWidget* hub)
        : hub(hub)
    {
    }
    void storePages() override
    {
        for (int index : SystemSettingWidget::SettingsPages())
            hub->page(index)->accept();
    }
    void warn(const QString& t) override { warnings << t; }
    bool ask(const QString&) override { ++questions; return false; }

    SystemSettingWidget* hub;
    QStringList warnings;
    int questions = 0;
};

class Hub : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        InitArtwork();
        gLan = 1;
        gpWPara = &inForce;
        gpWParaBak = &edited;
        inForce.defectOn = 1;
        edited = inForce;
        hub = std::make_unique<SystemSettingWidget>();
        auto p = std::make_unique<CountingPorts>(hub.get());
        ports = p.get();
        hub->setConfirmPorts(std::move(p));
    }
    void TearDown() override
    {
        hub.reset();
        gpWPara = nullptr;
        gpWParaBak = nullptr;
    }

    WizardPara inForce;
    WizardPara edited;
    std::unique_ptr<SystemSettingWidget> hub;
    CountingPorts* ports = nullptr;
};

TEST_F(Hub, FifteenTabsInSevenGroups)
{
    const int texts[] = {215, 572, 431, 128, 573, 262, 574, 575, 576, 577, 578, 205, 581, 579, 580};
    int icons = 0;
    for (int i = 0; i < SystemSettingWidget::kPageCount; ++i) {
        ASSERT_NE(hub->tabButton(i), nullptr);
        EXPECT_EQ(hub->tabButton(i)->text(), LanStr(texts[i])) << i;
        icons += hub->tabButton(i)->icon().isNull() ? 0 : 1;
    }
    EXPECT_EQ(hub->tabButton(SystemSettingWidget::kPageCount), nullptr);
    EXPECT_EQ(icons, 7);
    for (int first : {0, 3, 5, 7, 9, 11, 13})
        EXPECT_FALSE(hub->tabButton(first)->icon().isNull()) << first;
    EXPECT_EQ(hub->currentPage(), 0);
    EXPECT_TRUE(hub->tabButton(0)->isChecked());
    EXPECT_EQ(hub->exitButton()->text(), "Exit setup");
}

TEST_F(Hub, PressingATabShowsItsPageAndTitle)
{
    hub->resize(1725, 982);
    hub->show();
    QTest::mouseClick(hub->tabButton(5), Qt::LeftButton);
    EXPECT_EQ(hub->currentPage(), 5);
    EXPECT_EQ(hub->title(), "Network Param");
    EXPECT_TRUE(hub->tabButton(5)->isChecked());
    EXPECT_FALSE(hub->tabButton(0)->isChecked());
    QSignalSpy log(hub.get(), &SystemSettingWidget::recordshow);
    QTest::mouseClick(hub->tabButton(7), Qt::LeftButton);
    EXPECT_EQ(log.count(), 1);
}

TEST_F(Hub, EveryTabHasItsOwnPage)
{
    for (int i = 0; i < SystemSettingWidget::kPageCount; ++i) {
        ASSERT_NE(hub->page(i), nullptr) << i;
        EXPECT_TRUE(typeid(*hub->page(i)) != typeid(SettingsPage)) << i;
    }
    EXPECT_NE(qobject_cast<NetworkParamsWidget*>(hub->page(5)), nullptr);
    EXPECT_NE(hub->page(13)->findChild<SplashWidget*>(), nullptr);
}

TEST_F(Hub, EveryShowingReloadsTheNetworkPageFromTheEditingCopy)
{
    auto* network = qobject_cast<NetworkParamsWidget*>(hub->page(5));
    ASSERT_NE(network, nullptr);
    edited.serialPort = 3;
    hub->show();
    EXPECT_EQ(network->serialCombo->currentIndex(), 3);
    network->serialCombo->setCurrentIndex(1);
    hub->hide();
    hub->show();
    EXPECT_EQ(network->serialCombo->currentIndex(), 3) << "unsaved edits are dropped on a new showing";
}

TEST_F(Hub, EveryShowingReloadsTheElevenSettingsPages)
{
    outSet = 3;
    hub->show();
    hub->hide();
    hub->show();
    EXPECT_EQ(outSet, 0);
}

TEST_F(Hub, ExitStoresThePagesAndLeavesEvenWhenRefused)
{
    hub->show();
    hub->cameraFunctions->switches.boxes[3]->setChecked(false);   // defect detection, the only function on
    QSignalSpy left(hub.get(), &SystemSettingWidget::left);
    QTest::mouseClick(hub->exitButton(), Qt::LeftButton);
    EXPECT_EQ(left.count(), 1);
    EXPECT_EQ(ports->warnings, QStringList{LanStr(232)});
}

TEST_F(Hub, ExitWithAChangeAsksAndNoDiscards)
{
    hub->show();
    hub->systemParams->row(0).slider->setValue(30);
    QTest::mouseClick(hub->exitButton(), Qt::LeftButton);
    EXPECT_EQ(ports->questions, 1);
    EXPECT_EQ(edited.trigInDelay[0], 0);
    EXPECT_EQ(inForce.trigInDelay[0], 0);
}

}  // namespace
