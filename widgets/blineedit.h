#pragma once
// A line edit for touch use: a left press opens a modal on-screen keyboard
// that starts empty; a confirmed non-empty text is taken, otherwise the text
// the field had comes back.

#include "widgets/keyboard.h"

#include <QLineEdit>

class BLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    BLineEdit(QWidget* parent, const QString& title, const QString& hint, KeyboardType type);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString title;
    QString hint;
    KeyboardType keyboardType = KeyboardNumeric;
    QString oldText;
};
