// The IO pages and dialogs as the operator sees them, offscreen: what the
// pages show after loading, the machine-type controls, the IO assignment's
// rows following the rules and the names, the help page's paging. With
// MOULDMON_SHOTS naming a folder, a picture of every page and dialog in
// each language goes there.

#include "core/globals.h"
#include "core/ionames.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "resources/artwork.h"
#include "settings/iopages.h"
#include "settings/iowidget.h"
#include "settings/settingsdialogs.h"
#include "settings/systemsettingwidget.h"
#include "widgets/checkbox.h"
#include "widgets/colorbutton.h"
#include "widgets/combobox.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

namespace {

class IoWidgets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Data_Init();
        InitArtwork();
        savedLan = gLan;
        gLan = 1;
        gpWPara = &inForce;
        gpWParaBak = &edited;
        inForce.defectOn = 1;
        edited = inForce;
    }
    void TearDown() override
    {
        gpWPara = nullptr;
        gpWParaBak = nullptr;
        gLan = savedLan;
        gHelpC = 0;
    }
    // Multi-detection in force with n steps, each owned by its own row.
    void multi(int n)
    {
        inForce.machineType = inForce.pendingMachineType = 4;
        inForce.multiDetectCount = n;
        for (int i = 0; i < 8; ++i) {
            inForce.outputOwner[i] = i < n ? i : -1;
            inForce.rowTrigger[i] = i < n ? i : n - 1;
        }
        edited = inForce;
    }

    WizardPara inForce;
    WizardPara edited;
    int savedLan = 1;
};

TEST_F(IoWidgets, TheParamsPageShowsAndStoresTheEditingCopy)
{
    edited.preCut = 15;
    edited.noInputTimeout = 120;
    edited.pendingMachineType = 3;
    IOParamsWidget page;
    page.WizardParaInit();
    EXPECT_EQ(page.valueLabel(3)->text(), "1.5");
    EXPECT_EQ(page.valueLabel(0)->text(), "120");
    EXPECT_EQ(page.machineTypes()->checkedId(), 3);
    EXPECT_EQ(page.initialState(0), nullptr);   // only with multi-detection in force
    page.slider(1)->setValue(25);
    EXPECT_EQ(page.valueLabel(1)->text(), "2.5");
    page.machineTypes()->button(1)->click();
    page.accept();
    EXPECT_EQ(edited.preCut, 15);
    EXPECT_EQ(edited.ejectorPulseTime, 25);
    EXPECT_EQ(edited.pendingMachineType, 1);
    EXPECT_EQ(inForce.pendingMachineType, 0);
}

TEST_F(IoWidgets, ClickingAMachineTypeShowsItsControls)
{
    SystemSettingWidget hub;
    hub.resize(1725, 982);
    hub.show();
    auto* page = static_cast<IOParamsWidget*>(hub.page(9));
    hub.changeWidget(9);
    QButtonGroup* types = page->machineTypes();
    QTest::mouseClick(types->button(1), Qt::LeftButton);
    EXPECT_TRUE(page->sides()->button(0)->isVisible());
    EXPECT_FALSE(page->customIoButton()->isVisible());
    QTest::mouseClick(types->button(4), Qt::LeftButton);
    EXPECT_FALSE(page->sides()->button(0)->isVisible());
    EXPECT_TRUE(page->customIoButton()->isVisible());
    EXPECT_TRUE(page->ioNameButton()->isVisible());
    QTest::mouseClick(types->button(3), Qt::LeftButton);
    EXPECT_FALSE(page->customIoButton()->isVisible());
    EXPECT_FALSE(page->sides()->button(2)->isVisible());
}

TEST_F(IoWidgets, InitialStatesFollowTheDetectionCountWhenTheFactoryParametersShow)
{
    const int shownFor[][5] = {{0, 0, 0, 0, 0}, {1, 1, 1, 0, 0}, {1, 1, 1, 1, 1}};
    const int counts[] = {3, 6, 8};
    for (int c = 0; c < 3; ++c) {
        multi(counts[c]);
        IOParamsWidget page;
        page.factoryShown = [] { return true; };
        page.WizardParaInit();
        page.resize(1725, 900);
        page.show();
        EXPECT_EQ(page.initialStateCaption()->isVisible(), counts[c] > 3) << counts[c];
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(page.initialState(i)->isVisible(), shownFor[c][i] != 0) << counts[c] << " " << i;
    }
}

TEST_F(IoWidgets, TheFunctionsPageShowsTheFactoryRowsOnlyWithTheFactoryBox)
{
    edited.output4Use = 2;
    edited.cutClampOnMouldAlarm = 1;
    bool factory = false;
    IOFunctionsWidget page;
    page.factoryShown = [&] { return factory; };
    page.WizardParaInit();
    EXPECT_TRUE(page.box(11)->isChecked());
    EXPECT_EQ(page.outputUse()->checkedId(), 2);
    page.show();
    EXPECT_FALSE(page.initialState(0)->button(0)->isVisible());
    page.hide();
    factory = true;
    page.show();
    EXPECT_TRUE(page.initialState(3)->button(1)->isVisible());
    page.initialState(2)->button(1)->click();
    page.accept();
    EXPECT_EQ(edited.outPolarity[2], 1);
}

TEST_F(IoWidgets, TheAssignmentRowsFollowTheRules)
{
    multi(3);
    SystemSettingWidget hub;
    IOWidget* io = hub.ioWidget();
    ASSERT_NE(io, nullptr);
    EXPECT_EQ(io->countBox()->currentIndex(), 1);
    EXPECT_TRUE(io->row(2)->isVisibleTo(io));
    EXPECT_FALSE(io->row(3)->isVisibleTo(io));
    // Row 1 owns step 1: row 0 cannot tick steps 1 and 2.
    EXPECT_FALSE(io->row(0)->stepBox(1)->isCheckable());
    EXPECT_TRUE(io->row(1)->stepBox(1)->isChecked());
    io->row(1)->stepBox(1)->click();   // untick
    EXPECT_EQ(io->assignment().owner(1), -1);
    EXPECT_TRUE(io->row(0)->stepBox(1)->isCheckable());
    EXPECT_FALSE(io->row(0)->stepBox(2)->isCheckable());
    // Row 0 takes trigger index 2: every later row lists only that one.
    io->row(0)->triggerBox()->setCurrentIndex(2);
    EXPECT_EQ(io->row(1)->triggerBox()->count(), 1);
    EXPECT_EQ(io->assignment().trigger(2), 2);
    io->reset();
    EXPECT_FALSE(io->row(0)->stepBox(0)->isChecked());
    EXPECT_FALSE(io->assignment().complete());
}

TEST_F(IoWidgets, ConfirmingTheAssignmentStoresItAndReturnsToTheParamsPage)
{
    multi(3);
    SystemSettingWidget hub;
    QString caption;
    QObject::connect(&hub, &SystemSettingWidget::reDetectCaption, [&](const QString& c) { caption = c; });
    IOWidget* io = hub.ioWidget();
    io->countBox()->setCurrentIndex(2);   // 4 steps
    io->row(3)->stepBox(3)->click();
    io->row(3)->cutModeBox()->setCurrentIndex(2);
    io->confirmButton()->click();
    EXPECT_EQ(edited.multiDetectCount, 4);
    EXPECT_EQ(edited.outputOwner[3], 3);
    EXPECT_EQ(edited.rowCutMode[3], 2);
    EXPECT_EQ(hub.currentPage(), 9);
    EXPECT_EQ(caption, "re-detect 4th");
}

TEST_F(IoWidgets, ChosenNamesLabelTheAssignmentAndReachTheEditingCopy)
{
    multi(3);
    SystemSettingWidget hub;
    CustomIONameWidget names(nullptr, &hub);
    names.init();
    EXPECT_EQ(names.inputCaption(1)->text(), "Input 3");
    names.inputBox(0)->setCurrentIndex(12);
    names.outputBox(2)->setCurrentIndex(9);
    names.confirmButton()->click();
    EXPECT_EQ(hub.ioWidget()->row(0)->triggerBox()->itemText(0), "Neu B I");
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(hub.ioWidget()->row(r)->stepBox(2)->text(), "Rot") << r;
    EXPECT_EQ(edited.inputNameIdx[0], 12);
    EXPECT_EQ(edited.outputNameIdx[2], 9);
    EXPECT_TRUE(hub.isVisible());
}

TEST_F(IoWidgets, TheNamesDialogBuildsInEveryLanguage)
{
    const char* firstCaption[] = {"输入 1", "Input 1", "输入 1"};
    for (int lan = 0; lan < 3; ++lan) {
        gLan = lan;
        SystemSettingWidget hub;
        CustomIONameWidget names(nullptr, &hub);
        EXPECT_EQ(names.inputCaption(0)->text(), QString::fromUtf8(firstCaption[lan]));
        EXPECT_EQ(names.inputBox(0)->count(), kInNameCount);
        EXPECT_EQ(names.outputBox(0)->count(), kOutNameCount);
    }
}

TEST_F(IoWidgets, HelpPagesComeInNameOrderAndWrap)
{
    QDir().mkpath("help-en");
    for (int i = 0; i < 12; ++i) {
        QPixmap p(8, 8);
        p.fill(QColor(i * 20, 0, 0));
        ASSERT_TRUE(p.save(QStringLiteral("help-en/%1.png").arg(i, 2, 10, QLatin1Char('0'))));
    }
    HelpWidget help;
    ASSERT_EQ(help.pageCount(), 12);
    gHelpC = 11;
    help.button(1)->click();   // next step
    EXPECT_EQ(gHelpC, 0);
    help.button(0)->click();   // pre step
    EXPECT_EQ(gHelpC, 11);
    gLan = 0;
    HelpWidget chinese;   // ./help/ is missing: the built-in picture only
    EXPECT_EQ(chinese.pageCount(), 1);
    gHelpC = 6;
    EXPECT_EQ(chinese.shownPage(), 0);
    chinese.repaint();
}

TEST_F(IoWidgets, TheHardwareSheetShowsTheCameraCountForItsCountLine)
{
    QFile conf("conf.txt");
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("Main_Board\tA9_Quad\nCameras\nCount\t7\n");
    conf.close();
    numCamera = 3;
    gCameraID = 7;
    HardwareConfigurationWidget sheet(nullptr, nullptr);
    ASSERT_NE(sheet.countLabel(), nullptr);
    sheet.show();
    EXPECT_EQ(sheet.countLabel()->text(), "3");
    sheet.hide();
    gCameraID = 0;
    sheet.show();
    EXPECT_EQ(sheet.countLabel()->text(), "0");
    const QList<QLabel*> labels = sheet.findChildren<QLabel*>();
    QStringList texts;
    for (QLabel* l : labels)
        texts << l->text();
    EXPECT_TRUE(texts.contains("Main Board"));
    EXPECT_TRUE(texts.contains("A9 Quad"));
}

TEST_F(IoWidgets, TheLightDialogAcceptsAndRejects)
{
    lightsettingdialog dialog;
    dialog.setText("Light");
    EXPECT_EQ(dialog.text(), "Light");
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mousePress(buttons[1], Qt::LeftButton);
    EXPECT_EQ(accepted.count(), 1);
}

// Pictures of every page and dialog for the eye, in each language.
TEST_F(IoWidgets, PicturesForTheEye)
{
    const QString folder = qEnvironmentVariable("MOULDMON_SHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "pictures only when MOULDMON_SHOTS names a folder";
    QDir().mkpath(folder);
    for (int lan = 0; lan < 3; ++lan) {
        gLan = lan;
        multi(3);
        inForce.showFactoryParams = edited.showFactoryParams = 1;
        numCamera = 3;
        const QString suffix = QStringLiteral("-lan%1.png").arg(lan);
        SystemSettingWidget hub;
        hub.resize(1725, 982);
        hub.show();
        for (int page : {9, 10, 14}) {
            hub.changeWidget(page);
            if (page == 9)
                static_cast<IOParamsWidget*>(hub.page(9))->applyMachineType(4);
            hub.grab().save(folder + QStringLiteral("/page%1").arg(page) + suffix);
        }
        hub.ioWidget()->show();
        hub.ioWidget()->grab().save(folder + "/ioassignment" + suffix);
        hub.ioWidget()->hide();
        CustomIONameWidget names(nullptr, &hub);
        names.init();
        names.show();
        names.grab().save(folder + "/ionames" + suffix);
        WidgetChangeCamera order(nullptr, 3, nullptr);
        order.show();
        order.grab().save(folder + "/cameraorder" + suffix);
        HardwareConfigurationWidget sheet(nullptr, nullptr);
        sheet.show();
        sheet.grab().save(folder + "/hardware" + suffix);
        lightsettingdialog light;
        light.show();
        light.grab().save(folder + "/light" + suffix);
    }
}

}  // namespace
