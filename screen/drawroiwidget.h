#pragma once
// The controller of the region and template editor and of alarm clearing. It
// has no widgets of its own: the operator sees the camera views, the region
// tool bar and the editor or alarm bar on the side, whose buttons the main
// window routes here. The alarm-clearing rules live in AlarmClearing; this
// class gives them the window (its questions, password checks, views and
// bars) and opens and closes the editor.

#include "screen/alarmclearing.h"

#include <QWidget>

#include <memory>

class CammerWidget;
class MainWindow;

class DrawROIWidget : public QWidget, public ClearingScreen
{
    Q_OBJECT
public:
    explicit DrawROIWidget(MainWindow* window);
    ~DrawROIWidget() override;
    Q_DISABLE_COPY(DrawROIWidget)

    // Opens the editor (an alarm opens it on the alarm bar, live picture).
    void Reset(bool);
    // Closes it: normal display, no region selected.
    void Restart();
    AlarmClearing& clearing();

    // ClearingScreen
    int CheckPassword() override;
    bool Ask(const QString& text) override;
    void Warn(const QString& text) override;
    void SaveData() override { SlotSaveData(); }
    int selectedView() const override;
    int editDetect() const override;
    bool safeDoorOpen() const override;
    void SelectView(int camera) override;
    void SetSource(int source) override;
    void ShowEditorTools() override;
    void Repaint(int camera) override;
    void RestartBlink(int camera) override;
    cv::Mat ShownNgPicture(int camera) override;
    void ShowNextTemplate() override;
    void TemplateWritten(const QString& absolutePath) override;
    void TemplateDeleted(int camera1, int step1, const QString& name) override;

public slots:
    void SlotReturn();
    // Asks, then moves the edited regions of every camera whose regions
    // changed into force, with their change log in the operation record, and
    // stores them; retrains the cameras whose regions or templates changed.
    void SlotSaveData();
    // The region tool bar: delete the selected region, or all of the step.
    void SlotDeleteROI();
    void SlotDeleteAllROI();
    void SlotReCheck() { clearing().SlotReCheck(); }
    void SlotNoCheckCur() { clearing().SlotNoCheckCur(); }
    void SlotAddTemp() { clearing().SlotAddTemp(); }
    void SlotIgnoreAlarmPoint() { clearing().SlotIgnoreAlarmPoint(); }
    void SlotDeleteIgnorePoint() { clearing().SlotDeleteIgnorePoint(); }
    void SlotTempDeleteCur() { clearing().SlotTempDeleteCur(); }
    void SlotTempDeleteAll() { clearing().SlotTempDeleteAll(); }
    void SlotAutoChange() { clearing().SlotAutoChange(); }
    // Drawing modes of the region tool bar.
    void SlotDrawRect();
    void SlotDrawCircle();
    void SlotDrawPloygn();
    void SlotDrawHand();
    void SlotCopyArea();

private:
    int stepToEdit() const;
    // The camera shown alone, with its template on show; null otherwise.
    CammerWidget* templateView() const;
    void saveCamera(int c);
    void retrain(int c, bool positionModel);
    void chooseTool(int drawTool);
    void connectToolBars();

    MainWindow& window;
    std::unique_ptr<AlarmClearing> actions;
    bool positionChanged[kMaxCameras] = {};   // saved regions need a new positioning model
};

// The step the editor opens on, by machine type and settings: the step of
// the last inspection, moved to a step that is enabled and edited.
int EditStepFor(int curDetect, int machineType, int mouldSide, bool mouldAsProduct, bool productOn, int steps);
