#include "screen/statisticshooks.h"

StatisticsHooks& statisticsHooks()
{
    static StatisticsHooks hooks;
    return hooks;
}
