#include "tests/mainwin/programobjects.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "settings/settingsinstall.h"

#include <QMutex>

void MakeProgramObjects()
{
    pMutexIO = new QMutex;
    pMutexSaveFail = new QMutex;
    for (QMutex*& m : pMutex)
        m = new QMutex;
    Data_Init();
    gpWPara = new WizardPara;
    gpWParaBak = new WizardPara;
    InstallSettingsScreens();
}
