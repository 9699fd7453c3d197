#pragma once
// The big icon-over-text button of the side bars.

#include <QToolButton>

class BOptionButton : public QToolButton
{
    Q_OBJECT
public:
    explicit BOptionButton(QWidget* parent = nullptr);
};
