#include "widgets/ctypecom.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

namespace {
bool known(C_Type_COM::C_Color colour)
{
    return colour >= C_Type_COM::C_DARK && colour <= C_Type_COM::C_RED;
}

// Focus border of line edits; sub-page and handle of sliders.
const char* const kAccent[] = {"#34495E", "#1ABC9C", "#3498DB", "#E74C3C"};
const char* const kSliderAccent[] = {"#191532", "#1ABC9C", "#3498DB", "#E74C3C"};

struct ButtonColours {
    const char* normalBg;
    const char* normalText;
    const char* hoverBg;
    const char* hoverText;
    const char* pressedBg;
    const char* pressedText;
};
const ButtonColours kButtonColours[] = {
    {"#323232", "#FFFFFF", "#323232", "#FFFFFF", "#C8934A", "#FFFFFF"},
    {"#1ABC9C", "#E6F8F5", "#2EE1C1", "#FFFFFF", "#16A086", "#A7EEE6"},
    {"#3498DB", "#FFFFFF", "#5DACE4", "#E5FEFF", "#2483C7", "#A0DAFB"},
    {"#E74C3C", "#FFFFFF", "#EC7064", "#FFF5E7", "#DC2D1A", "#F5A996"},
};

QString s(const char* text)
{
    return QLatin1String(text);
}
}  // namespace

C_Type_COM::C_Type_COM(QWidget* parent)
    : QWidget(parent)
{
}

void C_Type_COM::setTxtQss(QLineEdit* edit, const QString& border, const QString& focusBorder)
{
    edit->setStyleSheet(
        s("QLineEdit{border-style:none;padding:1px;border-radius:5px;border:2px solid %1;}").arg(border)
        + s("QLineEdit:focus{border:2px solid %1;}").arg(focusBorder));
}

void C_Type_COM::setTxtQss(QLineEdit* edit, C_Color colour)
{
    if (known(colour))
        setTxtQss(edit, s("#DCE4EC"), s(kAccent[colour]));
}

void C_Type_COM::setBtnQss(QPushButton* button, const QString& normalBg, const QString& normalText,
                           const QString& hoverBg, const QString& hoverText, const QString& pressedBg,
                           const QString& pressedText)
{
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(
        s("QPushButton{border-style:none;padding:3px;border-radius:5px;color:%1;background:%2;}")
            .arg(normalText, normalBg)
        + s("QPushButton:hover{color:%1;background:%2;}").arg(hoverText, hoverBg)
        + s("QPushButton:pressed{color:%1;background:%2;}").arg(pressedText, pressedBg));
}

void C_Type_COM::setBtnQss(QPushButton* button, C_Color colour)
{
    if (!known(colour))
        return;
    const ButtonColours& c = kButtonColours[colour];
    setBtnQss(button, s(c.normalBg), s(c.normalText), s(c.hoverBg), s(c.hoverText), s(c.pressedBg),
              s(c.pressedText));
}

void C_Type_COM::setBarQss(QProgressBar* bar, const QString& bg, const QString& chunk)
{
    bar->setStyleSheet(
        s("QProgressBar{font:9pt;height:%2px;background:%1;border-radius:%3px;text-align:center;border:1px solid %1;}")
            .arg(bg)
            .arg(8)
            .arg(8)
        + s("QProgressBar:chunk{border-radius:%2px;background-color:%1;}").arg(chunk).arg(8));
}

void C_Type_COM::setBarQss(QProgressBar*, C_Color)
{
}

void C_Type_COM::setSliderQss(QSlider* slider, const QString& groove, const QString& subPage, const QString& handle)
{
    slider->setStyleSheet(
        s("QSlider::groove:horizontal,QSlider::add-page:horizontal{height:%2px;border-radius:%3px;background:%1;}")
            .arg(groove)
            .arg(14)
            .arg(4)
        + s("QSlider::sub-page:horizontal{height:%2px;border-radius:%3px;background:%1;}").arg(subPage).arg(14).arg(4)
        + s("QSlider::handle:horizontal{width:%2px;margin-top:-%3px;margin-bottom:-%3px;border-radius:%4px;"
            "background:qradialgradient(spread:pad,cx:0.5,cy:0.5,radius:0.5,fx:0.5,fy:0.5,stop:0.6 #FFFFFF,"
            "stop:0.8 %1);}")
              .arg(handle)
              .arg(16)
              .arg(3)
              .arg(6)
        + s("QSlider {background:rgb(170,170,170);margin:5px;padding:2px;height:10px;border-radius:4px}")
        + s("QSlider::sub-page:horizontal{background:qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, "
            "stop:1 rgba(50,50,50, 255), stop:0 blue)}"));
}

void C_Type_COM::setSliderQss(QSlider* slider, C_Color colour)
{
    if (known(colour))
        setSliderQss(slider, s("#FFFBF0"), s(kSliderAccent[colour]), s(kSliderAccent[colour]));
}

void C_Type_COM::initForm()
{
}
