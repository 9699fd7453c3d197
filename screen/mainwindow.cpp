// The main window and the start-up of the monitor, in its fixed order.

#include "screen/mainwindow.h"

#include "camera/cameradetect.h"
#include "camera/cameraglobals.h"
#include "camera/camerahooks.h"
#include "camera/cameraloss.h"
#include "core/commandrunner.h"
#include "core/controlport.h"
#include "core/database.h"
#include "core/led.h"
#include "core/logmanager.h"
#include "core/power.h"
#include "core/texttable.h"
#include "core/wholefile.h"
#include "core/wizardpara.h"
#include "inspection/inspectionhooks.h"
#include "inspection/picturequeue.h"
#include "inspection/resultimage.h"
#include "inspection/savefailimagethread.h"
#include "network/network.h"
#include "screen/cammerwidget.h"
#include "screen/controlportio.h"
#include "screen/operationrecord.h"
#include "screen/qtrunclock.h"
#include "screen/runcontroller.h"
#include "screen/runnet.h"
#include "screen/runnetlink.h"
#include "screen/windowrunscreen.h"
#include "screen/imagecontainer.h"
#include "screen/drawroiwidget.h"
#include "screen/indexbutton.h"
#include "screen/iostatuswidget.h"
#include "screen/settingsscreens.h"
#include "widgets/bmessagebox.h"
#include "widgets/numberinput.h"
#include "widgets/numcharinput.h"
#include "widgets/passwordbox.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QMutexLocker>
#include <QPushButton>
#include <QScreen>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <QtDebug>
#include <cstdio>

extern "C" {
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
}

namespace {

constexpr int kShowWidth = 1725;   // display area of the camera views
constexpr int kShowHeight = 982;
constexpr int kFullWidth = 1920;   // the whole screen, while full-screen dialogs are built or asked
constexpr int kFullHeight = 1080;
constexpr int kFrameRateMs = 1000;
constexpr int kZoomIdleMs = 30000;

constexpr int kTextWarningTitle = 568;
constexpr int kTextPasswordTitle = 569;
constexpr int kTextChooseTitle = 588;     // "Detection camera"
constexpr int kTextInitializing = 133;
constexpr int kTextWorkDirReadOnly = 597;
constexpr int kTextNoCamera = 134;
constexpr int kTextCameraCountChanged = 360;

struct DbFile {
    const char* connection;
    const char* file;
    const char* table;
    int warnText;           // shown in English: the language is not loaded yet
    const char* restoreFrom;
    const char* restoreTo;
    int waitMs;
};

const DbFile kParamFile{"dbIn", "PARAM.db", "sysparam", 160, "./paraGroup/default/PARAM.db", "./", 100};
const DbFile kRecordFile{"dbRecord", "RECORD.db", "RECORD", 135, "RECORDNULL.db", "RECORD.db", 300};
const DbFile kSnFile{"dbT", "SN.db", "sysparam", 160, "./paraGroup/default/SN.db", "./", 100};

// Opens one database; one that cannot be opened is replaced by its default
// copy and the device reboots.
void openOrRestore(QSqlDatabase* db, const DbFile& f)
{
    if (OpenProgramDatabase(db, QLatin1String(f.connection), QLatin1String(f.file), QLatin1String(f.table)))
        return;
    qCritical() << "cannot open" << f.file << "- restoring the default copy";
    gpWarnBox->setText(LanStr(f.warnText, 1));
    gpWarnBox->show();
    QCoreApplication::processEvents();
    CommandRunner::run(QStringLiteral("cp"), {QStringLiteral("-f"), QLatin1String(f.restoreFrom), QLatin1String(f.restoreTo)});
    QThread::msleep(f.waitMs);
    SystemReboot();
}

void setShowArea(int width, int height)
{
    gShowW = width;
    gShowH = height;
}

// A hidden widget in place of a settings screen whose maker is not installed.
QWidget* made(const std::function<QWidget*(QWidget*)>& maker, QWidget* parent)
{
    QWidget* widget = maker ? maker(parent) : new QWidget(parent);
    widget->hide();
    return widget;
}

}  // namespace

MainWindow* gpWin = nullptr;
int gisRunWTD = 0;

namespace {
// The acquisition threads end before the program's static objects go.
void stopCamerasAtExit()
{
    if (gpWin)
        gpWin->StopCameras();
}
}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : BWidget(parent)
{
    gpWin = this;
    gpHost = this;
    qAddPostRoutine(stopCamerasAtExit);
    Monitor_Init();
    buildLayout();
    connectBars();
}

MainWindow::~MainWindow()
{
    StopCameras();
    gpSaveFialImageThread = nullptr;   // goes with the window
    controller.reset();
    if (gpWin == this)
        gpWin = nullptr;
    if (gpHost == this)
        gpHost = nullptr;
    paramQuery.reset();
    snQuery.reset();
}

void MainWindow::Monitor_Init()
{
    // 1. FFmpeg's devices and network for the USB cameras.
    avformat_network_init();
    avdevice_register_all();

    // 2. Window and display area.
    setWindowFlags(windowFlags() | Qt::CustomizeWindowHint);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setFixedSize(screen->size());
    setShowArea(kShowWidth, kShowHeight);

    // 3. Initial values (the run controller sets its own at its Init) and
    // the idle timers.
    userLevel_ = UserNone;
    editDetect = 0;
    lcdOff_ = false;
    displayScaleX = displayScaleY = 1.0f;
    padTarget_ = nullptr;
    logoutTimer_ = new QTimer(this);
    connect(logoutTimer_, &QTimer::timeout, this, &MainWindow::TimerLogout);
    lcdTimer = new QTimer(this);
    connect(lcdTimer, &QTimer::timeout, this, &MainWindow::TimerLCD);

    // 4.-7. The shared warning box, then the three databases.
    gpWarnBox = new WarnBox(LanStr(kTextWarningTitle));
    openDatabases();

    // 8.-9. Settings and the application log.
    gpWPara->LoadDatafromFile(paramDb, snDb, &loadedSide);
    if (!LogManager::__instance)
        new LogManager;
    qInfo().noquote() << "application start VERSION:" << kVersion << "on"
                      << QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz"));

    // 10. The step to start with is set by the run controller's Init (13).
    // 11.
    copySettingsToGlobals();

    // 12.-13.
    createSharedDialogs();
    openIOBoard();
    createRunController();

    // 14.-16. (The grey colour table of saved frames is TemplateStore's.)
    setCameraHooks();
    setInspectionHooks();
    findCameras();
    gpWarnBox->setText(LanStr(kTextInitializing));

    // 17.-18.
    createScreens();
    checkCameraCount();
    handViewsToController();

    // 19.-21.
    createPanels();
    createZoomButtons();
    createDialogs();
    ChangeCammer();

    // 22.-35.
    createFolders();
    startResultImages();
    startDetection();
    startTimers();
    adoptSharedDialogs();
    checkWorkDir();
}

// A working directory that cannot be written keeps no record, counters or
// pictures: said at start on standard error, in the log and the record (when
// they can be written) and in a warning box; detection runs all the same.
void MainWindow::checkWorkDir()
{
    if (FolderWritable(QStringLiteral(".")))
        return;
    const QString text = LanStr(kTextWorkDirReadOnly);
    std::fprintf(stderr, "mouldmonitor: the working directory %s cannot be written\n", qPrintable(QDir::currentPath()));
    qCritical().noquote() << "the working directory" << QDir::currentPath() << "cannot be written";
    InsertRecord(text);
    QTimer::singleShot(0, this, [text] { showWarnBox(text); });
}

void MainWindow::openDatabases()
{
    openOrRestore(&paramDb, kParamFile);
    paramQuery = std::make_unique<QSqlQuery>(paramDb);
    openOrRestore(&recordDb, kRecordFile);
    openOrRestore(&snDb, kSnFile);
    snQuery = std::make_unique<QSqlQuery>(snDb);
}

void MainWindow::copySettingsToGlobals()
{
    const WizardPara& w = *gpWPara;
    gTempNum = w.templateCount;
    gPicNumNG = w.ngImagesKept;
    gPicNumOK = w.okImagesKept;
    gisCOM = w.serialPort;
    gisGrayHue = w.greyChannel;
    gisColor = w.colourCamera;
    gisCut = 1 - w.noLensOptimisation;
}

// The yes/no box is built over the whole screen; the keypads dock under
// their fields.
void MainWindow::createSharedDialogs()
{
    setShowArea(kFullWidth, kFullHeight);
    gpChooseBox = new ChooseBox(LanStr(kTextChooseTitle));
    setShowArea(kShowWidth, kShowHeight);
    gpNumPad = new NumberInput;
    gpNumPad->hide();
    gpNumCharPad = new NumCharInput;
    gpNumCharPad->hide();
}

// The board starts with every output off; the clamp is inhibited at once
// until detection runs.
void MainWindow::openIOBoard()
{
    gpControlIO = new ControlPort;
    gpControlIO->IOSetOut(kOutClampInhibit, 1);
    gpControlIO->IOFlashOut();
}

void MainWindow::setCameraHooks()
{
    CameraHooks& h = cameraHooks();
    h.record = [this](const QString& line) { InsertRecord(line); };
    h.warn = [](const QString& text) { showWarnBox(text); };
    h.runState = [this] { return controller->state().runState; };
    h.clampInhibit = [] {
        gpControlIO->IOSetOut(kOutClampInhibit, 1);
        gpControlIO->IOFlashOut();
    };
    h.cameraNg = [this](int view) {
        if (view >= 0 && view < kMaxCameras && views[view])
            views[view]->setCameraOk(false);
    };
    h.frameWatchReset = [this](int view) {
        if (view >= 0 && view < kMaxCameras)
            noFrameSeconds[view] = 0;
    };
    h.hideStartupBox = [] { gpWarnBox->hide(); };
    h.settingsShown = [this] { return settingsWidget && settingsWidget->isVisible(); };
    h.cameraPanelShown = [] {
        const auto& shown = settingsScreens().cameraPanelShown;
        return shown && shown();
    };
    h.snDatabase = [this] { return snDb; };
}

// The run controller over the IO board, with its initial values.
void MainWindow::createRunController()
{
    runClock = std::make_unique<QtRunClock>();
    if (gpNet)
        runNet = std::make_unique<RunNetLink>(*gpNet, [this] { return controller ? &controller->state() : nullptr; });
    else
        runNet = std::make_unique<RunNet>();
    runIO = std::make_unique<ControlPortIO>(*gpControlIO);
    runScreen = std::make_unique<WindowRunScreen>(*this);
    record = std::make_unique<OperationRecord>(recordDb.connectionName(), *runClock);
    record->setUserLevel([this] { return userLevel_; });
    record->setWarning([this](const QString& text) { QTimer::singleShot(0, this, [text] { showWarnBox(text); }); });
    record->setNet(runNet.get());
    RunController::Ports ports;
    ports.io = runIO.get();
    ports.screen = runScreen.get();
    ports.net = runNet.get();
    ports.clock = runClock.get();
    ports.record = record.get();
    controller = std::make_unique<RunController>(ports);
    runScreen->setController(controller.get());
    controller->state().side = loadedSide;
    controller->Init();
    // A changed input is polled at once rather than at the end of the 3 ms.
    runIO->callOnInputChange([this] {
        if (controller)
            controller->InputChanged();
    });
}

// What the inspection side records and reports.
void MainWindow::setInspectionHooks()
{
    InspectionHooks& h = gInspectionHooks();
    h.insertRecord = [this](const QString& line) { InsertRecord(line); };
    h.trigSource = [this] { return controller->state().trigSource; };
    h.netLinkReady = [] { return gpNet && gpNet->isSetUp && gpNet->isClientConnected; };
    h.sendTempPic = [](const QString& path) { gpNet->CNT_SendTempPic(path); };
    h.sendAlarmPic = [](const QString& path) { gpNet->CNT_SendAlarmPic(path); };
    CammerSingleton::SetSavedHook([](int camera, int detect) {
        if (NetReportsOn() && camera >= 0 && camera < kMaxCameras && gpWin->views[camera])
            gpNet->CNT_SendROIParam(*gpWin->views[camera]->liveRecord, detect);
    });
    CammerSingleton::SetWarningHook([](int text) { showWarnBox(LanStr(text)); });
}

// Camera family, count and frame geometry; the scales of the full display area.
void MainWindow::findCameras()
{
    CheckCameraID();
    gImageLen = gImageW * gImageH;
    gShowAW = imageScaleX = float(gShowW) / float(gImageW);
    gShowAH = imageScaleY = float(gShowH) / float(gImageH);
    gColorLen = gisColor ? gImageLen * 4 : gImageLen;
}

// The option bar, the settings screen and the image container with its
// views; each view whose camera opened counts itself in numCamera.
void MainWindow::createScreens()
{
    std::fill(std::begin(noFrameSeconds), std::end(noFrameSeconds), 0);
    numCamera = 0;
    optionBar = new OptionBar(this);
    settingsWidget = made(settingsScreens().makeSettingsWidget, this);
    imageContainer = new ImageContainer(this);
}

// A camera count that differs from the stored serials may clear them; with
// no camera at all the monitor runs four camera-less views.
void MainWindow::checkCameraCount()
{
    if (gFindCamera > 0 && gCameraID != kCameraNone && gpWPara->storedSerialCount > 0
        && gpWPara->storedSerialCount != gFindCamera) {
        if (showChooseBox(LanStr(kTextCameraCountChanged))) {
            SaveSN(1);
            FLushAll();
            SystemReboot();
        }
    }
    if (gCameraID == kCameraNone) {
        setShowArea(kFullWidth, kFullHeight);
        numCamera = kNoCameraCount;
        gpChooseBox->setText(LanStr(kTextNoCamera));
        if (gpChooseBox->exec() == QDialog::Accepted)
            SaveSN(1);
    }
    setShowArea(kShowWidth, kShowHeight);
    selectedView = numCamera == 1 ? 0 : numCamera;
}

void MainWindow::createPanels()
{
    ioStatus = new IOStatusWidget(this);
    indexButton = new IndexButton(this);
    editor = new DrawROIWidget(this);
    changeCamera = made(settingsScreens().makeChangeCamera, this);
    ioNames = made(settingsScreens().makeIONames, this);
    zoomOffset = QPointF(0, 0);
    zoomFactor = 1;
    cursorImagePos = QPoint(0, 0);
    optionBar->pad->move(gShowW - 165, gShowH - 300);
}

QPushButton* MainWindow::zoomButton(const char* icon, const QPoint& place)
{
    auto* button = new QPushButton;
    button->setIcon(QIcon(QLatin1String(icon)));
    button->setFixedSize(55, 55);
    button->setIconSize(QSize(50, 50));
    button->setAttribute(Qt::WA_TranslucentBackground);
    button->setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    button->move(place);
    button->hide();
    button->setStyleSheet(QStringLiteral(
        "border-style:none;background:transparent;}QPushButton:pressed{background-color:#FFC107;}"));
    return button;
}

void MainWindow::createZoomButtons()
{
    zoomInButton = zoomButton(":/img/icons/ZoomIn.png", QPoint(gShowW - 60, gShowH - 140));
    zoomInButton->setAutoRepeat(true);
    zoomInButton->setAutoRepeatDelay(300);
    zoomInButton->setAutoRepeatInterval(50);
    connect(zoomInButton, &QPushButton::clicked, this, &MainWindow::MEnlargeScale);
    zoomOutButton = zoomButton(":/img/icons/ZoomOut.png", QPoint(gShowW - 155, gShowH - 140));
    zoomOutButton->setAutoRepeat(true);
    connect(zoomOutButton, &QPushButton::clicked, this, &MainWindow::MReductionScale);
    zoomIdleTimer = new QTimer(this);
    connect(zoomIdleTimer, &QTimer::timeout, this, &MainWindow::MTimerScale);
}

void MainWindow::createDialogs()
{
    if (settingsScreens().initIONames)
        settingsScreens().initIONames(ioNames);
    ioNames->hide();
    hardwareSheet = made(settingsScreens().makeHardwareSheet, this);
    gpPasswordBox = new PasswordBox(LanStr(kTextPasswordTitle));
    editor->hide();
    changeCamera->hide();
}

// Result-image, template and saved-frame folders of every camera and step.
void MainWindow::createFolders()
{
    const QString alarmRoot = QStringLiteral("./alarmimage");
    for (int i = 1; i <= numCamera && i <= kMaxCameras; ++i) {
        for (int j = 1; j <= kMaxDetects; ++j) {
            const char* kinds[2] = {"NG", "OK"};
            for (int k = 0; k < 2; ++k) {
                const QString path =
                    QStringLiteral("%1//camera%2//detect%3//%4").arg(alarmRoot).arg(i).arg(j).arg(QLatin1String(kinds[k]));
                alarmDirs[i - 1][j - 1][k].setPath(path);
                if (!alarmDirs[i - 1][j - 1][k].exists())
                    QDir().mkpath(path);
            }
            QDir().mkpath(QStringLiteral("./cammer%1%2").arg(i).arg(j));
            QDir().mkpath(QStringLiteral("%1//cammer%2%3").arg(QStringLiteral("./originalimage")).arg(i).arg(j));
        }
    }
    recordDir.setPath(QStringLiteral("./RECORD"));
    statisticsDir.setPath(QStringLiteral("./ResStatistics"));
    QDir().mkpath(recordDir.path());
    QDir().mkpath(statisticsDir.path());
}

// Steps 24 and 25: no result picture is pending; the writer thread starts.
// (Each pending picture is made the first time a decision keeps one.) The
// pictures are drawn on a queue of their own.
void MainWindow::startResultImages()
{
    if (!gpPictureQueue)
        gpPictureQueue = new PictureQueue;
    {
        QMutexLocker lock(pMutexSaveFail);
        for (auto& camera : gisSaveFail)
            for (auto& step : camera)
                step[kPictureNg] = step[kPictureOk] = false;
    }
    gpSaveFialImageThread = new SaveFialImageThread(this);
    gpSaveFialImageThread->start(QThread::InheritPriority);
}

// The cameras in use, in camera order, are the run controller's views.
void MainWindow::handViewsToController()
{
    QVector<RunView*> inUse;
    for (int c = 0; c < numCamera && c < kMaxCameras; ++c)
        inUse << views[c];
    controller->setViews(inUse);
}

// Steps 28 to 30 by the run controller: the record day and its roll-over,
// StartDetect (every output off), the first polling pass after 5 ms, the
// date check, the ready line and the counters from count.txt.
void MainWindow::startDetection()
{
    controller->Start();
    installEventFilter(this);
    gpWarnBox->hide();
}

// Steps 31 to 34: the frame-rate check, the camera SDK's version in the
// record, the camera speed and the screen-off timer.
void MainWindow::startTimers()
{
    frameRateTimer = new QTimer(this);
    connect(frameRateTimer, &QTimer::timeout, this, &MainWindow::SlotFPS);
    frameRateTimer->start(kFrameRateMs);
    const QString sdkVersion = CameraSdkVersion();
    if (!sdkVersion.isEmpty())
        InsertRecord(sdkVersion);
    gisRunWTD = 1;
    CameraSetSpeed();
    zoomIdleTimer->setInterval(kZoomIdleMs);
    if (gpWPara->screenOffTime > 0)
        lcdTimer->start(gpWPara->screenOffTime * 1000);
}

// The shared dialogs and keypads become children of the window.
void MainWindow::adoptSharedDialogs()
{
    gpWarnBox->setParent(this, gpWarnBox->windowFlags());
    gpChooseBox->setParent(this, gpChooseBox->windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    gpNumPad->setParent(this, gpNumPad->windowFlags());
    gpNumCharPad->setParent(this, gpNumCharPad->windowFlags());
    gpPasswordBox->setParent(this, gpPasswordBox->windowFlags());
}
