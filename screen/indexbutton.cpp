#include "screen/indexbutton.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "screen/mainwindow.h"
#include "widgets/colorbutton.h"
#include "widgets/combobox.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

#include <cmath>

namespace {
constexpr int kButtonColumnType = 4;
const QRect kLogoPlace(0, 0, 230, 110);
const QRect kProPlace(20, 190, 200, 80);
const QRect kMoldPlace(20, 290, 200, 80);

// A column button: hidden unless the visibility rule shows it.
ColorButton* columnButton(int text, QWidget* parent, MainWindow* window, void (MainWindow::*slot)())
{
    auto* button = new ColorButton(LanStr(text), parent, kButtonColumnType);
    if (window && slot)
        QObject::connect(button, &QPushButton::clicked, window, slot);
    button->hide();
    return button;
}
}  // namespace

IndexButton::IndexButton(MainWindow* window)
    : QWidget(window)
{
    QPixmap picture;
    for (const char* file : {"./images/logo2.bmp", "./images/logo2.png"}) {
        if (QFile::exists(QLatin1String(file)) && picture.load(QLatin1String(file)))
            break;
    }
    if (!picture.isNull()) {
        logo = new QLabel(this);
        logo->setGeometry(kLogoPlace);
        logo->setScaledContents(true);
        logo->setPixmap(picture);
    }
    // The column's commands; all but the snapshots stay hidden.
    columnButton(126, this, window, &MainWindow::SlotReturn);
    columnButton(127, this, window, &MainWindow::SlotStartStop);
    columnButton(215, this, window, nullptr);
    columnButton(129, this, window, &MainWindow::SlotReTrain);
    columnButton(130, this, window, &MainWindow::SlotAdjustArea);
    columnButton(562, this, window, &MainWindow::SlotAccount);
    columnButton(111, this, window, nullptr);
    columnButton(516, this, window, &MainWindow::SlotMuliManualTrig);
    moldSnapshot = columnButton(132, this, window, &MainWindow::SlotManualTrig1);
    proSnapshot = columnButton(131, this, window, &MainWindow::SlotManualTrig0);
    moldSnapshot->setGeometry(kMoldPlace);
    proSnapshot->setGeometry(kProPlace);

    stepChooser = new ComboBox(this);
    stepChooser->setFont(QFont(QStringLiteral("wqy-microhei"), 33));
    stepChooser->setItemHeight(73);
    stepChooser->setGeometry(140, 698, 100, 83);
    stepChooser->hide();

    showTimer = new QTimer(this);
    connect(showTimer, &QTimer::timeout, this, &IndexButton::SlotShowHideTimeout);
    setGeometry(gShowW - kWidth, 0, kWidth, gShowH);
    Reset();
}

void IndexButton::ShowHide(int)
{
    const WizardPara& p = *gpWPara;
    const bool snapshots = p.showSnapshot != 0 && p.machineType != 4;
    proSnapshot->setVisible(snapshots && p.productDetectOn != 0);
    moldSnapshot->setVisible(snapshots);
    updateMask();
}

void IndexButton::Reset()
{
    ShowHide();
    ResetComboChooseManualTrig();
}

void IndexButton::ResetComboChooseManualTrig()
{
    stepChooser->clear();
    for (int i = 0; i < gpWPara->multiDetectCount && i < kMaxDetects; ++i)
        stepChooser->addItem(LanStr(477 + i));
}

int IndexButton::CurChooseTrig() const
{
    return stepChooser->currentIndex();
}

void IndexButton::SlotShowHideTimeout()
{
    showFlag = false;
    ShowHide();
    showTimer->stop();
}

void IndexButton::mousePressEvent(QMouseEvent* event)
{
    if (std::lround(event->localPos().x()) < kToggleZone) {
        showFlag = !showFlag;
        ShowHide();
    }
    QWidget::mousePressEvent(event);
}

// Touches outside the logo and the shown buttons reach the views below.
void IndexButton::updateMask()
{
    QRegion shown;
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isHidden())
            shown += child->geometry();
    }
    if (shown.isEmpty())
        shown = QRect(0, 0, 1, 1);
    setMask(shown);
}
