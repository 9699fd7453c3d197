#include "inspection/inspectionhooks.h"

#include "core/wizardpara.h"

InspectionHooks& gInspectionHooks()
{
    static InspectionHooks hooks;
    return hooks;
}

bool NetReportsOn()
{
    const InspectionHooks& hooks = gInspectionHooks();
    return gpWPara && gpWPara->netLinkOn && hooks.netLinkReady && hooks.netLinkReady();
}
