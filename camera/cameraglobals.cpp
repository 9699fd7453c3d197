#include "camera/cameraglobals.h"

int gOW = 0;
int gOH = 0;
int gSensorColor = 0;
int gisLost = 0;
int gLost = 0;
int gCamNO[kMaxCameras] = {0, 1, 2, 3, 4, 5, 6, 7};
int gContrast[kMaxCameras] = {};
