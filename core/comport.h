#pragma once
// The serial port of the IO board.

#include <QString>

class ByteChannel;

// The port, created by ComInit; used only by the IO thread afterwards.
extern ByteChannel* gpCom;

// "/dev/ttyS%1" for the settings' serial port (0 -> ttyS0, 1 -> ttyS2,
// 2 -> ttyS3, 3 -> ttyS4), or the path in MOULDMON_IO_DEVICE when set.
QString ComDeviceName();
// Creates gpCom on the device and opens it at 115200 8N1 without flow
// control. A port that does not open leaves the system running without
// inputs; writes to it go nowhere.
void ComInit(const QString& device);
void ComInit();
// Writes one host frame with the low byte of cmd and the low 16 bits of value.
void ComSend(int cmd, int value);
