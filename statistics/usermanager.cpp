#include "statistics/usermanager.h"

#include "core/texttable.h"
#include "statistics/messagedialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

UserManager* UserManager::instance = nullptr;

namespace {

const char* const kConnection = "sql_user_database_connection";
const char* const kCreateUsers =
    "create table user_table(name varchar(32) primary key,password varchar(32),usertype int,createtime datetime)";
const char* const kCreateRecords = "create table record_table(name varchar(32),optype int,time datetime primary key)";
const char* const kInsertAdmin = "insert into user_table values('admin','804613',1,datetime())";
const char* const kLatestEvent = "select name from record_table where time=(select max(time) from record_table)";
const char* const kSelectType = "select usertype from user_table where name=:name";
const char* const kInsertRecord = "insert into record_table values(:name,:optype,:time)";
constexpr int kLogIn = 1;
constexpr int kLogOut = 2;
constexpr int kRecordTries = 20;       // milliseconds tried after a clash of event times
constexpr int kTextAccountFailed = 690;

QString tr(const char* text)
{
    return QCoreApplication::translate("QObject", text);
}

QSqlDatabase database()
{
    return QSqlDatabase::database(QLatin1String(kConnection), false);
}

bool isOpen()
{
    return database().isOpen();
}

// Prepares a statement and binds the named values given as pairs.
QSqlQuery statement(const char* sql, std::initializer_list<std::pair<const char*, QVariant>> values)
{
    QSqlQuery q(database());
    q.prepare(QLatin1String(sql));
    for (const auto& v : values)
        q.bindValue(QLatin1String(v.first), v.second);
    return q;
}

// The first value of the first row, or an invalid variant.
QVariant firstValue(QSqlQuery q)
{
    return q.exec() && q.next() ? q.value(0) : QVariant();
}

}  // namespace

UserManager::UserManager(std::function<void()> refuse)
    : refuse(std::move(refuse))
{
    if (!this->refuse) {
        this->refuse = [] {
            MessageDialog dialog(QStringLiteral("warning"), tr("No permission !"), MessageDialog::Ok, nullptr);
            dialog.exec();
        };
    }
    connectDatabase();
}

UserManager::~UserManager()
{
    database().close();
    QSqlDatabase::removeDatabase(QLatin1String(kConnection));
    if (instance == this)
        instance = nullptr;
}

void UserManager::connectDatabase()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kConnection));
    db.setDatabaseName(QStringLiteral("UserDataBase.db"));
    db.setUserName(QStringLiteral("ZQW"));
    db.setPassword(QStringLiteral("KVD640275"));
    if (!db.open())
        return;   // no current user, lowest rank
    const QStringList tables = db.tables();
    if (!tables.contains(QStringLiteral("user_table")) || !tables.contains(QStringLiteral("record_table"))) {
        if (createTables()) {
            curName = QStringLiteral("admin");
            curType = kAdministrator;
        }
    } else {
        QSqlQuery latest(db);
        if (latest.exec(QLatin1String(kLatestEvent)) && latest.next()) {
            const QString name = latest.value(0).toString();
            const QVariant type = firstValue(statement(kSelectType, {{":name", name}}));
            if (type.isValid()) {
                curName = name;
                curType = type.toInt();
            }
        }
    }
    addRecord(curName, kLogIn);
}

// Creates the tables with the built-in administrator; true when the
// administrator's account is really there afterwards.
bool UserManager::createTables()
{
    QSqlQuery q(database());
    q.exec(QLatin1String(kCreateUsers));
    q.exec(QLatin1String(kInsertAdmin));
    q.exec(QLatin1String(kCreateRecords));
    return getUserType(QStringLiteral("admin")) == kAdministrator
        && database().tables().contains(QStringLiteral("record_table"));
}

bool UserManager::canChangeSetting()
{
    if (curType == 1 || curType == 2)
        return true;
    refuse();
    return false;
}

bool UserManager::addUser(UserType type, const QString& name, const QString& userPassword, QString& msg)
{
    if (curType >= type) {
        msg = tr("您没有权限添加该账户!");
        return false;
    }
    QSqlQuery exists = statement("select * from user_table where name=:name", {{":name", name}});
    if (!exists.exec()) {
        msg = LanStr(kTextAccountFailed);
        return false;
    }
    if (exists.next()) {
        msg = tr("账户已存在!");
        return false;
    }
    QSqlQuery insert = statement("insert into user_table values(:name,:password,:type,datetime())",
                                 {{":name", name}, {":password", userPassword}, {":type", type}});
    if (!insert.exec()) {
        msg = LanStr(kTextAccountFailed);
        return false;
    }
    msg = tr("账户添加成功!");
    return true;
}

bool UserManager::deleteUser(const QString& name, QString& msg)
{
    if (name == curName) {
        msg = tr("You can not delete youself!");
        return false;
    }
    const QVariant type = firstValue(statement(kSelectType, {{":name", name}}));
    if (!type.isValid()) {
        msg = tr("The user is not exist!");
        return false;
    }
    if (curType >= type.toInt()) {
        msg = tr("You do not have permission to delete the user!");
        return false;
    }
    QSqlQuery del = statement("delete from user_table where name = :name", {{":name", name}});
    if (!del.exec() || del.numRowsAffected() < 1) {
        msg = LanStr(kTextAccountFailed);
        return false;
    }
    return true;
}

bool UserManager::changeUserPassword(const QString& oldPassword, const QString& newPassword, QString& msg)
{
    const QVariant stored =
        firstValue(statement("select password from user_table where name=:name", {{":name", curName}}));
    if (!stored.isValid())
        return false;
    if (stored.toString() != oldPassword) {
        msg = tr("旧密码不正确!");
        return false;
    }
    QSqlQuery update = statement("update user_table set password=:password where name=:name",
                                 {{":password", newPassword}, {":name", curName}});
    if (!update.exec() || update.numRowsAffected() < 1) {
        msg = LanStr(kTextAccountFailed);
        return false;
    }
    msg = tr("密码已更新!");
    return true;
}

bool UserManager::changeUser(const QString& name, const QString& userPassword, QString& msg)
{
    if (name == curName)
        return true;
    const QVariant type =
        firstValue(statement("select usertype from user_table where name=:name and password=:password",
                             {{":name", name}, {":password", userPassword}}));
    if (!type.isValid()) {
        msg = tr("密码错误!");
        return false;
    }
    addRecord(curName, kLogOut);
    curName = name;
    curType = type.toInt();
    addRecord(name, kLogIn);
    msg = tr("账户切换成功!");
    return true;
}

// Event times carry milliseconds; a time already taken moves on by one
// millisecond, so that two events of one switch are both kept in order.
void UserManager::addRecord(const QString& name, int optype)
{
    if (!isOpen())
        return;
    QDateTime when = QDateTime::currentDateTimeUtc();
    for (int i = 0; i < kRecordTries; ++i, when = when.addMSecs(1)) {
        const QString time = when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
        QSqlQuery q = statement(kInsertRecord, {{":name", name}, {":optype", optype}, {":time", time}});
        if (q.exec())
            return;
    }
}

void UserManager::closeDatabase()
{
    if (!isOpen())
        return;
    addRecord(curName, kLogOut);
    database().close();
}

UserType UserManager::getUserType(const QString& name)
{
    const QVariant type = firstValue(statement(kSelectType, {{":name", name}}));
    return type.isValid() ? type.toInt() : 0;
}

void UserManager::getAllUsersName(QVector<QString>& names, QVector<UserType>& types)
{
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("select name,usertype from user_table")))
        return;
    while (q.next()) {
        names << q.value(0).toString();
        types << q.value(1).toInt();
    }
}
