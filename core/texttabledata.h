#pragma once
// The constant texts behind the UI text table (see texttabledata.cpp).

struct TextEntry {
    int k;
    const char* zh;  // Simplified Chinese
    const char* en;  // English
    const char* tw;  // Traditional Chinese
};

extern const TextEntry kTextEntries[];
extern const int kTextEntryCount;
