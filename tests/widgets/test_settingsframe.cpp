// The clock dialog, the paging bar and the clickable picture.

#include "tests/widgets/widgetfixture.h"

#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "widgets/blineedit.h"
#include "widgets/bverticaltabbar.h"
#include "widgets/label.h"
#include "widgets/modifytimewidget.h"
#include "widgets/pagecontrolbar.h"

#include <QDateEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

class SettingsFrame : public WidgetTest
{
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        CommandRunner::setFake([this](const QString& program, const QStringList& args) {
            commands << CommandRunner::commandLine(program, args);
            return CommandResult{};
        });
    }
    void TearDown() override
    {
        CommandRunner::setFake(nullptr);
        WidgetTest::TearDown();
    }
    QStringList commands;
};

TEST_F(SettingsFrame, ClockDialogSitsOnTheDisplayAreaWithItsButtons)
{
    ModifyTimeWidget dialog(LanStr(401));
    EXPECT_EQ(dialog.geometry(), QRect(gShowW / 2 - 340, gShowH / 2 - 200, 680, 400));
    dialog.show();
    EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
    ASSERT_NE(ButtonWithText(&dialog, LanStr(121)), nullptr);
    ASSERT_NE(ButtonWithText(&dialog, LanStr(124)), nullptr);
    EXPECT_EQ(ButtonWithText(&dialog, LanStr(121))->size(), QSize(250, 72));
    EXPECT_EQ(dialog.editor->dateEdit->size(), QSize(330, 160));
    EXPECT_EQ(dialog.editor->timeEdit->displayFormat(), QStringLiteral("HH : mm : ss"));
}

TEST_F(SettingsFrame, EveryShowingStartsAtTheCurrentTime)
{
    EditDateTime editor{QString()};
    editor.dateEdit->setDate(QDate(2001, 2, 3));
    editor.ShowDateTime();
    EXPECT_EQ(editor.dateEdit->date(), QDate::currentDate());
    EXPECT_TRUE(commands.isEmpty());
}

TEST_F(SettingsFrame, TheChosenMomentSetsTheSystemClockThenTheHardwareClock)
{
    EditDateTime editor{QString()};
    editor.dateEdit->setDate(QDate(2024, 1, 5));
    editor.timeEdit->setTime(QTime(9, 3, 7));
    editor.setSysDateTime();
    EXPECT_EQ(commands, (QStringList{"date -s 2024-01-05 09:03:07", "hwclock --systohc"}));
}

TEST_F(SettingsFrame, ConfirmAndCancelEndTheDialogWithoutTouchingTheClock)
{
    for (int caption : {121, 124}) {
        ModifyTimeWidget dialog(LanStr(401));
        ModalScript script;
        script.on("QDialog", [&](QWidget* w) { Click(ButtonWithText(w, LanStr(caption))); });
        EXPECT_EQ(dialog.exec(), caption == 121 ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(script.done(), 1);
    }
    EXPECT_TRUE(commands.isEmpty());
}

TEST_F(SettingsFrame, PagingBarChecksTheShownPageAndAsksForOthers)
{
    PageControlBar bar;
    QSignalSpy asked(&bar, &PageControlBar::pageRequested);
    auto button = [&](const char* text) { return bar.findChild<QPushButton*>(QStringLiteral("page_") + text); };
    bar.setPage(2, 3);
    for (const char* text : {"1", "2", "3", "4"})
        EXPECT_EQ(button(text)->isChecked(), QByteArray(text) == "2") << text;
    EXPECT_FALSE(button("4")->isEnabled());   // beyond the last page
    QTest::mouseClick(button("3"), Qt::LeftButton);
    QTest::mouseClick(button(">|"), Qt::LeftButton);
    QTest::mouseClick(button("<"), Qt::LeftButton);
    ASSERT_EQ(asked.count(), 3);
    EXPECT_EQ(asked[0][0].toInt(), 3);
    EXPECT_EQ(asked[1][0].toInt(), 3);
    EXPECT_EQ(asked[2][0].toInt(), 1);
    bar.setPage(9, 3);   // held to the pages there are
    EXPECT_EQ(bar.page(), 3);
    bar.setPage(1, 0);   // an empty table still shows page 1 of 1
    EXPECT_EQ(bar.page(), 1);
}

TEST_F(SettingsFrame, PictureReportsALeftPress)
{
    QPixmap picture(40, 20);
    picture.fill(Qt::red);
    Label label(nullptr, picture);
    QSignalSpy clicked(&label, &Label::clicked);
    QTest::mousePress(&label, Qt::RightButton);
    QTest::mousePress(&label, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

QVector<QWidget*> newPages(int n)
{
    QVector<QWidget*> pages;
    for (int i = 0; i < n; ++i)
        pages << new QWidget;
    return pages;
}

TEST_F(SettingsFrame, TabGroupsFollowEachOtherWithAGapAndTheFirstShowsItsFirstPage)
{
    BVerticalTabBar frame;
    QPixmap icon(46, 46);
    frame.addWidgetGroup(icon, {"a", "b", "c"}, newPages(3));
    EXPECT_EQ(frame.currentTitle(), "a");
    EXPECT_TRUE(frame.tabButtonAt(0)->isChecked());
    frame.addWidgetGroup(icon, {"d", "e"}, newPages(2));
    const QVector<QWidget*> spare = newPages(1);
    frame.addWidgetGroup(icon, {"x", "y"}, spare);   // lengths differ: nothing
    frame.addWidgetGroup(icon, {}, {});
    delete spare[0];
    frame.addWidgetGroup(icon, {"f", "g"}, newPages(2));
    EXPECT_EQ(frame.groupCount(), 3);
    EXPECT_EQ(frame.currentIndex(), 0);
    EXPECT_EQ(frame.currentTitle(), "a");
    // button, button, button, gap, button, button, gap, button, button, gap, stretch
    QVBoxLayout* column = frame.columnLayout();
    ASSERT_EQ(column->count(), 11);
    for (int i : {3, 6, 9}) {
        ASSERT_NE(column->itemAt(i)->spacerItem(), nullptr) << i;
        EXPECT_EQ(column->itemAt(i)->spacerItem()->sizeHint().height(), 30) << i;
    }
    EXPECT_EQ(column->itemAt(4)->widget(), frame.tabButtonAt(3));
    EXPECT_EQ(column->itemAt(8)->widget(), frame.tabButtonAt(6));
    EXPECT_EQ(frame.tabButtonAt(7), nullptr);
    EXPECT_EQ(frame.tabButtonAt(0)->height(), 80);
}

TEST_F(SettingsFrame, PressingTheLogTabTellsTheScreenBeforeItsPageShows)
{
    BVerticalTabBar frame;
    QPixmap icon(46, 46);
    frame.addWidgetGroup(icon, {"a", LanStr(575), LanStr(576)}, newPages(3));
    frame.show();
    int pageWhenTold = -1;
    QObject::connect(&frame, &BVerticalTabBar::recordshow, [&] { pageWhenTold = frame.currentIndex(); });
    QSignalSpy memo(&frame, &BVerticalTabBar::Memorandum);
    QSignalSpy device(&frame, &BVerticalTabBar::DeviPara);
    QTest::mousePress(frame.tabButtonAt(1), Qt::LeftButton);
    EXPECT_EQ(pageWhenTold, 0);
    EXPECT_EQ(frame.currentIndex(), 1);
    EXPECT_EQ(frame.currentTitle(), LanStr(575));
    QTest::mousePress(frame.tabButtonAt(2), Qt::LeftButton);
    EXPECT_EQ(memo.count(), 1);
    QTest::mousePress(frame.tabButtonAt(0), Qt::LeftButton);
    EXPECT_EQ(frame.currentIndex(), 0);
    EXPECT_EQ(device.count(), 0);
}

TEST_F(SettingsFrame, TheExitButtonLeavesOnItsPress)
{
    BVerticalTabBar frame;
    QSignalSpy exits(&frame, &BVerticalTabBar::Exitsetup);
    EXPECT_EQ(frame.exitSetupButton()->text(), LanStr(590));
    QTest::mousePress(frame.exitSetupButton(), Qt::LeftButton);
    EXPECT_EQ(exits.count(), 1);
}

}  // namespace
