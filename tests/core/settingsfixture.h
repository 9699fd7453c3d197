#pragma once
// A PARAM.db and SN.db in the test's working directory.

#include "core/database.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "tests/common/testsupport.h"

#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>

class SettingsDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        param = open(QStringLiteral("PARAM.db"), QStringLiteral("tParam"));
        sn = open(QStringLiteral("SN.db"), QStringLiteral("tSn"));
        gLan = 0;
        gDNum = 2;
    }
    void TearDown() override
    {
        CloseProgramDatabase(&param);
        CloseProgramDatabase(&sn);
    }

    QSqlDatabase open(const QString& file, const QString& connection)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(work.file(file));
        EXPECT_TRUE(db.open());
        QSqlQuery(db).exec(QLatin1String(kCreateSysparam));
        return db;
    }

    static void put(QSqlDatabase& db, const QString& name, const QString& value)
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("delete from sysparam where name=?"));
        q.addBindValue(name);
        q.exec();
        q.prepare(QStringLiteral("insert into sysparam values(?, ?)"));
        q.addBindValue(name);
        q.addBindValue(value);
        ASSERT_TRUE(q.exec());
    }

    // The stored value of a row, or "<missing>".
    static QString get(QSqlDatabase& db, const QString& name)
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("select value from sysparam where name=?"));
        q.addBindValue(name);
        if (q.exec() && q.next())
            return q.value(0).toString();
        return QStringLiteral("<missing>");
    }

    static int countRows(QSqlDatabase& db, const QString& name)
    {
        QSqlQuery q(db);
        q.prepare(QStringLiteral("select count(*) from sysparam where name=?"));
        q.addBindValue(name);
        q.exec();
        q.next();
        return q.value(0).toInt();
    }

    WizardPara load()
    {
        WizardPara w;
        w.LoadDatafromFile(param, sn, &side);
        return w;
    }

    TempWorkDir work;
    QSqlDatabase param;
    QSqlDatabase sn;
    int side = -7;
};
