#pragma once
// Opening the program's SQLite files. SQLite creates a missing file on open,
// so a file counts as opened only when it existed and its main table reads.

#include <QSqlDatabase>
#include <QString>

// Adds the connection and opens file; false when the file is missing, does not
// open, or table cannot be read (a damaged or foreign file).
bool OpenProgramDatabase(QSqlDatabase* db, const QString& connection, const QString& file,
                         const QString& table);

// Closes and removes the connection.
void CloseProgramDatabase(QSqlDatabase* db);

// SQL that creates the program's tables, used for new files and by the
// defaults tool.
extern const char* const kCreateSysparam;   // PARAM.db and SN.db
extern const char* const kCreateRecord;     // RECORD.db
