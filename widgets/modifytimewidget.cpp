#include "widgets/modifytimewidget.h"

#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "widgets/dialogframe.h"
#include "widgets/splitline.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr int kArrow = 60;
constexpr int kClockMs = 3000;

const char* const kDateSheet =
    "QDateEdit::up-button{subcontrol-origin:border;subcontrol-position:left top;image: "
    "url(:/img/icons/left.png);width: %1px;height: %1px;}QDateEdit::down-button "
    "{subcontrol-origin:border;subcontrol-position:left bottom;image: url(:/img/icons/right.png);width: "
    "%1px;height: %1px;}";
const char* const kTimeSheet =
    "QTimeEdit::up-button{subcontrol-origin:border;subcontrol-position:right top;image: "
    "url(:/img/icons/left.png);width: %1px;height: %1px;}QTimeEdit::down-button "
    "{subcontrol-origin:border;subcontrol-position:right bottom;image: url(:/img/icons/right.png);width: "
    "%1px;height: %1px;}";

void dress(QDateTimeEdit* editor, const char* sheet)
{
    QFont font(QStringLiteral("wenquanyi"));
    font.setPixelSize(35);
    editor->setFont(font);
    editor->setFixedSize(330, 160);
    editor->setAlignment(Qt::AlignCenter);
    editor->setStyleSheet(QString::fromLatin1(sheet).arg(kArrow));
}

QPushButton* dialogButton(int text, QWidget* parent)
{
    auto* button = new QPushButton(LanStr(text), parent);
    button->setFixedSize(250, 72);
    return button;
}

}  // namespace

EditDateTime::EditDateTime(const QString& title, QWidget* parent)
    : QWidget(parent)
    , dateEdit(new QDateEdit(this))
    , timeEdit(new QTimeEdit(this))
    , titleLabel(new QLabel(title, this))
{
    dateEdit->setDisplayFormat(QStringLiteral("yyyy - MM - dd"));
    timeEdit->setDisplayFormat(QStringLiteral("HH : mm : ss"));
    dress(dateEdit, kDateSheet);
    dress(timeEdit, kTimeSheet);
    titleLabel->hide();
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(10);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->addWidget(dateEdit, 0, 1);
    grid->addWidget(timeEdit, 0, 2);
    setStyleSheet(QStringLiteral("background-color:#f5f5f5;"));
}

void EditDateTime::ShowDateTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    dateEdit->setDate(now.date());
    timeEdit->setTime(now.time());
}

QDateTime EditDateTime::chosen() const
{
    return QDateTime(dateEdit->date(), timeEdit->time());
}

void SetClocks(const QDateTime& moment)
{
    const QString text = moment.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    CommandRunner::run(QStringLiteral("date"), {QStringLiteral("-s"), text}, kClockMs);
    CommandRunner::run(QStringLiteral("hwclock"), {QStringLiteral("--systohc")}, kClockMs);
}

void EditDateTime::setSysDateTime()
{
    SetClocks(chosen());
}

ModifyTimeWidget::ModifyTimeWidget(const QString& title, QWidget* parent)
    : QDialog(parent)
    , editor(new EditDateTime(QString(), this))
{
    auto* confirm = dialogButton(121, this);
    auto* cancel = dialogButton(124, this);
    connect(confirm, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* titleLabel = new QLabel(title, this);
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setFixedHeight(35);

    auto* titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(5, 5, 5, 5);
    titleRow->addWidget(titleLabel);
    titleRow->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(10, 10, 10, 10);
    buttons->setSpacing(16);
    buttons->addWidget(confirm);
    buttons->addWidget(cancel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(0);
    column->addLayout(titleRow);
    column->addWidget(createHorizontalSplitLine(this, QStringLiteral("#656263")));
    column->addWidget(editor, 1, Qt::AlignCenter);
    column->addLayout(buttons);

    setGeometry(QRect(QPoint(gShowW / 2 - 340, gShowH / 2 - 200), QPoint(gShowW / 2 + 339, gShowH / 2 + 199)));
    setStyleSheet(QLatin1String(kDialogSheet));
    setWindowFlags(Qt::FramelessWindowHint);
}
