#include "widgets/padtarget.h"

#include "core/hostwindow.h"

#include <QLineEdit>

QLineEdit* PadTarget()
{
    return gpHost ? qobject_cast<QLineEdit*>(gpHost->padTarget()) : nullptr;
}

void SetPadTarget(QLineEdit* field)
{
    if (gpHost)
        gpHost->setPadTarget(field);
}
