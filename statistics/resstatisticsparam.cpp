#include "statistics/resstatisticsparam.h"

#include "core/commandrunner.h"
#include "core/texttable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <cstdio>

ResStatisticsParam* gpResStatisticsParam = nullptr;

const char* const ResStatisticsParam::kFile = "ResStatistics.db";
const char* const ResStatisticsParam::kEmptyFile = "ResStatisticsNULL.db";
const char* const ResStatisticsParam::kConnection = "dbResStatistics";

namespace {

const char* const kCreateTable =
    "CREATE TABLE resstatistics ( 'name' TEXT NOT NULL, 'value1' varchar(255), 'value2' varchar(255), "
    "PRIMARY KEY('name') )";
const char* const kSelectRow = "select value1 ,value2 from resstatistics where name=:name";
const char* const kSelectPlan = "select value1 from resstatistics where name = 'plan'";
const char* const kUpdateRow = "update resstatistics set value1 = :value1, value2 = :value2 where name = :name";
const char* const kInsertRow = "insert into resstatistics values(:name, :value1, :value2)";
const char* const kUpdatePlan = "update resstatistics set value1 = :value1 where name = 'plan'";
const char* const kPlanRow = "plan";

constexpr int kTextFileError = 544;     // shown in English
constexpr int kTextFileMissing = 552;   // shown in Simplified Chinese
constexpr int kOkFlag = 1;
constexpr int kNgFlag = 2;

QString cellName(int cam, int det)
{
    return QStringLiteral("C%1_D%2").arg(cam).arg(det);
}

QString stepName(int det)
{
    return QStringLiteral("Detect%1").arg(det);
}

Series zeros()
{
    return Series(ResStatisticsParam::DaySeries({}));
}

QSqlDatabase connection()
{
    return QSqlDatabase::database(QLatin1String(ResStatisticsParam::kConnection), false);
}

void closeConnection()
{
    QSqlDatabase db = connection();
    if (db.isValid())
        db.close();
}

}  // namespace

ResStatisticsParam::ResStatisticsParam(StatisticsPorts p)
    : ports(std::move(p))
{
    for (int c = 0; c < kCount; ++c) {
        totalOk[c] = totalNg[c] = zeros();
        for (int d = 0; d < kCount; ++d)
            resOk[c][d] = resNg[c][d] = zeros();
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kConnection));
    db.setDatabaseName(QLatin1String(kFile));

    const QFileInfo file{QLatin1String(kFile)};
    if (!file.exists() || file.size() == 0)
        buildFile();
    else if (!open())
        ports.warn(LanStr(kTextFileError, 1));
    curDate = ports.statisticsDay().toString(QStringLiteral("yyyy-MM-dd"));
    load(kAll, kAll);
    loadTotal(kAll);
    setFindResAll(1);
}

ResStatisticsParam::~ResStatisticsParam()
{
    closeConnection();
    QSqlDatabase::removeDatabase(QLatin1String(kConnection));
    if (gpResStatisticsParam == this)
        gpResStatisticsParam = nullptr;
}

bool ResStatisticsParam::open()
{
    QSqlDatabase db = connection();
    return db.isValid() && (db.isOpen() || db.open());
}

// A missing or empty file: restored from the empty copy, or built together
// with the empty copy; the monitor then restarts to take it up.
bool ResStatisticsParam::buildFile()
{
    ports.warn(LanStr(kTextFileMissing, 0));
    QFile::remove(QLatin1String(kFile));
    bool made = QFile::exists(QLatin1String(kEmptyFile)) && QFile::copy(QLatin1String(kEmptyFile), QLatin1String(kFile));
    if (!made) {
        createDatabase();
        connection().transaction();   // the 73 rows in one write
        createTable();
        load(kAll, kAll);
        loadTotal(kAll);
        connection().commit();
        closeConnection();
        QFile::remove(QLatin1String(kEmptyFile));
        made = QFile::copy(QLatin1String(kFile), QLatin1String(kEmptyFile));
    }
    if (ports.pause)
        ports.pause(100);
    else
        QThread::msleep(100);
    CommandRunner::run(QStringLiteral("reboot"));
    return made;
}

void ResStatisticsParam::createDatabase()
{
    if (!open())
        ports.warn(LanStr(kTextFileError, 1));
    QSqlQuery(connection()).exec(QStringLiteral("CREATE DATABASE ResStatistics"));
}

void ResStatisticsParam::createTable()
{
    if (!open())
        ports.warn(LanStr(kTextFileError, 1));
    QSqlQuery(connection()).exec(QLatin1String(kCreateTable));
}

// ---- Series text -----------------------------------------------------------

QString ResStatisticsParam::SeriesText(const Series& series)
{
    QStringList words;
    for (int v : series)
        words << QString::number(v);
    return words.join(QLatin1Char(' '));
}

Series ResStatisticsParam::ParseSeries(const QString& text)
{
    Series series;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        series << word.toInt();   // 0 for a word that is not a number
    return series;
}

Series ResStatisticsParam::DaySeries(const Series& series)
{
    Series day = series.mid(0, kSlotsPerDay);
    while (day.size() < kSlotsPerDay)
        day << 0;
    return day;
}

// ---- Rows ------------------------------------------------------------------

bool ResStatisticsParam::readRow(const QString& name, Series* ok, Series* ng)
{
    QSqlQuery q(connection());
    q.prepare(QLatin1String(kSelectRow));
    q.bindValue(QStringLiteral(":name"), name);
    if (!q.exec() || !q.next())
        return false;
    *ok = DaySeries(ParseSeries(q.value(0).toString()));
    *ng = DaySeries(ParseSeries(q.value(1).toString()));
    return true;
}

bool ResStatisticsParam::writeRow(const char* statement, const QString& name, const Series& ok, const Series& ng)
{
    if (!open())
        return false;
    QSqlQuery q(connection());
    q.prepare(QLatin1String(statement));
    q.bindValue(QStringLiteral(":name"), name);
    q.bindValue(QStringLiteral(":value1"), SeriesText(ok));
    q.bindValue(QStringLiteral(":value2"), SeriesText(ng));
    return q.exec();
}

void ResStatisticsParam::loadRow(const QString& name, Series* ok, Series* ng, const std::function<void()>& insertRow)
{
    if (!open())
        return;
    if (readRow(name, ok, ng))
        return;
    *ok = zeros();
    *ng = zeros();
    insertRow();
}

void ResStatisticsParam::load(int det, int cam)
{
    forEachCell(det, cam, [this](int c, int d) {
        loadRow(cellName(c, d), &resOk[c][d], &resNg[c][d], [this, c, d] { insert(d, c); });
        return true;
    });
    loadPlan();
}

void ResStatisticsParam::loadTotal(int det)
{
    forEachStep(det, [this](int d) {
        loadRow(stepName(d), &totalOk[d], &totalNg[d], [this, d] { insertTotal(d); });
        return true;
    });
}

void ResStatisticsParam::loadPlan()
{
    if (!open())
        return;
    QSqlQuery q(connection());
    if (q.exec(QLatin1String(kSelectPlan)) && q.next()) {
        const Series words = ParseSeries(q.value(0).toString());
        curPlan = words.isEmpty() ? 0 : words.first();
        return;
    }
    curPlan = 0;
    setPlan();
    insertPlan();
}

bool ResStatisticsParam::save(int det, int cam)
{
    return forEachCell(det, cam, [this](int c, int d) {
        return writeRow(kUpdateRow, cellName(c, d), resOk[c][d], resNg[c][d]);
    });
}

bool ResStatisticsParam::saveTotal(int det)
{
    return forEachStep(det, [this](int d) { return writeRow(kUpdateRow, stepName(d), totalOk[d], totalNg[d]); });
}

void ResStatisticsParam::insert(int det, int cam)
{
    forEachCell(det, cam, [this](int c, int d) {
        return writeRow(kInsertRow, cellName(c, d), resOk[c][d], resNg[c][d]);
    });
}

void ResStatisticsParam::insertTotal(int det)
{
    forEachStep(det, [this](int d) { return writeRow(kInsertRow, stepName(d), totalOk[d], totalNg[d]); });
}

bool ResStatisticsParam::insertPlan()
{
    if (!open())
        return false;
    QSqlQuery q(connection());
    q.prepare(QLatin1String(kInsertRow));
    q.bindValue(QStringLiteral(":name"), QLatin1String(kPlanRow));
    q.bindValue(QStringLiteral(":value1"), QString::number(plan));
    q.bindValue(QStringLiteral(":value2"), QString(QLatin1String("")));
    return q.exec();
}

bool ResStatisticsParam::savePlan()
{
    if (!open())
        return false;
    QSqlQuery q(connection());
    q.prepare(QLatin1String(kUpdatePlan));
    q.bindValue(QStringLiteral(":value1"), QString::number(curPlan));
    return q.exec();
}

bool ResStatisticsParam::setCurPlan(int v)
{
    curPlan = v;
    return savePlan();
}

bool ResStatisticsParam::forEachCell(int det, int cam, const std::function<bool(int c, int d)>& f)
{
    bool all = true;
    for (int c = 0; c < kCount; ++c) {
        for (int d = 0; d < kCount; ++d) {
            if (selects(c, cam) && selects(d, det))
                all = f(c, d) && all;
        }
    }
    return all;
}

bool ResStatisticsParam::forEachStep(int det, const std::function<bool(int d)>& f)
{
    bool all = true;
    for (int d = 0; d < kCount; ++d) {
        if (selects(d, det))
            all = f(d) && all;
    }
    return all;
}

// ---- Counting --------------------------------------------------------------

void ResStatisticsParam::add(int slot, bool ok, int det, int cam)
{
    if (!valid(cam) || !valid(det) || !validSlot(slot))
        return;
    ++(ok ? resOk : resNg)[cam][det][slot];
    save(det, kAll);
}

void ResStatisticsParam::addTotal(int slot, bool ok, int det)
{
    if (!valid(det) || !validSlot(slot))
        return;
    ++(ok ? totalOk : totalNg)[det][slot];
    saveTotal(det);
    if (screen && screen->isToday()) {
        setFindResAll(1);
        screen->updateData();
    }
}

void ResStatisticsParam::reset(int flags, int det, int cam)
{
    forEachCell(det, cam, [this, flags](int c, int d) {
        if (flags & kOkFlag)
            resOk[c][d] = zeros();
        if (flags & kNgFlag)
            resNg[c][d] = zeros();
        return true;
    });
}

void ResStatisticsParam::resetTotal(int flags, int det)
{
    forEachStep(det, [this, flags](int d) {
        if (flags & kOkFlag)
            totalOk[d] = zeros();
        if (flags & kNgFlag)
            totalNg[d] = zeros();
        return true;
    });
}

// ---- Selection -------------------------------------------------------------

void ResStatisticsParam::setFindResAll(int det)
{
    if (valid(det))
        setFindRes(totalOk[det], totalNg[det]);
}

void ResStatisticsParam::setFindRes(const Series& okList, const Series& ngList)
{
    findOk = okList;
    findNg = ngList;
    clcCount();
}

void ResStatisticsParam::setFindRes(int det, int cam)
{
    if (valid(det) && valid(cam))
        setFindRes(resOk[cam][det], resNg[cam][det]);
}

void ResStatisticsParam::clcCount()
{
    shiftCount = {};
    const Series* lists[2] = {&findOk, &findNg};
    for (int kind = 0; kind < 2; ++kind) {
        const Series& list = *lists[kind];
        for (int i = 0; i < list.size(); ++i)
            shiftCount[(i < kSlotsPerShift ? 0 : 2) + kind] += list[i];
        shiftCount[4 + kind] = shiftCount[kind] + shiftCount[2 + kind];
    }
}

Series ResStatisticsParam::getRes(int shift, bool ok) const
{
    const Series& list = ok ? findOk : findNg;
    if (shift == WholeDay)
        return list;
    const SlotRange range = SlotsOf(shift);
    return range.count ? list.mid(range.first, range.count) : Series();
}

int ResStatisticsParam::getCount(int shift, bool ok) const
{
    if (shift < MorningShift || shift > WholeDay)
        return 0;
    return shiftCount[shift * 2 + (ok ? 0 : 1)];
}

// ---- Day roll-over ---------------------------------------------------------

bool ResStatisticsParam::nextDay(const QString& newDate)
{
    if (!save(kAll, kAll) || !saveTotal(kAll)) {
        std::fprintf(stderr, "statistics: the day %s could not be written; it stays open\n", qPrintable(curDate));
        return false;
    }
    closeConnection();
    if (!archiveFile(curDate)) {
        std::fprintf(stderr, "statistics: the day %s could not be archived; it stays open\n", qPrintable(curDate));
        return false;
    }
    startEmptyFile();
    curDate = newDate;
    reset(kOkFlag | kNgFlag, kAll, kAll);
    resetTotal(kOkFlag | kNgFlag, kAll);
    insert(kAll, kAll);
    insertTotal(kAll);
    insertPlan();
    if (!screen || screen->isToday())
        setFindResAll(1);
    return true;
}

// The closed day's file becomes its archive, replacing one of the same date.
bool ResStatisticsParam::archiveFile(const QString& closedDate)
{
    const QString dir = QDir(ports.archiveDir).absolutePath();
    if (closedDate.isEmpty() || !QDir().mkpath(dir))
        return false;
    const QString target = dir + QLatin1Char('/') + closedDate + QStringLiteral(".db");
    if (std::rename(kFile, QFile::encodeName(target).constData()) == 0)
        return true;
    // Another file system: copy beside the archive, then put it in place.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    const bool placed = QFile::copy(QLatin1String(kFile), part)
        && std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target).constData()) == 0;
    if (!placed) {
        QFile::remove(part);
        return false;
    }
    QFile::remove(QLatin1String(kFile));
    return true;
}

void ResStatisticsParam::startEmptyFile()
{
    if (QFile::exists(QLatin1String(kEmptyFile)) && QFile::copy(QLatin1String(kEmptyFile), QLatin1String(kFile)))
        return;
    createTable();   // the inserts that follow add every row
}
