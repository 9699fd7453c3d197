#pragma once
// What the application object and the widget toolkit need of the main window,
// without knowing it. The main window fills this in; tests use a small fake.

class QTimer;
class QWidget;
class QString;

// Access levels of the operator screen, granted by the password box.
enum UserLevel { UserNone = 0, UserOperator = 1, UserFactory = 2 };

class HostWindow
{
public:
    virtual ~HostWindow() = default;

    virtual QTimer* logoutTimer() = 0;     // idle-logout timer (may be null)
    virtual QTimer* screenOffTimer() = 0;  // LCD screen-off timer (may be null)
    virtual bool lcdOff() const = 0;       // the LCD backlight is off
    virtual void setLcdOff(bool off) = 0;
    virtual int userLevel() const = 0;     // a UserLevel
    virtual void setUserLevel(int level) = 0;
    virtual QWidget* padTarget() = 0;      // line edit the docked keypads type into (or null)
    virtual void setPadTarget(QWidget* field) = 0;
    virtual void FLushAll() = 0;           // closes the databases before a reboot
    // A warning shown without waiting (the long-press calibration notice).
    virtual void showNotice(const QString& title, const QString& text) = 0;
};

// The main window once it exists; null before.
extern HostWindow* gpHost;
