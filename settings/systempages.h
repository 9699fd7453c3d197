#pragma once
// The system parameters page (delays, filter size, alarm area,
// re-inspections) and the system functions page (switches, the language,
// counter reset, shut-down and password change).

#include "settings/sliderpage.h"

class BLineEdit;
class CheckBox;
class QButtonGroup;
class QPushButton;

class SystemParamsWidget : public SliderPage
{
    Q_OBJECT
public:
    explicit SystemParamsWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;
    // The caption of the re-inspection row (the machine type in force at start).
    void paraInit();
    void setReDetectCaption(const QString& caption);
};

class SystemFunctionsWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit SystemFunctionsWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;

    QButtonGroup* languages = nullptr;
    QPushButton* resetCount = nullptr;
    QPushButton* shutDown = nullptr;
    QPushButton* changePassword = nullptr;
    BLineEdit* newPassword = nullptr;
    BLineEdit* confirmPassword = nullptr;
    CheckBox* templateAutoUpdate = nullptr;
    Switches switches;

public slots:
    void accept() override;
    // A language button was clicked: the hub asks and switches.
    void SlotChangeLan();

signals:
    void languageChosen(int lan);

private:
    void SlotConnect();
};
