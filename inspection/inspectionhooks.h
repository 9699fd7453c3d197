#pragma once
// What the inspection side needs of the screen and the network link, set once
// by the main window at start-up. Every hook may be left empty (tests, or a
// link that is not built): nothing is then recorded or sent.

#include <QString>

#include <functional>

struct InspectionHooks {
    // Operation record line (MainWindow::InsertRecord).
    std::function<void(const QString&)> insertRecord;
    // The trigger source of the cycle under way (0 once reported).
    std::function<int()> trigSource;
    // The network link is set up and its client is connected. Reports are
    // sent only while this holds and the settings' network link is on.
    std::function<bool()> netLinkReady;
    // Network reports of written pictures: a template or ignore-point file
    // (absolute path), a result picture (absolute path), and statistics with
    // the picture's path relative to the working directory ("./...").
    // sendAlarmPic and sendStatistics are called on the result-image writer
    // thread.
    std::function<void(const QString&)> sendTempPic;
    std::function<void(const QString&)> sendAlarmPic;
    std::function<void(const QString&)> sendStatistics;
};

// The hooks in force.
InspectionHooks& gInspectionHooks();

// True when the settings' network link is on and the link reports itself ready.
bool NetReportsOn();
