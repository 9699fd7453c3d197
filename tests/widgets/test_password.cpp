// The password box and the user levels it grants.

#include "tests/widgets/widgetfixture.h"

#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/blineedit.h"
#include "widgets/numberinput.h"
#include "widgets/passwordbox.h"
#include "widgets/passwordcheck.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
// 09:xx on 5 March: the factory code with protection on is "7358" "090305".
QDateTime fixedNow()
{
    return QDateTime(QDate(2024, 3, 5), QTime(9, 41, 7));
}

struct Outcome {
    int result = -1;
    QString fieldAfterYes;
    QString placeholderAfterYes;
    bool openAfterYes = false;
};

// Runs box modally: touches the field, types keys on the numeric keyboard
// (none: the field stays empty), presses YES; if the box is still open,
// presses Cancel.
Outcome login(PasswordBox* box, const QString& keys)
{
    Outcome out;
    ModalScript script;
    script.on("PasswordBox", [&](QWidget*) {
        if (!keys.isEmpty()) {
            ModalScript inner;
            inner.on("DigitalKeyboard", [&](QWidget* kb) {
                EXPECT_EQ(kb->findChild<QLineEdit*>()->echoMode(), QLineEdit::Normal);
                TypeOn(kb, keys);
                Click(ButtonWithText(kb, QStringLiteral("Confirm")));
            });
            Click(box->field());
            EXPECT_EQ(inner.done(), 1);
            EXPECT_EQ(box->field()->text(), keys);
        }
        Click(box->yesButton());
        out.openAfterYes = box->isVisible();
        out.fieldAfterYes = box->field()->text();
        out.placeholderAfterYes = box->field()->placeholderText();
        if (out.openAfterYes)
            Click(box->cancelButton());
    });
    out.result = box->exec();
    EXPECT_EQ(script.done(), 1);
    return out;
}

void setPassword(const char* operatorPassword, int protection)
{
    qstrncpy(gpWPara->password, operatorPassword, sizeof gpWPara->password);
    gpWPara->isPswUsed = protection;
}
}  // namespace

using Password = WidgetTest;

TEST_F(Password, LevelDecision)
{
    struct Row {
        const char* entry;
        const char* password;
        const char* factory;
        int level;
    };
    const Row rows[] = {
        {"7358", "1234", "7358", UserFactory},  {"1234", "1234", "7358", UserOperator},
        {"1111", "1234", "7358", UserNone},     {"", "", "7358", UserOperator},
        {"", "1234", "7358", UserNone},         {"7358", "7358", "7358", UserFactory},
        {"7358", "1234", "7358090305", UserNone}, {"12345", "1234", "7358", UserNone},
    };
    for (const Row& r : rows)
        EXPECT_EQ(PasswordLevel(QLatin1String(r.entry), QLatin1String(r.password), QLatin1String(r.factory)), r.level)
            << r.entry << "/" << r.password << "/" << r.factory;
    EXPECT_EQ(FactoryCode(false, fixedNow()), QStringLiteral("7358"));
    EXPECT_EQ(FactoryCode(true, fixedNow()), QStringLiteral("7358090305"));
    EXPECT_EQ(FactoryCode(true, QDateTime(QDate(2024, 12, 31), QTime(23, 0))), QStringLiteral("7358231231"));
}

TEST_F(Password, TypedEntriesGrantOperatorAndFactoryLevelsAndRefuseOthers)
{
    SetPasswordClock(fixedNow);
    struct Row {
        int protection;
        const char* password;
        const char* keys;
        int level;
    };
    const Row rows[] = {
        {0, "1234", "7358", UserFactory},     {0, "1234", "1234", UserOperator},  {0, "1234", "1111", UserNone},
        {1, "1234", "7358", UserNone},        {1, "1234", "7358090305", UserFactory},
        {1, "1234", "1234", UserOperator},    {0, "", "", UserOperator},          {0, "1234", "", UserNone},
        {1, "1234", "7358100305", UserNone},
    };
    for (const Row& r : rows) {
        setPassword(r.password, r.protection);
        host.level = UserNone;
        PasswordBox box{LanStr(569)};
        const Outcome out = login(&box, QLatin1String(r.keys));
        const bool granted = r.level != UserNone;
        EXPECT_EQ(host.level, r.level) << r.protection << "/" << r.keys;
        EXPECT_EQ(out.result, granted ? QDialog::Accepted : QDialog::Rejected) << r.keys;
        EXPECT_EQ(out.openAfterYes, !granted) << r.keys;
        if (!granted) {
            EXPECT_EQ(out.fieldAfterYes, QString()) << r.keys;
            EXPECT_EQ(out.placeholderAfterYes, QStringLiteral("The password is wrong")) << r.keys;
        }
    }
}

TEST_F(Password, AWrongEntryDropsAGrantedLevelEvenIfCancelled)
{
    setPassword("1234", 0);
    host.level = UserFactory;
    PasswordBox box{QString()};
    login(&box, QStringLiteral("99"));
    EXPECT_EQ(host.level, UserNone);
}

TEST_F(Password, CancelKeepsTheLevel)
{
    setPassword("1234", 0);
    host.level = UserOperator;
    PasswordBox box{QString()};
    ModalScript script;
    script.on("PasswordBox", [&](QWidget*) { Click(box.cancelButton()); });
    EXPECT_EQ(box.exec(), QDialog::Rejected);
    EXPECT_EQ(host.level, UserOperator);
}

TEST_F(Password, PlaceholderShowsTheErrorOnceThenAsksAgain)
{
    setPassword("1234", 0);
    PasswordBox box{QString()};
    box.show();
    EXPECT_EQ(box.field()->placeholderText(), QStringLiteral("Password:"));
    box.field()->setText(QStringLiteral("55"));
    EXPECT_EQ(box.field()->placeholderText(), QString());
    box.accept();
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.field()->text(), QString());
    EXPECT_EQ(box.field()->placeholderText(), QStringLiteral("The password is wrong"));
    box.field()->setText(QStringLiteral("5"));
    box.field()->clear();
    EXPECT_EQ(box.field()->placeholderText(), QStringLiteral("Password:"));
}

TEST_F(Password, EachShowStartsEmpty)
{
    PasswordBox box{QString()};
    box.show();
    box.field()->setText(QStringLiteral("12"));
    box.hide();
    box.field()->setPlaceholderText(QStringLiteral("x"));
    box.show();
    EXPECT_EQ(box.field()->text(), QString());
    EXPECT_EQ(box.field()->placeholderText(), QStringLiteral("Password:"));
    EXPECT_EQ(box.field()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(box.field()->size(), QSize(350, 50));
}

TEST_F(Password, ATouchOnTheSharedBoxChecksTheEntryAsYesDoes)
{
    setPassword("1234", 0);
    PasswordBox shared{LanStr(569)};
    gpPasswordBox = &shared;
    ModalScript script;
    script.on("PasswordBox", [&](QWidget*) {
        shared.field()->setText(QStringLiteral("1234"));
        QTest::mouseClick(&shared, Qt::LeftButton, Qt::NoModifier, QPoint(600, 120));
    });
    EXPECT_EQ(shared.exec(), QDialog::Accepted);
    EXPECT_EQ(host.level, UserOperator);
}

TEST_F(Password, ATouchOnAPerCallBoxOnlyHidesTheKeypad)
{
    setPassword("1234", 0);
    PasswordBox shared{LanStr(569)};
    gpPasswordBox = &shared;  // hidden
    PasswordBox perCall{LanStr(569)};
    QSignalSpy checks(gpNumPad, &NumberInput::chkpassword);
    ModalScript script;
    script.on("PasswordBox", [&](QWidget*) {
        perCall.field()->setText(QStringLiteral("1234"));
        QTest::mouseClick(&perCall, Qt::LeftButton, Qt::NoModifier, QPoint(600, 120));
        EXPECT_TRUE(perCall.isVisible());
        Click(perCall.cancelButton());
    });
    EXPECT_EQ(perCall.exec(), QDialog::Rejected);
    EXPECT_EQ(checks.count(), 0);
    EXPECT_EQ(host.level, UserNone);
}

TEST_F(Password, ClosingTheBoxReleasesTheKeypadTarget)
{
    QLineEdit field;
    host.target = &field;
    PasswordBox box{QString()};
    box.show();
    box.hide();
    EXPECT_EQ(host.target, nullptr);
}
