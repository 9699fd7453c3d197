// The network parameters page: loading and storing the record's link
// settings, showing and editing the cards, choosing the card of the link.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "network/netcard.h"
#include "resources/artwork.h"
#include "settings/networkparamswidget.h"
#include "widgets/blineedit.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QLabel>
#include <QTest>
#include <memory>

namespace {

class NetworkPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        InitArtwork();
        cards.cardMap = {{"eth0", {"192.168.1.5", "255.255.255.0", "192.168.1.1"}},
                         {"eth1", {"10.0.0.2", "255.0.0.0", "10.0.0.1"}},
                         {"wlan0", {"172.16.0.9", "255.255.0.0", "172.16.0.1"}}};
        cards.macMap = {{"eth1", "00:11:22:33:44:55"}};
        cards.hostName = "press-07";
        edited.netLinkOn = 1;
        edited.serialPort = 2;
        edited.videoType = 2;
        edited.videoFps = 4;
        WizardPara::SetText(edited.useName, "eth1");
        page = std::make_unique<NetworkParamsWidget>();
        page->bind(&edited, &cards, &inForce);
        page->WizardParaInit();
    }
    void show(const QString& card) { page->cardCombo->setCurrentText(card); }

    WizardPara inForce;
    WizardPara edited;
    NetCard cards;
    std::unique_ptr<NetworkParamsWidget> page;
};

TEST_F(NetworkPage, LoadsTheLinkSettingsAndTheFirstCard)
{
    EXPECT_EQ(page->cardCombo->count(), 3);
    EXPECT_EQ(page->cardCombo->currentText(), "eth0");
    EXPECT_EQ(page->ipEdit->text(), "192.168.1.5");
    EXPECT_EQ(page->maskEdit->text(), "255.255.255.0");
    EXPECT_EQ(page->wayEdit->text(), "192.168.1.1");
    EXPECT_FALSE(page->useCardBox->isChecked());
    EXPECT_EQ(page->hostEdit->text(), "press-07");
    EXPECT_EQ(page->serialCombo->currentText(), "COM3");
    EXPECT_TRUE(page->linkSwitch->isChecked());
    EXPECT_EQ(page->linkSwitch->text(), LanStr(358));
    EXPECT_EQ(page->videoGroup->checkedId(), 2);
    EXPECT_EQ(page->fpsGroup->checkedId(), 4);
    EXPECT_TRUE(page->macLabel->text().isEmpty());
}

TEST_F(NetworkPage, ShowingACardShowsItsValuesMacAndWhetherItCarriesTheLink)
{
    show("eth1");
    EXPECT_EQ(page->ipEdit->text(), "10.0.0.2");
    EXPECT_EQ(page->macLabel->text(), "00:11:22:33:44:55");
    EXPECT_TRUE(page->useCardBox->isChecked());
    show("eth0");
    EXPECT_FALSE(page->useCardBox->isChecked());
    EXPECT_EQ(page->macLabel->text(), "00:11:22:33:44:55") << "a card without a MAC keeps the label";
}

TEST_F(NetworkPage, EditsGoIntoTheEditedCardButNeverIntoWifi)
{
    page->ipEdit->setText("192.168.1.77");
    page->wayEdit->setText("192.168.1.254");
    EXPECT_EQ(cards.cardMap["eth0"], (QStringList{"192.168.1.77", "255.255.255.0", "192.168.1.254"}));
    show("wlan0");
    page->maskEdit->setText("255.255.255.0");
    EXPECT_EQ(cards.cardMap["wlan0"][1], "255.255.0.0");
}

TEST_F(NetworkPage, OnlyTheOperatorsToggleChoosesTheCardOfTheLink)
{
    show("eth0");
    EXPECT_EQ(WizardPara::Text(edited.useName), "eth1") << "showing a card changes nothing";
    page->show();
    QTest::mouseClick(page->useCardBox, Qt::LeftButton);
    EXPECT_EQ(WizardPara::Text(edited.useName), "eth0");
    QTest::mouseClick(page->useCardBox, Qt::LeftButton);
    EXPECT_EQ(WizardPara::Text(edited.useName), "null");
    page->useCardBox->setChecked(true);
    EXPECT_EQ(WizardPara::Text(edited.useName), "null");
}

TEST_F(NetworkPage, StoringWritesTheControlsBack)
{
    page->linkSwitch->setChecked(false);
    page->hostEdit->setText("press-08");
    page->videoGroup->button(0)->setChecked(true);
    page->fpsGroup->button(1)->setChecked(true);
    page->serialCombo->setCurrentIndex(0);
    page->accept();
    EXPECT_EQ(edited.netLinkOn, 0);
    EXPECT_EQ(cards.hostName, "press-08");
    EXPECT_EQ(edited.videoType, 0);
    EXPECT_EQ(edited.videoFps, 1);
    EXPECT_EQ(edited.serialPort, 0);
}

TEST_F(NetworkPage, AStoredChoiceNoButtonOffersIsKept)
{
    edited.videoType = 7;
    edited.videoFps = 9;
    NetworkParamsWidget fresh;
    fresh.bind(&edited, &cards, &inForce);
    fresh.WizardParaInit();
    fresh.accept();
    EXPECT_EQ(edited.videoType, 7);
    EXPECT_EQ(edited.videoFps, 9);
}

TEST_F(NetworkPage, TheResultLabelShowsWhileTheLinkIsOn)
{
    page->checkResult = "ok";
    page->show();
    page->linkSwitch->setChecked(false);
    EXPECT_FALSE(page->resultLabel->isVisible());
    page->linkSwitch->setChecked(true);
    EXPECT_TRUE(page->resultLabel->isVisible());
    EXPECT_EQ(page->resultLabel->text(), "ok");
}

TEST(RouteGateway, TheWordAfterTheFirstViaWithTwoWordsAfterIt)
{
    const struct {
        const char* output;
        const char* gateway;
    } cases[] = {
        {"default via 192.168.3.1 dev wlan0 proto dhcp\n", "192.168.3.1"},
        {"10.0.0.0/8 dev eth0 scope link\n", "0.0.0.0"},
        {"default via 192.168.3.1", "0.0.0.0"},
        {"", "0.0.0.0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NetworkParamsWidget::GatewayOf(c.output), c.gateway) << c.output;
    EXPECT_EQ(NetworkParamsWidget::GatewayOf(QByteArray("x via 1.2.3.4 dev\0 via 5.6.7.8 a b", 34)), "1.2.3.4");
}

}  // namespace
