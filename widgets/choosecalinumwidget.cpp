#include "widgets/choosecalinumwidget.h"

#include "widgets/combobox.h"
#include "widgets/dialogframe.h"
#include "widgets/skin.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QRect>

ChooseCaliNumWidget::ChooseCaliNumWidget(QWidget* parent)
    : ChooseBox(QString(), parent)
    , combo(new ComboBox(this))
{
    combo->addItems({QStringLiteral(" 4 "), QStringLiteral(" 9 "), QStringLiteral(" 25 ")});
    combo->setFixedSize(200, 80);
    combo->setFont(ToolkitFont(kFontMicroHei, 33));
    combo->setItemHeight(80);
    const QSize box = DialogBoxGeometry().size();
    combo->move(box.width() / 2 + 100, box.height() / 4 - 30);
    // The buttons sit on the background picture where painting puts them,
    // not in the frame's row.
    for (QPushButton* b : {yesButton, noButton}) {
        buttonRow->removeWidget(b);
        b->setFixedSize(220, 100);
    }
}

void ChooseCaliNumWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), SkinPixmap(Skin::Background));
    painter.setPen(QPen(Qt::white, 5));
    painter.drawRect(QRect(QPoint(0, 0), QPoint(width() - 2, height() - 2)));

    // A button already in place is left alone, so painting never loops.
    const int y = (height() / 3) * 2 - 50;
    const QRect yes(width() / 3 - 160, y, 220, 100);
    const QRect no((width() / 3) * 2 - 60, y, 220, 100);
    if (yesButton->geometry() != yes)
        yesButton->setGeometry(yes);
    if (noButton->geometry() != no)
        noButton->setGeometry(no);
}
