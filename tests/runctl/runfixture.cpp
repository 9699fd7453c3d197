#include "runfixture.h"

#include "core/database.h"
#include "core/texttable.h"

#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <cctype>

namespace {

// The logical outputs that a published line word stands for.
int logicalWord(int lines)
{
    const WizardPara& p = *gpWPara;
    int word = 0;
    for (int i = 0; i < kOutputCount; ++i) {
        const int at = OutputLine(i, p.output4Use);
        if (at >= 0 && ((lines >> at) & 1) != (p.outPolarity[i] != 0))
            word |= 1 << i;
    }
    return word;
}

void makeRecordFile(const QString& file)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("makeRecord"));
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(QLatin1String(kCreateRecord)));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("makeRecord"));
}

}  // namespace

std::string CaseName(const char* text)
{
    std::string name;
    for (const char* ch = text; *ch; ++ch)
        name += std::isalnum(static_cast<unsigned char>(*ch)) ? *ch : '_';
    return name;
}

void RecordingIO::IOFlashOut()
{
    inner.IOFlashOut();
    note();
}

bool RecordingIO::IOInTrigger(int n)
{
    const bool edge = inner.IOInTrigger(n);
    note();  // the door handling may have published
    return edge;
}

void RecordingIO::note()
{
    int lines = 0;
    {
        QMutexLocker lock(pMutexIO);
        lines = gDataOut;
    }
    const int w = logicalWord(lines);
    if (w != word())
        changes.push_back({clock.elapsedMs(), w});
}

int RecordingIO::wordAt(qint64 t) const
{
    int w = 0;
    for (const Change& c : changes) {
        if (c.t > t)
            break;
        w = c.word;
    }
    return w;
}

std::vector<qint64> RecordingIO::timesOf(int w) const
{
    std::vector<qint64> times;
    for (const Change& c : changes) {
        if (c.word == w)
            times.push_back(c.t);
    }
    return times;
}

bool FakeView::TakeFrame()
{
    ++frameTakes;
    return delivering;
}

void FakeView::Inspect(int step)
{
    ok = verdict[step];
    inspections.push_back({clock.elapsedMs(), step, frameTakes});
    calls << QStringLiteral("Inspect %1").arg(step);
}

void FakeView::SaveFailImage(int step, int kind, bool door)
{
    calls << QStringLiteral("SaveFailImage %1 %2%3").arg(step).arg(kind).arg(door ? " door" : "");
    if (whilePicture)
        whilePicture(step);
    if (pictureMs > 0)
        clock.advance(pictureMs);
}

void FakeView::UpdateFailImage(int step, int kind, int state)
{
    calls << QStringLiteral("UpdateFailImage %1 %2 %3").arg(step).arg(kind).arg(state);
}

void FakeView::HandOff(int step, bool ng, bool okPicture)
{
    calls << QStringLiteral("HandOff %1%2%3").arg(step).arg(ng ? " NG" : "").arg(okPicture ? " OK" : "");
}

void FakeScreen::CameraRestart()
{
    ++restarts;
    if (restartRecovers)
        lost = false;
}

bool FakeScreen::InspectAll(const QVector<RunView*>& list, int step)
{
    if (!judgeAtOnce)
        return false;
    const int passesBefore = passes, ticksBefore = ticks;
    if (whileJudging)
        whileJudging();
    if (judgingMs > 0)
        clock->advance(judgingMs);
    atOnce.push_back({list, step, passes - passesBefore, ticks - ticksBefore});
    for (RunView* view : list)
        view->Inspect(step);
    return true;
}

void FakeScreen::AlarmReCheck()
{
    events << "AlarmReCheck";
    if (duringReCheck)
        duringReCheck();
    controller->ReCheckStep();
}

RunTest::RunTest()
{
    Data_Init();
    gLan = 1;
    screen.clock = &clock;
    if (!pMutexIO)
        pMutexIO = new QMutex;
    savedPara = gpWPara;
    gpWPara = &para;
    // The baseline: a standard machine with product detection, delays of
    // 0.5 s (product) and 2.0 s (mould), every option off.
    para.machineType = 0;
    para.productDetectOn = 1;
    para.trigInDelay[0] = 5;
    para.trigInDelay[1] = 20;
    para.ngImagesKept = para.okImagesKept = 10;
    gPicNumNG = gPicNumOK = 10;
    gCameraID = 6;
    std::fill(std::begin(gAllNum), std::end(gAllNum), 0);
    std::fill(std::begin(gFailNum), std::end(gFailNum), 0);
    gisSafeDoorOpen = false;
    {
        QMutexLocker lock(pMutexIO);
        gDataIn = 0;
        gDataOut = 0;
    }
    makeRecordFile(QStringLiteral("RECORD.db"));
    makeRecordFile(QStringLiteral("RECORDNULL.db"));
    EXPECT_TRUE(OpenProgramDatabase(&recordDb, QStringLiteral("dbRecord"), QStringLiteral("RECORD.db"),
                                    QStringLiteral("RECORD")));
}

RunTest::~RunTest()
{
    ctl.reset();
    rec.reset();
    port.reset();
    CloseProgramDatabase(&recordDb);
    gpWPara = savedPara;
}

void RunTest::start(int cameras, bool doorClosed)
{
    int side = 0;
    para.DeriveDetectTable(&side);
    numCamera = cameras;
    port = std::make_unique<ControlPort>(work.file(QStringLiteral("no-board")));
    io = std::make_unique<RecordingIO>(*port, clock);
    rec = std::make_unique<OperationRecord>(QStringLiteral("dbRecord"), clock);
    rec->setNet(&net);
    QVector<RunView*> list;
    for (int c = 0; c < cameras; ++c) {
        views.push_back(std::make_unique<FakeView>(c, clock));
        list.append(views.back().get());
    }
    RunController::Ports ports;
    ports.io = io.get();
    ports.screen = &screen;
    ports.net = &net;
    ports.clock = &clock;
    ports.record = rec.get();
    ctl = std::make_unique<RunController>(ports);
    screen.controller = ctl.get();
    ctl->state().side = side;
    ctl->Init();
    ctl->setViews(list);
    setInput(1, doorClosed);
    ctl->Start();
    advance(100);
}

void RunTest::setInput(int n, bool level)
{
    QMutexLocker lock(pMutexIO);
    gDataIn = level ? gDataIn | (1 << n) : gDataIn & ~(1 << n);
}

void RunTest::pulse(int n, qint64 ms)
{
    setInput(n, true);
    advance(ms);
    setInput(n, false);
}

void RunTest::verdict(int s, bool ok)
{
    for (auto& v : views)
        v->verdict[s] = ok;
}

QStringList RunTest::recordRows()
{
    QSqlDatabase db = QSqlDatabase::database(QStringLiteral("dbRecord"));
    QSqlQuery q(db);
    q.exec(QStringLiteral("select recordtime, recordpassword, remarks from RECORD order by rowid"));
    QStringList rows;
    while (q.next())
        rows << q.value(0).toString() + "|" + q.value(1).toString() + "|" + q.value(2).toString();
    return rows;
}

QStringList RunTest::records()
{
    QStringList remarks;
    for (const QString& row : recordRows())
        remarks << row.section('|', 2);
    return remarks;
}

QString RunTest::fileText(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing>");
    return QString::fromUtf8(file.readAll());
}
