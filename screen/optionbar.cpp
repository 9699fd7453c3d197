#include "screen/optionbar.h"

#include "screen/mainwindow.h"

#include <QGridLayout>
#include <QPushButton>

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
}
