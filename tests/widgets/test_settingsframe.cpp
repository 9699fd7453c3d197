// The clock dialog, the paging bar and the clickable picture.

#include "tests/widgets/widgetfixture.h"

#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "widgets/blineedit.h"
#include "widgets/label.h"
#include "widgets/modifytimewidget.h"
#include "widgets/pagecontrolbar.h"

#include <QDateEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>

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

TEST_F(SettingsFrame, PageButtonsAreCheckedOneAtATimeAndNothingElseChanges)
{
    PageControlBar bar;
    bar.show();
    EXPECT_EQ(bar.height(), 70);
    EXPECT_EQ(bar.first->size(), QSize(60, 60));
    EXPECT_EQ(bar.pageField->width(), 80);
    QTest::mouseClick(bar.pageButtons[1], Qt::LeftButton);
    QTest::mouseClick(bar.pageButtons[3], Qt::LeftButton);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(bar.pageButtons[i]->isChecked(), i == 3) << i;
    QTest::mouseClick(bar.next, Qt::LeftButton);
    QTest::mouseClick(bar.last, Qt::LeftButton);
    EXPECT_TRUE(bar.pageButtons[3]->isChecked());
    EXPECT_TRUE(bar.pageField->text().isEmpty());
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

}  // namespace
