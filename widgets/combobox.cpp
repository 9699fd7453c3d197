#include "widgets/combobox.h"

#include <QEvent>
#include <QListView>

ComboBox::ComboBox(QWidget* parent)
    : QComboBox(parent)
    , listView(new QListView(this))
{
    installEventFilter(this);
    setFocusPolicy(Qt::NoFocus);
    setView(listView);
}

ComboBox::~ComboBox() = default;

void ComboBox::setItemHeight(int height)
{
    setStyleSheet(QStringLiteral("QComboBox QAbstractItemView::item{height:%1px;}").arg(height)
                  + QStringLiteral("QComboBox::tab-bar{border-width:0px;}"));
}

bool ComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::MouseButtonPress)
        emit clicked();
    return QComboBox::eventFilter(watched, event);
}

BComboBox::BComboBox(QWidget* parent)
    : QComboBox(parent)
{
    setView(new QListView(this));
}
