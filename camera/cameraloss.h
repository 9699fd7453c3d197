#pragma once
// Camera loss and recovery, the frame rate of all cameras, and the stored
// serial numbers. All of it runs on the GUI thread over the views 0 ..
// numCamera - 1 (their CameraUnits).

#include <QString>
#include <QStringList>

// Declares the cameras lost because position `camera` delivers nothing: one
// record, the interlock output (unless stopped), every camera stopped and
// closed, one warning. Nothing while a loss is declared already.
void CameraCheck(int camera);

// One recovery attempt while a loss is declared: when the devices are listed
// again in full number, reopens and restarts every camera.
void CameraRestart();

// Stops every open camera, gives it the frame rate of the settings in force
// and starts it again.
void CameraSetSpeed();

// Stores the serials of the cameras now open (clear = 0) or "0" for every
// position (clear != 0) in gSerialNB and SN.db.
void SaveSN(int clear);

// Host interfaces named in a /proc/net/dev listing, in file order.
QStringList NetInterfaceNames(const QString& listing);
