#include "widgets/editip.h"

#include "widgets/edit.h"
#include "widgets/numbers.h"
#include "widgets/skin.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>

namespace {
constexpr int kFontSize = 30;

// What an octet field shows for a text: a number from 0 to 255.
QString octetText(const QString& text)
{
    return QString::number(qBound(0, ParseSaturated(text), 255));
}
}  // namespace

EditIP::EditIP(const QString& title, QWidget* parent)
    : QWidget(parent)
    , titleLabel(new QLabel(title, this))
    , row(new QHBoxLayout(this))
    , titleColour(Qt::yellow)
{
    setFixedHeight(80);
    titleLabel->setFixedWidth(200);
    titleLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    row->addWidget(titleLabel, 10);
    for (int n = 0; n < 4; ++n) {
        if (n > 0) {
            dots[n - 1] = new QLabel(QStringLiteral("."), this);
            dots[n - 1]->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            row->addWidget(dots[n - 1], 0);
        }
        fields[n] = new Edit(9, this, 1);
        fields[n]->setFixedSize(100, 50);
        fields[n]->setFont(ToolkitFont(kFontWenQuanYi, kFontSize));
        fields[n]->setValidator(new QIntValidator(0, 255, fields[n]));
        row->addWidget(fields[n], 5);
    }
    setTitleColor(titleColour);
    connect(fields[0], &QLineEdit::textChanged, this, &EditIP::SlotTextChg_0);
    connect(fields[1], &QLineEdit::textChanged, this, &EditIP::SlotTextChg_1);
    connect(fields[2], &QLineEdit::textChanged, this, &EditIP::SlotTextChg_2);
    connect(fields[3], &QLineEdit::textChanged, this, &EditIP::SlotTextChg_3);
    connect(fields[0], &Edit::sig_Dot, this, &EditIP::SlotPressDot_0);
    connect(fields[1], &Edit::sig_Dot, this, &EditIP::SlotPressDot_1);
    connect(fields[2], &Edit::sig_Dot, this, &EditIP::SlotPressDot_2);
}

QString EditIP::getTextIP() const
{
    QStringList parts;
    for (const Edit* f : fields)
        parts << QString::number(f->value());
    return parts.join(QLatin1Char('.'));
}

void EditIP::setTextIP(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    for (int n = 0; n < 4; ++n)
        fields[n]->setText(octetText(parts.value(n)));
}

void EditIP::setGeometry(int x, int y, int w, int h)
{
    row->setGeometry(QRect(x, y, w, h));
    QWidget::setGeometry(x, y, w, h);
}

void EditIP::setTitleColor(const QColor& colour)
{
    titleColour = colour;
    StyleText(titleLabel, colour, kFontWenQuanYi, kFontSize);
    for (QLabel* dot : dots)
        StyleText(dot, colour, kFontWenQuanYi, kFontSize);
}

void EditIP::octetChanged(int n, const QString& text)
{
    // Whatever the text (typed, pasted or given to setTextIP), the field
    // shows a number from 0 to 255.
    const QString shown = octetText(text);
    if (shown != text) {
        fields[n]->setText(shown);  // the change this makes reports the address
        return;
    }
    emit textchange(getTextIP());
}

void EditIP::dotPressed(int n)
{
    fields[n + 1]->setText(QStringLiteral("0"));
    fields[n + 1]->setFocus();
}

void EditIP::SlotTextChg_0(const QString& text)
{
    octetChanged(0, text);
}

void EditIP::SlotTextChg_1(const QString& text)
{
    octetChanged(1, text);
}

void EditIP::SlotTextChg_2(const QString& text)
{
    octetChanged(2, text);
}

void EditIP::SlotTextChg_3(const QString& text)
{
    octetChanged(3, text);
}

void EditIP::SlotPressDot_0()
{
    dotPressed(0);
}

void EditIP::SlotPressDot_1()
{
    dotPressed(1);
}

void EditIP::SlotPressDot_2()
{
    dotPressed(2);
}
