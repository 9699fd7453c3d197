#include "core/globals.h"

#include <QDir>
#include <QString>

const char* const kVersion = "16.0.1.6";

WizardPara* gpWPara = nullptr;
WizardPara* gpWParaBak = nullptr;

QMutex* pMutexIO = nullptr;
QMutex* pMutexSaveFail = nullptr;
QMutex* pMutex[kMaxCameras] = {};
bool isImageFill[kMaxCameras] = {};

int gfLED = -1;

int gDNum = 2;
char gSerialNB[kMaxCameras][kTextLen] = {};

int gTempNum = 10;
int gPicNumNG = 0;
int gPicNumOK = 0;
int gisCOM = 0;
int gisGrayHue = 0;
int gisColor = 0;
int gisCut = 1;

int gCameraID = 0;
int gFindCamera = 0;
int numCamera = 0;
int gImageW = 1280;
int gImageH = 1024;
int gImageLen = 1280 * 1024;
int gColorLen = 1280 * 1024;

int gShowW = 1725;
int gShowH = 982;
float gShowAW = 1.0f;
float gShowAH = 1.0f;

int gAllNum[kMaxCameras] = {};
int gFailNum[kMaxCameras] = {};

namespace {
QString& appDirStore()
{
    static QString dir;
    return dir;
}
}  // namespace

QString AppDir()
{
    QString& dir = appDirStore();
    return dir.isEmpty() ? QDir::currentPath() : dir;
}

void SetAppDir(const QString& dir)
{
    appDirStore() = dir;
}
