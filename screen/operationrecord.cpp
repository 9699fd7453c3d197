#include "screen/operationrecord.h"

#include "core/database.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/wholefile.h"
#include "core/wizardpara.h"
#include "screen/runclock.h"
#include "screen/runnet.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QtDebug>
#include <algorithm>

const char* const kRecordDayFormat = "yyyy-MM-dd";
const char* const kRecordArchiveDir = "./RECORD";

namespace {

const char* const kRecordFile = "RECORD.db";
const char* const kEmptyRecordFile = "RECORDNULL.db";
const char* const kDayFile = "time.txt";
const char* const kArchiveDir = kRecordArchiveDir;
const char* const kCountFile = "count.txt";
const char* const kInsertRow = "INSERT INTO RECORD(recordtime, recordpassword, remarks) VALUES(?, ?, ?)";
constexpr qint64 kCountLimit = 100000000;  // larger stored counts are corrupt

QString levelText(int level)
{
    return LanStr(level == 2 ? 154 : level == 1 ? 155 : 156);
}

bool isDay(const QString& text)
{
    return QDate::fromString(text, QLatin1String(kRecordDayFormat)).isValid();
}

// A name in the archive folder that no file has yet: "<day>.db", else
// "<day>_2.db", "<day>_3.db", ... (the clock was set back).
QString freeArchiveName(const QDir& dir, const QString& day)
{
    QString name = day + QLatin1String(".db");
    for (int n = 2; dir.exists(name); ++n)
        name = QStringLiteral("%1_%2.db").arg(day).arg(n);
    return dir.absoluteFilePath(name);
}

// Moves src to dst: a rename, else a copy of the same size followed by the
// removal of src. On failure src is untouched and dst does not exist.
bool moveFile(const QString& src, const QString& dst)
{
    if (QFile::rename(src, dst))
        return true;
    if (!QFile::copy(src, dst))
        return false;
    if (QFileInfo(dst).size() == QFileInfo(src).size() && QFile::remove(src))
        return true;
    QFile::remove(dst);
    return false;
}

}  // namespace

OperationRecord::OperationRecord(const QString& connection, RunClock& clock)
    : connection(connection), clock(clock)
{
}

void OperationRecord::InsertRecord(const QString& s)
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.isValid() || (!db.isOpen() && !db.open()))
        return;
    const QDateTime now = clock.now();
    const QString level = levelText(userLevel ? userLevel() : 0);
    if (gpWPara && gpWPara->netLinkOn && net && net->isSetUp())
        net->SendRecord(now, level, s);
    QSqlQuery q(db);
    q.prepare(QLatin1String(kInsertRow));
    q.addBindValue(now.toString(QStringLiteral("hh.mm.ss")));
    q.addBindValue(level);
    q.addBindValue(s);
    if (!q.exec()) {
        ++lostLines;
        qWarning().noquote() << "operation record: line lost (" << lostLines << "lost since start):" << s
                             << q.lastError().text();
    }
}

void OperationRecord::ClearRecord()
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.isValid() || (!db.isOpen() && !db.open()))
        return;
    QSqlQuery(db).exec(QStringLiteral("DELETE FROM RECORD"));
}

void OperationRecord::ReadRecordDay()
{
    QFile file{QLatin1String(kDayFile)};
    if (file.open(QIODevice::ReadOnly)) {
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        if (isDay(text)) {
            day = text;
            return;
        }
        qWarning() << "time.txt holds no day:" << text;
    }
    writeDay(clock.now().toString(QLatin1String(kRecordDayFormat)));
}

void OperationRecord::SlotCheckDate()
{
    if (day.isEmpty())
        ReadRecordDay();
    const QString today = clock.now().toString(QLatin1String(kRecordDayFormat));
    if (today == day)
        return;
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (db.isValid())
        db.close();
    if (!archiveRecord(day))
        return;  // the record stays in RECORD.db; the next check tries again
    makeFreshRecord();
    writeDay(today);
}

// Moves RECORD.db into the archive folder under the day that ends.
bool OperationRecord::archiveRecord(const QString& archiveDay)
{
    if (!QFile::exists(QLatin1String(kRecordFile)))
        return true;
    QDir dir{QLatin1String(kArchiveDir)};
    if (!dir.exists() && !QDir().mkpath(QLatin1String(kArchiveDir))) {
        qWarning() << "record roll-over: cannot create" << kArchiveDir;
        return false;
    }
    const QString target = freeArchiveName(dir, archiveDay);
    if (!moveFile(QLatin1String(kRecordFile), target)) {
        qWarning() << "record roll-over: cannot move" << kRecordFile << "to" << target;
        return false;
    }
    return true;
}

// A new RECORD.db from the empty template, or with its table made here when
// the template is missing.
void OperationRecord::makeFreshRecord()
{
    if (QFile::copy(QLatin1String(kEmptyRecordFile), QLatin1String(kRecordFile)))
        return;
    qWarning() << "record roll-over: no" << kEmptyRecordFile << "- creating the record table";
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    if (!db.isValid() || !db.open())
        return;
    QSqlQuery(db).exec(QLatin1String(kCreateRecord));
    db.close();
}

void OperationRecord::writeDay(const QString& today)
{
    day = today;
    const bool written = WriteWholeFile(QLatin1String(kDayFile), today.toUtf8());
    if (!written)
        qWarning() << "cannot write" << kDayFile;
    if (!written && !dayWriteFailed && warn)
        warn(LanStr(kTextCannotWrite).arg(QLatin1String(kDayFile)));
    dayWriteFailed = !written;
}

void OperationRecord::CountRead()
{
    std::fill(std::begin(gAllNum), std::end(gAllNum), 0);
    std::fill(std::begin(gFailNum), std::end(gFailNum), 0);
    QFile file{QLatin1String(kCountFile)};
    if (!file.open(QIODevice::ReadOnly))
        return;
    QTextStream in(&file);
    auto next = [&in]() {
        qint64 value = 0;
        in >> value;
        return in.status() == QTextStream::Ok && value >= 0 && value <= kCountLimit ? int(value) : 0;
    };
    for (int c = 0; c < kMaxCameras; ++c) {
        gAllNum[c] = next();
        gFailNum[c] = next();
    }
}

bool OperationRecord::CountWrite()
{
    QByteArray text;
    for (int c = 0; c < kMaxCameras; ++c)
        text += QByteArray::number(gAllNum[c]) + ' ' + QByteArray::number(gFailNum[c]) + ' ';
    if (WriteWholeFile(QLatin1String(kCountFile), text))
        return true;
    qWarning() << "cannot write" << kCountFile;
    return false;
}

void FoundAllFile(QList<QFileInfo>& list, const QString& path)
{
    const QFileInfoList entries = QDir(path).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir()) {
            if (!entry.isSymLink())  // a link back up would never end
                FoundAllFile(list, entry.absoluteFilePath());
        } else {
            list.append(QFileInfo(entry.absoluteFilePath()));
        }
    }
}

void SortFileByTime(QList<QFileInfo>& list)
{
    std::stable_sort(list.begin(), list.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return a.lastModified() < b.lastModified();
    });
}
