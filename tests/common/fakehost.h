#pragma once
// The main window as the widgets, the LED code and the IO strip see it: it
// keeps what they set (LCD state, user level, keypad target) and owns two
// idle timers.

#include "core/hostwindow.h"

#include <QTimer>

class FakeHost : public HostWindow
{
public:
    QTimer* logoutTimer() override { return &logout; }
    QTimer* screenOffTimer() override { return &screenOff; }
    bool lcdOff() const override { return lcd; }
    void setLcdOff(bool off) override { lcd = off; }
    int userLevel() const override { return level; }
    void setUserLevel(int l) override { level = l; }
    QWidget* padTarget() override { return target; }
    void setPadTarget(QWidget* field) override { target = field; }
    void FLushAll() override {}
    void showNotice(const QString&, const QString&) override {}

    QTimer logout;
    QTimer screenOff;
    bool lcd = false;
    int level = UserNone;
    QWidget* target = nullptr;   // a plain pointer, as the main window keeps it
};
