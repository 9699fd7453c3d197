#pragma once
// The settings record: one flat record of 32-bit integers and 100-byte texts,
// stored in PARAM.db table sysparam as named rows (see wizardpara_rows.cpp).
// Two instances live for the whole run: gpWPara (in force) and gpWParaBak
// (the copy the settings screens edit).

#include "core/globals.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class QSqlDatabase;

// Terminal number of trigger choice k; the input index is the terminal minus 1.
extern const int TriginNo[8];
// Terminal numbers of the outputs as the run controller counts them.
extern const int OutputNo[8];

class WizardPara
{
public:
    WizardPara();

    int exposeTime[kMaxCameras] = {};
    int adjustPlus[kMaxCameras] = {};
    int sharp[kMaxCameras] = {};
    int contrast[kMaxCameras] = {};
    int gamma[kMaxCameras] = {};
    int trigInDelay[kMaxDetects] = {};
    int trigInput[kMaxDetects] = {};
    int outPolarity[9] = {};
    int semiAuto = 0;
    int detectOn[kMaxDetects] = {};
    int mouldAsProduct = 0;
    int noClampWhenStopped = 0;
    int motionCorrection = 0;
    int cutEjectorWhenClamping = 0;
    int isPswUsed = 0;
    int alarmSound = 0;
    int templateAutoUpdate = 0;
    int productDetectOn = 0;
    int storedSerialCount = 0;
    int templateCount = 0;
    int ngImagesKept = 0;
    int okImagesKept = 0;
    int screenOffTime = 0;
    int captureSpeed = 0;
    int diffMultiplier = 0;
    int autoLogoutTime = 0;
    int frontMoldTime = 0;
    int reDetectTimes = 0;
    int ejectorPulseTime = 0;
    int clampPulseTime = 0;
    int noInputTimeout = 0;
    int inputDebounce = 0;
    int filterSize = 0;
    int alarmArea = 0;
    int noEjectorControl = 0;
    int ejectorPulseOnNG = 0;
    int output4Use = 0;
    int cutClampAfterMouldOK = 0;
    int cutEjectorAfterProductOK = 0;
    int okNgPulses = 0;
    int cutEjectorOnProductAlarm = 0;
    int cutClampOnMouldAlarm = 0;
    int pswNoDetect = 0;
    int pswAddTemplate = 0;
    int pswIgnorePoint = 0;
    int pswStopDetect = 0;
    int alarmNeedsDoorOpen = 0;
    int defectOn = 0;
    int spotOn = 0;
    int ignoreAreaOn = 0;
    int positionOn = 0;
    int perRoiParams = 0;
    int doorTriggerDetect = 0;
    int oneNotMould = 0;
    int autoRegionOffered = 0;
    int system6Spare = 0;
    int input4Use = 0;
    int maxLocationOffset = 0;
    int templateIsNgImage = 0;
    int realTimeRoiDisplay = 0;
    int showCavityBoxes = 0;
    int useLog = 0;
    int tempAlarmClamp = 0;
    int serialPort = 0;
    int colourCamera = 0;
    int greyChannel = 0;
    int noLensOptimisation = 0;
    int minSpot = 0;
    int showSnapshot = 0;
    int showFactoryParams = 0;
    int machineType = 0;
    int pendingMachineType = 0;
    int mouldSide = 0;
    int preCut = 0;
    int autoExposure = 0;
    int autoShading = 0;
    int saveProductOk = 0;
    int blackAreaOn = 0;
    int whiteAreaOn = 0;
    int whiteNumberOn = 0;
    int directionOn = 0;
    int similarityOn = 0;
    int rotationCorrection = 0;
    int scratch = 0;
    char password[kTextLen] = {};
    int networkEnabled = 0;
    int ipAddress[4] = {};
    int netmask[4] = {};
    int gateway[4] = {};
    int netLinkOn = 0;
    char useName[kTextLen] = {};
    int videoType = 1;
    int videoFps = 3;
    int ngVideo = 0;
    int alarmSms = 0;
    char techName[kTextLen] = {};
    char techPhone[kTextLen] = {};
    char productName[kTextLen] = {};
    int productBatch = 10000;
    int cavities = 6;
    int plannedQuantity = 1;
    char operatorName[kTextLen] = {};
    int system7Spare = 0;
    int multiDetectCount = 2;
    int outputOwner[kMaxDetects] = {};
    int rowTrigger[kMaxDetects] = {};
    int rowCutMode[kMaxDetects] = {};
    int detectOwner[kMaxDetects] = {};
    int inputNameIdx[kMaxDetects] = {};
    int outputNameIdx[kMaxDetects] = {};
    int externalTrigger = 0;
    int tempLow[kMaxDetects] = {};
    int tempHigh[kMaxDetects] = {};
    int paramGroup = 0;

    // Writes every row to PARAM.db in one transaction, inserting rows that
    // are missing. Returns false when the save could not be committed.
    bool SaveDatatoFile(QSqlDatabase& paramDb);
    // Inserts the row with the value "0" when it does not exist.
    static bool SaveChkDBItem(QSqlDatabase& paramDb, const QString& name);
    // Writes "sysadd.txt" anew with paramGroup and a line feed.
    bool SaveAddFile() const;

    // Loads the record, inserts rows that older databases lack (their
    // defaults in force at once), clamps the values, derives the detection
    // table and reads the camera serial numbers. side is the main window's
    // side of the two-colour and rotary-table types.
    void LoadDatafromFile(QSqlDatabase& paramDb, QSqlDatabase& snDb, int* side);

    // Steps of the load, also used by tests and the defaults tool.
    void LoadRows(QSqlDatabase& paramDb);
    void ApplyClamps();
    void DeriveDetectTable(int* side);
    void LoadSerials(QSqlDatabase& snDb);

    // Names of every stored row, and the stored text of one row of this record
    // (empty for an unknown name).
    static QStringList RowNames();
    QString RowText(const QString& name) const;

    // A text is taken only when its UTF-8 form has at most 99 bytes.
    static bool SetText(char (&field)[kTextLen], const QString& text);
    static QString Text(const char (&field)[kTextLen]);

    // Called after every successful save of the record in force (the network
    // link reports the settings from there).
    static void SetSavedHook(void (*hook)(const WizardPara&));
};

