#pragma once
// The UI text table: every visible text is entry k in the current language.

#include <QString>

constexpr int kTextCount = 600;
constexpr int kLanCount = 3;   // 0 Simplified Chinese, 1 English, 2 Traditional Chinese

extern QString gaLanStr[kTextCount][kLanCount];
extern int gLan;

// Fills the text table and creates the shared pixmaps.
void Data_Init();

// Entry k in the current language (empty for an entry out of range).
QString LanStr(int k);
// Entry k in a given language.
QString LanStr(int k, int lan);
