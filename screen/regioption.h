#pragma once
// The region editor's side bar (page 1 of the main window's side stack):
// image source, camera and step choices, template and picture browsing. The
// region editor fills it in; until then it keeps its place and its signals.

#include "screen/viewreadings.h"
#include "widgets/bwidget.h"

class RegiOption : public BWidget
{
    Q_OBJECT
public:
    enum BTN_TYPE { DeleteTemplate = 1, AddTemplate, EndSetting, LiveTemplate };

    explicit RegiOption(QWidget* parent = nullptr);

    // The stored result picture being browsed (image sources 3 and 4).
    BrowsedPicture browsed;

public slots:
    void SlotTempLast() {}
    void SlotTempNext() {}

signals:
    void btnsToggled(RegiOption::BTN_TYPE type, bool checked);
    void ChangeDetect(int step);
    void ChangeCamera(int camera);
};

// The side bar shown during an alarm (page 2 of the side stack).
class AlarmOption : public BWidget
{
    Q_OBJECT
public:
    enum BTN_TYPE { LiveTemplate = 1, NoDetect, AddTemplate, ReDetect, IgnorePoint, DeleteIgnorePoints };

    explicit AlarmOption(QWidget* parent = nullptr);

signals:
    void btnsToggled(AlarmOption::BTN_TYPE type, bool checked);
    void AlarmChangeSource(int source);
};
