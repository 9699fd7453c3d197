#pragma once
// Camera families and the camera layer's own globals. Detection sets the
// family and geometry once per run (globals in core/globals.h: gCameraID,
// gFindCamera, gImageW, gImageH); the rest belong to loss and restart.

#include "core/globals.h"

// Values of gCameraID.
enum CameraFamily {
    kCameraNone = 0,   // no camera found: four positions open without frames
    kCameraGx = 4,
    kCameraIds = 5,
    kCameraMv = 6,
    kCameraHik = 7,
    kCameraUsb = 9,
};

extern int gOW;            // sensor width and height as the device reports them
extern int gOH;
extern int gSensorColor;   // the sensor is a colour sensor (families 6 and 7)
extern int gisLost;        // a camera loss is declared and not yet cleared
extern int gLost;          // camera losses since the totals were reset
extern int gCamNO[kMaxCameras];     // position the camera of view i is stored at
extern int gContrast[kMaxCameras];  // family 4 software contrast, under pMutex[i]
