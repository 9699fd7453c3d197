#include "screen/settingsscreens.h"

SettingsScreens& settingsScreens()
{
    static SettingsScreens screens;
    return screens;
}
