#include "widgets/blineedit.h"

#include <QMouseEvent>

BLineEdit::BLineEdit(QWidget* parent, const QString& title, const QString& hint, KeyboardType type)
    : QLineEdit(parent)
    , title(title)
    , hint(hint)
    , keyboardType(type)
{
    installEventFilter(this);
}

bool BLineEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        oldText = text();
        clear();
        QString typed;
        if (RunKeyboard(keyboardType, title, hint, text(), &typed) && !typed.isEmpty())
            setText(typed);
        else
            setText(oldText);
    }
    return QLineEdit::eventFilter(watched, event);
}
