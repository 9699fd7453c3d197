#pragma once
// The rules of the memorandum page and the operation-record viewer, without
// their widgets: the reminder rows of the server's reply, the list of
// record days, the statement that reads a day, and paging by whole pages
// of rows.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace Memorandum {

// Rows of a reply with SessionId 17 (operator, created, due, minutes,
// name). A reminder with a missing member ends the rows: its own row holds
// the cells before the gap. False (rows untouched) when the body is not
// JSON or has no "result".
bool ParseReminders(const QString& body, QList<QStringList>* rows);

}  // namespace Memorandum

namespace RecordLog {

// The connection of the open record (RECORD.db) and of an archived day.
extern const char* const kLiveConnection;
extern const char* const kDayConnection;
// Every line of a day's record, the newest first.
extern const char* const kSelectDay;

// Today, then the archived days (names of *.db in archiveDir without
// ".db"), newest first.
QStringList Days(const QDate& today, const QString& archiveDir);
// The file of an archived day.
QString DayFile(const QString& archiveDir, const QString& day);

}  // namespace RecordLog

// Whole pages of rows in a table that scrolls row by row: page n (from 1)
// starts at row (n - 1) x rows per page.
class RowPaging
{
public:
    // A page holds the rows that fit the view (at least one).
    void measure(int rows, int rowHeight, int viewHeight);
    int pages() const;
    int rowsPerPage() const { return perPage; }
    // The first row of page n, within the rows.
    int firstRow(int page) const;
    // The page that shows this first row.
    int pageOf(int firstRow) const;

private:
    int rowCount = 0;
    int perPage = 1;
};
