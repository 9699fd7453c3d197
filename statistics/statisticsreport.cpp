#include "statistics/statisticsreport.h"

#include "core/texttable.h"
#include "statistics/resstatisticsparam.h"
#include "statistics/statisticsday.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {

const char* const kArchiveConnection = "dbListRes";
constexpr int kArchivedStep = 1;
constexpr int kTextMorning = 545;
constexpr int kTextNight = 546;
constexpr int kTextTotal = 547;
constexpr int kTextPlan = 550;
constexpr int kTextHour = 692;
constexpr int kTextDate = 693;
constexpr int kTextRate = 694;

int sum(const QList<int>& values, int first, int count)
{
    int total = 0;
    for (int i = first; i < std::min(int(values.size()), first + count); ++i)
        total += values[i];
    return total;
}

QByteArray line(const QStringList& fields)
{
    return fields.join(QLatin1Char('\t')).toUtf8() + "\r\n";
}

}  // namespace

QString RateText(int ok, int ng)
{
    const qint64 total = qint64(ok) + ng;
    const double rate = total ? ng * 100.0 / double(total) : 0.0;
    return QString::number(rate, 'g', 6) + QLatin1Char('%');
}

QString CycleText(qint64 tenths)
{
    return QStringLiteral("周期 %1").arg(double(tenths) / 10.0, 4, 'f', 1);
}

QStringList DayList(const QString& currentDay, const QString& archiveDir)
{
    QStringList days{currentDay};
    const QStringList files =
        QDir(archiveDir).entryList({QStringLiteral("*.db")}, QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    for (auto it = files.crbegin(); it != files.crend(); ++it)
        days << QString(*it).remove(QStringLiteral(".db"));
    return days;
}

ArchivedDay ReadArchivedDay(const QString& archiveDir, const QString& day)
{
    ArchivedDay archived;
    const QString path = QStringLiteral("%1//%2.db").arg(QDir(archiveDir).absolutePath(), day);
    if (!QFileInfo(path).isFile())
        return archived;   // opening would make an empty file
    {
        QSqlDatabase db = QSqlDatabase::contains(QLatin1String(kArchiveConnection))
            ? QSqlDatabase::database(QLatin1String(kArchiveConnection), false)
            : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kArchiveConnection));
        db.close();
        db.setDatabaseName(path);
        if (!db.open())
            return archived;
        archived.opened = true;
        QSqlQuery q(db);
        q.prepare(QStringLiteral("select value1 ,value2 from resstatistics where name=:name"));
        q.bindValue(QStringLiteral(":name"), QStringLiteral("Detect%1").arg(kArchivedStep));
        if (q.exec() && q.next()) {
            archived.ok = ResStatisticsParam::ParseSeries(q.value(0).toString());
            archived.ng = ResStatisticsParam::ParseSeries(q.value(1).toString());
        } else {
            archived.ok = archived.ng = ResStatisticsParam::DaySeries({});
        }
        if (q.exec(QStringLiteral("select value1 from resstatistics where name='plan'")) && q.next()) {
            const QList<int> words = ResStatisticsParam::ParseSeries(q.value(0).toString());
            archived.plan = words.isEmpty() ? 0 : words.first();
        }
        db.close();
    }
    return archived;
}

QByteArray ExportText(const ExportedDay& day)
{
    QByteArray text = "\xEF\xBB\xBF";   // UTF-8 mark, so that spreadsheets read the captions
    text += line({LanStr(kTextDate), day.day});
    text += line({LanStr(kTextPlan), QString::number(day.plan)});
    text += line({LanStr(kTextHour), QStringLiteral("OK"), QStringLiteral("NG")});
    const int slotCount = std::max(day.ok.size(), day.ng.size());
    for (int s = 0; s < slotCount; ++s) {
        text += line({QString::number(HourOfSlot(s)), QString::number(day.ok.value(s)),
                      QString::number(day.ng.value(s))});
    }
    const int ok = sum(day.ok, 0, day.ok.size());
    const int ng = sum(day.ng, 0, day.ng.size());
    const int morningOk = sum(day.ok, 0, kSlotsPerShift);
    const int morningNg = sum(day.ng, 0, kSlotsPerShift);
    text += line({LanStr(kTextMorning), QString::number(morningOk), QString::number(morningNg)});
    text += line({LanStr(kTextNight), QString::number(ok - morningOk), QString::number(ng - morningNg)});
    text += line({LanStr(kTextTotal), QString::number(ok), QString::number(ng)});
    text += line({LanStr(kTextRate), RateText(ok, ng)});
    return text;
}

bool WriteExport(const QString& diskRoot, const QString& stamp, const QByteArray& content)
{
    if (diskRoot.isEmpty() || !QFileInfo(diskRoot).isDir())
        return false;
    QSaveFile file(QDir(diskRoot).filePath(stamp + QStringLiteral(".xls")));
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
}
