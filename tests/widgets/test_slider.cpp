// The touch slider of the region parameter panel.

#include "tests/widgets/widgetfixture.h"

#include "core/globals.h"
#include "widgets/colorbutton.h"
#include "widgets/numberinput.h"
#include "widgets/slider.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {
// A slider 476 wide (a 100-pixel track) in a panel, as the region panel holds them.
struct SliderPanel {
    SliderPanel(int min, int max, int value)
    {
        window.resize(1200, 800);
        panel = new QWidget(&window);
        panel->setGeometry(0, 0, 1200, 800);
        slider = new Slider(min, max, 1, value, panel, QStringLiteral("Gray"));
        slider->setGeometry(20, 300, 476, 60);
        ShowActive(&window);
        slider->repaint();
    }
    int knobX() const { return slider->knob().x() + 5; }
    void drag(int from, const std::vector<int>& to)
    {
        SendMouse(slider, QEvent::MouseButtonPress, QPoint(from, 30));
        for (int x : to)
            SendMouse(slider, QEvent::MouseMove, QPoint(x, 30));
        SendMouse(slider, QEvent::MouseButtonRelease, QPoint(to.empty() ? from : to.back(), 30));
    }
    void tapValueBox() { QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(150, 30)); }
    QWidget window;
    QWidget* panel = nullptr;
    Slider* slider = nullptr;
};

void press(const QString& digits)
{
    for (const QChar c : digits)
        Click(gpNumPad->digitKey((c.digitValue() + 9) % 10));
}
}  // namespace

using Sliders = WidgetTest;

TEST_F(Sliders, LayoutOfButtonsAndTrack)
{
    SliderPanel p(0, 10, 0);
    EXPECT_EQ(p.slider->trackLength(), 100);
    EXPECT_EQ(p.slider->subButton()->geometry(), QRect(220, 10, 70, 41));
    EXPECT_EQ(p.slider->addButton()->geometry(), QRect(406, 10, 70, 41));
    EXPECT_EQ(p.slider->subButton()->text(), QStringLiteral("- 1"));
    EXPECT_EQ(p.slider->addButton()->text(), QStringLiteral("+ 1"));
    EXPECT_EQ(p.slider->knob(), QRect(298, 3, 10, 54));
    for (ColorButton* b : {p.slider->subButton(), p.slider->addButton()}) {
        EXPECT_TRUE(b->autoRepeat());
        EXPECT_EQ(b->autoRepeatDelay(), 300);
        EXPECT_EQ(b->autoRepeatInterval(), 50);
    }
}

TEST_F(Sliders, StepButtonsStopAtTheEnds)
{
    SliderPanel p(0, 10, 10);
    QSignalSpy changes(p.slider, &Slider::valueChanged);
    Click(p.slider->addButton());
    EXPECT_EQ(changes.count(), 0);
    Click(p.slider->subButton());
    EXPECT_EQ(p.slider->value(), 9);
    p.slider->Reset(0, 10, 1, 0, QStringLiteral("Gray"));
    changes.clear();
    Click(p.slider->subButton());
    EXPECT_EQ(changes.count(), 0);
    Click(p.slider->addButton());
    EXPECT_EQ(p.slider->value(), 1);
}

TEST_F(Sliders, DragMovesByWholeStepsOfTheTrack)
{
    SliderPanel p(0, 10, 0);
    const int x = p.knobX();
    p.drag(x, {x + 9});
    EXPECT_EQ(p.slider->value(), 0);
    p.drag(x, {x + 10});
    EXPECT_EQ(p.slider->value(), 1);
    p.slider->repaint();
    const int y = p.knobX();
    p.drag(y, {y + 5, y + 9, y + 10, y + 19, y + 20});  // sub-step movement adds up
    EXPECT_EQ(p.slider->value(), 3);

    SliderPanel wide(0, 255, 0);
    const int w = wide.knobX();
    wide.drag(w, {w + 1});
    EXPECT_EQ(wide.slider->value(), 2);
    wide.drag(w, {w + 1, w + 2, w + 3});
    EXPECT_EQ(wide.slider->value(), 8);
}

TEST_F(Sliders, DragStepTable)
{
    struct Row {
        int span, dx, track, steps;
    };
    const Row rows[] = {{10, 9, 100, 0}, {10, 10, 100, 1}, {10, -10, 100, -1}, {255, 1, 100, 2},
                        {1000, 3, 100, 30}, {10, 50, 0, 0}, {0, 50, 100, 0}};
    for (const Row& r : rows)
        EXPECT_EQ(SliderDragSteps(r.span, r.dx, r.track), r.steps) << r.span << " " << r.dx << " " << r.track;
}

TEST_F(Sliders, APressAwayFromTheKnobStartsNoDrag)
{
    SliderPanel p(0, 10, 5);
    const int left = p.slider->knob().x() - 21;
    p.drag(left, {left + 50});
    EXPECT_EQ(p.slider->value(), 5);
}

TEST_F(Sliders, TappingTheValueBoxTypesTheValueOnTheKeypad)
{
    SliderPanel p(0, 255, 120);
    QSignalSpy changes(p.slider, &Slider::valueChanged);
    p.tapValueBox();
    ASSERT_TRUE(gpNumPad->isVisible());
    EXPECT_EQ(gpNumPad->parentWidget(), p.panel);
    EXPECT_EQ(p.slider->value(), 0);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 0);
    press(QStringLiteral("8"));
    EXPECT_EQ(p.slider->value(), 8);
    Click(gpNumPad->backspaceKey());
    EXPECT_EQ(p.slider->value(), 0);

    p.tapValueBox();
    press(QStringLiteral("99999"));
    EXPECT_EQ(p.slider->value(), 255);
    Click(gpNumPad->confirmKey());
    EXPECT_FALSE(gpNumPad->isVisible());
}

TEST_F(Sliders, AVeryLongNumberSaturatesAtTheMaximum)
{
    SliderPanel p(0, 255, 120);
    p.tapValueBox();
    press(QStringLiteral("999999999999"));
    EXPECT_EQ(p.slider->value(), 255);
    p.slider->SetText(QStringLiteral("-4"));
    EXPECT_EQ(p.slider->value(), 0);
    p.slider->Reset(10, 255, 1, 100, QStringLiteral("Gray"));
    p.slider->SetText(QStringLiteral("abc"));
    EXPECT_EQ(p.slider->value(), 10);
}

TEST_F(Sliders, NoKeypadOnASmallDisplay)
{
    gShowW = 1024;
    SliderPanel p(0, 255, 120);
    p.tapValueBox();
    EXPECT_FALSE(gpNumPad->isVisible());
    EXPECT_EQ(p.slider->value(), 120);
}

TEST_F(Sliders, ResetMovesTheValueIntoTheNewRange)
{
    SliderPanel p(0, 1000, 800);
    p.slider->Reset(0, 255, 1, 800, QStringLiteral("Area"));
    EXPECT_EQ(p.slider->value(), 255);
    EXPECT_EQ(p.slider->objectName(), QStringLiteral("Area"));
}

TEST_F(Sliders, AnEmptyRangeNeitherMovesNorBreaks)
{
    SliderPanel p(5, 5, 5);
    const int x = p.knobX();
    p.drag(x, {x + 40});
    p.slider->repaint();
    EXPECT_EQ(p.slider->value(), 5);
    p.slider->resize(300, 60);  // narrower than the fixed parts: no track at all
    p.slider->repaint();
    p.drag(p.knobX(), {p.knobX() + 40});
    EXPECT_EQ(p.slider->value(), 5);
}
