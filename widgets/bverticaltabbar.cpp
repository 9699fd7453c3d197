#include "widgets/bverticaltabbar.h"

#include "core/texttable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

constexpr int kTabHeight = 80;
constexpr int kGroupGap = 30;
constexpr int kIconWidth = 46;
constexpr int kIconGap = 45;
constexpr int kLogText = 575;
constexpr int kMemoText = 576;
constexpr int kDeviceText = 431;

}  // namespace

BVerticalTabBar::BVerticalTabBar(QWidget* parent)
    : BWidget(parent)
    , pageStack(new QStackedLayout)
    , columnWidget(new QWidget)
    , titleLabel(new QLabel(this))
    , exitButton(new QPushButton(LanStr(590), this))
    , column(new QVBoxLayout(columnWidget))
{
    auto* scroll = new QScrollArea(this);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setStyleSheet(QStringLiteral("QScrollBar:vertical {width:40px;}"));
    scroll->setFixedWidth(355);
    columnWidget->setFixedWidth(353);
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    column->addStretch();
    columnWidget->setStyleSheet(QStringLiteral(
        "QPushButton{background-color:#ffffff;border-width:1px 0px 1px 0px;border-style:solid;border-color:#d3d3d3;"
        "color:#656263;font-size:22px;text-align:left;padding:0px 0px 0px 130px;}"
        "QPushButton:checked{background-color:#656263;color:#ffffff;}"));
    scroll->setWidget(columnWidget);

    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setFixedHeight(80);
    titleLabel->setStyleSheet(QStringLiteral("font-size:22px;color:#656263;background-color:#f4f4f4;"
                                             "border-width:0px 1px 1px 0px;border-style:solid;border-color:#d3d3d3;"));
    exitButton->setFixedSize(200, 80);
    exitButton->setStyleSheet(
        QStringLiteral("background-color:#f4f4f4;border-color:#d3d3d3;color:#656263;font-size:22px;"));
    connect(exitButton, &QPushButton::pressed, this, &BVerticalTabBar::systemExit);

    auto* head = new QHBoxLayout;
    head->addWidget(titleLabel);
    head->addWidget(exitButton);
    auto* right = new QVBoxLayout;
    right->addLayout(head);
    right->addLayout(pageStack);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(scroll);
    row->addLayout(right);
    setStyleSheet(QStringLiteral("BVerticalTabBar{background-color:#ffffff;border-width:0px 1px 0px 0px;"
                                 "border-style:solid;border-color:#d3d3d3;}"));
}

void BVerticalTabBar::addWidgetGroup(QPixmap& icon, QVector<QString> names, QVector<QWidget*> pages)
{
    if (names.isEmpty() || names.size() != pages.size())
        return;
    const bool first = tabButtons.isEmpty();
    for (int i = 0; i < names.size(); ++i) {
        auto* button = new QPushButton(names[i], columnWidget);
        column->insertWidget(groups + tabButtons.size(), button);
        button->setCheckable(true);
        button->setAutoExclusive(true);
        connect(button, &QPushButton::pressed, this, &BVerticalTabBar::tabBtnPressed);
        button->setFixedHeight(kTabHeight);
        if (i == 0) {
            auto* picture = new QLabel(button);
            picture->setPixmap(icon.scaledToWidth(kIconWidth, Qt::SmoothTransformation));
            auto* inside = new QHBoxLayout(button);
            inside->addSpacing(kIconGap);
            inside->addWidget(picture);
            inside->addStretch();
        } else {
            button->setStyleSheet(QStringLiteral("border-width:0px 0px 1px 0px;"));
        }
        tabButtons << button;
        pages[i]->setParent(this);
        pageStack->addWidget(pages[i]);
    }
    tabNames << names;
    tabPages << pages;
    column->insertSpacing(groups + tabButtons.size(), kGroupGap);
    ++groups;
    columnWidget->adjustSize();
    if (first) {
        tabButtons[0]->setChecked(true);
        titleLabel->setText(names[0]);
        pageStack->setCurrentIndex(0);
    }
}

void BVerticalTabBar::tabBtnPressed()
{
    const int k = tabButtons.indexOf(qobject_cast<QPushButton*>(sender()));
    if (k < 0)
        return;
    titleLabel->setText(tabNames[k]);
    if (tabNames[k] == LanStr(kLogText))
        emit recordshow();
    else if (tabNames[k] == LanStr(kMemoText))
        emit Memorandum();
    else if (tabNames[k] == LanStr(kDeviceText))
        emit DeviPara();
    pageStack->setCurrentIndex(k);
}

void BVerticalTabBar::systemExit()
{
    emit Exitsetup();
}

QString BVerticalTabBar::currentTitle() const
{
    return titleLabel->text();
}

int BVerticalTabBar::currentIndex() const
{
    return pageStack->currentIndex();
}
