// Modal on-screen keyboards and the touch fields that open them.

#include "tests/widgets/widgetfixture.h"

#include "widgets/blineedit.h"
#include "widgets/blinelabel.h"
#include "widgets/keyboard.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

namespace {
QLineEdit* inputLine(QWidget* keyboard)
{
    return keyboard->findChild<QLineEdit*>();
}

QPushButton* key(QWidget* keyboard, const char* caption)
{
    QPushButton* b = ButtonWithText(keyboard, QString::fromUtf8(caption));
    EXPECT_NE(b, nullptr) << caption;
    return b;
}

// Runs keyboard modally while action types on it; the dialog result.
int runWith(QDialog* keyboard, const std::function<void(QWidget*)>& action)
{
    ModalScript script;
    script.on("KeyboardDialog", action);
    return keyboard->exec();
}
}  // namespace

using Keyboards = WidgetTest;

TEST_F(Keyboards, NumericKeyboardLayout)
{
    DigitalKeyboard kb{QStringLiteral("Title"), QStringLiteral("Hint"), QString()};
    kb.show();
    EXPECT_EQ(kb.size(), QSize(416, 586));
    EXPECT_EQ(kb.windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    const auto pos = [&](const char* c) { return key(&kb, c)->geometry(); };
    // Rows "7 8 9", "4 5 6", "1 2 3", "Cancel 0 ."; BS and Confirm two rows high in column 3.
    const char* const grid[4][3] = {{"7", "8", "9"}, {"4", "5", "6"}, {"1", "2", "3"}, {"Cancel", "0", "."}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(pos(grid[r][c]).x(), pos(grid[0][c]).x()) << grid[r][c];
            EXPECT_EQ(pos(grid[r][c]).y(), pos(grid[r][0]).y()) << grid[r][c];
            if (r > 0) {
                EXPECT_GT(pos(grid[r][c]).y(), pos(grid[r - 1][c]).y()) << grid[r][c];
            }
        }
    EXPECT_EQ(pos("BS").height(), 168);
    EXPECT_EQ(pos("Confirm").height(), 168);
    EXPECT_EQ(pos("BS").y(), pos("7").y());
    EXPECT_EQ(pos("Confirm").y(), pos("1").y());
    EXPECT_GT(pos("BS").x(), pos("9").x());
    EXPECT_EQ(inputLine(&kb)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(inputLine(&kb)->echoMode(), QLineEdit::Normal);
}

TEST_F(Keyboards, NumericKeyboardTyping)
{
    struct Row {
        const char* keys;   // "<" is BS
        const char* text;
    };
    const Row rows[] = {
        {"12", "12"}, {"1..2", "1..2"}, {".", "."}, {"007", "007"}, {"12<", "1"}, {"1<<<", ""}, {"9<5", "5"},
    };
    for (const Row& r : rows) {
        DigitalKeyboard kb{QString(), QString(), QString()};
        QString typed;
        const int result = runWith(&kb, [&](QWidget* w) {
            for (const char* c = r.keys; *c; ++c)
                Click(key(w, *c == '<' ? "BS" : QByteArray(1, *c).constData()));
            typed = inputLine(w)->text();
            Click(key(w, typed.isEmpty() ? "Cancel" : "Confirm"));
        });
        EXPECT_EQ(typed, QString::fromLatin1(r.text)) << r.keys;
        EXPECT_EQ(result, typed.isEmpty() ? QDialog::Rejected : QDialog::Accepted) << r.keys;
        if (result == QDialog::Accepted) {
            EXPECT_EQ(kb.getText(), QString::fromLatin1(r.text)) << r.keys;
        }
    }
}

TEST_F(Keyboards, ConfirmOnBlankInputKeepsTheKeyboardOpen)
{
    for (const char* start : {"", "   "}) {
        DigitalKeyboard kb{QString(), QString(), QString::fromLatin1(start)};
        bool stillOpen = false;
        const int result = runWith(&kb, [&](QWidget* w) {
            Click(key(w, "Confirm"));
            stillOpen = w->isVisible();
            Click(key(w, "Cancel"));
        });
        EXPECT_TRUE(stillOpen) << '"' << start << '"';
        EXPECT_EQ(result, QDialog::Rejected);
    }
}

TEST_F(Keyboards, CloseIconAndEscapeCancel)
{
    DigitalKeyboard kb{QString(), QString(), QString()};
    EXPECT_EQ(runWith(&kb, [&](QWidget* w) {
                  TypeOn(w, QStringLiteral("5"));
                  Click(ButtonWithText(w, QString()));  // the close icon has no caption
              }),
              QDialog::Rejected);
    FullKeyboard full{QString(), QString(), QString()};
    EXPECT_EQ(runWith(&full, [&](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }), QDialog::Rejected);
}

TEST_F(Keyboards, BackspaceTakesTheLastCharacterWhereverTheCursorIs)
{
    DigitalKeyboard kb{QString(), QString(), QStringLiteral("123")};
    runWith(&kb, [&](QWidget* w) {
        inputLine(w)->setCursorPosition(0);
        Click(key(w, "BS"));
        Click(key(w, "Confirm"));
    });
    EXPECT_EQ(kb.getText(), QStringLiteral("12"));
}

TEST_F(Keyboards, FullKeyboardLayoutAndCaptions)
{
    FullKeyboard kb{QStringLiteral("Name"), QString(), QString()};
    kb.show();
    EXPECT_EQ(kb.size(), QSize(1112, 520));
    EXPECT_EQ(kb.windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint);
    EXPECT_EQ(inputLine(&kb)->width(), 380);
    const char* const rows[] = {"1234567890_", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    int lastY = -1;
    for (const char* row : rows) {
        const int y = key(&kb, QByteArray(1, row[0]).constData())->y();
        EXPECT_GT(y, lastY) << row;
        for (const char* c = row; *c; ++c)
            EXPECT_EQ(key(&kb, QByteArray(1, *c).constData())->y(), y) << *c;
        lastY = y;
    }
    const int middle = key(&kb, "A")->y();
    const int bottom = key(&kb, "Z")->y();
    EXPECT_EQ(key(&kb, "小写")->y(), middle);
    EXPECT_LT(key(&kb, "小写")->x(), key(&kb, "A")->x());
    EXPECT_GT(key(&kb, "符号")->x(), key(&kb, "L")->x());
    EXPECT_EQ(key(&kb, "取消")->y(), bottom);
    EXPECT_LT(key(&kb, "取消")->x(), key(&kb, "Z")->x());
    EXPECT_GT(key(&kb, "退格")->x(), key(&kb, "M")->x());
    EXPECT_GT(key(&kb, "确定")->x(), key(&kb, "退格")->x());
    EXPECT_EQ(key(&kb, "取消")->width(), 122);
    EXPECT_EQ(key(&kb, "确定")->width(), 122);
}

TEST_F(Keyboards, FullKeyboardCaseKeyAlternatesAndTypesInTheShownCase)
{
    FullKeyboard kb{QString(), QString(), QString()};
    QStringList seen;
    runWith(&kb, [&](QWidget* w) {
        TypeOn(w, QStringLiteral("A1"));
        Click(key(w, "小写"));
        seen << (ButtonWithText(w, QStringLiteral("q")) ? "lower" : "upper")
             << (ButtonWithText(w, QStringLiteral("大写")) ? "大写" : "?")
             << (ButtonWithText(w, QStringLiteral("_")) && ButtonWithText(w, QStringLiteral("7")) ? "digits" : "?");
        TypeOn(w, QStringLiteral("b_"));
        Click(key(w, "符号"));  // does nothing
        Click(key(w, "大写"));
        seen << (ButtonWithText(w, QStringLiteral("Q")) ? "upper" : "lower")
             << (ButtonWithText(w, QStringLiteral("小写")) ? "小写" : "?");
        TypeOn(w, QStringLiteral("C"));
        Click(key(w, "确定"));
    });
    EXPECT_EQ(seen, QStringList({"lower", "大写", "digits", "upper", "小写"}));
    EXPECT_EQ(kb.getText(), QStringLiteral("A1b_C"));
}

TEST_F(Keyboards, LineEditTakesTheConfirmedTextUntrimmed)
{
    BLineEdit edit(nullptr, QStringLiteral("Group"), QStringLiteral("a name"), KeyboardFull);
    edit.setText(QStringLiteral("old"));
    QString title, startText;
    {
        ModalScript script;
        script.on("FullKeyboard", [&](QWidget* w) {
            title = w->findChildren<QLabel*>().value(0)->text();
            startText = inputLine(w)->text();
            inputLine(w)->setText(QStringLiteral(" 7 "));
            Click(key(w, "确定"));
        });
        Click(&edit);
        EXPECT_EQ(script.done(), 1);
    }
    EXPECT_EQ(title, QStringLiteral("Group"));
    EXPECT_EQ(startText, QString());
    EXPECT_EQ(edit.text(), QStringLiteral(" 7 "));
}

TEST_F(Keyboards, LineEditCancelBringsTheOldTextBack)
{
    BLineEdit edit(nullptr, QString(), QString(), KeyboardNumeric);
    edit.setText(QStringLiteral("abc"));
    QSignalSpy changes(&edit, &QLineEdit::textChanged);
    {
        ModalScript script;
        script.on("DigitalKeyboard", [&](QWidget* w) {
            TypeOn(w, QStringLiteral("42"));
            Click(key(w, "Cancel"));
        });
        Click(&edit);
        EXPECT_EQ(script.done(), 1);
    }
    EXPECT_EQ(edit.text(), QStringLiteral("abc"));
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(0).at(0).toString(), QString());
    EXPECT_EQ(changes.at(1).at(0).toString(), QStringLiteral("abc"));
}

TEST_F(Keyboards, LineEditTypedNumber)
{
    BLineEdit edit(nullptr, QString(), QString(), KeyboardNumeric);
    {
        ModalScript script;
        script.on("DigitalKeyboard", [&](QWidget* w) {
            TypeOn(w, QStringLiteral("192"));
            Click(key(w, "Confirm"));
        });
        Click(&edit);
    }
    EXPECT_EQ(edit.text(), QStringLiteral("192"));
}

TEST_F(Keyboards, RightOrMiddlePressOpensNothing)
{
    BLineEdit edit(nullptr, QString(), QString(), KeyboardNumeric);
    edit.setText(QStringLiteral("abc"));
    QSlider slider;
    slider.setRange(0, 100);
    slider.setValue(3);
    BlineLabel label(&slider, nullptr, QString(), QString(), KeyboardNumeric);
    NoModalGuard guard;
    for (QWidget* w : {static_cast<QWidget*>(&edit), static_cast<QWidget*>(&label)})
        for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton})
            QTest::mouseClick(w, b);
    EXPECT_FALSE(guard.sawModal());
    EXPECT_EQ(edit.text(), QStringLiteral("abc"));
    EXPECT_EQ(label.text(), QStringLiteral("3"));
    EXPECT_EQ(slider.value(), 3);
}

namespace {
// The caption present on keyboard w: the numeric keyboard's from the text
// table, the full keyboard's fixed Chinese one.
QString LanStrOr(const char* numeric, const char* full, QWidget* w)
{
    return QString::fromUtf8(w->inherits("FullKeyboard") ? full : numeric);
}

// Touches the label and types keys on its keyboard, then confirms or cancels.
void typeOnLabel(BlineLabel* label, const QString& keys, bool confirm, const char* keyboardClass = "DigitalKeyboard")
{
    ModalScript script;
    script.on(keyboardClass, [&](QWidget* w) {
        TypeOn(w, keys);
        Click(ButtonWithText(w, confirm ? LanStrOr("Confirm", "确定", w) : LanStrOr("Cancel", "取消", w)));
    });
    Click(label);
    EXPECT_EQ(script.done(), 1);
}
}  // namespace

TEST_F(Keyboards, LabelNumbersBelowOneCountInTenths)
{
    struct Row {
        const char* keys;
        int value;
    };
    const Row rows[] = {{"0.5", 5}, {"12.7", 12}, {"0.05", 0}, {"3", 3}, {"1..2", 0}, {"250", 100}, {".9", 9}};
    for (const Row& r : rows) {
        QSlider slider;
        slider.setRange(0, 100);
        slider.setValue(50);
        BlineLabel label(&slider, nullptr, QString(), QString(), KeyboardNumeric);
        typeOnLabel(&label, QString::fromLatin1(r.keys), true);
        EXPECT_EQ(slider.value(), r.value) << r.keys;
        EXPECT_EQ(label.text(), QString::fromLatin1(r.keys)) << r.keys;
    }
}

TEST_F(Keyboards, LabelReportsTheSameNumberTypedTwice)
{
    QSlider slider;
    slider.setRange(0, 100);
    BlineLabel label(&slider, nullptr, QString(), QString(), KeyboardNumeric);
    QSignalSpy changes(&slider, &QSlider::valueChanged);
    typeOnLabel(&label, QStringLiteral("20"), true);
    ASSERT_EQ(changes.count(), 1);
    typeOnLabel(&label, QStringLiteral("20"), true);
    ASSERT_EQ(changes.count(), 2);
    EXPECT_EQ(changes.at(1).at(0).toInt(), 20);
    EXPECT_EQ(label.text(), QStringLiteral("20"));
}

TEST_F(Keyboards, LabelCancelLeavesTheSliderWhereItWasWhenTouched)
{
    QSlider slider;
    slider.setRange(1, 100);
    slider.setValue(5);
    BlineLabel label(&slider, nullptr, QString(), QString(), KeyboardNumeric);
    typeOnLabel(&label, QStringLiteral("0.5"), true);  // 5 again: the label keeps "0.5"
    ASSERT_EQ(slider.value(), 5);
    ASSERT_EQ(label.text(), QStringLiteral("0.5"));
    QSignalSpy changes(&slider, &QSlider::valueChanged);
    typeOnLabel(&label, QStringLiteral("7"), false);
    EXPECT_EQ(slider.value(), 5);
    EXPECT_EQ(label.text(), QStringLiteral("0.5"));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(Keyboards, LabelOnTheFullKeyboardTakesTheIntegerPart)
{
    QSlider slider;
    slider.setRange(0, 100);
    BlineLabel label(&slider, nullptr, QString(), QString(), KeyboardFull);
    typeOnLabel(&label, QStringLiteral("12"), true, "FullKeyboard");
    EXPECT_EQ(slider.value(), 12);
    EXPECT_EQ(label.text(), QStringLiteral("12"));
}
