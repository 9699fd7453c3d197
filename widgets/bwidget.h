#pragma once
// Base widget of pages and bars: paints its style-sheet background and border.

#include <QWidget>

class BWidget : public QWidget
{
    Q_OBJECT
public:
    explicit BWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
