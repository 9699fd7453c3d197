#pragma once
// What the region editor's save writes to the operation record: one line per
// region of a camera whose shape or parameters changed, that was added or
// that was deleted, in the language in force. Works on two region records
// (the one in force and the edited one) and nothing else.

#include <QStringList>

class CammerSingleton;

struct RegionChanges {
    QStringList lines;   // each line: "Detection <step> of camera <c> " + what changed
    // A position region was compared, added or deleted: the camera needs a
    // new positioning model.
    bool positionTouched = false;
};

// The two records differ in anything that is stored (step rows and region rows).
bool RecordsDiffer(const CammerSingleton& live, const CammerSingleton& edit);

// The change log of camera `camera` (from 0) over steps 0..steps-1;
// machineType names the steps.
RegionChanges RegionChangeLog(const CammerSingleton& live, const CammerSingleton& edit, int camera, int steps,
                              int machineType);
