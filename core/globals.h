#pragma once
// Shared state of the whole program. Long-lived objects are created once at
// start (see main.cpp) and never deleted; these globals give every part of the
// program access to them.

#include <QString>

class QMutex;
class WizardPara;

constexpr int kMaxCameras = 8;   // camera positions 0..7
constexpr int kMaxDetects = 8;   // detection steps 0..7
constexpr int kTextLen = 100;    // text fields hold at most 99 bytes and a zero

extern const char* const kVersion;  // "16.0.1.6"

// Settings record in force and the copy the settings screens edit.
extern WizardPara* gpWPara;
extern WizardPara* gpWParaBak;

// Locks created by main before any thread that uses them.
extern QMutex* pMutexIO;              // gDataIn / gDataOut
extern QMutex* pMutexSaveFail;        // pending result images
extern QMutex* pMutex[kMaxCameras];   // incoming frame of camera i
extern bool isImageFill[kMaxCameras]; // new frame waiting in camera i's buffer

extern int gfLED;          // descriptor of the front-panel device, negative when absent

// Set by the settings load.
extern int gDNum;                              // detection steps per cycle
extern char gSerialNB[kMaxCameras][kTextLen];  // expected camera serial numbers

// Copies of settings made by the monitor start-up.
extern int gTempNum;
extern int gPicNumNG;
extern int gPicNumOK;
extern int gisCOM;
extern int gisGrayHue;
extern int gisColor;
extern int gisCut;

// Camera discovery and frame geometry.
extern int gCameraID;     // camera family found at start: 0 none, 4, 5, 6, 7, 9
extern int gFindCamera;   // cameras found
extern int numCamera;     // camera views in use
extern int gImageW;
extern int gImageH;
extern int gImageLen;     // pixels per frame
extern int gColorLen;     // bytes per frame (4 per pixel in colour, 1 in grey)

// Display geometry of the camera area.
extern int gShowW;        // 1725
extern int gShowH;        // 982
extern float gShowAW;     // display / frame scale
extern float gShowAH;

// Counters kept in count.txt.
extern int gAllNum[kMaxCameras];
extern int gFailNum[kMaxCameras];

// Directory the program was started in; every relative path is under it.
QString AppDir();
void SetAppDir(const QString& dir);
