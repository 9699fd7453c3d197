#pragma once
// The check box of the settings and camera panels: yellow 16-pixel text and
// an integer value (1 ticked, 0 not).

#include <QCheckBox>

class CheckBox : public QCheckBox
{
    Q_OBJECT
public:
    CheckBox(QWidget* parent, const QString& text);

    int value() const;
    void setValue(int v);
};
