#pragma once
// The advanced parameters page (the parameter-group controls and nine
// numeric settings) and the advanced functions page (fourteen switches, among
// them the factory-parameter switch, and five maintenance buttons).

#include "settings/sliderpage.h"

#include <functional>

class BLineEdit;
class CheckBox;
class ComboBox;
class QPushButton;

class AdvanceparamWidget : public SliderPage
{
    Q_OBJECT
public:
    explicit AdvanceparamWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;

    BLineEdit* groupName = nullptr;
    ComboBox* groupList = nullptr;
    QPushButton* backup = nullptr;
    QPushButton* restore = nullptr;
    QPushButton* remove = nullptr;

public slots:
    void slotQSliderValue(int value) override;
};

class AdvanceFuncWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit AdvanceFuncWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;

    // The factory-parameter switch as ticked on screen now.
    bool factoryTicked() const;

    // The main window's flag of saving every inspected frame as a test image.
    std::function<bool()> testImages;
    std::function<void(bool)> setTestImages;

    Switches switches;          // the settings of the record
    CheckBox* saveTestImages = nullptr;
    QPushButton* updateProgram = nullptr;
    QPushButton* modifyTime = nullptr;
    QPushButton* calibrate = nullptr;
    QPushButton* exportData = nullptr;
    QPushButton* factoryReset = nullptr;
    QPushButton* exitProgram = nullptr;    // built hidden
    QPushButton* hardwareInfo = nullptr;   // built hidden
};
