// The numeric field, the docked keypads and how a field docks them.

#include "tests/widgets/widgetfixture.h"

#include "core/globals.h"
#include "core/wizardpara.h"
#include "widgets/colorbutton.h"
#include "widgets/edit.h"
#include "widgets/numberinput.h"
#include "widgets/numcharinput.h"
#include "widgets/passwordbox.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
// A panel in a window, with a field in it, the way the screens hold them.
struct Panel {
    explicit Panel(int flags, const QPoint& fieldPos = QPoint(100, 100))
    {
        window.resize(1200, 900);
        panel = new QWidget(&window);
        panel->setGeometry(50, 40, 800, 600);
        field = new Edit(flags, panel, 1);
        field->setGeometry(QRect(fieldPos, QSize(150, 50)));
        other = new Edit(1, panel, 1);
        other->setGeometry(0, 0, 100, 40);
        ShowActive(&window);
    }
    // A person touches the field: it takes the focus and the release docks a keypad.
    void touch()
    {
        field->setFocus();
        WaitFor([&] { return field->hasFocus(); }, 2000);
        QTest::mouseClick(field, Qt::LeftButton);
    }
    QWidget window;
    QWidget* panel = nullptr;
    Edit* field = nullptr;
    Edit* other = nullptr;
};

void press(NumberInput* pad, const QString& keys)
{
    for (const QChar c : keys) {
        if (c == QLatin1Char('<'))
            Click(pad->backspaceKey());
        else
            Click(pad->digitKey((c.digitValue() + 9) % 10));
    }
}
}  // namespace

using Keypads = WidgetTest;

TEST_F(Keypads, RangeClampsEveryChange)
{
    struct Row {
        int min, max;
        const char* typed;
        const char* shown;
    };
    const Row rows[] = {
        {10, 100, "", "10"},   {10, 100, "5", "10"},     {10, 100, "250", "100"},           {10, 100, "abc", "10"},
        {10, 100, "55", "55"}, {100, 10, "5", "10"},     {-1, 100, "abc", "abc"},           {10, -1, "5", "5"},
        {0, 1000, "99999999999", "1000"},                {-50, 50, "-99999999999", "-50"},
    };
    for (const Row& r : rows) {
        Edit e(1, nullptr, 0);
        e.setText(QStringLiteral("77"));
        e.setRange(r.min, r.max);
        e.setText(QString::fromLatin1(r.typed));
        EXPECT_EQ(e.text(), QString::fromLatin1(r.shown)) << r.min << ".." << r.max << " " << r.typed;
    }
    Edit swapped(1, nullptr, 0);
    swapped.setRange(100, 10);
    swapped.setText(QStringLiteral("7"));
    EXPECT_EQ(swapped.minimum(), 10);
    EXPECT_EQ(swapped.maximum(), 100);
}

TEST_F(Keypads, ValuesOfTheField)
{
    Edit e(1, nullptr, 0);
    e.setValue(42);
    EXPECT_EQ(e.text(), QStringLiteral("42"));
    e.setValue(2.5);
    EXPECT_EQ(e.text(), QStringLiteral("2.5"));
    EXPECT_DOUBLE_EQ(e.valueToDouble(), 2.5);
    e.setText(QStringLiteral("x1"));
    EXPECT_EQ(e.value(), 0);
    e.setText(QStringLiteral("99999999999"));
    EXPECT_EQ(e.value(), INT_MAX);
    e.init();
    EXPECT_EQ(e.text(), QString());
}

TEST_F(Keypads, KeypadPlacement)
{
    const QSize pad(427, 230);
    const QSize box(800, 600);
    struct Row {
        QRect field;
        int showH;
        QPoint at;
    };
    const Row rows[] = {
        {QRect(100, 100, 150, 50), 982, QPoint(100, 155)},   // below the field
        {QRect(600, 100, 150, 50), 982, QPoint(373, 155)},   // pushed left at the right edge
        {QRect(100, 300, 150, 50), 600, QPoint(100, 80)},    // would reach the display bottom: above
        {QRect(100, 400, 150, 50), 982, QPoint(100, 370)},   // held inside the container's bottom
    };
    for (const Row& r : rows)
        EXPECT_EQ(KeypadPosition(r.field, pad, box, r.showH), r.at) << r.field.x() << "," << r.field.y();
}

TEST_F(Keypads, TouchedFieldDocksTheNumericKeypadBelowItself)
{
    Panel p(1);
    p.field->setText(QStringLiteral("37"));
    p.touch();
    ASSERT_TRUE(gpNumPad->isVisible());
    EXPECT_EQ(gpNumPad->parentWidget(), p.panel);
    EXPECT_EQ(gpNumPad->geometry(), QRect(100, 155, 427, 230));
    EXPECT_EQ(host.target, p.field);
    EXPECT_EQ(p.field->text(), QString());  // opening empties the field
}

TEST_F(Keypads, FlagEightDocksInTheGrandparent)
{
    Panel p(9, QPoint(700, 500));
    p.touch();
    ASSERT_TRUE(gpNumPad->isVisible());
    EXPECT_EQ(gpNumPad->parentWidget(), &p.window);
    // Field at (750, 540) in the window: right edge 1200, bottom 900.
    EXPECT_EQ(gpNumPad->pos(), KeypadPosition(QRect(750, 540, 150, 50), QSize(427, 230), QSize(1200, 900), gShowH));
    EXPECT_EQ(gpNumPad->pos(), QPoint(750, 595));
}

TEST_F(Keypads, FlagTwoDocksTheTextKeyboard)
{
    Panel p(2);
    p.field->setText(QStringLiteral("ab"));
    p.touch();
    EXPECT_TRUE(gpNumCharPad->isVisible());
    EXPECT_FALSE(gpNumPad->isVisible());
    EXPECT_EQ(p.field->text(), QStringLiteral("ab"));  // the text keyboard appends
}

TEST_F(Keypads, ReleaseWithoutATargetShowsNoKeypad)
{
    Panel p(1);
    host.target = nullptr;
    SendMouse(p.field, QEvent::MouseButtonRelease, QPoint(5, 5));
    EXPECT_FALSE(gpNumPad->isVisible());
}

TEST_F(Keypads, DigitsReplaceThenAppendAndTheFieldKeepsItsFocus)
{
    Panel p(1);
    p.field->setText(QStringLiteral("37"));
    p.touch();
    QSignalSpy changes(p.field, &QLineEdit::textChanged);
    press(gpNumPad, QStringLiteral("52"));
    EXPECT_EQ(p.field->text(), QStringLiteral("52"));
    EXPECT_TRUE(p.field->hasFocus());
    EXPECT_EQ(changes.count(), 2);
    press(gpNumPad, QStringLiteral("<"));
    EXPECT_EQ(p.field->text(), QStringLiteral("5"));
    press(gpNumPad, QStringLiteral("<<"));
    EXPECT_EQ(p.field->text(), QString());
    press(gpNumPad, QStringLiteral("90"));
    EXPECT_EQ(p.field->text(), QStringLiteral("90"));
    EXPECT_EQ(p.field->cursorPosition(), 2);
}

TEST_F(Keypads, RangedFieldReadsOnlyItsBoundsFromTheKeypad)
{
    Panel p(1);
    p.field->setRange(10, 100);
    p.field->setText(QStringLiteral("50"));
    p.touch();
    EXPECT_EQ(p.field->text(), QStringLiteral("10"));
    press(gpNumPad, QStringLiteral("5"));
    EXPECT_EQ(p.field->text(), QStringLiteral("10"));
    press(gpNumPad, QStringLiteral("0"));
    EXPECT_EQ(p.field->text(), QStringLiteral("100"));
}

TEST_F(Keypads, KeysWithoutATargetChangeNothing)
{
    QLineEdit field;
    field.setText(QStringLiteral("12"));
    host.target = nullptr;
    press(gpNumPad, QStringLiteral("7<"));
    gpNumPad->eraseAll();
    Click(gpNumCharPad->key(15));
    EXPECT_EQ(field.text(), QStringLiteral("12"));
}

TEST_F(Keypads, ConfirmHidesTheKeypadAndEndsTheEntry)
{
    Panel p(1);
    p.touch();
    press(gpNumPad, QStringLiteral("4"));
    Click(gpNumPad->confirmKey());
    EXPECT_FALSE(gpNumPad->isVisible());
    EXPECT_FALSE(p.field->hasFocus());
    EXPECT_EQ(host.target, nullptr);
    EXPECT_EQ(p.field->text(), QStringLiteral("4"));
}

TEST_F(Keypads, ConfirmWhileThePasswordBoxIsOpenChecksThePassword)
{
    Panel p(1);
    p.touch();
    qstrncpy(gpWPara->password, "1234", sizeof gpWPara->password);
    PasswordBox box{QString()};
    gpPasswordBox = &box;
    box.show();
    host.target = p.field;  // as a password field stays the target without the focus
    QSignalSpy checks(gpNumPad, &NumberInput::chkpassword);
    gpNumPad->show();
    Click(gpNumPad->confirmKey());
    EXPECT_EQ(checks.count(), 1);
    EXPECT_FALSE(gpNumPad->isVisible());
    EXPECT_TRUE(box.isVisible());  // the empty entry was refused
    EXPECT_EQ(host.target, p.field);
}

TEST_F(Keypads, FocusMovesTheTargetAndHidesTheKeypads)
{
    Panel p(1);
    p.touch();
    ASSERT_TRUE(gpNumPad->isVisible());
    p.other->setFocus();
    ASSERT_TRUE(WaitFor([&] { return p.other->hasFocus(); }, 2000));
    EXPECT_FALSE(gpNumPad->isVisible());
    EXPECT_EQ(host.target, p.other);
}

TEST_F(Keypads, PasswordFieldStaysTheTargetWithoutTheFocus)
{
    Panel p(1);
    p.other->setFocus();
    ASSERT_TRUE(WaitFor([&] { return p.other->hasFocus(); }, 2000));
    p.field->setEchoMode(QLineEdit::Password);
    p.field->setText(QStringLiteral("99"));
    p.field->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(p.field->hasFocus());
    EXPECT_EQ(host.target, p.field);
    EXPECT_EQ(p.field->text(), QString());
    EXPECT_EQ(p.field->placeholderText(), QStringLiteral("Password:"));
}

TEST_F(Keypads, FullStopRaisesTheDotSignal)
{
    Edit e(1, nullptr, 0);
    QSignalSpy dots(&e, &Edit::sig_Dot);
    QTest::keyClick(&e, Qt::Key_Period);
    QTest::keyClick(&e, Qt::Key_5);
    EXPECT_EQ(dots.count(), 1);
    EXPECT_EQ(e.text(), QStringLiteral(".5"));
}

TEST_F(Keypads, NumericKeypadGeometry)
{
    EXPECT_EQ(gpNumPad->geometry(), QRect(0, 0, 427, 230));
    const char* const captions = "1234567890";
    for (int id = 0; id < 10; ++id) {
        QPushButton* key = gpNumPad->digitKey(id);
        EXPECT_EQ(key->text(), QString(QLatin1Char(captions[id])));
        EXPECT_EQ(key->geometry(), QRect(5 + (id % 4) * 105, 5 + (id / 4) * 75, 100, 70)) << id;
        EXPECT_EQ(key->focusPolicy(), Qt::NoFocus);
    }
    EXPECT_EQ(gpNumPad->backspaceKey()->geometry(), QRect(215, 155, 100, 70));
    EXPECT_EQ(gpNumPad->confirmKey()->geometry(), QRect(320, 155, 100, 70));
    EXPECT_EQ(gpNumPad->backspaceKey()->text(), QStringLiteral("BS"));
    EXPECT_EQ(gpNumPad->confirmKey()->text(), QStringLiteral("Confirm"));
}

TEST_F(Keypads, TextKeyboardGeometry)
{
    EXPECT_EQ(gpNumCharPad->geometry(), QRect(0, 0, 785, 295));
    struct Row {
        int index;
        QRect rect;
        const char* caption;
    };
    const Row rows[] = {
        {0, QRect(10, 10, 65, 65), "1"},      {10, QRect(710, 10, 65, 65), "_"},   {11, QRect(42, 80, 65, 65), "Q"},
        {20, QRect(672, 80, 65, 65), "P"},    {21, QRect(62, 150, 65, 65), "A"},   {29, QRect(622, 150, 65, 65), "L"},
        {30, QRect(106, 220, 65, 65), "Z"},   {36, QRect(526, 220, 65, 65), "M"},
        {37, QRect(695, 150, 80, 65), "symbol"}, {38, QRect(10, 220, 80, 65), "Lower"},
        {39, QRect(605, 220, 80, 65), "BS"},  {40, QRect(695, 220, 80, 65), "Confirm"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(gpNumCharPad->key(r.index)->geometry(), r.rect) << r.index;
        EXPECT_EQ(gpNumCharPad->key(r.index)->text(), QLatin1String(r.caption)) << r.index;
        EXPECT_EQ(gpNumCharPad->key(r.index)->focusPolicy(), Qt::NoFocus);
    }
}

TEST_F(Keypads, TextKeyboardPages)
{
    const auto rows = [] {
        QString s;
        for (int i = NumCharInput::FirstLetterKey; i < NumCharInput::PageKey; ++i)
            s += gpNumCharPad->key(i)->text();
        return s;
    };
    QWidget parent;
    gpNumCharPad->setParent(&parent);
    parent.show();
    for (int round = 0; round < 2; ++round) {
        gpNumCharPad->show();
        EXPECT_EQ(rows(), QStringLiteral("QWERTYUIOPASDFGHJKLZXCVBNM")) << round;
        EXPECT_EQ(gpNumCharPad->key(NumCharInput::PageKey)->text(), QStringLiteral("symbol"));
        Click(gpNumCharPad->key(NumCharInput::PageKey));
        EXPECT_EQ(rows(), QStringLiteral("-=[]\\;',./@#$%^?*()`~!{}:\""));
        EXPECT_EQ(gpNumCharPad->key(NumCharInput::PageKey)->text(), QStringLiteral("character"));
        EXPECT_EQ(gpNumCharPad->key(NumCharInput::CaseKey)->text(), QStringLiteral("Lower"));
        Click(gpNumCharPad->key(NumCharInput::CaseKey));
        EXPECT_EQ(rows(), QStringLiteral("qwertyuiopasdfghjklzxcvbnm"));
        EXPECT_EQ(gpNumCharPad->key(NumCharInput::CaseKey)->text(), QStringLiteral("Capital"));
        EXPECT_EQ(gpNumCharPad->key(NumCharInput::PageKey)->text(), QStringLiteral("symbol"));
        Click(gpNumCharPad->key(NumCharInput::CaseKey));
        EXPECT_EQ(rows(), QStringLiteral("QWERTYUIOPASDFGHJKLZXCVBNM"));
        gpNumCharPad->hide();
    }
    gpNumCharPad->setParent(nullptr);
}

TEST_F(Keypads, TextKeyboardTyping)
{
    Panel p(2);
    p.touch();
    ASSERT_TRUE(gpNumCharPad->isVisible());
    const auto typeKey = [](int index) { Click(gpNumCharPad->key(index)); };
    typeKey(11);                               // Q
    typeKey(NumCharInput::CaseKey);
    typeKey(21);                               // a
    typeKey(10);                               // _
    typeKey(0);                                // 1
    typeKey(NumCharInput::PageKey);
    typeKey(35);                               // :
    typeKey(36);                               // "
    EXPECT_EQ(p.field->text(), QStringLiteral("Qa_1:\""));
    typeKey(NumCharInput::BackspaceKey);
    EXPECT_EQ(p.field->text(), QStringLiteral("Qa_1:"));
    EXPECT_TRUE(p.field->hasFocus());
    typeKey(NumCharInput::ConfirmKey);
    EXPECT_FALSE(gpNumCharPad->isVisible());
    EXPECT_TRUE(p.field->hasFocus());  // the text keyboard's confirm leaves the focus alone
}

TEST_F(Keypads, ADeletedFieldStopsBeingTheTarget)
{
    auto* field = new Edit(1, nullptr, 0);
    host.target = field;
    delete field;
    EXPECT_EQ(host.target, nullptr);
}
