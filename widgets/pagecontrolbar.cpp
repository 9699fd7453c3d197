#include "widgets/pagecontrolbar.h"

#include "widgets/blineedit.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kButton = 60;

QPushButton* iconButton(const char* icon, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setFixedSize(kButton, kButton);
    button->setIcon(QIcon(QString::fromLatin1(icon)));
    button->setIconSize(QSize(kButton, kButton));
    return button;
}

}  // namespace

PageControlBar::PageControlBar(QWidget* parent)
    : BWidget(parent)
    , first(iconButton(":/img/icons/72.png", this))
    , previous(iconButton(":/img/icons/68.png", this))
    , pageField(new BLineEdit(this, QStringLiteral("页码"), QStringLiteral("请输入正数"), KeyboardNumeric))
    , next(iconButton(":/img/icons/69.png", this))
    , last(iconButton(":/img/icons/73.png", this))
{
    auto* row = new QHBoxLayout(this);
    row->setSpacing(20);
    row->setContentsMargins(5, 5, 5, 5);
    row->addStretch();
    row->addWidget(first);
    row->addWidget(previous);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(QString::number(i + 1), this);
        button->setFixedSize(kButton, kButton);
        button->setIconSize(QSize(kButton, kButton));
        button->setCheckable(true);
        button->setAutoExclusive(true);
        button->setStyleSheet(QStringLiteral(
            "QPushButton{color:#625f60;font-size:22px;border-width:1px;border-style:solid;border-color:#625f60;"
            "background:#ffffff;border-radius:30px;}QPushButton:pressed{background-color:#656263;color:#ffffff;}"
            "QPushButton:checked{background-color:#656263;color:#ffffff;}"));
        pageButtons[i] = button;
        row->addWidget(button);
    }
    pageField->setFixedWidth(80);
    pageField->setAlignment(Qt::AlignRight);
    row->addWidget(pageField);
    row->addWidget(new QLabel(QStringLiteral("页"), this));
    row->addWidget(next);
    row->addWidget(last);
    setFixedHeight(70);
    setStyleSheet(QStringLiteral("PageControlBar{border-width:1px 1px 0px 0px;border-style:solid;border-color:#d6d6d6;}"
                                 "QLabel{font-size:22px;color:#656263;}"
                                 "QPushButton{border-radius:30px;border-style:none;}"));
}
