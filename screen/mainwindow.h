#pragma once
// The main window: the one 1920x1080 frameless screen of the monitor, with
// the title bar on top, the camera views (or the settings screen) on the
// left and the side bars on the right. Its constructor runs the whole
// start-up of the monitor (Monitor_Init) in a fixed order.
//
// Places left for the run controller (RunController, screen/runcontroller.h)
// when it is wired in:
//   - Run(): the polling pass. Until the controller is wired it only takes
//     the newest frames over and shows them.
//   - startDetection(): start-up steps 28 to 32 (record day, StartDetect,
//     the first pass, the ready line, the counters).
//   - the run state the views read: viewReadings() (runState, displayState,
//     countdownPhase, curDetect, the countdown of the running step).
//   - InsertRecord(): the operation record.
//   - the debounce, countdown, result-display and pulse timers of start-up
//     steps 3, 23 and 26 belong to the controller and are made by it.

#include "core/globals.h"
#include "core/hostwindow.h"
#include "screen/optionbar.h"
#include "screen/regioption.h"
#include "screen/viewreadings.h"
#include "widgets/bwidget.h"

#include <QDir>
#include <QPointF>
#include <QRgb>
#include <QSqlDatabase>
#include <QVector>

#include <memory>

class CammerWidget;
class DrawROIWidget;
class IOStatusWidget;
class ImageContainer;
class IndexButton;
class QPushButton;
class QSqlQuery;
class QStackedLayout;
class QTimer;
class TitleBar;

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

    // One line of the operation record.
    void InsertRecord(const QString& text);
    // Stops and closes every camera (the program ends).
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
    QStackedLayout* contentStack = nullptr;
    QStackedLayout* sideStack = nullptr;
    QPushButton* zoomInButton = nullptr;
    QPushButton* zoomOutButton = nullptr;

    // Run state as the views read it, until the run controller keeps it.
    int runState = kRunDetecting;
    int displayState = kDisplayNormal;
    int countdownPhase = kPhaseShown;
    int curDetect = 0;
    int lastStation = 0;
    int editDetect = 0;
    int side = 0;   // side of the two-colour and rotary-table types

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
    int drawTool = 0;

    // Frame watch.
    int frameCount[kMaxCameras] = {};
    int lastFrameCount[kMaxCameras] = {};
    int frameRates[kMaxCameras] = {};
    int noFrameSeconds[kMaxCameras] = {};

    QVector<QRgb> greyColourTable;

    QTimer* logoutTimer_ = nullptr;
    QTimer* lcdTimer = nullptr;
    QTimer* runTimer = nullptr;
    QTimer* zoomIdleTimer = nullptr;
    QTimer* frameRateTimer = nullptr;

public slots:
    // One polling pass.
    void Run();
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

    // Commands of the side bars.
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
    void setCameraHooks();
    void findCameras();
    void createScreens();
    void checkCameraCount();
    void createPanels();
    void createZoomButtons();
    void createDialogs();
    void createFolders();
    void startDetection();
    void startTimers();
    void adoptSharedDialogs();
    // Constructor: the bars, the layout and the connections.
    void buildLayout();
    void connectBars();

    void repaintSelectedView();
    QPushButton* zoomButton(const char* icon, const QPoint& place);

    bool lcdOff_ = false;
    int userLevel_ = 0;
    QWidget* padTarget_ = nullptr;
};

extern MainWindow* gpWin;
// Set at start-up once the monitor runs; the watchdog reads it.
extern int gisRunWTD;
