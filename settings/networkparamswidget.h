#pragma once
// The network parameters page: the IO board's serial port, the link to the
// production-data server with its video type and frame rate, and the edited
// network cards (address, netmask, gateway, the card carrying the link) and
// device number. Settings go to the editing copy of the record; the cards and
// the device number go to the edited network-card information, which the
// confirmation stages into the system's files.

#include "settings/settingspage.h"

#include <QByteArray>
#include <QString>

class BComboBox;
class BLineEdit;
class CheckBox;
class QButtonGroup;
class QLabel;
class QPushButton;
class WizardPara;
struct NetCard;

class NetworkParamsWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit NetworkParamsWidget(QWidget* parent = nullptr);

    void WizardParaInit() override;
    void accept() override;

    // What the page edits; by default the editing copy, the edited cards of
    // the network link and the record in force.
    void bind(WizardPara* edited, NetCard* cards, const WizardPara* inForce);

    // The gateway named by the output of "ip route show", or "0.0.0.0".
    static QString GatewayOf(const QByteArray& routeOutput);

    BComboBox* cardCombo = nullptr;
    BComboBox* serialCombo = nullptr;
    QLabel* macLabel = nullptr;
    BLineEdit* ipEdit = nullptr;
    BLineEdit* hostEdit = nullptr;
    BLineEdit* maskEdit = nullptr;
    CheckBox* useCardBox = nullptr;
    BLineEdit* wayEdit = nullptr;
    CheckBox* linkSwitch = nullptr;
    QPushButton* testButton = nullptr;   // the network test connects here
    QLabel* resultLabel = nullptr;
    QButtonGroup* videoGroup = nullptr;
    QButtonGroup* fpsGroup = nullptr;

    // The text the network test left; shown while the server link is on.
    QString checkResult;

public slots:
    void InitCntNetWidget();
    void SlotCmbCard(int value);
    void SlotIpTimelyModify(const QString& text);
    void SlotMaskTimelyModify(const QString& text);
    void SlotWayTimelyModify(const QString& text);
    void SlotCntClick();
    void SlotCntName(int value);
    void SlotCBoxIsUseCntNet(int value);

private:
    void buildRows();
    void storeEntry(int entry, const QString& text);
    void showWifi(const QString& name);
    WizardPara* edited() const;
    NetCard* cards() const;
    const WizardPara* inForce() const;

    WizardPara* boundEdited = nullptr;
    NetCard* boundCards = nullptr;
    const WizardPara* boundInForce = nullptr;
    bool pressed = false;   // the operator pressed the use-this-card box
};
