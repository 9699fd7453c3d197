#pragma once
// The operator's answers to an NG alarm and the management of the template
// library: re-check the step on the newest frames, skip this mould for one
// camera or all, accept the picture as a further template, mark or clear
// ignore points, delete templates, and switch between the live picture and
// the template. The rules live here, without widgets; the region editor's
// controller (DrawROIWidget) gives them the window through ClearingScreen,
// and tests give them a fake.

#include "core/globals.h"

#include <QString>
#include <QVector>

class CameraWorkSet;
class RunController;
class RunView;
namespace cv {
class Mat;
}

// What the actions ask of the window. Questions and password checks block
// until the operator answers; tests answer them at once.
class ClearingScreen
{
public:
    virtual ~ClearingScreen() = default;
    virtual int CheckPassword() = 0;                // granted level, 0 = refused
    virtual bool Ask(const QString& text) = 0;      // yes/no question: true for yes
    virtual void Warn(const QString& text) = 0;
    virtual void SaveData() = 0;                    // the editor's save of edited regions
    virtual int selectedView() const = 0;
    virtual int editDetect() const = 0;
    virtual bool safeDoorOpen() const = 0;          // the door opened in this cycle
    // selectedView = camera, views laid out again, the alarm bar's camera choice.
    virtual void SelectView(int camera) = 0;
    // The editor bar's source choice (where the image source changes).
    virtual void SetSource(int source) = 0;
    // Editor bar on the side and the selected view's template arrows and tool bar.
    virtual void ShowEditorTools() = 0;
    virtual void Repaint(int camera) = 0;
    virtual void RestartBlink(int camera) = 0;
    // The recent NG picture the editor shows for the camera (empty for none).
    virtual cv::Mat ShownNgPicture(int camera) = 0;
    virtual void ShowNextTemplate() = 0;
    // Reports to the network link (only when it is up and its client connected).
    virtual void TemplateWritten(const QString& /*absolutePath*/) {}
    virtual void TemplateDeleted(int /*camera1*/, int /*step1*/, const QString& /*name*/) {}
};

class AlarmClearing
{
public:
    struct Ports {
        RunController* controller = nullptr;
        ClearingScreen* screen = nullptr;
        QVector<CameraWorkSet*> works;   // per camera, in camera order
        QVector<RunView*> views;         // the same cameras as the controller drives them
    };

    explicit AlarmClearing(const Ports& ports);
    Q_DISABLE_COPY(AlarmClearing)

    void SlotReCheck();
    void SlotNoCheckCur();
    void SlotAddTemp();
    void SlotIgnoreAlarmPoint();
    void SlotDeleteIgnorePoint();
    void SlotTempDeleteCur();
    void SlotTempDeleteAll();
    void SlotAutoChange();

    // The first steps of an image-source change: the alarm's password check
    // for the template (refused: back to the live picture, false) and the
    // alarm output switched off for every source but the live one.
    bool ApplySource(int source);

    // Cameras whose templates changed since the editor last retrained them.
    bool templateChanged[kMaxCameras] = {};

private:
    int cameras() const { return ports.works.size(); }
    bool single(int view) const { return view >= 0 && view < cameras(); }
    bool alarmShown() const;
    bool selectedNg(int view) const;
    void record(const QString& text);
    void afterReCheck(int shown);
    int chooseSlot(int camera, int step);
    void deleteTemplateFile(int camera, int step, const QString& name);

    Ports ports;
};
