#include "widgets/bmessagebox.h"

#include "core/hostwindow.h"
#include "core/led.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/dialogframe.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

WarnBox* gpWarnBox = nullptr;
ChooseBox* gpChooseBox = nullptr;

namespace {
const char* const kBoxIcon = ":/img/icons/56.png";
const char* const kWarningIcon = ":/img/icons/warning.png";
const char* const kCloseCaption = "关闭";
constexpr Qt::WindowFlags kBoxFlags = Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint;

// The screen comes back on for a warning shown while its backlight is off,
// and the screen-off countdown starts again.
void wakeScreen()
{
    if (!gpHost || !gpHost->lcdOff())
        return;
    LCDOnOff(1);
    const int seconds = gpWPara ? gpWPara->screenOffTime : 0;
    if (seconds > 0)
        if (QTimer* timer = gpHost->screenOffTimer())
            timer->start(seconds * 1000);
}
}  // namespace

WarnBox::WarnBox(const QString& title, QWidget* parent)
    : QDialog(parent)
    , confirm(new QPushButton(LanStr(121, 0), this))
    , textLabel(new QLabel(this))
    , titleLabel(new QLabel(title, this))
{
    QVBoxLayout* right = BuildDialogFrame(this, titleLabel, 100);
    right->addLayout(IconTextRow(IconLabel(this, QLatin1String(kBoxIcon), 70), textLabel));
    right->addStretch();
    confirm->setFixedSize(200, kDialogButtonHeight);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(confirm);
    row->addStretch();
    right->addLayout(row);
    connect(confirm, &QPushButton::clicked, this, &QDialog::accept);
    setWindowFlags(kBoxFlags);
}

WarnBox::~WarnBox() = default;

void WarnBox::setText(const QString& text)
{
    textLabel->setText(text);
}

void WarnBox::paintEvent(QPaintEvent*)
{
}

void WarnBox::showEvent(QShowEvent* event)
{
    setGeometry(DialogBoxGeometry(this));
    wakeScreen();
    QDialog::showEvent(event);
}

void WarnBox::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
}

ChooseBox::ChooseBox(const QString& title, QWidget* parent)
    : QDialog(parent)
    , yesButton(new QPushButton(LanStr(122), this))
    , noButton(new QPushButton(LanStr(123), this))
    , textLabel(new QLabel(this))
    , titleLabel(new QLabel(title, this))
{
    QVBoxLayout* right = BuildDialogFrame(this, titleLabel, 120);
    right->addLayout(IconTextRow(IconLabel(this, QLatin1String(kBoxIcon), 70), textLabel));
    right->addStretch();
    buttonRow = ButtonRow(yesButton, noButton);
    right->addLayout(buttonRow);
    connect(yesButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(noButton, &QPushButton::clicked, this, &QDialog::reject);
    setWindowFlags(kBoxFlags);
    hide();
}

ChooseBox::~ChooseBox() = default;

void ChooseBox::setText(const QString& text)
{
    textLabel->setText(text);
}

void ChooseBox::paintEvent(QPaintEvent*)
{
}

void ChooseBox::showEvent(QShowEvent* event)
{
    setGeometry(DialogBoxGeometry(this));
    QDialog::showEvent(event);
}

void ChooseBox::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
}

BMessageBox::BMessageBox(const QString& title, const QString& text, int buttons, BMessageBoxIcon icon,
                         QWidget* parent)
    : QDialog(parent)
{
    QVBoxLayout* right = BuildDialogFrame(this, new QLabel(title, this), 150);
    const bool warning = icon >= BMsgInformation && icon <= BMsgQuestion;
    QLabel* iconLabel = IconLabel(this, warning ? QLatin1String(kWarningIcon) : QString(), 48);
    right->addLayout(IconTextRow(iconLabel, new QLabel(text, this)));
    right->addStretch();

    struct Choice {
        int bit;
        QString caption;
        bool accepts;
    };
    const Choice choices[] = {
        {BMsgCancel, LanStr(124), false}, {BMsgConfirm, LanStr(121), true}, {BMsgNo, LanStr(123), false},
        {BMsgYes, LanStr(122), true},     {BMsgClose, QString::fromUtf8(kCloseCaption), false},
    };
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    for (const Choice& c : choices) {
        if (!(buttons & c.bit))
            continue;
        auto* button = new QPushButton(c.caption, this);
        button->setFixedHeight(kDialogButtonHeight);
        row->addWidget(button);
        connect(button, &QPushButton::pressed, this, c.accepts ? &QDialog::accept : &QDialog::reject);
    }
    right->addLayout(row);
    setWindowFlags(Qt::FramelessWindowHint);
    setGeometry(DialogBoxGeometry(this));
}

void showWarnBox(const QString& text)
{
    WarnBox box(LanStr(568));
    box.setText(text);
    box.exec();
}

bool showChooseBox(const QString& text)
{
    ChooseBox box(LanStr(566));
    box.setText(text);
    return box.exec() == QDialog::Accepted;
}
