#pragma once
// A host window, texts, settings and docked keypads for the toolkit tests,
// and a driver for modal dialogs that never lets a test hang.

#include "tests/common/fakehost.h"
#include "tests/common/testsupport.h"

#include <QPointer>
#include <QTimer>
#include <QElapsedTimer>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

class NumberInput;
class NumCharInput;
class QPushButton;
class WizardPara;

class WidgetTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    TempWorkDir work;
    FakeHost host;
    WizardPara* savedPara = nullptr;
    QPointer<NumberInput> numPad;
    QPointer<NumCharInput> charPad;
};

// Drives modal dialogs from a timer. Each step waits for the top modal
// widget to be of the given class and acts on it; an action may open further
// modal dialogs, which later steps handle. A step whose dialog does not come
// within the time limit fails the test and closes every modal widget, and so
// does a modal widget left open after the last step: exec() always returns.
class ModalScript
{
public:
    explicit ModalScript(int limitMs = 4000);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& on(const char* className, std::function<void(QWidget*)> action);
    // Steps whose dialog came.
    int done() const { return int(next); }

private:
    struct Step {
        const char* className;
        std::function<void(QWidget*)> action;
    };
    void tick();
    void closeAllModals();

    QTimer timer;
    QElapsedTimer sinceStep;
    std::vector<Step> steps;
    size_t next = 0;
    int limitMs;
    QPointer<QWidget> lastActedOn;
};

// Closes at once any modal widget that comes while it lives, and says
// whether one came.
class NoModalGuard
{
public:
    NoModalGuard();
    bool sawModal() const { return seen; }

private:
    QTimer timer;
    bool seen = false;
};

// The visible push button of root with exactly this caption (null if none).
QPushButton* ButtonWithText(QWidget* root, const QString& caption);
// A left click (press then release) in the middle of w.
void Click(QWidget* w);
// Presses the keys of a keyboard dialog, one per character of keys.
void TypeOn(QWidget* keyboard, const QString& keys);
// Shows a top-level widget and makes it the active window.
void ShowActive(QWidget* w);
// Sends a mouse event of the type at pos with the left button.
void SendMouse(QWidget* w, int type, const QPoint& pos, Qt::MouseButton button = Qt::LeftButton);
