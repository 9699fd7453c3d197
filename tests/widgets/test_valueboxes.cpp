// Value boxes, the temperature box, the address editor and the jump slider.

#include "tests/widgets/widgetfixture.h"

#include "widgets/colorbutton.h"
#include "widgets/cslider.h"
#include "widgets/editbox.h"
#include "widgets/editip.h"
#include "widgets/edittempbox.h"
#include "widgets/numberinput.h"
#include "widgets/unitedit.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <climits>

namespace {
void press(const QString& digits)
{
    for (const QChar c : digits)
        Click(gpNumPad->digitKey((c.digitValue() + 9) % 10));
}

// Gives field the focus in its shown window and touches it.
void touch(QLineEdit* field)
{
    field->setFocus();
    WaitFor([&] { return field->hasFocus(); }, 2000);
    QTest::mouseClick(field, Qt::LeftButton);
}
}  // namespace

using ValueBoxes = WidgetTest;

TEST_F(ValueBoxes, EditBoxClampsAndReports)
{
    EditBox box(1, 100, nullptr, QStringLiteral("Delay"), QStringLiteral("s"), 0, 1);
    QSignalSpy changes(&box, &EditBox::valueChanged);
    box.setValue(0);
    EXPECT_EQ(box.value(), 1);
    box.setValue(250);
    EXPECT_EQ(box.value(), 100);
    box.setUse0(true);
    box.setValue(0);
    EXPECT_EQ(box.value(), 0);
    box.setValue(-3);
    EXPECT_EQ(box.value(), 1);
    ASSERT_EQ(changes.count(), 4);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 1);
    EXPECT_EQ(changes.at(1).at(0).toInt(), 100);
    EXPECT_EQ(changes.at(2).at(0).toInt(), 0);
    EXPECT_EQ(box.field()->text(), QStringLiteral("1"));
}

TEST_F(ValueBoxes, ScaledBoxShowsTenthsAndStepsInRawUnits)
{
    EditBox box(0, 1000, nullptr, QStringLiteral("Temp"), QString(), 2, 10);
    box.setValue(37);
    EXPECT_EQ(box.field()->text(), QStringLiteral("3.7"));
    EXPECT_EQ(box.stepButton(-5)->text(), QStringLiteral("- 0.5"));
    EXPECT_EQ(box.stepButton(-1)->text(), QStringLiteral("- 0.1"));
    EXPECT_EQ(box.stepButton(1)->text(), QStringLiteral("+ 0.1"));
    EXPECT_EQ(box.stepButton(5)->text(), QStringLiteral("+ 0.5"));
    Click(box.stepButton(1));
    EXPECT_EQ(box.value(), 38);
    Click(box.stepButton(-5));
    EXPECT_EQ(box.value(), 33);
    EXPECT_EQ(box.field()->text(), QStringLiteral("3.3"));
    EXPECT_EQ(StepCaption(5, 1), QStringLiteral("+ 5"));
    EXPECT_EQ(StepCaption(-1, 0), QStringLiteral("- 1"));
}

TEST_F(ValueBoxes, KeypadDigitsGoThroughTheBox)
{
    QWidget window;
    window.resize(1200, 800);
    EditBox box(0, 100, &window, QStringLiteral("Delay"), QStringLiteral("s"), 0, 1);
    box.move(10, 10);
    box.setValue(7);
    ShowActive(&window);
    QSignalSpy changes(&box, &EditBox::valueChanged);
    touch(box.field());
    ASSERT_TRUE(gpNumPad->isVisible());
    EXPECT_EQ(gpNumPad->parentWidget(), &window);
    press(QStringLiteral("5"));
    EXPECT_EQ(box.value(), 5);
    press(QStringLiteral("2"));
    EXPECT_EQ(box.value(), 52);
    press(QStringLiteral("9"));
    EXPECT_EQ(box.value(), 100);
    EXPECT_EQ(box.field()->text(), QStringLiteral("100"));
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(ValueBoxes, TemperatureBoundsTypedOnTheKeypadSaturateThenComeIntoRange)
{
    QWidget window;
    window.resize(1200, 800);
    EditTempBox box(0, 1000, 0, 0, &window, QStringLiteral("温度1"), QStringLiteral("℃"), 2, 10);
    box.move(10, 10);
    box.setValueRange(100, 600);
    ShowActive(&window);
    touch(box.upperField());
    ASSERT_TRUE(gpNumPad->isVisible());
    press(QStringLiteral("999999999999"));
    EXPECT_EQ(box.getMaxValue(), INT_MAX);  // never wraps to a negative bound
    EXPECT_EQ(box.getMinValue(), 100);
    touch(box.lowerField());  // the upper field's focus out pulls its bound in
    EXPECT_EQ(box.getMaxValue(), 1000);
    EXPECT_EQ(box.upperField()->text(), QStringLiteral("100"));
    press(QStringLiteral("25"));
    EXPECT_EQ(box.getMinValue(), 25);
    EXPECT_EQ(box.lowerField()->text(), QStringLiteral("2.5"));
    box.setValue(300);
    EXPECT_EQ(box.valueLabel()->text(), QStringLiteral("30"));
    EXPECT_TRUE(box.judgeValue());
    box.setValue(1001);
    EXPECT_FALSE(box.judgeValue());
}

TEST_F(ValueBoxes, TemperatureBoundsOutsideTheRangeArePulledIn)
{
    EditTempBox box(0, 1000, 0, 0, nullptr, QStringLiteral("T"), QString(), 0, 1);
    box.setValueRange(-5, 5000);
    box.CheckRange();
    EXPECT_EQ(box.getMinValue(), 0);
    EXPECT_EQ(box.getMaxValue(), 1000);
    EXPECT_EQ(box.lowerField()->text(), QStringLiteral("0"));
    EXPECT_EQ(box.upperField()->text(), QStringLiteral("1000"));
    EXPECT_TRUE(box.checkFocus(box.upperField()));
    EXPECT_FALSE(box.checkFocus(box.lowerField()));
}

TEST_F(ValueBoxes, AddressEditorTakesMalformedText)
{
    struct Row {
        const char* text;
        const char* address;
    };
    const Row rows[] = {
        {"192.168.1.20", "192.168.1.20"}, {"", "0.0.0.0"},          {"10.0", "10.0.0.0"},
        {"1.2.3.4.5", "1.2.3.4"},         {"a.b.c.d", "0.0.0.0"},   {"300.-1.7.x", "255.0.7.0"},
        {"....", "0.0.0.0"},              {"99999999999.1.1.1", "255.1.1.1"}, {"  7 .8.9.10", "7.8.9.10"},
    };
    for (const Row& r : rows) {
        EditIP ip(QStringLiteral("IP"));
        ip.setTextIP(QString::fromLatin1(r.text));
        EXPECT_EQ(ip.getTextIP(), QString::fromLatin1(r.address)) << '"' << r.text << '"';
        for (int n = 0; n < 4; ++n)
            EXPECT_EQ(ip.octet(n)->text(), QString::number(ip.octet(n)->value())) << r.text << " field " << n;
    }
}

TEST_F(ValueBoxes, AddressOctetsStopAt255AndReportTheAddress)
{
    EditIP ip(QStringLiteral("IP"));
    ip.setTextIP(QStringLiteral("10.0.0.1"));
    QSignalSpy changes(&ip, &EditIP::textchange);
    ip.octet(2)->setText(QStringLiteral("300"));
    EXPECT_EQ(ip.octet(2)->text(), QStringLiteral("255"));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toString(), QStringLiteral("10.0.255.1"));
    EXPECT_EQ(ip.height(), 80);
}

TEST_F(ValueBoxes, FullStopMovesToTheNextOctet)
{
    EditIP ip(QStringLiteral("IP"));
    ip.setTextIP(QStringLiteral("10.1.2.3"));
    ShowActive(&ip);
    ip.octet(2)->setFocus();
    ASSERT_TRUE(WaitFor([&] { return ip.octet(2)->hasFocus(); }, 2000));
    QTest::keyClick(ip.octet(2), Qt::Key_Period);
    EXPECT_EQ(ip.octet(3)->text(), QStringLiteral("0"));
    EXPECT_TRUE(ip.octet(3)->hasFocus());
    EXPECT_EQ(ip.getTextIP(), QStringLiteral("10.1.2.0"));
}

TEST_F(ValueBoxes, JumpSliderGoesWhereReleased)
{
    struct Row {
        int x, w, min, max, value;
    };
    const Row rows[] = {{197, 200, 0, 100, 100}, {3, 200, 0, 100, 0},   {101, 200, 0, 100, 50},
                        {196, 200, 0, 100, 98},  {4, 200, 0, 100, 2},   {100, 200, 10, 20, 15},
                        {50, 0, 0, 100, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(CSliderReleaseValue(r.x, r.w, r.min, r.max), r.value) << r.x << " of " << r.w;

    C_Slider slider;
    slider.setRange(0, 100);
    slider.resize(200, 30);
    QSignalSpy changes(&slider, &C_Slider::cChgValue);
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(101, 15));
    EXPECT_EQ(slider.value(), 50);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 50);
}
