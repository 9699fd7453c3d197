#pragma once
// The settings pages of the link to the production-data server: other
// networks (alarm messages, NG video, technician, Wi-Fi, servers, the
// traffic check) and device parameters (production data, product list).

#include "settings/netcheck.h"
#include "settings/settingspage.h"

#include <functional>

class BComboBox;
class BLineEdit;
class CheckBox;
class QPushButton;
class QTimer;

// Questions and warnings of the pages; tests answer them.
struct PagePrompts {
    std::function<bool(const QString&)> ask;
    std::function<void(const QString&)> warn;
};
PagePrompts DefaultPrompts();

class OtherNetworksWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit OtherNetworksWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;

    PagePrompts prompts = DefaultPrompts();
    QTimer* trafficTimer() const { return timer; }
    const NetCheck::Traffic& traffic() const { return trafficCheck; }

public slots:
    void SlotWifi();
    void SlotServer();
    void SlotUpdateWifi();
    void SlotUpdateServer();
    void SlotGetRemindList();
    void SlotGetProductName();
    void SlotCloseWgt();
    void SlotStartChk();
    void SlotTimerChk();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QList<BLineEdit*> serverEdits() const;

    CheckBox* alarmSms = nullptr;
    CheckBox* ngVideo = nullptr;
    BLineEdit* techName = nullptr;
    BLineEdit* techPhone = nullptr;
    BLineEdit* wifiName = nullptr;
    BLineEdit* wifiPassword = nullptr;
    BLineEdit* infoServer = nullptr;
    BLineEdit* infoPort = nullptr;
    BLineEdit* fileServer = nullptr;
    BLineEdit* filePort = nullptr;
    QTimer* timer = nullptr;
    NetCheck::Traffic trafficCheck;
};

class DeviceParamsWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit DeviceParamsWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;

    PagePrompts prompts = DefaultPrompts();

public slots:
    void SlotGetProductName();
    void cnt_reset_product(const QString& body);
    void SlotResetStatistics();

private:
    BComboBox* product = nullptr;
    BLineEdit* operatorName = nullptr;
    BLineEdit* cavities = nullptr;
    BLineEdit* planned = nullptr;
    BLineEdit* batch = nullptr;
};
