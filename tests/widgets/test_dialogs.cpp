// Warning, yes/no, calibration-choice and message boxes.

#include "tests/widgets/widgetfixture.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/bmessagebox.h"
#include "widgets/choosecalinumwidget.h"
#include "widgets/combobox.h"
#include "widgets/passwordbox.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
QStringList buttonCaptions(QWidget* box)
{
    QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    QStringList captions;
    for (QPushButton* b : buttons)
        captions << b->text();
    return captions;
}

bool hasLabel(QWidget* box, const QString& text)
{
    for (QLabel* l : box->findChildren<QLabel*>())
        if (l->text() == text)
            return true;
    return false;
}
}  // namespace

using Dialogs = WidgetTest;

TEST_F(Dialogs, BoxesAreCentredOnTheDisplayAreaAtEachShow)
{
    gShowW = 1920;
    gShowH = 1080;
    WarnBox warn(QStringLiteral("W"));
    ChooseBox choose(QStringLiteral("C"));
    PasswordBox password{QStringLiteral("P")};
    gShowW = 1725;
    gShowH = 982;
    for (QDialog* box : {static_cast<QDialog*>(&warn), static_cast<QDialog*>(&choose),
                         static_cast<QDialog*>(&password)}) {
        box->show();
        EXPECT_EQ(box->geometry(), QRect(522, 366, 680, 250)) << box->metaObject()->className();
        box->hide();
    }
}

TEST_F(Dialogs, WarnBoxConfirmsInChineseInEveryLanguage)
{
    for (int lan = 0; lan < kLanCount; ++lan) {
        gLan = lan;
        WarnBox warn(QStringLiteral("W"));
        ChooseBox choose(QStringLiteral("C"));
        EXPECT_EQ(warn.confirmButton()->text(), QStringLiteral("确定")) << lan;
        EXPECT_EQ(warn.confirmButton()->size(), QSize(200, 72));
        EXPECT_EQ(buttonCaptions(&choose), QStringList({LanStr(122, lan), LanStr(123, lan)})) << lan;
        EXPECT_EQ(warn.windowFlags() & ~Qt::WindowType_Mask, Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
        EXPECT_EQ(choose.windowFlags() & ~Qt::WindowType_Mask, Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint);
    }
}

TEST_F(Dialogs, ShowWarnBoxReturnsWhenConfirmedOrEscaped)
{
    QString title;
    {
        ModalScript script;
        script.on("WarnBox", [&](QWidget* w) {
            title = hasLabel(w, QStringLiteral("Warning!")) && hasLabel(w, QStringLiteral("Door open")) ? "ok" : "?";
            Click(ButtonWithText(w, QStringLiteral("确定")));
        });
        showWarnBox(QStringLiteral("Door open"));
        EXPECT_EQ(script.done(), 1);
    }
    EXPECT_EQ(title, QStringLiteral("ok"));
    ModalScript script;
    script.on("WarnBox", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    showWarnBox(QStringLiteral("again"));
    EXPECT_EQ(script.done(), 1);
}

TEST_F(Dialogs, ShowChooseBoxIsTrueOnlyForYes)
{
    struct Row {
        const char* name;
        std::function<void(QWidget*)> act;
        bool answer;
    };
    const Row rows[] = {
        {"YES", [](QWidget* w) { Click(ButtonWithText(w, QStringLiteral("YES"))); }, true},
        {"NO", [](QWidget* w) { Click(ButtonWithText(w, QStringLiteral("NO"))); }, false},
        {"Escape", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }, false},
        {"closed", [](QWidget* w) { w->close(); }, false},
    };
    for (const Row& r : rows) {
        bool titled = false;
        ModalScript script;
        script.on("ChooseBox", [&](QWidget* w) {
            titled = hasLabel(w, QStringLiteral("Confirmation prompt")) && hasLabel(w, QStringLiteral("Clear?"));
            r.act(w);
        });
        EXPECT_EQ(showChooseBox(QStringLiteral("Clear?")), r.answer) << r.name;
        EXPECT_TRUE(titled) << r.name;
    }
}

TEST_F(Dialogs, WarningWakesTheScreenAndRestartsItsTimerOnlyWithATimeSet)
{
    struct Row {
        bool lcdOff;
        int screenOffTime;
        bool timerRuns;
    };
    const Row rows[] = {{true, 30, true}, {true, 0, false}, {false, 30, false}};
    for (const Row& r : rows) {
        host.lcd = r.lcdOff;
        host.screenOff.stop();
        gpWPara->screenOffTime = r.screenOffTime;
        WarnBox box(QStringLiteral("W"));
        box.show();
        EXPECT_FALSE(host.lcd);
        EXPECT_EQ(host.screenOff.isActive(), r.timerRuns) << r.lcdOff << "/" << r.screenOffTime;
        if (r.timerRuns) {
            EXPECT_EQ(host.screenOff.interval(), 30000);
        }
        box.hide();
    }
    host.lcd = true;
    host.screenOff.stop();
    ChooseBox question(QStringLiteral("C"));
    question.show();
    EXPECT_TRUE(host.lcd);  // only warnings wake the screen
}

TEST_F(Dialogs, MessageBoxButtonsByBitsInTheirFixedOrder)
{
    BMessageBox all(QStringLiteral("T"), QStringLiteral("text"), 0x1F, BMsgWarning);
    all.show();
    EXPECT_EQ(buttonCaptions(&all), QStringList({"Cancel", "Confirm", "NO", "YES", QStringLiteral("关闭")}));
    EXPECT_EQ(all.geometry(), QRect(522, 366, 680, 250));
    EXPECT_EQ(all.windowFlags() & ~Qt::WindowType_Mask, Qt::FramelessWindowHint);

    const std::pair<const char*, int> results[] = {
        {"Cancel", QDialog::Rejected}, {"Confirm", QDialog::Accepted}, {"NO", QDialog::Rejected},
        {"YES", QDialog::Accepted},    {"关闭", QDialog::Rejected},
    };
    for (const auto& [caption, expected] : results) {
        BMessageBox box(QStringLiteral("T"), QStringLiteral("text"), 0x1F, BMsgWarning);
        ModalScript script;
        script.on("BMessageBox", [&](QWidget* w) { QTest::mousePress(ButtonWithText(w, QString::fromUtf8(caption)), Qt::LeftButton); });
        EXPECT_EQ(box.exec(), expected) << caption;
    }
}

TEST_F(Dialogs, MessageBoxWithoutButtonsOrIcon)
{
    BMessageBox box(QStringLiteral("T"), QStringLiteral("text"), 0, BMessageBoxIcon(7));
    box.show();
    EXPECT_TRUE(box.findChildren<QPushButton*>().isEmpty());
    int emptyIcons = 0;
    for (QLabel* l : box.findChildren<QLabel*>())
        if (l->size() == QSize(48, 48) && l->pixmap(Qt::ReturnByValue).isNull())
            ++emptyIcons;
    EXPECT_EQ(emptyIcons, 1);
}

TEST_F(Dialogs, CalibrationChoiceOffersThreePointCountsAndPlacesItsButtons)
{
    ChooseCaliNumWidget box;
    ComboBox* combo = box.pointCount();
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral(" 4 "));
    EXPECT_EQ(combo->itemText(1), QStringLiteral(" 9 "));
    EXPECT_EQ(combo->itemText(2), QStringLiteral(" 25 "));
    EXPECT_EQ(combo->size(), QSize(200, 80));
    EXPECT_EQ(combo->pos(), QPoint(440, 32));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.repaint();
    QPushButton* yes = ButtonWithText(&box, QStringLiteral("YES"));
    QPushButton* no = ButtonWithText(&box, QStringLiteral("NO"));
    ASSERT_TRUE(yes && no);
    EXPECT_EQ(yes->geometry(), QRect(680 / 3 - 160, (250 / 3) * 2 - 50, 220, 100));
    EXPECT_EQ(no->geometry(), QRect((680 / 3) * 2 - 60, (250 / 3) * 2 - 50, 220, 100));
}

namespace {
QLabel* labelWithText(QWidget* box, const QString& text)
{
    for (QLabel* l : box->findChildren<QLabel*>())
        if (l->text() == text)
            return l;
    return nullptr;
}
}  // namespace

TEST_F(Dialogs, ALongMessageMakesTheBoxTallerButKeepsItCentredAndWhole)
{
    for (int lan = 0; lan < kLanCount; ++lan) {
        gLan = lan;
        ChooseBox box(LanStr(566));
        box.setText(LanStr(134));  // four lines
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        EXPECT_EQ(box.width(), 680);
        EXPECT_GT(box.height(), 250) << lan;
        // The offscreen platform may count its 2-pixel window frame in the position.
        EXPECT_NEAR(box.x(), 522, 2);
        EXPECT_NEAR(box.y(), 982 / 2 - box.height() / 2, 2);
        QLabel* text = labelWithText(&box, LanStr(134));
        ASSERT_NE(text, nullptr);
        EXPECT_GE(text->height(), text->heightForWidth(text->width())) << lan;
    }
}

TEST_F(Dialogs, ATitleWordWiderThanItsColumnIsSetSmaller)
{
    gLan = 1;
    WarnBox english(LanStr(568));   // "Warning!" in a column 100 wide
    QLabel* title = labelWithText(&english, QStringLiteral("Warning!"));
    ASSERT_NE(title, nullptr);
    english.show();
    EXPECT_LE(title->fontMetrics().horizontalAdvance(title->text()), 100);
    EXPECT_LT(title->font().pixelSize(), 30);

    gLan = 0;
    WarnBox chinese(LanStr(568));
    QLabel* fits = labelWithText(&chinese, LanStr(568));
    chinese.show();
    EXPECT_EQ(fits->font().pixelSize(), 30);
}
