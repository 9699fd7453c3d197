#include "tests/e2e/e2efixture.h"

#include "core/texttable.h"
#include "core/texttabledata.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <QThread>

namespace e2e {

namespace {
// The ready line of the record, in the language of the settings (gLan).
QString readyLine(int cameras)
{
    for (int i = 0; i < kTextEntryCount; ++i) {
        const TextEntry& e = kTextEntries[i];
        if (e.k == 150)
            return QString::fromUtf8(gLan == 0 ? e.zh : gLan == 2 ? e.tw : e.en).arg(cameras);
    }
    return QString();
}
}  // namespace

namespace {

QString pictureDir(int camera, int step, bool ng)
{
    return QStringLiteral("alarmimage/camera%1/detect%2/%3").arg(camera + 1).arg(step + 1).arg(ng ? "NG" : "OK");
}

}  // namespace

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
    EXPECT_TRUE(LoadBaseline(file("PARAM.db"), &para));
}

EndToEnd::~EndToEnd()
{
    if (program) {
        EXPECT_TRUE(program->terminate()) << "the program did not end cleanly on SIGTERM";
        EXPECT_EQ(program->shellLines(), QStringList());
    }
    gLan = savedLanguage;
}

void EndToEnd::start(int cameras)
{
    ASSERT_TRUE(WriteSettings(file("PARAM.db"), para, cameras, regionOutput, frameSize));
    ASSERT_TRUE(WriteCameras(file("simcams"), cameras, firstFrame, frameSize, family));
    beforeProgram();
    ASSERT_TRUE(io.start());
    board("set 1");   // safety door closed
    program = std::make_unique<Program>(work.path(), file("simcams"), io.device(), QStringList(), QString(), display);
    // The clamp is inhibited from the opening of the board until detection starts.
    const QList<int> opening = wordsUntil(idle());
    ASSERT_TRUE(opening.contains(idle() | 1) && opening.last() == idle()) << Words(opening);
    ASSERT_TRUE(WaitFor([&] { return !records().isEmpty(); }, kWaitMs));
    ASSERT_EQ(records().last(), readyLine(cameras));
    QThread::msleep(kFrameInUseMs);
}

void EndToEnd::setFrame(int camera, int patches)
{
    ASSERT_TRUE(ReplaceFrame(file(QStringLiteral("simcams/cam%1").arg(camera)), patches, frameSize));
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

QString EndToEnd::regionRow(int camera, const QString& name) const
{
    const QString connection = QStringLiteral("region-row");
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(file("PARAM.db"));
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("select value from cammer%1 where name = ?").arg(camera));
            q.addBindValue(name);
            if (q.exec() && q.next())
                value = q.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return value;
}

QString EndToEnd::counts() const
{
    return ReadText(file("count.txt"));
}

::testing::AssertionResult EndToEnd::countsBecome(const QString& text)
{
    if (WaitFor([&] { return counts() == text; }, kWaitMs))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "count.txt \"" << counts().toStdString() << '"';
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
