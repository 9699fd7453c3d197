#pragma once
// The UI text table: every visible text is entry k in the current language.

#include <QString>

class QPixmap;

constexpr int kTextCount = 710;
constexpr int kLanCount = 3;   // 0 Simplified Chinese, 1 English, 2 Traditional Chinese

extern QString gaLanStr[kTextCount][kLanCount];
extern int gLan;

// Pictures painted by several widgets, created once by Data_Init and never
// released. A picture whose file is missing stays an empty pixmap.
extern QPixmap* gpPixmapLogo;       // background of the IO assignment dialog
extern QPixmap* gpPixmapBG;         // background of the small settings dialogs
extern QPixmap* gpPixmapEdit;       // value box of the touch slider ("./images/edit.png")
extern QPixmap* gpPixmapSlideru;    // touch slider: filled part
extern QPixmap* gpPixmapSliderd;    // touch slider: groove
extern QPixmap* gpPixmapSlidert;    // touch slider: knob
extern QPixmap* gpPixmapButton[2];  // image button skin: normal, pressed
extern QPixmap* gpPixmapOUT[2];     // output lamp: off, on

// Font families the widgets ask for by name; both resolve to the installed
// WenQuanYi fonts.
extern const char* const kFontMicroHei;   // "wqy-microhei"
extern const char* const kFontWenQuanYi;  // "wenquanyi"

// Fills the text table, maps the font family names to installed fonts and
// creates the shared pixmaps. Safe to call again: it then changes nothing.
void Data_Init();

// Entry k in the current language (empty for an entry out of range).
QString LanStr(int k);
// Entry k in a given language.
QString LanStr(int k, int lan);
