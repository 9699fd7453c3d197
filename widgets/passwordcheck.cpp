#include "widgets/passwordcheck.h"

#include "core/hostwindow.h"

#include <QString>

namespace {
const char* const kFactoryCode = "7358";
PasswordClock gClock = nullptr;
}  // namespace

QString FactoryCode(bool protectionOn, const QDateTime& now)
{
    QString code = QLatin1String(kFactoryCode);
    if (protectionOn)
        code += now.toString(QStringLiteral("hhMMdd"));
    return code;
}

int PasswordLevel(const QString& entry, const QString& operatorPassword, const QString& factoryCode)
{
    if (entry == factoryCode)
        return UserFactory;
    if (entry == operatorPassword)
        return UserOperator;
    return UserNone;
}

void SetPasswordClock(PasswordClock clock)
{
    gClock = clock;
}

QDateTime PasswordNow()
{
    return gClock ? gClock() : QDateTime::currentDateTime();
}
