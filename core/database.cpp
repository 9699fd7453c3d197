#include "core/database.h"

#include <QFile>
#include <QSqlQuery>

const char* const kCreateSysparam = "create table if not exists sysparam(name varchar(40), value varchar(400))";
const char* const kCreateRecord =
    "create table if not exists RECORD(recordtime varchar(40), recordpassword varchar(40), remarks varchar(400))";

bool OpenProgramDatabase(QSqlDatabase* db, const QString& connection, const QString& file,
                         const QString& table)
{
    const bool existed = QFile::exists(file);
    *db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db->setDatabaseName(file);
    if (!existed || !db->open())
        return false;
    QSqlQuery probe(*db);
    return probe.exec(QStringLiteral("select count(*) from %1").arg(table)) && probe.next();
}

void CloseProgramDatabase(QSqlDatabase* db)
{
    const QString name = db->connectionName();
    db->close();
    *db = QSqlDatabase();
    if (!name.isEmpty())
        QSqlDatabase::removeDatabase(name);
}
