#include "tests/widgets/widgetfixture.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/bmessagebox.h"
#include "widgets/numberinput.h"
#include "widgets/numcharinput.h"
#include "widgets/passwordbox.h"
#include "widgets/passwordcheck.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

void WidgetTest::SetUp()
{
    Data_Init();
    gLan = 1;
    gShowW = 1725;
    gShowH = 982;
    gpHost = &host;
    savedPara = gpWPara;
    gpWPara = new WizardPara;
    SetPasswordClock(nullptr);
    gpNumPad = numPad = new NumberInput;
    gpNumCharPad = charPad = new NumCharInput;
    numPad->hide();
    charPad->hide();
}

void WidgetTest::TearDown()
{
    delete numPad.data();
    delete charPad.data();
    gpNumPad = nullptr;
    gpNumCharPad = nullptr;
    gpPasswordBox = nullptr;
    gpWarnBox = nullptr;
    gpChooseBox = nullptr;
    delete gpWPara;
    gpWPara = savedPara;
    gpHost = nullptr;
    SetPasswordClock(nullptr);
    gLan = 1;
}

ModalScript::ModalScript(int limitMs)
    : limitMs(limitMs)
{
    QObject::connect(&timer, &QTimer::timeout, [this] { tick(); });
    timer.start(5);
    sinceStep.start();
}

ModalScript::~ModalScript()
{
    timer.stop();
}

ModalScript& ModalScript::on(const char* className, std::function<void(QWidget*)> action)
{
    steps.push_back({className, std::move(action)});
    return *this;
}

void ModalScript::tick()
{
    QWidget* top = QApplication::activeModalWidget();
    if (next < steps.size()) {
        if (top && top->isVisible() && top->inherits(steps[next].className) && top != lastActedOn) {
            const Step& step = steps[next++];
            lastActedOn = top;
            sinceStep.restart();
            step.action(top);  // may run nested event loops, in which later steps act
            return;
        }
        if (sinceStep.elapsed() > limitMs) {
            ADD_FAILURE() << "no modal " << steps[next].className << " came";
            next = steps.size();
            closeAllModals();
        }
        return;
    }
    if (!top) {
        sinceStep.restart();
    } else if (sinceStep.elapsed() > limitMs) {
        ADD_FAILURE() << "a modal " << top->metaObject()->className() << " stayed open";
        closeAllModals();
    }
}

void ModalScript::closeAllModals()
{
    for (int i = 0; i < 10; ++i) {
        QWidget* top = QApplication::activeModalWidget();
        if (!top)
            return;
        top->close();
    }
}

NoModalGuard::NoModalGuard()
{
    QObject::connect(&timer, &QTimer::timeout, [this] {
        if (QWidget* top = QApplication::activeModalWidget()) {
            seen = true;
            top->close();
        }
    });
    timer.start(5);
}

QPushButton* ButtonWithText(QWidget* root, const QString& caption)
{
    for (QPushButton* b : root->findChildren<QPushButton*>())
        if (b->text() == caption && b->isVisible())
            return b;
    return nullptr;
}

void Click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton);
}

void TypeOn(QWidget* keyboard, const QString& keys)
{
    for (const QChar c : keys) {
        QPushButton* key = ButtonWithText(keyboard, QString(c));
        if (!key) {
            ADD_FAILURE() << "no key " << QString(c).toStdString();
            continue;
        }
        Click(key);
    }
}

void ShowActive(QWidget* w)
{
    w->show();
    QApplication::setActiveWindow(w);
    EXPECT_TRUE(QTest::qWaitForWindowActive(w));
}

void SendMouse(QWidget* w, int type, const QPoint& pos, Qt::MouseButton button)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(QEvent::Type(type), pos, w->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : button,
                  held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
