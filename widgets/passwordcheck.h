#pragma once
// The login decision of the password box, apart from the dialog.

#include <QDateTime>

class QString;

// The factory access code in force: "7358" while password protection is off;
// with it on, followed by the local time as "hhMMdd", so it changes every hour.
QString FactoryCode(bool protectionOn, const QDateTime& now);

// The level an entry grants (a UserLevel): factory for the factory code (it is
// compared first), operator for the operator password, none otherwise.
// Comparisons are exact; an empty entry matches an empty operator password.
int PasswordLevel(const QString& entry, const QString& operatorPassword, const QString& factoryCode);

// The clock the password box reads; tests put in a fixed one (nullptr: the system clock).
using PasswordClock = QDateTime (*)();
void SetPasswordClock(PasswordClock clock);
QDateTime PasswordNow();
