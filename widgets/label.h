#pragma once
// A clickable picture, scaled to the label.

#include <QLabel>

class Label : public QLabel
{
    Q_OBJECT
public:
    Label(QWidget* parent, const QPixmap& picture);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
