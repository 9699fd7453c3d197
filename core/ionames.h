#pragma once
// Fixed name tables of the machine signals wired to the IO board, in the three
// languages of the text table: the names an operator can give the trigger
// inputs and the step outputs, and the column captions of the IO-name dialog.

#include "core/texttable.h"

#include <QString>

constexpr int kInNameCount = 16;
constexpr int kOutNameCount = 14;
constexpr int kCustomIOColumns = 8;

extern const QString gInName[kInNameCount][kLanCount];
extern const QString gOutName[kOutNameCount][kLanCount];
extern const QString gCustomInputName[kCustomIOColumns][kLanCount];   // inputs 1, 3 to 9
extern const QString gCustomOutputName[kCustomIOColumns][kLanCount];  // outputs 1, 2, 4 to 9

// Name `index` in the current language; empty when the index is out of range
// (a stored index from a damaged settings row).
QString InName(int index);
QString OutName(int index);
