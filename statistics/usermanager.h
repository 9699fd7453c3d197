#pragma once
// Operator accounts in "UserDataBase.db": named accounts with a password and
// a user type that ranks them (a smaller type ranks higher; type 1 is the
// administrator), the current user, and the log-in and log-out events from
// which the current user is restored at the next start.
//
// When the file cannot be opened, or no event names an existing account,
// there is no current user and the current type is the lowest rank: the
// settings are refused and nobody may be added or deleted.

#include <QString>
#include <QVector>

#include <climits>
#include <functional>

using UserType = int;

class UserManager
{
public:
    static constexpr UserType kAdministrator = 1;
    static constexpr UserType kLowestRank = INT_MAX;
    static UserManager* instance;

    // refuse is shown when the settings are refused (the message dialog by default).
    explicit UserManager(std::function<void()> refuse = {});
    ~UserManager();
    UserManager(const UserManager&) = delete;
    UserManager& operator=(const UserManager&) = delete;

    void connectDatabase();
    bool canChangeSetting();
    bool addUser(UserType type, const QString& name, const QString& userPassword, QString& msg);
    bool deleteUser(const QString& name, QString& msg);
    bool changeUserPassword(const QString& oldPassword, const QString& newPassword, QString& msg);
    bool changeUser(const QString& name, const QString& userPassword, QString& msg);
    // Records an event (1 became the current user, 2 stopped being it).
    void addRecord(const QString& name, int optype);
    void closeDatabase();
    UserType getUserType(const QString& name);
    void getAllUsersName(QVector<QString>& names, QVector<UserType>& types);

    UserType currentType() const { return curType; }
    QString currentName() const { return curName; }

private:
    bool createTables();

    UserType curType = kLowestRank;
    QString curName;
    std::function<void()> refuse;
};
