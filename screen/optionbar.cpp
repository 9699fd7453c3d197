#include "screen/optionbar.h"

#include "core/texttable.h"
#include "screen/mainwindow.h"
#include "screen/sidebuttons.h"
#include "widgets/bmessagebox.h"
#include "widgets/boptionbutton.h"

#include <QGridLayout>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {
constexpr int kPadSize = 165;
constexpr int kPadButton = 55;
constexpr int kPadIcon = 50;

QPushButton* padButton(const char* icon, bool repeat, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setFixedSize(kPadButton, kPadButton);
    button->setIcon(QIcon(QLatin1String(icon)));
    button->setIconSize(QSize(kPadIcon, kPadIcon));
    button->setAutoRepeat(repeat);
    return button;
}
}  // namespace

FinetuningDialog::FinetuningDialog(QWidget* parent)
    : BWidget(parent)
    , up(padButton(":/img/icons/MoveUp.png", true, this))
    , right(padButton(":/img/icons/MoveRight.png", true, this))
    , down(padButton(":/img/icons/MoveDown.png", true, this))
    , left(padButton(":/img/icons/MoveLeft.png", true, this))
    , fit(padButton(":/img/icons/ZoomAll.png", false, this))
{
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(5);
    grid->setVerticalSpacing(0);
    grid->addWidget(up, 0, 1, Qt::AlignCenter);
    grid->addWidget(left, 1, 0, Qt::AlignLeft);
    grid->addWidget(fit, 1, 1, Qt::AlignCenter);
    grid->addWidget(right, 1, 2, Qt::AlignRight);
    grid->addWidget(down, 2, 1, Qt::AlignCenter);
    setFixedSize(kPadSize, kPadSize);
    setWindowOpacity(1.0);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setStyleSheet(QStringLiteral(
        "QPushButton{border-style:none;background:transparent;}QPushButton:pressed{background-color:#FFC107;}"));
    if (gpWin) {
        connect(up, &QPushButton::pressed, gpWin, &MainWindow::SlotMoveT);
        connect(right, &QPushButton::pressed, gpWin, &MainWindow::SlotMoveR);
        connect(down, &QPushButton::pressed, gpWin, &MainWindow::SlotMoveB);
        connect(left, &QPushButton::pressed, gpWin, &MainWindow::SlotMoveL);
        connect(fit, &QPushButton::pressed, gpWin, &MainWindow::MRecovery);
    }
}

void FinetuningDialog::paintEvent(QPaintEvent*)
{
}

OptionBar::OptionBar(QWidget* parent)
    : BWidget(parent)
    , pad(new FinetuningDialog)
{
    setFixedWidth(kWidth);
    pad->hide();
    struct Entry {
        BTN_TYPE type;
        int text;
        const char* icon;
    };
    static const Entry entries[] = {
        {MultiScreen, 126, ":/img/icons/split.png"},   {StopDetection, 127, ":/img/icons/stop.png"},
        {SystemSettings, 582, ":/img/icons/setting.png"}, {Resample, 129, ":/img/icons/sampling.png"},
        {AreaSettings, 130, ":/img/icons/38.png"},     {Statistics, 541, ":/img/icons/39.png"},
    };
    QVBoxLayout* column = MakeSideColumn(this);
    for (const Entry& e : entries) {
        buttons[e.type] = MakeSideButton(LanStr(e.text), e.icon, this);
        column->addWidget(buttons[e.type]);
    }
    buttons[Statistics]->hide();
    proSnapshot = MakeSideButton(LanStr(131), ":/img/icons/40.png", this);
    column->addWidget(proSnapshot);
    buttons[MouldSnapshot] = MakeSideButton(LanStr(132), ":/img/icons/39a.png", this);
    column->addWidget(buttons[MouldSnapshot]);
    column->addStretch();
    for (BOptionButton* b : buttons) {
        if (b)
            connect(b, &BOptionButton::toggled, this, &OptionBar::btnsToggledSlot);
    }
    ShowDetecting(true);
    if (gpWin) {
        connect(proSnapshot, &BOptionButton::clicked, gpWin, &MainWindow::SlotManualTrig0);
        connect(pad->up, &QPushButton::clicked, gpWin, &MainWindow::SlotMoveT);
        connect(pad->right, &QPushButton::clicked, gpWin, &MainWindow::SlotMoveR);
        connect(pad->down, &QPushButton::clicked, gpWin, &MainWindow::SlotMoveB);
        connect(pad->left, &QPushButton::clicked, gpWin, &MainWindow::SlotMoveL);
        connect(pad->fit, &QPushButton::clicked, gpWin, &MainWindow::MRecovery);
    }
}

void OptionBar::ShowDetecting(bool detecting)
{
    BOptionButton* b = buttons[StopDetection];
    b->setStyleSheet(QStringLiteral("BOptionButton{background-color:%1;icon-size:68px 68px;border-style:none;"
                                    "color:#ffffff;font-size:18px;padding:10px 0px 0px 0px;}")
                         .arg(detecting ? QLatin1String("#4ab74c") : QLatin1String("#ee2329")));
    b->setIcon(QIcon(detecting ? QStringLiteral(":/img/icons/stop.png") : QStringLiteral(":/img/icons/5.png")));
    b->setText(LanStr(detecting ? 127 : 136));
}

void OptionBar::SetTLast()
{
    BOptionButton* b = buttons[SystemSettings];
    b->setCheckable(false);
    b->setChecked(false);
    b->setCheckable(true);
    lastType = 0;
}

void OptionBar::btnsToggledSlot(bool checked)
{
    if (gpWin && gpWin->contentStack && gpWin->contentStack->currentIndex() == 1) {
        showWarnBox(LanStr(591));
        return;
    }
    for (int type = MultiScreen; type <= MouldSnapshot; ++type) {
        if (buttons[type] && sender() == buttons[type]) {
            lastType = type;
            emit btnsToggled(BTN_TYPE(type), checked);
            return;
        }
    }
}

void OptionBar::CalibrationPos()
{
    auto* from = qobject_cast<QWidget*>(sender());
    if (!from)
        return;
    pad->move(from->mapToGlobal(QPoint(from->width() - 240, -180)));
    pad->show();
}
