#include "core/defaults.h"

#include "core/database.h"
#include "core/wizardpara.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <vector>

namespace {

std::vector<std::function<bool(QSqlDatabase&)>>& paramWriters()
{
    static std::vector<std::function<bool(QSqlDatabase&)>> writers;
    return writers;
}

bool createFile(const QString& path, const char* createSql, QSqlDatabase* db, const QString& connection)
{
    QFile::remove(path);
    *db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db->setDatabaseName(path);
    if (!db->open())
        return false;
    QSqlQuery q(*db);
    return q.exec(QLatin1String(createSql));
}

}  // namespace

void AddDefaultParamWriter(std::function<bool(QSqlDatabase&)> writer)
{
    paramWriters().push_back(std::move(writer));
}

bool WriteDefaultFiles(const QString& dir)
{
    const QString group = dir + QStringLiteral("/paraGroup/default");
    if (!QDir().mkpath(group))
        return false;
    bool ok = true;
    {
        QSqlDatabase param, sn, record;
        ok = createFile(group + QStringLiteral("/PARAM.db"), kCreateSysparam, &param, QStringLiteral("mkParam")) && ok;
        ok = createFile(group + QStringLiteral("/SN.db"), kCreateSysparam, &sn, QStringLiteral("mkSn")) && ok;
        ok = createFile(dir + QStringLiteral("/RECORDNULL.db"), kCreateRecord, &record, QStringLiteral("mkRecord")) && ok;
        if (ok) {
            // What a first start on empty files puts in force, stored whole.
            const QString keep = QDir::currentPath();
            QDir::setCurrent(dir);  // sysadd.txt of the load lands beside the files
            WizardPara defaults;
            int side = 0;
            defaults.LoadDatafromFile(param, sn, &side);
            ok = defaults.SaveDatatoFile(param);
            for (auto& writer : paramWriters())
                ok = writer(param) && ok;
            QFile::remove(QStringLiteral("sysadd.txt"));  // the program writes its own
            QDir::setCurrent(keep);
        }
        CloseProgramDatabase(&param);
        CloseProgramDatabase(&sn);
        CloseProgramDatabase(&record);
    }
    return ok;
}
