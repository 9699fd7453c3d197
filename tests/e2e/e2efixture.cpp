#include "tests/e2e/e2efixture.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "inspection/cammersingleton.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QThread>

#include <cmath>
#include <cstdio>

namespace e2e {

const QRect kRegion[2] = {QRect(80, 140, 200, 200), QRect(360, 140, 200, 200)};
const QRect kPatch[2] = {QRect(155, 215, 50, 50), QRect(435, 215, 50, 50)};
const int kShowW = 1725;
const int kShowH = 982;

namespace {

constexpr int kCameraFamily = 7;
constexpr int kWhiteArea = 5;      // detection function: area of pixels >= B
constexpr int kWhiteLevel = 200;   // B
constexpr int kMaxWhite = 100;     // C: more white pixels than this fail
const char* const kConnection = "e2e-param";

// Runs fn on a connection of its own to the file, then removes the connection.
template <typename Fn>
void withDatabase(const QString& file, Fn fn)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kConnection));
        db.setDatabaseName(file);
        if (db.open())
            fn(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(QLatin1String(kConnection));
}

int toDisplay(int v, int frame, int show)
{
    return int(std::lround(double(v) * show / frame));
}

QString pictureDir(int camera, int step, bool ng)
{
    return QStringLiteral("alarmimage/camera%1/detect%2/%3").arg(camera + 1).arg(step + 1).arg(ng ? "NG" : "OK");
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
    p->tempAlarmClamp = 0;
}

QRect DisplayRect(const QRect& r)
{
    return QRect(QPoint(toDisplay(r.left(), kFrameW, kShowW), toDisplay(r.top(), kFrameH, kShowH)),
                 QPoint(toDisplay(r.right(), kFrameW, kShowW), toDisplay(r.bottom(), kFrameH, kShowH)));
}

QImage Frame(int patches)
{
    QImage frame(kFrameW, kFrameH, QImage::Format_Grayscale8);
    frame.fill(0);
    QPainter painter(&frame);
    for (int d = 0; d < 2; ++d) {
        if (patches & (1 << d))
            painter.fillRect(kPatch[d], Qt::white);
    }
    return frame;
}

void SetRegions(CammerSingleton* record, int regionOutput)
{
    std::fill(std::begin(record->roiNum), std::end(record->roiNum), 0);
    for (int d = 0; d < 2; ++d) {
        record->roiNum[d] = 1;
        record->minWH[d][0] = 0;
        record->sensitivity[d][0] = kWhiteLevel;
        record->area[d][0] = kMaxWhite;
        record->func[d][0] = kWhiteArea;
        record->roiType[d][0] = kRoiRect;
        record->rects[d][0].rect = DisplayRect(kRegion[d]);
        std::fill(std::begin(record->detectFlag[d]), std::end(record->detectFlag[d]), 0);
    }
    record->outN[0] = regionOutput;
}

bool PicturesNamed(const QStringList& pictures, const QString& prefix)
{
    const QRegularExpression name(QLatin1Char('^') + QRegularExpression::escape(prefix)
                                  + QStringLiteral("\\d{4}-\\d\\d-\\d\\d_\\d\\d\\.\\d\\d\\.\\d\\d\\.jpg$"));
    for (const QString& p : pictures) {
        if (!name.match(p).hasMatch())
            return false;
    }
    return !pictures.isEmpty();
}

std::string Words(const QList<int>& words)
{
    QStringList text;
    for (int w : words)
        text << QStringLiteral("%1").arg(w, 3, 16, QLatin1Char('0')).toUpper();
    return text.join(QLatin1Char(' ')).toStdString();
}

EndToEnd::EndToEnd()
{
    savedLanguage = gLan;
    LayOutWorkDir(work.path());
    // Every row from the installation's defaults, then the baseline machine.
    withDatabase(file("PARAM.db"), [&](QSqlDatabase& db) { para.LoadRows(db); });
    BaselineSettings(&para);
}

EndToEnd::~EndToEnd()
{
    if (program) {
        EXPECT_TRUE(program->terminate()) << "the program did not end cleanly on SIGTERM";
        EXPECT_EQ(program->shellLines(), QStringList());
    }
    gLan = savedLanguage;
}

void EndToEnd::writeSettings(int cameras)
{
    withDatabase(file("PARAM.db"), [&](QSqlDatabase& db) {
        ASSERT_TRUE(para.SaveDatatoFile(db));
        for (int c = 0; c < cameras; ++c) {
            CammerSingleton record(c);
            record.LoadDatafromFile(db, nullptr);
            SetRegions(&record, regionOutput);
            ASSERT_TRUE(record.SaveDatatoFile(db));
        }
    });
}

void EndToEnd::writeCameras(int cameras)
{
    const QString root = file("simcams");
    QDir().mkpath(root);
    QFile family(root + "/family");
    ASSERT_TRUE(family.open(QIODevice::WriteOnly));
    family.write(QByteArray::number(kCameraFamily));
    family.close();
    for (int c = 0; c < cameras; ++c) {
        QDir().mkpath(root + QStringLiteral("/cam%1").arg(c));
        ASSERT_TRUE(Frame(firstFrame[c]).save(root + QStringLiteral("/cam%1/frame.png").arg(c)));
    }
}

void EndToEnd::start(int cameras)
{
    writeSettings(cameras);
    writeCameras(cameras);
    ASSERT_TRUE(io.start());
    board("set 1");   // safety door closed
    program = std::make_unique<Program>(work.path(), file("simcams"), io.device());
    // The clamp is inhibited from the opening of the board until detection starts.
    const QList<int> opening = wordsUntil(idle());
    ASSERT_TRUE(opening.contains(idle() | 1) && !opening.isEmpty() && opening.last() == idle()) << Words(opening);
    ASSERT_TRUE(WaitFor([&] { return !records().isEmpty(); }, kWaitMs));
    ASSERT_EQ(records().last(), QStringLiteral("The system is ready, there is %1 cameras").arg(cameras));
    QThread::msleep(kFrameInUseMs);
}

void EndToEnd::setFrame(int camera, int patches)
{
    const QString dir = file(QStringLiteral("simcams/cam%1").arg(camera));
    const QString next = dir + "/next.png";
    ASSERT_TRUE(Frame(patches).save(next));
    ASSERT_EQ(std::rename(QFile::encodeName(next).constData(), QFile::encodeName(dir + "/frame.png").constData()), 0);
    QThread::msleep(kFrameInUseMs);
}

QList<int> EndToEnd::wordsUntil(int last, int times, int ms)
{
    QList<int> words;
    QElapsedTimer t;
    t.start();
    IOBoardSim::Event e;
    while (t.elapsed() < ms && io.next(&e, int(ms - t.elapsed()))) {
        if (e.kind != QLatin1String("out"))
            continue;
        words << e.word;
        if (e.word == last && --times == 0)
            return words;
    }
    words << -1;   // `last` did not come
    return words;
}

QList<int> EndToEnd::wordsWithin(int ms)
{
    QList<int> words;
    QElapsedTimer t;
    t.start();
    IOBoardSim::Event e;
    while (t.elapsed() < ms && io.next(&e, int(ms - t.elapsed()))) {
        if (e.kind == QLatin1String("out"))
            words << e.word;
    }
    return words;
}

void EndToEnd::writeFile(const QString& name, const QByteArray& text) const
{
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

QStringList EndToEnd::records() const
{
    return RecordLines(file("RECORD.db"));
}

QString EndToEnd::counts() const
{
    return ReadText(file("count.txt"));
}

QStringList EndToEnd::pictures(int camera, int step, bool ng) const
{
    return QDir(file(pictureDir(camera, step, ng))).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
}

bool EndToEnd::waitPictures(int camera, int step, bool ng, int n)
{
    return WaitFor([&] { return pictures(camera, step, ng).size() >= n; }, kWaitMs)
        && pictures(camera, step, ng).size() == n;
}

}  // namespace e2e
