#pragma once
// The region record of one camera: for each of the 8 detection steps up to 50
// regions with their shape, parameters A/B/C and detection function, the NG
// output of each region number, and 8 option flags per step. Stored in
// PARAM.db table "cammer<camera>" as rows "detect<d>" and "ROI<d>-<r>".
//
// A plain value: the record being edited is a copy of the record in force.

#include "inspection/circle.h"
#include "inspection/polygon.h"
#include "inspection/rect.h"

#include "core/globals.h"

#include <QRect>
#include <QString>
#include <array>
#include <opencv2/core/mat.hpp>

class QSqlDatabase;

constexpr int kMaxRegions = 50;   // regions per step
constexpr int kDetectFlags = 8;   // option flags per step

// Shape types of a region.
enum RoiType { kRoiRect = 1, kRoiPolygon = 2, kRoiCircle = 4 };

// One mask per step and region, the size of the region's box (255 inside the shape).
using RegionMasks = std::array<std::array<cv::Mat, kMaxRegions>, kMaxDetects>;

class CammerSingleton
{
public:
    explicit CammerSingleton(int camera);

    int camera = 0;
    int roiNum[kMaxDetects] = {};
    int minWH[kMaxDetects][kMaxRegions] = {};        // parameter A
    int sensitivity[kMaxDetects][kMaxRegions] = {};  // parameter B
    int area[kMaxDetects][kMaxRegions] = {};         // parameter C
    int func[kMaxDetects][kMaxRegions] = {};         // detection function 0..8
    ClustomRect rects[kMaxDetects][kMaxRegions];
    Circle circles[kMaxDetects][kMaxRegions];
    RePolygon polygons[kMaxDetects][kMaxRegions];
    int roiType[kMaxDetects][kMaxRegions] = {};      // RoiType
    int outN[kMaxRegions] = {};                      // NG output 0..3 of region number r
    int detectFlag[kMaxDetects][kDetectFlags] = {};

    // Fills the record from its table. A missing "detect<d>" row is inserted
    // with "0"; a step count above 50 (or negative) warns with text 0 and
    // loads no regions; missing or unreadable region rows give the default
    // region. When masks is given, each loaded region's mask is stored there.
    // False when a statement of the table failed (the record is loaded all the same).
    bool LoadDatafromFile(QSqlDatabase& paramDb, RegionMasks* masks);
    // Writes the record to its table in one transaction. On failure nothing
    // changes, the failure is logged and the warning hook gets text 1; on
    // success the saved hook is called for each step. Returns success.
    bool SaveDatatoFile(QSqlDatabase& paramDb) const;

    // The stored value of a region row, and a region read from such a value.
    QString RegionText(int d, int r) const;
    void ReadRegion(int d, int r, const QString& value);
    // Makes region (d, r) the default region (rectangle (50,50)-(100,100)).
    void SetDefaultRegion(int d, int r);

    // The shape in force of region (d, r) is taken by its type: 1 rectangle,
    // 4 circle, anything else the polygon.
    // Recomputes its frame geometry from its display geometry.
    void SetImageRect(int d, int r);
    // Its frame box (inclusive corners) and its box-sized mask; the frame
    // geometry must be current.
    QRect ImageBox(int d, int r) const;
    cv::Mat MakeMask(int d, int r) const;

    QString TableName() const;

    // Hooks set once by the screens and the network link.
    using WarningHook = void (*)(int text);             // modal warning with text k
    using SavedHook = void (*)(int camera, int detect); // a step was saved
    static void SetWarningHook(WarningHook hook);
    static void SetSavedHook(SavedHook hook);

    // Registers the default camera tables "cammer0".."cammer7" (as a first
    // start leaves them) with the writer of the default PARAM.db.
    static void RegisterDefaultTables();

    static constexpr int kDefaultA = 5;
    static constexpr int kDefaultB = 25;
    static constexpr int kDefaultC = 100;

private:
    bool loadStep(QSqlDatabase& paramDb, int d, RegionMasks* masks);
    bool hasShape(int d, int r) const;
};
