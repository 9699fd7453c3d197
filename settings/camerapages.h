#pragma once
// The camera tab group: the camera parameters page with its camera panel
// (camera choice, exposure and gain; detachable into a window of its own over
// the camera views), and the camera functions page (fifteen switches).
// Exposure, gain, sharpness, gamma and contrast act on the camera at once
// through the hub; the capture speed and the switches wait for confirmation.

#include "settings/sliderpage.h"
#include "widgets/bwidget.h"

#include <QSize>
#include <functional>

class QButtonGroup;
class QFrame;
class QPushButton;
class QVBoxLayout;

class CameraParamsSubWidget : public BWidget
{
    Q_OBJECT
public:
    explicit CameraParamsSubWidget(QWidget* parent);

    // Its sliders are loaded by the page and written by the hub's live slots.
    void displayIndependent(bool independent);
    bool detached() const;

    // The main window shows its camera views (true) or the page it showed before.
    std::function<void(bool)> cameraPramsAdjust;
    // The window the detached panel floats over.
    QWidget* mainWindow = nullptr;

    QButtonGroup* cameras = nullptr;      // ids 0 to 3
    QPushButton* restoreDefaults = nullptr;
    QPushButton* cameraOrder = nullptr;
    QPushButton* detach = nullptr;
    QPushButton* previous = nullptr;
    QPushButton* next = nullptr;
    SliderRow exposure;
    SliderRow gain;

public slots:
    void viewBtnToggled(bool isIndep);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void step(int delta);

    QWidget* home = nullptr;         // the parent while attached
    QSize attachedSize;              // invalid until the first detach
    QFrame* splitLine = nullptr;
    QVBoxLayout* layout = nullptr;
};

class CameraParamsWidget : public SliderPage
{
    Q_OBJECT
public:
    explicit CameraParamsWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;

    // Rows: exposure, gain (on the panel), sharpness, gamma, contrast, speed.
    enum { kExposureRow, kGainRow, kSharpRow, kGammaRow, kContrastRow, kSpeedRow };
    C_Slider* imageSlider(ImageSetting s) const;
    // Sets the five image sliders from the editing copy for camera.
    void showCamera(int camera);

    CameraParamsSubWidget* panel = nullptr;
    // The factory-parameter switch as ticked on screen now.
    std::function<bool()> factoryTicked;

protected:
    void showEvent(QShowEvent* event) override;
};

class CameraFunctionsWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit CameraFunctionsWidget(QWidget* parent = nullptr);
    void WizardParaInit() override;
    void accept() override;

    Switches switches;
    std::function<bool()> factoryTicked;

protected:
    void showEvent(QShowEvent* event) override;
};
