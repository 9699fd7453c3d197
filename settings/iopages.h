#pragma once
// The two pages of the IO tab group: the IO parameters page (timings,
// machine type, mould side, the multi-detection buttons and initial states)
// and the IO functions page (switches, uses of input 4 and output 4, the
// factory's initial states). What they load and store is IoParamsForm and
// IoFunctionsForm; the pages only show it.

#include "settings/iopageforms.h"
#include "settings/settingspage.h"

#include <functional>

class BlineLabel;
class CheckBox;
class ComboBox;
class QButtonGroup;
class QLabel;
class QPushButton;
class QSlider;

// Whether the factory's parameters are shown now (the advanced functions
// page's box as it stands, before it is stored).
using FactoryShown = std::function<bool()>;

class IOParamsWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit IOParamsWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;

    QButtonGroup* machineTypes() const { return typeGroup; }
    QButtonGroup* sides() const { return sideGroup; }
    QPushButton* customIoButton() const { return customIo; }
    QPushButton* ioNameButton() const { return ioName; }
    QSlider* slider(int row) const { return sliders[row]; }
    QLabel* valueLabel(int row) const { return values[row]; }
    ComboBox* initialState(int i) const { return initialStates[i]; }
    QLabel* initialStateCaption() const { return initialCaption; }

    // Shows the controls that the machine type `id` uses.
    void applyMachineType(int id);
    FactoryShown factoryShown;

public slots:
    void slotQSliderValue(int value);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildTypeRow();
    QWidget* buildTimings();
    QWidget* buildInitialStates();
    void buildTypeControls();
    static bool multiInForce();

    QSlider* sliders[IoParamsForm::kSliders] = {};
    QLabel* values[IoParamsForm::kSliders] = {};
    QButtonGroup* typeGroup = nullptr;
    QButtonGroup* sideGroup = nullptr;
    QLabel* sideCaption = nullptr;
    QPushButton* customIo = nullptr;
    QPushButton* ioName = nullptr;
    QLabel* initialCaption = nullptr;
    ComboBox* initialStates[IoParamsForm::kInitialStates] = {};
};

class IOFunctionsWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit IOFunctionsWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;

    CheckBox* box(int i) const { return boxes[i]; }
    QButtonGroup* inputUse() const { return input4; }
    QButtonGroup* outputUse() const { return output4; }
    QButtonGroup* initialState(int i) const { return initialGroups[i]; }
    FactoryShown factoryShown;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildUseRow(int caption, QButtonGroup* group, int (*text)(int));

    CheckBox* boxes[IoFunctionsForm::kSwitches] = {};
    QButtonGroup* input4 = nullptr;
    QButtonGroup* output4 = nullptr;
    QButtonGroup* initialGroups[IoFunctionsForm::kInitialStates] = {};
    QVector<QWidget*> factoryControls;
};

// Ticks the button of a group whose id is `id`, or none.
void TickButton(QButtonGroup* group, int id);
// The factory box as stored in the editing copy.
bool StoredFactoryShown();
