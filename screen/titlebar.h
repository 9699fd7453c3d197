#pragma once
// The status bar across the top of the main screen: four camera rows, the
// lamps of inputs 0-3 and outputs 0-3, the frame-rate text, the date and a
// running clock, and the location read-out. It decides nothing itself: the
// camera views write the rows and texts, the IO strip switches the lamps.

#include "widgets/bwidget.h"

#include <QWidget>

class QLabel;

class CameraInfo : public QWidget
{
    Q_OBJECT
public:
    // What TitleBar::setCameraInfo writes.
    enum DATA_TYPE { CostTime = 0, Message = 1, LayerNum = 2, NGNum = 3 };

    CameraInfo(int position, QWidget* parent);
    Q_DISABLE_COPY(CameraInfo)

    void setMessage(const QString& text, int messageType);
    void setNGNum(const QString& text);
    void setLayerNum(const QString& text);

    QLabel* statusIcon = nullptr;
    QLabel* message = nullptr;
    QLabel* ngCount = nullptr;
    QLabel* layerCount = nullptr;
    const int position;
    bool showsOkIcon = true;
};

// The status icon a row shows: the OK icon for 2, the warning icon otherwise.
enum MessageType { MessageWarning = 1, MessageOk = 2 };

class TitleBar : public BWidget
{
    Q_OBJECT
public:
    static constexpr int kRows = 4;
    static constexpr int kLamps = 8;
    static constexpr int kHeight = 98;

    explicit TitleBar(QWidget* parent = nullptr);
    Q_DISABLE_COPY(TitleBar)

    // Rows exist for camera positions 0 to 3; a message or count for another
    // position is not shown. Any type but 1 to 3 writes the cost-time label.
    void setCameraInfo(int position, CameraInfo::DATA_TYPE type, const QString& text, int messageType);
    void setLocation(const QString& text);
    // Lamp of input (group 0) or output (group 1) index 0..3.
    void promptSwitching_State(int group, int index, int on);

    CameraInfo* rows[kRows] = {};
    QLabel* costTime = nullptr;
    QLabel* lamps[kLamps] = {};
    int lampPicture[kLamps] = {};   // number of the picture each lamp shows
    QLabel* location = nullptr;
    QLabel* date = nullptr;
    QLabel* clock = nullptr;

private:
    void tick();
};

// Picture number of a lamp: inputs 18/20/22/24 on and 19/21/23/25 off,
// outputs 26/28/30/32 on and 27/29/31/33 off.
int LampPicture(int group, int index, int on);
