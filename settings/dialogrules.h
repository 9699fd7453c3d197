#pragma once
// Rules of the small settings dialogs, kept apart from their widgets: the
// camera order's check, the hardware sheet's file, the help page's paging.

#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

// The first position (from 0) that two camera views were given, or -1 when
// every view has its own; views is the number of views in use.
int RepeatedCameraPosition(const int* positions, int views);

// The entries of the hardware configuration file: one per non-empty line,
// key and value split at the first tab (further fields ignored), every '_'
// shown as a blank. A missing file gives no entries.
using ConfEntries = QList<QPair<QString, QString>>;
ConfEntries ParseConfiguration(const QString& text);
ConfEntries ReadConfiguration(const QString& path);
// The same entries by key; a later line replaces an earlier one.
QMap<QString, QString> ConfigurationMap(const ConfEntries& entries);
// The key whose value the sheet replaces by the number of cameras in use.
extern const char* const kConfCountKey;

// Paging through n help pictures (at least one).
struct HelpPaging {
    int count = 1;
    int next(int page) const { return (shown(page) + 1) % count; }
    int previous(int page) const { return shown(page) == 0 ? count - 1 : shown(page) - 1; }
    // The picture a page number shows: a page beyond the last shows the last.
    int shown(int page) const { return page < 0 ? 0 : (page >= count ? count - 1 : page); }
};
// Page of the alarm help.
constexpr int kHelpAlarmPage = 4;
