// widgetdemo SCENE LANGUAGE OUT.png
// Shows one scene of the touch toolkit on a 1920 x 1080 screen, as the
// operator would see it, saves a screenshot of the whole screen and quits.
// Scenes: warn, choose, digital, full, numpad, charpad, password, slider, splash.

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "tests/common/fakehost.h"
#include "widgets/bmessagebox.h"
#include "widgets/bsplashscreen.h"
#include "widgets/bwidget.h"
#include "widgets/colorbutton.h"
#include "widgets/edit.h"
#include "widgets/keyboard.h"
#include "widgets/numberinput.h"
#include "widgets/numcharinput.h"
#include "widgets/passwordbox.h"
#include "widgets/slider.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>

namespace {

// A field touched by the operator: it takes the keypads and docks one.
void touchField(Edit* field)
{
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(field, &focusIn);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(field, &release);
}

// A panel on the screen like the region panel of the camera view.
QWidget* panel(QWidget* screen)
{
    auto* p = new BWidget(screen);
    p->setStyleSheet(QStringLiteral("BWidget{background-color:#3c3f41;}QLabel{color:white;font-size:24px;}"));
    p->setGeometry(60, 120, 1100, 700);
    p->show();
    return p;
}

QLineEdit* typingLine(QWidget* keyboard)
{
    return keyboard->findChild<QLineEdit*>();
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: widgetdemo SCENE LANGUAGE OUT.png\n");
        return 2;
    }
    const QString scene = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[3]);
    Data_Init();
    gLan = qBound(0, atoi(argv[2]), kLanCount - 1);
    gShowW = 1725;
    gShowH = 982;
    FakeHost host;
    gpHost = &host;
    gpWPara = new WizardPara;
    gpNumPad = new NumberInput;
    gpNumPad->hide();
    gpNumCharPad = new NumCharInput;
    gpNumCharPad->hide();

    BWidget screen;
    screen.setStyleSheet(QStringLiteral("BWidget{background-color:#d0d0d0;}"));
    screen.setGeometry(0, 0, 1920, 1080);
    screen.show();

    // Once everything is painted: the screenshot, then close whatever is open.
    QTimer::singleShot(1200, [&] {
        const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(out);
        std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(out));
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        app.quit();
    });

    const std::map<QString, std::function<void()>> scenes = {
        {QStringLiteral("warn"), [] { showWarnBox(LanStr(133)); }},
        {QStringLiteral("choose"), [] { showChooseBox(LanStr(134)); }},
        {QStringLiteral("digital"),
         [] {
             DigitalKeyboard kb(QStringLiteral("页码"), QStringLiteral("请输入正数"), QString());
             QTimer::singleShot(300, [&] { typingLine(&kb)->setText(QStringLiteral("192.168")); });
             kb.exec();
         }},
        {QStringLiteral("full"),
         [] {
             FullKeyboard kb(LanStr(125), QString(), QString());
             QTimer::singleShot(300, [&] { typingLine(&kb)->setText(QStringLiteral("Mould_A1")); });
             kb.exec();
         }},
        {QStringLiteral("password"),
         [] {
             PasswordBox box(LanStr(569));
             gpPasswordBox = &box;
             box.exec();
         }},
        {QStringLiteral("numpad"),
         [&] {
             QWidget* p = panel(&screen);
             auto* caption = new QLabel(QStringLiteral("Edit (flags 1)"), p);
             caption->setGeometry(40, 95, 260, 50);
             caption->show();
             auto* field = new Edit(1, p, 1);
             field->setGeometry(300, 90, 150, 60);
             field->setFont(QFont(QStringLiteral("wqy-microhei"), 24));
             field->show();
             touchField(field);
             gpNumPad->digitKey(4)->click();
             gpNumPad->digitKey(1)->click();
             app.exec();
         }},
        {QStringLiteral("charpad"),
         [&] {
             QWidget* p = panel(&screen);
             auto* field = new Edit(PadTextKeyboard, p, 1);
             field->setGeometry(40, 90, 300, 60);
             field->show();
             touchField(field);
             for (int key : {11, 21, 0})
                 gpNumCharPad->key(key)->click();
             app.exec();
         }},
        {QStringLiteral("slider"),
         [&] {
             QWidget* p = panel(&screen);
             auto* slider = new Slider(0, 255, 1, 120, p, QStringLiteral("Gray"));
             slider->setGeometry(20, 40, 1000, 60);
             slider->show();
             QMouseEvent tap(QEvent::MouseButtonRelease, QPointF(150, 30), Qt::LeftButton, Qt::NoButton,
                             Qt::NoModifier);
             QCoreApplication::sendEvent(slider, &tap);
             gpNumPad->digitKey(0)->click();
             gpNumPad->digitKey(1)->click();
             app.exec();
         }},
        {QStringLiteral("splash"),
         [&] {
             BSplashScreen splash;
             splash.showFullScreen();
             app.exec();
         }},
    };
    const auto it = scenes.find(scene);
    if (it == scenes.end()) {
        std::fprintf(stderr, "unknown scene %s\n", argv[1]);
        return 2;
    }
    it->second();
    return 0;
}
