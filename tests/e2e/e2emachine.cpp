#include "tests/e2e/e2emachine.h"

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "inspection/cammersingleton.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QSqlDatabase>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace e2e {

const QRect kRegion[2] = {QRect(80, 140, 200, 200), QRect(360, 140, 200, 200)};
const QRect kPatch[2] = {QRect(155, 215, 50, 50), QRect(435, 215, 50, 50)};
const int kShowW = 1725;
const int kShowH = 982;

namespace {

constexpr int kWhiteArea = 5;      // detection function: area of pixels >= B
constexpr int kWhiteLevel = 200;   // B
constexpr int kMaxWhite = 100;     // C: more white pixels than this fail
const char* const kConnection = "e2e-param";

// Runs fn on a connection of its own to the file, then removes the
// connection; false when it does not open or fn fails.
template <typename Fn>
bool withDatabase(const QString& file, Fn fn)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kConnection));
        db.setDatabaseName(file);
        ok = db.open() && fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(kConnection));
    return ok;
}

int toDisplay(int v, int frame, int show)
{
    return int(std::lround(double(v) * show / frame));
}

}  // namespace

void BaselineSettings(WizardPara* p)
{
    gLan = 1;
    p->machineType = 0;
    p->mouldSide = 0;
    p->productDetectOn = 1;
    p->semiAuto = 0;
    std::fill(std::begin(p->trigInDelay), std::end(p->trigInDelay), 0);
    p->trigInDelay[0] = 3;
    p->trigInDelay[1] = 5;
    p->okNgPulses = 0;
    p->preCut = 0;
    p->reDetectTimes = 0;
    p->inputDebounce = 0;
    p->noInputTimeout = 0;
    p->cutEjectorWhenClamping = 0;
    p->cutClampAfterMouldOK = 0;
    p->cutEjectorAfterProductOK = 0;
    p->cutEjectorOnProductAlarm = 0;
    p->cutClampOnMouldAlarm = 0;
    p->noEjectorControl = 0;
    p->ejectorPulseOnNG = 0;
    p->noClampWhenStopped = 0;
    p->ejectorPulseTime = 0;
    p->clampPulseTime = 0;
    p->doorTriggerDetect = 0;
    p->externalTrigger = 0;
    std::fill(std::begin(p->outPolarity), std::end(p->outPolarity), 0);
    p->output4Use = 0;
    p->input4Use = 0;
    p->isPswUsed = 0;
    p->alarmNeedsDoorOpen = 0;
    p->ngImagesKept = 10;
    p->okImagesKept = 10;
    p->saveProductOk = 0;
    p->netLinkOn = 0;
    p->motionCorrection = -1;
    p->rotationCorrection = 0;
    p->templateAutoUpdate = 0;
    p->colourCamera = 0;
    p->serialPort = 0;
    p->screenOffTime = 0;
    p->autoLogoutTime = 0;
    p->minSpot = 3;
    p->whiteAreaOn = 1;
    p->perRoiParams = 1;   // set with the white-area function, as the camera functions page stores it
    p->tempAlarmClamp = 0;
}

bool LoadBaseline(const QString& paramDb, WizardPara* para)
{
    const bool ok = withDatabase(paramDb, [&](QSqlDatabase& db) {
        para->LoadRows(db);
        return true;
    });
    BaselineSettings(para);
    return ok;
}

QRect DisplayRect(const QRect& r, const QSize& frame)
{
    const int w = frame.width(), h = frame.height();
    return QRect(QPoint(toDisplay(r.left(), w, kShowW), toDisplay(r.top(), h, kShowH)),
                 QPoint(toDisplay(r.right(), w, kShowW), toDisplay(r.bottom(), h, kShowH)));
}

void SetRegions(CammerSingleton* record, int regionOutput, const QSize& frame)
{
    std::fill(std::begin(record->roiNum), std::end(record->roiNum), 0);
    for (int d = 0; d < 2; ++d) {
        record->roiNum[d] = 1;
        record->minWH[d][0] = 0;
        record->sensitivity[d][0] = kWhiteLevel;
        record->area[d][0] = kMaxWhite;
        record->func[d][0] = kWhiteArea;
        record->roiType[d][0] = kRoiRect;
        record->rects[d][0].rect = DisplayRect(kRegion[d], frame);
        std::fill(std::begin(record->detectFlag[d]), std::end(record->detectFlag[d]), 0);
    }
    record->outN[0] = regionOutput;
}

bool WriteSettings(const QString& paramDb, WizardPara& para, int cameras, int regionOutput, const QSize& frame)
{
    // The stored machine type is the one the next start puts in force.
    para.pendingMachineType = para.machineType;
    return withDatabase(paramDb, [&](QSqlDatabase& db) {
        bool ok = para.SaveDatatoFile(db);
        for (int c = 0; c < cameras; ++c) {
            CammerSingleton record(c);
            record.LoadDatafromFile(db, nullptr);
            SetRegions(&record, regionOutput, frame);
            ok = record.SaveDatatoFile(db) && ok;
        }
        return ok;
    });
}

bool EditRegions(const QString& paramDb, int camera, const std::function<void(CammerSingleton*)>& edit)
{
    return withDatabase(paramDb, [&](QSqlDatabase& db) {
        CammerSingleton record(camera);
        record.LoadDatafromFile(db, nullptr);
        edit(&record);
        return record.SaveDatatoFile(db);
    });
}

QImage Frame(int patches, const QSize& size)
{
    QImage frame(size, QImage::Format_Grayscale8);
    frame.fill(0);
    QPainter painter(&frame);
    for (int d = 0; d < 2; ++d) {
        if (patches & (1 << d))
            painter.fillRect(kPatch[d], Qt::white);
    }
    return frame;
}

bool WriteCameras(const QString& root, int cameras, const int* patches, const QSize& frame, int family)
{
    QDir().mkpath(root);
    QFile familyFile(root + QStringLiteral("/family"));
    if (!familyFile.open(QIODevice::WriteOnly) || familyFile.write(QByteArray::number(family)) <= 0)
        return false;
    familyFile.close();
    for (int c = 0; c < cameras; ++c) {
        const QString dir = root + QStringLiteral("/cam%1").arg(c);
        if (!QDir().mkpath(dir) || !Frame(patches ? patches[c] : kNoPatch, frame).save(dir + QStringLiteral("/frame.png")))
            return false;
    }
    return true;
}

bool ReplaceFrame(const QString& camDir, int patches, const QSize& frame)
{
    const QString next = camDir + QStringLiteral("/next.png");
    return Frame(patches, frame).save(next)
        && std::rename(QFile::encodeName(next).constData(), QFile::encodeName(camDir + QStringLiteral("/frame.png")).constData()) == 0;
}

}  // namespace e2e
