#include "widgets/numberinput.h"

#include "core/texttable.h"
#include "widgets/edit.h"
#include "widgets/padtarget.h"
#include "widgets/passwordbox.h"

#include <QButtonGroup>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>

NumberInput* gpNumPad = nullptr;

namespace {
const char* const kPadSheet =
    "NumberInput{background-color:#e9e9e9;}QLabel{font-size:26px;color:#656263;}"
    "QLineEdit{height:60px;font-size:36px;color:#2b418a;background-color:#ffffff;border-width:1px;"
    "border-style:solid;border-color:#696667;}"
    "QPushButton{width:73px;height:73px;background-color:#ffffff;border-width:1px;border-style:solid;"
    "border-color:#696667;color:#575455;font-size:22px;}"
    "QPushButton:pressed{background-color:#656263;color:#ffffff;}";

// Key k (0..11, row by row) of the 4 x 3 grid.
QRect keyRect(int k)
{
    return QRect(5 + (k % 4) * 105, 5 + (k / 4) * 75, 100, 70);
}

void putCursorAtEnd(QLineEdit* field)
{
    field->setCursorPosition(field->text().length());
}
}  // namespace

NumberInput::NumberInput(QWidget* parent)
    : QWidget(parent)
    , digits(new QButtonGroup(this))
    , confirm(new QPushButton(LanStr(121), this))
    , backspace(new QPushButton(LanStr(157), this))
{
    setWindowFlags(Qt::CustomizeWindowHint);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QLatin1String(kPadSheet));
    setGeometry(0, 0, 427, 230);
    for (int id = 0; id < 10; ++id) {
        auto* key = new QPushButton(tr("%1").arg((id + 1) % 10), this);
        key->setFocusPolicy(Qt::NoFocus);
        key->setGeometry(keyRect(id));
        digits->addButton(key, id);
    }
    for (QPushButton* key : {backspace, confirm}) {
        key->setFocusPolicy(Qt::NoFocus);
        key->setStyleSheet(QStringLiteral("background-color:#d2d2d2;"));
    }
    backspace->setGeometry(keyRect(10));
    confirm->setGeometry(keyRect(11));
    connect(digits, &QButtonGroup::idClicked, this, &NumberInput::setContent);
    connect(backspace, &QPushButton::clicked, this, &NumberInput::eraseContent);
    connect(confirm, &QPushButton::clicked, this, &NumberInput::HideUpdate);
}

QPushButton* NumberInput::digitKey(int id) const
{
    return qobject_cast<QPushButton*>(digits->button(id));
}

void NumberInput::setContent(int id)
{
    QLineEdit* target = PadTarget();
    if (!target || !digits->button(id))
        return;
    const QString caption = digits->button(id)->text();
    auto* edit = qobject_cast<Edit*>(target);
    if (!edit || !edit->enterDigit(caption.toInt(), replaceNext)) {
        const QString d = caption.left(1);
        target->setText(replaceNext ? d : target->text() + d);
    }
    replaceNext = false;
    putCursorAtEnd(target);
}

void NumberInput::eraseContent()
{
    QLineEdit* target = PadTarget();
    if (!target)
        return;
    const QString text = target->text();
    target->setText(text.left(text.length() - 1));
    if (target->text().isEmpty())
        replaceNext = true;
}

void NumberInput::eraseAll()
{
    QLineEdit* target = PadTarget();
    if (!target)
        return;
    target->clear();
    target->setCursorPosition(0);
    replaceNext = true;
}

void NumberInput::HideUpdate()
{
    if (isVisible()) {
        hide();
        if (QWidget* p = parentWidget())
            p->window()->update();
    }
    if (gpPasswordBox && gpPasswordBox->isVisible()) {
        emit chkpassword();
        return;
    }
    if (QLineEdit* target = PadTarget())
        target->clearFocus();
}

void NumberInput::mousePressEvent(QMouseEvent*)
{
}

void NumberInput::mouseReleaseEvent(QMouseEvent*)
{
}

void NumberInput::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(200, 251, 240));
    painter.setPen(QColor(QStringLiteral("#e9e9e9")));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}
