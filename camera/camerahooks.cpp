#include "camera/camerahooks.h"

#include "core/wizardpara.h"

#include <QDebug>
#include <QThread>

CameraHooks& cameraHooks()
{
    static CameraHooks hooks;
    return hooks;
}

void CameraRecord(const QString& text)
{
    if (cameraHooks().record)
        cameraHooks().record(text);
    else
        qInfo().noquote() << text;
}

void CameraSleep(int ms)
{
    if (cameraHooks().sleep)
        cameraHooks().sleep(ms);
    else
        QThread::msleep(static_cast<unsigned long>(ms));
}

const WizardPara& ImageSettingsRecord(bool exposure)
{
    const CameraHooks& h = cameraHooks();
    const bool edited = (h.settingsShown && h.settingsShown())
                        || (exposure && h.cameraPanelShown && h.cameraPanelShown());
    return edited && gpWParaBak ? *gpWParaBak : *gpWPara;
}
