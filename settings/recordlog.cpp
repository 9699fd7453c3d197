#include "settings/recordlog.h"

#include <QDateTime>
#include <QDir>

#include <cjson/cJSON.h>

namespace Memorandum {

namespace {

const char* const kTimeFormat = "yy-MM-dd hh:mm:ss";

QString text(const cJSON* item)
{
    return cJSON_IsString(item) ? QString::fromUtf8(item->valuestring) : QString();
}

// A number cut to a whole number (0 for what is not a number).
qint64 whole(const cJSON* item)
{
    constexpr double kLimit = 9.0e15;
    return cJSON_IsNumber(item) ? qint64(qBound(-kLimit, item->valuedouble, kLimit)) : 0;
}

QString localTime(const cJSON* item)
{
    return QDateTime::fromMSecsSinceEpoch(whole(item)).toString(QLatin1String(kTimeFormat));
}

// The cells of one reminder, up to its first missing member.
QStringList cells(const cJSON* reminder)
{
    QStringList row;
    const cJSON* item = cJSON_GetObjectItem(reminder, "operator");
    if (!item)
        return row;
    row << text(item);
    for (const char* key : {"create_utc", "notify_utc"}) {
        if (!(item = cJSON_GetObjectItem(reminder, key)))
            return row;
        row << localTime(item);
    }
    if (!(item = cJSON_GetObjectItem(reminder, "duration")))
        return row;
    row << QString::number(whole(item));
    if ((item = cJSON_GetObjectItem(reminder, "reminder_name")))
        row << text(item);
    return row;
}

}  // namespace

bool ParseReminders(const QString& body, QList<QStringList>* rows)
{
    const QByteArray utf8 = body.toUtf8();
    cJSON* root = cJSON_ParseWithLength(utf8.constData(), size_t(utf8.size()));
    const cJSON* result = cJSON_GetObjectItem(root, "result");
    const bool ok = result != nullptr;
    if (ok) {
        rows->clear();
        for (const cJSON* reminder = result->child; reminder; reminder = reminder->next) {
            const QStringList row = cells(reminder);
            rows->append(row);
            if (row.size() < 5)
                break;
        }
    }
    cJSON_Delete(root);
    return ok;
}

}  // namespace Memorandum

namespace RecordLog {

const char* const kLiveConnection = "dbRecord";
const char* const kDayConnection = "dbList";
const char* const kSelectDay =
    "SELECT recordtime, recordpassword, remarks FROM RECORD ORDER BY recordtime DESC, rowid DESC";

QStringList Days(const QDate& today, const QString& archiveDir)
{
    QStringList days{today.toString(QStringLiteral("yyyy-MM-dd"))};
    const QStringList names = QDir(archiveDir).entryList({QStringLiteral("*.db")},
                                                         QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        days << QString(*it).remove(QLatin1String(".db"));
    return days;
}

QString DayFile(const QString& archiveDir, const QString& day)
{
    return QDir(archiveDir).absoluteFilePath(day + QLatin1String(".db"));
}

}  // namespace RecordLog

void RowPaging::measure(int rows, int rowHeight, int viewHeight)
{
    rowCount = qMax(0, rows);
    perPage = rowHeight > 0 ? qMax(1, viewHeight / rowHeight - 1) : 1;
}

int RowPaging::pages() const
{
    return qMax(1, (rowCount + perPage - 1) / perPage);
}

int RowPaging::firstRow(int page) const
{
    return (qBound(1, page, pages()) - 1) * perPage;
}

int RowPaging::pageOf(int firstRow) const
{
    return qBound(1, firstRow / perPage + 1, pages());
}
