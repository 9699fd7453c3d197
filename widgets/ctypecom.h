#pragma once
// Style-sheet builders for line edits, buttons, progress bars and sliders in
// four colour schemes. Each setter replaces the target's whole style sheet.

#include <QWidget>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;

class C_Type_COM : public QWidget
{
    Q_OBJECT
public:
    enum C_Color { C_DARK = 0, C_GREEN = 1, C_BLUE = 2, C_RED = 3 };

    explicit C_Type_COM(QWidget* parent = nullptr);

    static void setTxtQss(QLineEdit* edit, const QString& border, const QString& focusBorder);
    static void setTxtQss(QLineEdit* edit, C_Color colour);
    static void setBtnQss(QPushButton* button, const QString& normalBg, const QString& normalText,
                          const QString& hoverBg, const QString& hoverText, const QString& pressedBg,
                          const QString& pressedText);
    static void setBtnQss(QPushButton* button, C_Color colour);
    static void setBarQss(QProgressBar* bar, const QString& bg, const QString& chunk);
    static void setBarQss(QProgressBar* bar, C_Color colour);
    static void setSliderQss(QSlider* slider, const QString& groove, const QString& subPage, const QString& handle);
    static void setSliderQss(QSlider* slider, C_Color colour);

public slots:
    void initForm();
};
