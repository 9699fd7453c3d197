#pragma once
// The main window: the one 1920x1080 frameless screen of the monitor, with
// the title bar on top, the camera views (or the settings screen) on the
// left and the side bars on the right. Its constructor runs the whole
// start-up of the monitor (Monitor_Init) in a fixed order.
//
// The window owns the run controller (polling pass, countdowns, decision,
// interlock outputs, operation record and counters) and gives it its ports:
// the IO board, a Qt clock, the screen (WindowRunScreen), a network link
// that reports nothing yet, and the operation record on "dbRecord". The
// controller keeps the run state (runState, displayState, curDetect, ...)
// and makes the timers of start-up steps 3, 23 and 26 itself; the views
// read that state through viewReadings(). Still to be connected by the
// commands of the side bars: the manual triggers, start/stop, re-sampling,
// and the region editor's actions (SkipMould*, TemplateAdded, BackTrain).

#include "core/globals.h"
#include "core/hostwindow.h"
#include "screen/optionbar.h"
#include "screen/regioption.h"
#include "screen/viewreadings.h"
#include "widgets/bwidget.h"

#include <QDir>
#include <QPointF>
#include <QSqlDatabase>

#include <functional>
#include <memory>

class CammerWidget;
class ControlPortIO;
class DrawROIWidget;
class IOStatusWidget;
class ImageContainer;
class IndexButton;
class OperationRecord;
class QPushButton;
class QSqlQuery;
class QStackedLayout;
class QTimer;
class QtRunClock;
class RunController;
class RunNet;
class TitleBar;
class WindowRunScreen;

class MainWindow : public BWidget, public HostWindow, public ViewHost
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY(MainWindow)

    void Monitor_Init();
    // Lays out the camera views: the grid of all of them, or the one
    // selected view over the whole display area.
    void ChangeCammer();
    // Shows the camera views (content page 0); the settings screen calls it
    // when it closes.
    void setcontentLayout();

    // Access checks: the level granted for a command (0 refused), and
    // whether the factory level is granted.
    int CheckPassword();
    bool CheckRoot();
    // Tests answer the password boxes here: the call returns the level it
    // granted (through setUserLevel) in place of a box.
    std::function<int()> passwordAnswer;
    // The safety door opened in the running cycle.
    bool safeDoorOpened() const;

    // One line of the operation record.
    void InsertRecord(const QString& text);
    // Stops and closes every camera and the result-image writer (the program ends).
    void StopCameras();

    // HostWindow
    QTimer* logoutTimer() override { return logoutTimer_; }
    QTimer* screenOffTimer() override { return lcdTimer; }
    bool lcdOff() const override { return lcdOff_; }
    void setLcdOff(bool off) override { lcdOff_ = off; }
    int userLevel() const override { return userLevel_; }
    void setUserLevel(int level) override { userLevel_ = level; }
    QWidget* padTarget() override { return padTarget_; }
    void setPadTarget(QWidget* field) override { padTarget_ = field; }
    void FLushAll() override;
    void showNotice(const QString& title, const QString& text) override;

    // ViewHost
    ViewReadings viewReadings() const override;
    int frameRate(int camera) const override;
    TitleBar* statusBar() const override { return titleBar; }
    const BrowsedPicture* browsedPicture() const override;
    EditTools* editTools() override { return &tools; }
    void SelectTouchedView(int camera) override;
    void SetCursorReading(const QPoint& imagePos, int value) override;
    void PanSelectedView(const QPointF& delta) override;

    // Databases and folders.
    QSqlDatabase paramDb;   // "dbIn", PARAM.db
    QSqlDatabase recordDb;  // "dbRecord", RECORD.db
    QSqlDatabase snDb;      // "dbT", SN.db
    std::unique_ptr<QSqlQuery> paramQuery;
    std::unique_ptr<QSqlQuery> snQuery;
    QDir alarmDirs[kMaxCameras][kMaxDetects][2];   // [camera][step][0 NG, 1 OK] under ./alarmimage
    QDir recordDir;       // ./RECORD
    QDir statisticsDir;   // ./ResStatistics

    // Child widgets.
    TitleBar* titleBar = nullptr;
    OptionBar* optionBar = nullptr;
    RegiOption* regiOption = nullptr;
    AlarmOption* alarmOption = nullptr;
    QWidget* settingsWidget = nullptr;
    ImageContainer* imageContainer = nullptr;
    CammerWidget* views[kMaxCameras] = {};
    DrawROIWidget* editor = nullptr;
    IOStatusWidget* ioStatus = nullptr;
    IndexButton* indexButton = nullptr;
    QWidget* changeCamera = nullptr;
    QWidget* ioNames = nullptr;
    QWidget* hardwareSheet = nullptr;
    QWidget* statisticsWidget = nullptr;   // the statistics screen, made when first shown
    QStackedLayout* contentStack = nullptr;
    QStackedLayout* sideStack = nullptr;
    QPushButton* zoomInButton = nullptr;
    QPushButton* zoomOutButton = nullptr;

    // The run controller (made once the IO board is open).
    RunController* runController() const { return controller.get(); }

    int editDetect = 0;   // step shown and edited in the region editor

    // Layout and zoom.
    int selectedView = 0;
    float imageScaleX = 1;
    float imageScaleY = 1;
    float displayScaleX = 1;
    float displayScaleY = 1;
    QPointF zoomOffset;
    double zoomFactor = 1;
    int zoomTool = 0;
    QPoint cursorImagePos;
    int cursorValue = 0;
    EditTools tools;   // the region tool bar's drawing tool, copy and freehand modes

    // Frame watch (the frames are counted by the polling pass).
    int lastFrameCount[kMaxCameras] = {};
    int frameRates[kMaxCameras] = {};
    int noFrameSeconds[kMaxCameras] = {};

    QTimer* logoutTimer_ = nullptr;
    QTimer* lcdTimer = nullptr;
    QTimer* zoomIdleTimer = nullptr;
    QTimer* frameRateTimer = nullptr;

public slots:
    // Once a second: heartbeat, frame rates and the silent-camera check.
    void SlotFPS();

    // Zoom and pan of the selected view, idle timers.
    void MShowHide(int type);
    void MHideAll();
    void MScale(int delta);
    void MEnlargeScale();
    void MReductionScale();
    void MRecovery();
    void MTimerScale();
    void SlotMove(int dx, int dy);
    void SlotMoveT();
    void SlotMoveB();
    void SlotMoveL();
    void SlotMoveR();
    void TimerLogout();
    void TimerLCD();

    // Commands of the side bars and the button column.
    void SlotStartStop();
    void SlotReTrain();
    void SlotAdjustArea();
    void SlotAccount();
    void SlotShowAlarmImgae();
    void SlotShowStatisticsWidget();
    void SlotReturn();
    void SlotManualTrig0();
    void SlotManualTrig1();
    void SlotMuliManualTrig();
    void OptBtnsToggledSlot(OptionBar::BTN_TYPE type, bool checked);
    void RegionBtnsToggledSlot(RegiOption::BTN_TYPE type, bool checked);
    void SlotChangeDetect(int step);
    void SlotChangeCamera(int camera);
    void AlarmtnsToggledSlot(AlarmOption::BTN_TYPE type, bool checked);
    void SlotChangeSource(int source);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Start-up steps (see Monitor_Init).
    void openDatabases();
    void copySettingsToGlobals();
    void createSharedDialogs();
    void openIOBoard();
    void createRunController();
    void setCameraHooks();
    void setInspectionHooks();
    void findCameras();
    void createScreens();
    void checkCameraCount();
    void handViewsToController();
    void createPanels();
    void createZoomButtons();
    void createDialogs();
    void createFolders();
    void checkWorkDir();
    void startResultImages();
    void startDetection();
    void startTimers();
    void adoptSharedDialogs();
    // Constructor: the bars, the layout and the connections.
    void buildLayout();
    void connectBars();

    void repaintSelectedView();
    // The settings screen, the alarm bar or the editor bar is up.
    bool modalOpen() const;
    // ... or the camera-order or IO-name dialog, or the alarm.
    bool dialogsOrAlarm() const;
    void showRunState(bool detecting);
    bool askOperator(const QString& text);
    void offerAutoRegion(CammerWidget* view);
    QPushButton* zoomButton(const char* icon, const QPoint& place);

    bool lcdOff_ = false;
    int userLevel_ = 0;
    QWidget* padTarget_ = nullptr;
    int loadedSide = 0;   // machine side read with the settings, handed to the controller

    // Ports of the run controller, then the controller (destroyed first).
    std::unique_ptr<QtRunClock> runClock;
    std::unique_ptr<RunNet> runNet;
    std::unique_ptr<ControlPortIO> runIO;
    std::unique_ptr<WindowRunScreen> runScreen;
    std::unique_ptr<OperationRecord> record;
    std::unique_ptr<RunController> controller;
};

extern MainWindow* gpWin;
// Set at start-up once the monitor runs; the watchdog reads it.
extern int gisRunWTD;
