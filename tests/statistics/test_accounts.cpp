// User accounts: the first start, restoring the current user, the rank
// rules of adding, deleting and switching, failed statements, a database
// that cannot be opened; and the message dialog that refuses the settings.

#include "core/texttable.h"
#include "statistics/messagedialog.h"
#include "statistics/usermanager.h"
#include "tests/common/testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTimer>
#include <QVariant>

namespace {

// Direct access to the accounts file beside the store.
QStringList rows(const QString& sql)
{
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
        db.setDatabaseName(QStringLiteral("UserDataBase.db"));
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(sql);
            while (q.next()) {
                QStringList fields;
                for (int i = 0; i < q.record().count(); ++i)
                    fields << q.value(i).toString();
                out << fields.join(QLatin1Char('|'));
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("peek"));
    return out;
}

class AccountsTest : public ::testing::Test
{
protected:
    void SetUp() override { Data_Init(); }
    std::unique_ptr<UserManager> start()
    {
        return std::make_unique<UserManager>([this] { ++refusals; });
    }
    // A store whose current user is a fresh account of the given type.
    std::unique_ptr<UserManager> startAs(UserType type)
    {
        auto users = start();
        QString msg;
        if (type != UserManager::kAdministrator) {
            users->addUser(type, QStringLiteral("u%1").arg(type), QStringLiteral("pw"), msg);
            users->changeUser(QStringLiteral("u%1").arg(type), QStringLiteral("pw"), msg);
        }
        return users;
    }

    TempWorkDir dir;
    int refusals = 0;
};

TEST_F(AccountsTest, AFirstStartMakesTheAdministratorCurrent)
{
    auto users = start();
    EXPECT_EQ(users->currentName(), QStringLiteral("admin"));
    EXPECT_EQ(users->currentType(), 1);
    EXPECT_EQ(rows(QStringLiteral("select name,password,usertype from user_table")), QStringList{"admin|804613|1"});
    EXPECT_EQ(rows(QStringLiteral("select name,optype from record_table")), QStringList{"admin|1"});
    EXPECT_EQ(users->getUserType(QStringLiteral("nobody")), 0);
}

TEST_F(AccountsTest, ASwitchIsRestoredAtTheNextStart)
{
    {
        auto users = start();
        QString msg;
        ASSERT_TRUE(users->addUser(3, QStringLiteral("li"), QStringLiteral("12"), msg));
        ASSERT_TRUE(users->changeUser(QStringLiteral("li"), QStringLiteral("12"), msg));
        EXPECT_EQ(msg, QStringLiteral("账户切换成功!"));
        users->closeDatabase();
    }
    EXPECT_EQ(rows(QStringLiteral("select name,optype from record_table order by time")),
              (QStringList{"admin|1", "admin|2", "li|1", "li|2"}));
    auto users = start();
    EXPECT_EQ(users->currentName(), QStringLiteral("li"));
    EXPECT_EQ(users->currentType(), 3);
}

TEST_F(AccountsTest, AddingFollowsTheRanks)
{
    struct Case {
        UserType current;
        UserType added;
        bool ok;
        const char* msg;
    };
    const Case cases[] = {
        {1, 2, true, "账户添加成功!"},  {1, 3, true, "账户添加成功!"},
        {1, 1, false, "您没有权限添加该账户!"}, {2, 3, true, "账户添加成功!"},
        {2, 2, false, "您没有权限添加该账户!"}, {3, 3, false, "您没有权限添加该账户!"},
    };
    for (const Case& c : cases) {
        QDir().remove(QStringLiteral("UserDataBase.db"));
        auto users = startAs(c.current);
        ASSERT_EQ(users->currentType(), c.current);
        QString msg;
        EXPECT_EQ(users->addUser(c.added, QStringLiteral("new"), QStringLiteral("1"), msg), c.ok) << c.current;
        EXPECT_EQ(msg, QString::fromUtf8(c.msg)) << c.current << " adds " << c.added;
        EXPECT_EQ(users->getUserType(QStringLiteral("new")), c.ok ? c.added : 0);
    }
}

TEST_F(AccountsTest, AnExistingNameIsNotAddedAgain)
{
    auto users = start();
    QString msg;
    ASSERT_TRUE(users->addUser(3, QStringLiteral("li"), QStringLiteral("12"), msg));
    EXPECT_FALSE(users->addUser(2, QStringLiteral("li"), QStringLiteral("99"), msg));
    EXPECT_EQ(msg, QStringLiteral("账户已存在!"));
    EXPECT_EQ(rows(QStringLiteral("select password,usertype from user_table where name='li'")), QStringList{"12|3"});
}

TEST_F(AccountsTest, DeletingFollowsTheRanks)
{
    struct Case {
        UserType current;
        const char* name;
        bool ok;
        const char* msg;
    };
    const Case cases[] = {
        {1, "admin", false, "You can not delete youself!"},
        {1, "ghost", false, "The user is not exist!"},
        {1, "u2x", true, ""},
        {2, "admin", false, "You do not have permission to delete the user!"},
        {2, "u2x", false, "You do not have permission to delete the user!"},
    };
    for (const Case& c : cases) {
        QDir().remove(QStringLiteral("UserDataBase.db"));
        {
            auto admin = start();
            QString ignored;
            admin->addUser(2, QStringLiteral("u2x"), QStringLiteral("pw"), ignored);
        }
        auto users = startAs(c.current);
        QString msg;
        EXPECT_EQ(users->deleteUser(QString::fromLatin1(c.name), msg), c.ok) << c.name;
        EXPECT_EQ(msg, QString::fromUtf8(c.msg)) << c.current << " deletes " << c.name;
        EXPECT_EQ(users->getUserType(QString::fromLatin1(c.name)) == 0, c.ok || QLatin1String(c.name) == "ghost");
    }
}

TEST_F(AccountsTest, SwitchingAndPasswords)
{
    auto users = start();
    QString msg = QStringLiteral("untouched");
    EXPECT_TRUE(users->changeUser(QStringLiteral("admin"), QStringLiteral("wrong"), msg));
    EXPECT_EQ(msg, QStringLiteral("untouched"));
    EXPECT_FALSE(users->changeUser(QStringLiteral("nobody"), QStringLiteral("804613"), msg));
    EXPECT_EQ(msg, QStringLiteral("密码错误!"));
    EXPECT_EQ(users->currentName(), QStringLiteral("admin"));

    EXPECT_FALSE(users->changeUserPassword(QStringLiteral("804614"), QStringLiteral("1"), msg));
    EXPECT_EQ(msg, QStringLiteral("旧密码不正确!"));
    EXPECT_TRUE(users->changeUserPassword(QStringLiteral("804613"), QStringLiteral("a'b"), msg));
    EXPECT_EQ(msg, QStringLiteral("密码已更新!"));
    EXPECT_EQ(rows(QStringLiteral("select password from user_table where name='admin'")), QStringList{"a'b"});

    QVector<QString> names{QStringLiteral("kept")};
    QVector<UserType> types{9};
    users->getAllUsersName(names, types);
    EXPECT_EQ(names, (QVector<QString>{"kept", "admin"}));
    EXPECT_EQ(types, (QVector<UserType>{9, 1}));
}

TEST_F(AccountsTest, AFailedStatementIsReportedAsFailure)
{
    start().reset();
    rows(QStringLiteral("create trigger no_add before insert on user_table begin select raise(abort, 'locked'); end"));
    rows(QStringLiteral("create trigger no_change before update on user_table begin select raise(abort, 'locked'); end"));
    rows(QStringLiteral("create trigger no_delete before delete on user_table begin select raise(abort, 'locked'); end"));
    auto users = start();
    ASSERT_EQ(users->currentName(), QStringLiteral("admin"));
    QString msg;
    EXPECT_FALSE(users->addUser(3, QStringLiteral("li"), QStringLiteral("1"), msg));
    EXPECT_EQ(msg, LanStr(690));
    msg.clear();
    EXPECT_FALSE(users->changeUserPassword(QStringLiteral("804613"), QStringLiteral("2"), msg));
    EXPECT_EQ(msg, LanStr(690));
}

TEST_F(AccountsTest, RightsToChangeTheSettings)
{
    for (UserType type : {1, 2, 3}) {
        QDir().remove(QStringLiteral("UserDataBase.db"));
        refusals = 0;
        auto users = startAs(type);
        EXPECT_EQ(users->canChangeSetting(), type != 3) << type;
        EXPECT_EQ(refusals, type == 3 ? 1 : 0) << type;
    }
}

TEST_F(AccountsTest, WithoutAKnownUserTheLowestRightsHold)
{
    struct Case {
        const char* what;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"file cannot be opened", [] { QDir().mkdir(QStringLiteral("UserDataBase.db")); }},
        {"no events", [this] {
             start().reset();
             rows(QStringLiteral("delete from record_table"));
         }},
        {"the latest user was deleted", [this] {
             start().reset();
             rows(QStringLiteral("insert into record_table values('gone', 1, '9999-01-01 00:00:00')"));
         }},
    };
    for (const Case& c : cases) {
        QDir(QStringLiteral("UserDataBase.db")).removeRecursively();
        QDir().remove(QStringLiteral("UserDataBase.db"));
        c.prepare();
        refusals = 0;
        auto users = start();
        EXPECT_EQ(users->currentType(), UserManager::kLowestRank) << c.what;
        EXPECT_FALSE(users->canChangeSetting()) << c.what;
        EXPECT_EQ(refusals, 1) << c.what;
        QString msg;
        EXPECT_FALSE(users->addUser(3, QStringLiteral("x"), QStringLiteral("1"), msg)) << c.what;
        EXPECT_FALSE(users->deleteUser(QStringLiteral("admin"), msg)) << c.what;
    }
}

// ---- Message dialog ----------------------------------------------------------

QStringList buttonTexts(const MessageDialog& d)
{
    QList<QPushButton*> buttons = d.findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList texts;
    for (QPushButton* b : buttons)
        texts << b->text();
    return texts;
}

TEST(MessageDialogTest, ButtonsByBitsInTheirOrder)
{
    struct Case {
        int bits;
        QStringList texts;
    };
    const Case cases[] = {{0x1011, {"OK", "Cancel", "Yes"}}, {0, {}}, {0x1111, {"OK", "No", "Cancel", "Yes"}}};
    for (const Case& c : cases) {
        MessageDialog d(QStringLiteral("t"), QStringLiteral("m"), c.bits);
        d.show();
        QApplication::processEvents();
        EXPECT_EQ(buttonTexts(d), c.texts) << c.bits;
        EXPECT_EQ(d.size(), QSize(500, 400));
        EXPECT_EQ(int(d.windowFlags() & ~Qt::Window), 0x2000800) << "customised and frameless only";
    }
}

TEST(MessageDialogTest, PressingAButtonEndsAModalRun)
{
    struct Case {
        const char* button;
        int result;
    };
    const Case cases[] = {{"No", QDialog::Rejected}, {"Yes", QDialog::Accepted}, {"OK", QDialog::Rejected},
                          {"Cancel", QDialog::Rejected}};
    for (const Case& c : cases) {
        MessageDialog d(QStringLiteral("t"), QStringLiteral("m"), 0x1111);
        d.setResult(-1);
        QTimer::singleShot(0, &d, [&] {
            for (QPushButton* b : d.findChildren<QPushButton*>()) {
                if (b->text() == QLatin1String(c.button))
                    QTest::mousePress(b, Qt::LeftButton);   // acts on the press, not the release
            }
        });
        QTimer::singleShot(3000, &d, [&] { d.done(99); });
        EXPECT_EQ(d.exec(), c.result) << c.button;
    }
}

TEST(MessageDialogTest, ALongMessageWrapsInsideTheDialog)
{
    MessageDialog d(QStringLiteral("t"), QString(), MessageDialog::Ok);
    d.resetMessage(QStringLiteral("a long message that cannot fit on one line of five hundred pixels at this size"));
    d.show();
    QApplication::processEvents();
    auto* label = d.findChild<QLabel*>(QStringLiteral("message"));
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("a long")));
    EXPECT_TRUE(label->wordWrap());
    EXPECT_LE(label->width(), 500);
}

}  // namespace
