// Program entry: creates every long-lived object in a fixed order, shows the
// splash screen for one second and runs the event loop.

#include "camera/camerahooks.h"
#include "camera/gigerepair.h"
#include "core/globals.h"
#include "core/mapplication.h"
#include "core/texttable.h"
#include "core/timerroundmanage.h"
#include "core/wizardpara.h"
#include "network/network.h"
#include "screen/mainwindow.h"
#include "settings/settingsinstall.h"
#include "statistics/statisticsscreens.h"
#include "widgets/bsplashscreen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QFontDatabase>
#include <QMutex>
#include <QTextCodec>

#include <fcntl.h>
#include <malloc.h>
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#endif

namespace {

const char* const kStyleSheet =
    "QLabel{font-size:18px;color:white;}MainWindow{background-color:#ffffff;}BLineEdit{background-color:#f5f5f5;border-width:1px;border-style:solid;border-color:#696667;color:#173889;font-size:32px;}QPushButton{background-color:#ffffff;border-width:1px;border-style:solid;border-color:#696667;color:#173889;font-size:22px;}QPushButton:pressed{background-color:#656263;color:#ffffff;}QScrollBar:vertical{background:#00FFFFFF;width:6px;min-height:40px;padding:0px;}QScrollBar::handle:vertical{background:#BDBDBD;border-radius:3px;}QScrollBar::handle:vertical:hover{background:#EDEDED;}QScrollBar::add-line:vertical{background:None;}QScrollBar::sub-line:vertical{background:None;}QSlider{height:38px;}QSlider::groove{border-radius:5px;height:10px;background:#d3d3d3;}QSlider::handle{width:  60px;height: 60px;margin-top: -20px;margin-left: -10px;margin-bottom: -20px;margin-right: -10px;image:url(:/img/icons/圆1.png);}QSlider::add-page{border-radius:5px;height:10px;background:#d3d3d3;}QSlider::sub-page{border-radius:5px;height:10px;background:#273d88;}QCheckBox::indicator{width:95px;height:50px;}QCheckBox::indicator:unchecked{image:url(:/img/icons/54.png);}QCheckBox::indicator:checked{image:url(:/img/icons/55.png);}QRadioButton{font-size:22px;color:#656263;spacing:30px;}QRadioButton::indicator{width:50px;height:50px;}QRadioButton::indicator::unchecked{image: url(:/img/icons/71.png);}QRadioButton::indicator::checked{image: url(:/img/icons/70.png);}QComboBox{border: 1px solid #656263;padding: 1px 32px 1px 32px;font-size: 22px;color: #5f6268;height: 50px;background-color:#f5f5f5;}QComboBox::drop-down{subcontrol-origin: padding;subcontrol-position: top right;width: 50px;border-style:none;}QComboBox::down-arrow{width: 50px;image: url(:/img/icons/2a.png);}QComboBox QAbstractItemView{border: 1px solid #656263;font-size: 22px;color: #5f6268;selection-background-color: #656263;}QComboBox QAbstractItemView::item{height:50px;}";

void raiseIoPrivilege()
{
#if defined(__x86_64__) || defined(__i386__)
    (void)iopl(3);  // nothing uses port I/O; the result does not matter
#endif
}

void applyResourceFont()
{
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/font/fonts/SourceHanSansCN-Medium.ttf"));
    if (id == -1)
        return;
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty())
        return;
    QFont font;
    font.setFamily(families.first());
    font.setWeight(50);
    QApplication::setFont(font);
}

// glibc gives each thread that allocates its own heap, up to eight per core;
// the camera, judging and writer threads would each keep one (with its free
// room) resident. A few shared heaps serve them as well.
void limitMallocArenas()
{
    constexpr int kArenas = 4;
    mallopt(M_ARENA_MAX, kArenas);
}

}  // namespace

int main(int argc, char* argv[])
{
    limitMallocArenas();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    MApplication app(argc, argv);
    SetAppDir(QDir::currentPath());
    InstallTerminationHandler();
    raiseIoPrivilege();
    gfLED = open("/dev/led", O_RDWR);

    if (!TimerRoundManage::__instance)
        TimerRoundManage::__instance = new TimerRoundManage;
    TimerRoundManage::__instance->init();

    pMutexIO = new QMutex;
    pMutexSaveFail = new QMutex;
    for (int i = 0; i < kMaxCameras; ++i) {
        pMutex[i] = new QMutex;
        isImageFill[i] = false;
    }

    Data_Init();

    gpWPara = new WizardPara;
    gpWParaBak = new WizardPara;

    gpNet = new CNT_Net;

    InstallSettingsScreens();
    InstallStatisticsScreens();
    cameraHooks().repairGigE = RepairAllCameraIP;
    cameraHooks().ensureDeviceReach = [] { EnsureDeviceReach(); };
    new MainWindow;
    // The views have read every step's templates to train and let them go:
    // hand the freed heap back rather than keep it resident.
    malloc_trim(0);

    if (gpWPara->netLinkOn && gpNet->isSetUp) {
        gpNet->CNT_FirstInit();
        CNT_Net::CNT_ReStart();
    }

    BSplashScreen splash;
    splash.showFullScreen();
    QElapsedTimer shown;
    shown.start();
    while (shown.elapsed() <= 999)
        QCoreApplication::processEvents();

    applyResourceFont();
    app.setStyleSheet(QString::fromUtf8(kStyleSheet));

    gpWin->showFullScreen();
    splash.finish(gpWin);
    if (TerminationRequested())
        return 0;
    return app.exec();
}
