#include "widgets/pagecontrolbar.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kPageButtons = 4;
constexpr int kButtonHeight = 44;
}  // namespace

PageControlBar::PageControlBar(QWidget* parent)
    : QWidget(parent)
    , pageButtons(new QButtonGroup(this))
    , pageField(new QLabel(this))
{
    setStyleSheet(QStringLiteral("QPushButton{font-size:20px;color:#656263;}"
                                 "QPushButton:checked{background-color:#1f3f8d;color:#ffffff;}"
                                 "QLabel{font-size:20px;color:#656263;}"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    QPushButton* first = button(QStringLiteral("|<"), 60);
    QPushButton* previous = button(QStringLiteral("<"), 60);
    row->addWidget(first);
    row->addWidget(previous);
    for (int i = 1; i <= kPageButtons; ++i) {
        QPushButton* page = button(QString::number(i), 50);
        page->setCheckable(true);
        pageButtons->addButton(page, i);
        row->addWidget(page);
    }
    pageField->setMinimumWidth(90);
    pageField->setAlignment(Qt::AlignCenter);
    row->addWidget(pageField);
    QPushButton* next = button(QStringLiteral(">"), 60);
    QPushButton* last = button(QStringLiteral(">|"), 60);
    row->addWidget(next);
    row->addWidget(last);

    connect(first, &QPushButton::clicked, this, [this] { emit pageRequested(1); });
    connect(previous, &QPushButton::clicked, this, [this] { emit pageRequested(qMax(1, current - 1)); });
    connect(next, &QPushButton::clicked, this, [this] { emit pageRequested(qMin(count, current + 1)); });
    connect(last, &QPushButton::clicked, this, [this] { emit pageRequested(count); });
    connect(pageButtons, QOverload<int>::of(&QButtonGroup::buttonClicked), this,
            [this](int page) { emit pageRequested(page); });
    setPage(1, 1);
}

QPushButton* PageControlBar::button(const QString& text, int minWidth)
{
    auto* b = new QPushButton(text, this);
    b->setObjectName(QStringLiteral("page_") + text);
    b->setMinimumSize(minWidth, kButtonHeight);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

void PageControlBar::setPage(int page, int pages)
{
    count = qMax(1, pages);
    current = qBound(1, page, count);
    pageField->setText(QStringLiteral("%1/%2").arg(current).arg(count));
    for (QAbstractButton* b : pageButtons->buttons()) {
        const int id = pageButtons->id(b);
        b->setEnabled(id <= count);
    }
    pageButtons->setExclusive(false);
    for (QAbstractButton* b : pageButtons->buttons())
        b->setChecked(pageButtons->id(b) == current);
    pageButtons->setExclusive(true);
}
