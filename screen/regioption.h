#pragma once
// The region editor's side bar (page 1 of the main window's side stack) and
// the alarm bar (page 2). The editor bar's source choice is the one place
// where the views' image source (gSource) changes: template, live image,
// recent NG frames, stored OK or NG pictures; it also chooses the camera and
// step edited and browses templates and pictures. The alarm bar offers the
// alarm-clearing actions and reaches the sources through the editor bar.

#include "screen/viewreadings.h"
#include "widgets/bwidget.h"

class BOptionButton;
struct WizardPara;
class ComboBox;
class QShowEvent;

class RegiOption : public BWidget
{
    Q_OBJECT
public:
    enum BTN_TYPE { DeleteTemplate = 1, AddTemplate, EndSetting, LiveTemplate };

    explicit RegiOption(QWidget* parent = nullptr);

    // Runs the source change even when the choice already shows it.
    void CheckSource(int source);
    void SetSource(int source);
    void setDetect(int detect);
    int source() const;
    BOptionButton* button(BTN_TYPE type) const { return buttons[type]; }

    // The stored result picture being browsed (image sources 3 and 4).
    BrowsedPicture browsed;
    int lastType = 0;

public slots:
    void btnsToggledSlot(bool checked);
    void ChangeSourceSlot(int source);
    void ChangeCameraSlot(int camera);
    void ChangeDetectSlot(int detect);
    void SlotTempLast() { browse(-1); }
    void SlotTempNext() { browse(1); }

signals:
    void btnsToggled(RegiOption::BTN_TYPE type, bool checked);
    void ChangeDetect(int step);
    void ChangeCamera(int camera);

private:
    void ChangePage();
    void LoadPic();
    void browse(int direction);
    void showTemplate(int slot);
    void showNgEntry(int entry);

    BOptionButton* buttons[LiveTemplate + 1] = {};
    ComboBox* sourceChoice = nullptr;
    ComboBox* cameraChoice = nullptr;
    ComboBox* stepChoice = nullptr;
    bool okPictures = false;
    bool sameParameterNoted = false;   // the note of shared product parameters, once per run
};

// The note (text 119 or 371) shown once per run when the template of a step
// whose parameters are copied from the product step is chosen; 0 when none
// is due. Sets *noted once a note is due.
int SameParameterNote(const WizardPara& p, int detect, bool templateShown, bool* noted);

class AlarmOption : public BWidget
{
    Q_OBJECT
public:
    enum BTN_TYPE { LiveTemplate = 1, NoDetect, AddTemplate, ReDetect, IgnorePoint, DeleteIgnorePoints };

    explicit AlarmOption(QWidget* parent = nullptr);

    void CheckSource(int source);
    void SetCamera(int camera);
    BOptionButton* button(BTN_TYPE type) const { return buttons[type]; }

public slots:
    void btnsToggledSlot(bool checked);
    void ChangeSourceSlot(int source);
    void ChangeCameraSlot(int camera);

signals:
    void btnsToggled(AlarmOption::BTN_TYPE type, bool checked);
    void AlarmChangeSource(int source);

protected:
    void showEvent(QShowEvent* event) override;

private:
    BOptionButton* buttons[DeleteIgnorePoints + 1] = {};
    ComboBox* sourceChoice = nullptr;
    ComboBox* cameraChoice = nullptr;
};
