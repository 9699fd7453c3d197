#include "inspection/cammersingleton.h"

#include "inspection/geometry.h"

#include "core/defaults.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QtDebug>
#include <opencv2/core.hpp>
#include <algorithm>
#include <vector>

namespace {

const char* const kCreateTable = "create table if not exists %1(name varchar(40), value varchar(400))";
const char* const kSelect = "select value from %1 where name=:name";
const char* const kInsert = "insert into %1 values(:name, :value)";
const char* const kUpdate = "update %1 set value=:value where name=:name";
const char* const kDelete = "delete from %1 where name=:name";

constexpr int kTextCameraFileError = 0;   // "Camera parameter file error!"
constexpr int kTextRegionFileError = 1;   // "Regional parameter file error, ..."
constexpr int kMaxOutput = 3;             // NG outputs 0..3

CammerSingleton::WarningHook gWarningHook = nullptr;
CammerSingleton::SavedHook gSavedHook = nullptr;

QString detectName(int d)
{
    return QStringLiteral("detect%1").arg(d);
}

QString roiName(int d, int r)
{
    return QStringLiteral("ROI%1-%2").arg(d).arg(r);
}

// Blank-separated integers; a missing or unreadable number and all after it read as 0.
class NumberReader
{
public:
    explicit NumberReader(const QString& text)
    {
        const QStringList parts = text.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (const QString& p : parts) {
            bool ok = false;
            const int v = p.toInt(&ok);
            if (!ok)
                break;
            values.push_back(v);
        }
    }
    int next() { return pos < values.size() ? values[pos++] : (++pos, 0); }

private:
    std::vector<int> values;
    size_t pos = 0;
};

int clampedX(int v)
{
    CheckInRange(&v, 1);
    return v;
}

int clampedY(int v)
{
    CheckInRange(&v, 0);
    return v;
}

bool unsignedAbove(int v, int limit)
{
    return static_cast<unsigned>(v) > static_cast<unsigned>(limit);
}

class Statement
{
public:
    Statement(QSqlDatabase& db, const char* sql, const QString& table) : query(db)
    {
        prepared = query.prepare(QString::fromLatin1(sql).arg(table));
    }
    bool run(const QString& name, const QString* value = nullptr)
    {
        if (!prepared)
            return fail();
        query.bindValue(QStringLiteral(":name"), name);
        if (value)
            query.bindValue(QStringLiteral(":value"), *value);
        return query.exec() || fail();
    }
    // The value of row name; false when there is none (or the select failed).
    bool value(const QString& name, QString* out)
    {
        if (!run(name))
            return false;
        const bool found = query.next();
        if (found)
            *out = query.value(0).toString();
        query.finish();
        return found;
    }
    bool failed = false;

private:
    bool fail()
    {
        if (!failed)
            qWarning() << "regions:" << query.lastQuery() << query.lastError().text();
        failed = true;
        return false;
    }
    QSqlQuery query;
    bool prepared = false;
};


// The mask of region r of step d, shared with the same region of an earlier
// step when that one is alike (steps are often copied from one another): the
// masks are never written once made.
cv::Mat ShareAlike(const RegionMasks& masks, int d, int r, cv::Mat mask)
{
    for (int e = 0; e < d; ++e) {
        const cv::Mat& other = masks[e][r];
        if (!other.empty() && other.size == mask.size && other.type() == mask.type()
            && cv::norm(other, mask, cv::NORM_INF) == 0)
            return other;
    }
    return mask;
}

}  // namespace

CammerSingleton::CammerSingleton(int cam) : camera(std::clamp(cam, 0, kMaxCameras - 1))
{
}

QString CammerSingleton::TableName() const
{
    return QStringLiteral("cammer%1").arg(camera);
}

void CammerSingleton::SetWarningHook(WarningHook hook)
{
    gWarningHook = hook;
}

void CammerSingleton::SetSavedHook(SavedHook hook)
{
    gSavedHook = hook;
}

void CammerSingleton::SetDefaultRegion(int d, int r)
{
    minWH[d][r] = kDefaultA;
    sensitivity[d][r] = kDefaultB;
    area[d][r] = kDefaultC;
    func[d][r] = 0;
    roiType[d][r] = kRoiRect;
    outN[r] = 0;
    rects[d][r].rect.setCoords(50, 50, 100, 100);
}

void CammerSingleton::ReadRegion(int d, int r, const QString& value)
{
    NumberReader in(value);
    const int a = in.next(), b = in.next(), c = in.next(), f = in.next(), type = in.next();
    const int out = in.next();
    const int n = in.next();
    if (type == kRoiPolygon && (n < 1 || n > RePolygon::kMaxPoints)) {
        SetDefaultRegion(d, r);
        return;
    }
    minWH[d][r] = a;
    sensitivity[d][r] = b;
    area[d][r] = c;
    func[d][r] = f;
    roiType[d][r] = type;
    outN[r] = unsignedAbove(out, kMaxOutput) ? 0 : out;
    if (type == kRoiPolygon) {
        std::vector<QPoint> points(n);
        for (QPoint& p : points) {
            const int x = clampedX(in.next());
            p = QPoint(x, clampedY(in.next()));
        }
        polygons[d][r].setPoints(n, points.data());
    } else if (type == kRoiCircle) {
        Circle& circle = circles[d][r];
        circle.cx = clampedX(in.next());
        circle.cy = clampedY(in.next());
        const unsigned v = static_cast<unsigned>(in.next());
        // A bounding square never larger than the display area.
        const int maxRadius = std::max(gShowW, gShowH) / 2;
        circle.r = std::min(static_cast<int>(v & 0xFFFFu), maxRadius);
        circle.rIn = static_cast<int>(v >> 16);
        circle.UpdateRect();
    } else if (type == kRoiRect) {
        const int x1 = clampedX(in.next());
        const int y1 = clampedY(in.next());
        const int x2 = clampedX(in.next());
        rects[d][r].rect.setCoords(x1, y1, x2, clampedY(in.next()));
    }
}

QString CammerSingleton::RegionText(int d, int r) const
{
    QString text = QStringLiteral("%1 %2 %3 %4 %5 %6 ")
                       .arg(minWH[d][r]).arg(sensitivity[d][r]).arg(area[d][r]).arg(func[d][r])
                       .arg(roiType[d][r]).arg(outN[r]);
    switch (roiType[d][r]) {
    case kRoiRect: {
        const QRect& q = rects[d][r].rect;
        text += QStringLiteral("0 %1 %2 %3 %4").arg(q.left()).arg(q.top()).arg(q.right()).arg(q.bottom());
        break;
    }
    case kRoiCircle: {
        const Circle& c = circles[d][r];
        text += QStringLiteral("0 %1 %2 %3").arg(c.cx).arg(c.cy).arg(c.rIn * 65536 + c.r);
        break;
    }
    case kRoiPolygon: {
        const RePolygon& p = polygons[d][r];
        text += QString::number(p.count()) + QLatin1Char(' ');
        for (const QPoint& v : p.pts)
            text += QStringLiteral("%1 %2 ").arg(v.x()).arg(v.y());
        break;
    }
    default:
        break;
    }
    return text;
}

bool CammerSingleton::hasShape(int d, int r) const
{
    const int type = roiType[d][r];
    return type == kRoiRect || type == kRoiCircle || type == kRoiPolygon;
}

void CammerSingleton::SetImageRect(int d, int r)
{
    switch (roiType[d][r]) {
    case kRoiRect:
        rects[d][r].setImageRect();
        break;
    case kRoiCircle:
        circles[d][r].setImageRect();
        break;
    default:
        polygons[d][r].setImageRect();
        break;
    }
}

QRect CammerSingleton::ImageBox(int d, int r) const
{
    switch (roiType[d][r]) {
    case kRoiRect:
        return rects[d][r].imageRect;
    case kRoiCircle:
        return circles[d][r].imageRect;
    default:
        return polygons[d][r].imageRect;
    }
}

cv::Mat CammerSingleton::MakeMask(int d, int r) const
{
    switch (roiType[d][r]) {
    case kRoiRect:
        return rects[d][r].UpdateMask();
    case kRoiCircle:
        return circles[d][r].UpdateMask();
    default:
        return polygons[d][r].UpdateMask();
    }
}

bool CammerSingleton::loadStep(QSqlDatabase& db, int d, RegionMasks* masks)
{
    Statement select(db, kSelect, TableName());
    QString value;
    roiNum[d] = 0;
    std::fill(std::begin(detectFlag[d]), std::end(detectFlag[d]), 0);
    bool ok = true;
    if (select.value(detectName(d), &value)) {
        NumberReader in(value);
        roiNum[d] = in.next();
        for (int& flag : detectFlag[d])
            flag = in.next();
    } else {
        const QString zero = QStringLiteral("0");
        ok = !select.failed && Statement(db, kInsert, TableName()).run(detectName(d), &zero);
    }
    if (unsignedAbove(roiNum[d], kMaxRegions)) {
        qWarning() << "regions: camera" << camera << "step" << d << "has" << roiNum[d] << "regions";
        if (gWarningHook)
            gWarningHook(kTextCameraFileError);
        roiNum[d] = 0;
    }
    for (int r = 0; r < roiNum[d]; ++r) {
        if (select.value(roiName(d, r), &value))
            ReadRegion(d, r, value);
        else
            SetDefaultRegion(d, r);
        if (!hasShape(d, r))
            continue;
        SetImageRect(d, r);
        if (masks)
            (*masks)[d][r] = ShareAlike(*masks, d, r, MakeMask(d, r));
    }
    return ok && !select.failed;
}

bool CammerSingleton::LoadDatafromFile(QSqlDatabase& paramDb, RegionMasks* masks)
{
    bool ok = true;
    for (int d = 0; d < kMaxDetects; ++d)
        ok = loadStep(paramDb, d, masks) && ok;
    return ok;
}

bool CammerSingleton::SaveDatatoFile(QSqlDatabase& db) const
{
    if (!db.transaction()) {
        qWarning() << "regions: cannot begin the save of" << TableName() << db.lastError().text();
        if (gWarningHook)
            gWarningHook(kTextRegionFileError);
        return false;
    }
    bool ok = true;
    {
        const QString table = TableName();
        Statement select(db, kSelect, table), insert(db, kInsert, table), update(db, kUpdate, table),
            remove(db, kDelete, table);
        // A row is written whether or not the table holds it yet: a step or
        // region without its row would otherwise be lost at the next start.
        const auto put = [&](const QString& name, const QString& value) {
            QString old;
            const bool exists = select.value(name, &old);
            return !select.failed && (exists ? update.run(name, &value) : insert.run(name, &value));
        };
        for (int d = 0; d < kMaxDetects && ok; ++d) {
            QStringList header{QString::number(roiNum[d])};
            for (int flag : detectFlag[d])
                header << QString::number(flag);
            ok = put(detectName(d), header.join(QLatin1Char(' ')));
            const int count = std::clamp(roiNum[d], 0, kMaxRegions);
            for (int r = 0; r < kMaxRegions && ok; ++r) {
                const QString name = roiName(d, r);
                ok = r >= count ? remove.run(name) : put(name, RegionText(d, r));
            }
        }
    }
    if (!ok || !db.commit()) {
        qWarning() << "regions: the save of" << TableName() << "failed, nothing changed"
                   << db.lastError().text();
        db.rollback();
        if (gWarningHook)
            gWarningHook(kTextRegionFileError);
        return false;
    }
    if (gSavedHook) {
        for (int d = 0; d < kMaxDetects; ++d)
            gSavedHook(camera, d);
    }
    return true;
}

void CammerSingleton::RegisterDefaultTables()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    AddDefaultParamWriter([](QSqlDatabase& db) {
        bool ok = true;
        for (int c = 0; c < kMaxCameras; ++c) {
            CammerSingleton record(c);
            QSqlQuery create(db);
            ok = create.exec(QString::fromLatin1(kCreateTable).arg(record.TableName())) && ok;
            ok = record.LoadDatafromFile(db, nullptr) && ok;
        }
        return ok;
    });
}
