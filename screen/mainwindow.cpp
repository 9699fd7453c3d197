#include "screen/mainwindow.h"

#include "core/commandrunner.h"
#include "core/database.h"
#include "core/globals.h"
#include "core/logmanager.h"
#include "core/power.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/bmessagebox.h"
#include "widgets/numberinput.h"
#include "widgets/numcharinput.h"
#include "widgets/passwordbox.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QtDebug>
#include <QThread>
#include <QTimer>

MainWindow* gpWin = nullptr;

namespace {

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

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : BWidget(parent)
{
    gpWin = this;
    gpHost = this;
    Monitor_Init();
    setWindowFlags(Qt::FramelessWindowHint);
    setFixedSize(1920, 1080);
}

MainWindow::~MainWindow()
{
    if (gpHost == this)
        gpHost = nullptr;
}

void MainWindow::Monitor_Init()
{
    gShowW = 1725;
    gShowH = 982;
    logoutTimer_ = new QTimer(this);
    lcdTimer = new QTimer(this);

    gpWarnBox = new WarnBox(LanStr(568));
    openDatabases();

    gpWPara->LoadDatafromFile(paramDb, snDb, &side);
    if (!LogManager::__instance)
        new LogManager;
    qInfo().noquote() << "application start VERSION:" << kVersion << "on"
            << QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz"));

    if (gpWPara->machineType == 4)
        curDetect = lastStation = gDNum - 1;
    else
        curDetect = gpWPara->productDetectOn == 1 ? 0 : 1;

    gTempNum = gpWPara->templateCount;
    gPicNumNG = gpWPara->ngImagesKept;
    gPicNumOK = gpWPara->okImagesKept;
    gisCOM = gpWPara->serialPort;
    gisGrayHue = gpWPara->greyChannel;
    gisColor = gpWPara->colourCamera;
    gisCut = 1 - gpWPara->noLensOptimisation;

    gpChooseBox = new ChooseBox(LanStr(588));
    gpNumPad = new NumberInput;
    gpNumPad->hide();
    gpNumCharPad = new NumCharInput;
    gpNumCharPad->hide();
    gpPasswordBox = new PasswordBox(LanStr(569));
    gpWarnBox->setText(LanStr(133));
    gpWarnBox->hide();

    if (gpWPara->screenOffTime > 0)
        lcdTimer->start(gpWPara->screenOffTime * 1000);
}

void MainWindow::openDatabases()
{
    openOrRestore(&paramDb, kParamFile);
    openOrRestore(&recordDb, kRecordFile);
    openOrRestore(&snDb, kSnFile);
}

void MainWindow::FLushAll()
{
    CloseProgramDatabase(&paramDb);
    CloseProgramDatabase(&recordDb);
    CloseProgramDatabase(&snDb);
}

void MainWindow::showNotice(const QString& title, const QString& text)
{
    auto* box = new WarnBox(title);
    box->setText(text);
    box->show();
}
