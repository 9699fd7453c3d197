#include "core/wizardpara.h"

#include "core/texttable.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>
#include <QVariant>
#include <QtDebug>

#include <vector>

const int TriginNo[8] = {1, 3, 4, 5, 6, 7, 8, 9};
const int OutputNo[8] = {2, 4, 5, 6, 7, 8, 9, 1};

namespace {

const char* const kAddFile = "sysadd.txt";

// One position of a number row: where the load puts the value and where the
// save takes it from (they differ only for the machine type).
struct Pos {
    int* load;
    int* save;
};

class Positions
{
public:
    Positions& f(int& v) { p.push_back({&v, &v}); return *this; }
    Positions& arr(int* a, int from, int n)
    {
        for (int i = from; i < from + n; ++i)
            p.push_back({&a[i], &a[i]});
        return *this;
    }
    Positions& split(int& load, int& save) { p.push_back({&load, &save}); return *this; }
    Positions& fill(int& v, int n)
    {
        for (int i = 0; i < n; ++i)
            p.push_back({&v, &v});
        return *this;
    }
    std::vector<Pos> p;
};

using W = WizardPara;

struct NumberRow {
    const char* name;
    Positions (*positions)(W& w);
    const char* insertWhenMissing;   // value inserted by the load when the row is missing
};

const char* const k20Zeros = "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0";

// Every number row with the position of every field, in the order of the load.
const NumberRow kNumberRows[] = {
    {"trigInDelay", [](W& w) { return Positions().arr(w.trigInDelay, 0, 8); }, nullptr},
    {"exposeTime", [](W& w) { return Positions().arr(w.exposeTime, 0, 4); }, nullptr},
    {"adjustPlus", [](W& w) { return Positions().arr(w.adjustPlus, 0, 4); }, nullptr},
    {"numFailDetect", [](W& w) {
         return Positions().split(w.machineType, w.pendingMachineType).f(w.mouldSide)
             .f(w.autoExposure).f(w.autoShading).f(w.saveProductOk).f(w.blackAreaOn)
             .f(w.whiteAreaOn).f(w.similarityOn);
     }, nullptr},
    {"numAllDetect", [](W& w) { return Positions().arr(w.gamma, 0, 8); }, nullptr},
    {"isPswUsed", [](W& w) { return Positions().f(w.isPswUsed); }, nullptr},
    {"system1", [](W& w) {
         return Positions().f(w.semiAuto).f(w.productDetectOn).f(w.mouldAsProduct)
             .f(w.motionCorrection).f(w.noClampWhenStopped).f(w.alarmSound).f(w.preCut)
             .f(w.reDetectTimes).f(w.okImagesKept).f(w.autoRegionOffered);
     }, nullptr},
    {"system2", [](W& w) {
         return Positions().f(w.cutEjectorWhenClamping).f(w.templateCount).f(w.minSpot)
             .f(w.ngImagesKept).f(w.ejectorPulseTime).f(w.clampPulseTime).f(w.ejectorPulseOnNG)
             .f(w.cutClampAfterMouldOK).f(w.noEjectorControl).f(w.pswNoDetect)
             .f(w.pswAddTemplate).f(w.pswIgnorePoint).f(gLan).f(w.input4Use)
             .f(w.maxLocationOffset).f(w.screenOffTime).f(w.captureSpeed).f(w.noInputTimeout);
     }, nullptr},
    {"system3", [](W& w) {
         return Positions().f(w.output4Use).f(w.alarmNeedsDoorOpen).f(w.diffMultiplier)
             .f(w.defectOn).f(w.spotOn).f(w.ignoreAreaOn).f(w.positionOn).f(w.perRoiParams)
             .f(w.autoLogoutTime).f(w.oneNotMould).f(w.doorTriggerDetect);
     }, nullptr},
    {"system4", [](W& w) {
         return Positions().f(w.templateAutoUpdate).arr(w.ipAddress, 0, 4).arr(w.netmask, 0, 4)
             .arr(w.gateway, 0, 4).f(w.filterSize).f(w.alarmArea);
     }, nullptr},
    {"sharp", [](W& w) { return Positions().arr(w.sharp, 0, 4); }, nullptr},
    {"contrast", [](W& w) { return Positions().arr(w.contrast, 0, 4); }, nullptr},
    {"system5", [](W& w) {
         return Positions().arr(w.exposeTime, 4, 2).arr(w.adjustPlus, 4, 2).arr(w.sharp, 4, 2)
             .arr(w.contrast, 4, 2).f(w.okNgPulses).f(w.rotationCorrection)
             .f(w.cutEjectorOnProductAlarm).f(w.externalTrigger);
     }, nullptr},
    {"system6", [](W& w) {
         return Positions().arr(w.exposeTime, 6, 2).arr(w.adjustPlus, 6, 2).arr(w.sharp, 6, 2)
             .arr(w.contrast, 6, 2).f(w.inputDebounce).f(w.system6Spare).f(w.tempAlarmClamp)
             .f(w.pswStopDetect);
     }, nullptr},
    {"system7", [](W& w) {
         return Positions().f(w.serialPort).f(w.colourCamera).f(w.greyChannel).f(w.showSnapshot)
             .arr(w.outPolarity, 0, 3).f(w.noLensOptimisation).f(w.outPolarity[3])
             .f(w.showFactoryParams).f(w.templateIsNgImage).f(w.system7Spare)
             .f(w.realTimeRoiDisplay).f(w.showCavityBoxes).arr(w.outPolarity, 4, 5)
             .f(w.whiteNumberOn);
     }, "0 0 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0"},
    {"system8", [](W& w) {
         return Positions().f(w.multiDetectCount).arr(w.rowTrigger, 0, 8).arr(w.rowCutMode, 0, 8)
             .f(w.cutEjectorAfterProductOK).f(w.useLog).f(w.directionOn);
     }, k20Zeros},
    {"system9", [](W& w) {
         return Positions().arr(w.outputOwner, 0, 8).f(w.cutClampOnMouldAlarm).fill(w.scratch, 11);
     }, k20Zeros},
    {"system10", [](W& w) {
         return Positions().arr(w.inputNameIdx, 0, 8).arr(w.outputNameIdx, 0, 8).fill(w.scratch, 4);
     }, k20Zeros},
    {"system11", [](W& w) {
         return Positions().arr(w.tempLow, 0, 8).arr(w.tempHigh, 0, 8).fill(w.scratch, 4);
     }, k20Zeros},
    {"CntNet", [](W& w) {
         return Positions().f(w.netLinkOn).f(w.videoType).f(w.videoFps).f(w.ngVideo)
             .f(w.alarmSms).f(w.cavities).f(w.plannedQuantity).f(w.productBatch);
     }, nullptr},
};

struct TextRow {
    const char* name;
    char (W::*field)[kTextLen];
};

const TextRow kTextRows[] = {
    {"password", &W::password},
    {"CntNet_UseName", &W::useName},
    {"CntNet_MsgTechName", &W::techName},
    {"CntNet_MsgTechNum", &W::techPhone},
    {"CntNet_ProName", &W::productName},
    {"CntNet_Operator", &W::operatorName},
};

// Clamp rules of the load. A value outside lo..hi (compared as unsigned
// 32-bit, so negatives count as too large) becomes def.

struct Clamp {
    const char* field;
    std::vector<int*> (*targets)(W& w);
    quint32 lo;
    quint32 hi;
    int def;
};

std::vector<int*> all8(int* a)
{
    std::vector<int*> v;
    for (int i = 0; i < 8; ++i)
        v.push_back(&a[i]);
    return v;
}

const Clamp kClamps[] = {
    {"exposeTime", [](W& w) { return all8(w.exposeTime); }, 0, 10000, 30},
    {"adjustPlus", [](W& w) { return all8(w.adjustPlus); }, 0, 10000, 32},
    {"sharp", [](W& w) { return all8(w.sharp); }, 0, 10000, 0},
    {"contrast", [](W& w) { return all8(w.contrast); }, 1, 10000, 100},
    {"gamma", [](W& w) { return all8(w.gamma); }, 1, 10000, 100},
    {"multiDetectCount", [](W& w) { return std::vector<int*>{&w.multiDetectCount}; }, 2, 8, 2},
    {"machineType", [](W& w) { return std::vector<int*>{&w.machineType}; }, 0, 5, 0},
    {"preCut", [](W& w) { return std::vector<int*>{&w.preCut}; }, 0, 100, 0},
    {"reDetectTimes", [](W& w) { return std::vector<int*>{&w.reDetectTimes}; }, 0, 10, 0},
    {"filterSize", [](W& w) { return std::vector<int*>{&w.filterSize}; }, 1, 10, 3},
    {"alarmArea", [](W& w) { return std::vector<int*>{&w.alarmArea}; }, 1, 1000, 100},
    {"templateCount", [](W& w) { return std::vector<int*>{&w.templateCount}; }, 1, 50, 10},
    {"ngImagesKept", [](W& w) { return std::vector<int*>{&w.ngImagesKept}; }, 0, 500, 0},
    {"okImagesKept", [](W& w) { return std::vector<int*>{&w.okImagesKept}; }, 0, 500, 0},
    {"ejectorPulseTime", [](W& w) { return std::vector<int*>{&w.ejectorPulseTime}; }, 0, 1000, 0},
    {"clampPulseTime", [](W& w) { return std::vector<int*>{&w.clampPulseTime}; }, 0, 1000, 0},
    {"rotationCorrection", [](W& w) { return std::vector<int*>{&w.rotationCorrection}; }, 0, 180, 0},
    {"autoLogoutTime", [](W& w) { return std::vector<int*>{&w.autoLogoutTime}; }, 0, 1000, 0},
    {"diffMultiplier", [](W& w) { return std::vector<int*>{&w.diffMultiplier}; }, 0, 4, 0},
    {"maxLocationOffset", [](W& w) { return std::vector<int*>{&w.maxLocationOffset}; }, 1, 8000, 8000},
    {"captureSpeed", [](W& w) { return std::vector<int*>{&w.captureSpeed}; }, 0, 100, 12},
    {"noInputTimeout", [](W& w) { return std::vector<int*>{&w.noInputTimeout}; }, 0, 10000, 60},
    {"gLan", [](W&) { return std::vector<int*>{&gLan}; }, 0, 2, 0},
    {"serialPort", [](W& w) { return std::vector<int*>{&w.serialPort}; }, 0, 100, 0},
    {"minSpot", [](W& w) { return std::vector<int*>{&w.minSpot}; }, 1, 20, 3},
    {"scratch", [](W& w) { return std::vector<int*>{&w.scratch}; }, 0, 100000000, 0},
    // The ranges the settings pages offer for the values that time the outputs.
    {"trigInDelay", [](W& w) { return all8(w.trigInDelay); }, 0, 1000, 0},
    {"inputDebounce", [](W& w) { return std::vector<int*>{&w.inputDebounce}; }, 0, 100, 0},
    {"input4Use", [](W& w) { return std::vector<int*>{&w.input4Use}; }, 0, 3, 0},
    {"output4Use", [](W& w) { return std::vector<int*>{&w.output4Use}; }, 0, 3, 0},
};

// The program's default of each position of a row: the row's inserted
// defaults where it has them, else the value of a new record.
std::vector<int> RowDefaults(const NumberRow& row)
{
    std::vector<int> values;
    if (row.insertWhenMissing) {
        for (const QString& word : QString::fromLatin1(row.insertWhenMissing).split(QLatin1Char(' ')))
            values.push_back(word.toInt());
        return values;
    }
    W fresh;
    for (const Pos& p : row.positions(fresh).p)
        values.push_back(*p.load);
    return values;
}

void (*gSavedHook)(const WizardPara&) = nullptr;

// Parses blank-separated integers into the positions of a row of record w.
// A position for which the text holds no further readable number keeps the
// program's default, and the log names the row and the position. "0x" reads
// hexadecimal and a leading 0 octal.
void parseInto(const QString& text, const std::vector<Pos>& positions, const NumberRow& row)
{
    const std::vector<int> defaults = RowDefaults(row);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = text.split(blanks, Qt::SkipEmptyParts);
    for (size_t i = 0; i < positions.size(); ++i) {
        bool ok = false;
        const int v = i < size_t(words.size()) ? words[int(i)].toInt(&ok, 0) : 0;
        *positions[i].load = ok ? v : i < defaults.size() ? defaults[i] : 0;
        if (!ok)
            qWarning().noquote() << "settings: row" << row.name << "position" << i + 1 << "unreadable ("
                                 << words.value(int(i), QStringLiteral("missing")) << "), default"
                                 << *positions[i].load << "used";
    }
}

QString joinSaved(const std::vector<Pos>& positions)
{
    QStringList parts;
    for (const Pos& p : positions)
        parts << QString::number(*p.save);
    return parts.join(QLatin1Char(' '));
}

// The stored value of a row; false when the row does not exist.
bool selectValue(QSqlDatabase& db, const QString& name, QString* value)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("select value from sysparam where name=?"));
    q.addBindValue(name);
    if (!q.exec() || !q.next())
        return false;
    *value = q.value(0).toString();
    return true;
}

bool insertRow(QSqlDatabase& db, const QString& name, const QString& value)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into sysparam values(?, ?)"));
    q.addBindValue(name);
    q.addBindValue(value);
    if (q.exec())
        return true;
    qWarning() << "settings: cannot insert row" << name << q.lastError().text();
    return false;
}

bool updateRow(QSqlDatabase& db, const QString& name, const QString& value)
{
    QSqlQuery q(db);
    q.prepare(QStringLiteral("update sysparam set value=? where name=?"));
    q.addBindValue(value);
    q.addBindValue(name);
    if (q.exec())
        return true;
    qWarning() << "settings: cannot update row" << name << q.lastError().text();
    return false;
}

bool quint32Outside(int v, quint32 lo, quint32 hi)
{
    const quint32 u = static_cast<quint32>(v);
    return u < lo || u > hi;
}

}  // namespace

WizardPara::WizardPara()
{
    detectOn[1] = 1;
}

bool WizardPara::SetText(char (&field)[kTextLen], const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() > kTextLen - 1)
        return false;
    qstrncpy(field, utf8.constData(), kTextLen);
    return true;
}

QString WizardPara::Text(const char (&field)[kTextLen])
{
    return QString::fromUtf8(field, int(qstrnlen(field, kTextLen)));
}

void WizardPara::SetSavedHook(void (*hook)(const WizardPara&))
{
    gSavedHook = hook;
}

bool WizardPara::SaveChkDBItem(QSqlDatabase& paramDb, const QString& name)
{
    QString value;
    if (selectValue(paramDb, name, &value))
        return true;
    return insertRow(paramDb, name, QStringLiteral("0"));
}

bool WizardPara::SaveDatatoFile(QSqlDatabase& paramDb)
{
    if (!paramDb.transaction()) {
        qWarning() << "settings: cannot begin the save" << paramDb.lastError().text();
        return false;
    }
    bool ok = true;
    for (const QString& name : RowNames()) {
        ok = SaveChkDBItem(paramDb, name) && ok;
        ok = updateRow(paramDb, name, RowText(name)) && ok;
    }
    if (!ok || !paramDb.commit()) {
        qWarning() << "settings: save failed, nothing changed" << paramDb.lastError().text();
        paramDb.rollback();
        return false;
    }
    if (gSavedHook)
        gSavedHook(*this);
    return true;
}

bool WizardPara::SaveAddFile() const
{
    QFile f(QString::fromLatin1(kAddFile));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(QByteArray::number(paramGroup) + '\n') > 0;
}

void WizardPara::ApplyClamps()
{
    for (const Clamp& c : kClamps) {
        for (int* v : c.targets(*this)) {
            if (!quint32Outside(*v, c.lo, c.hi))
                continue;
            const int replaced = *v;
            *v = c.def;
            qWarning().noquote() << "settings:" << c.field << replaced << "outside" << c.lo << ".." << c.hi
                                 << "-" << *v << "used";
        }
    }
    pendingMachineType = machineType;
    if (motionCorrection != -1 && motionCorrection != 0)
        motionCorrection = -1;
    if (screenOffTime != 0 && (screenOffTime < 10 || screenOffTime > 9999))
        screenOffTime = 600;
    // With only the direction check offered, the defect check is offered too.
    if (!defectOn && !spotOn && !blackAreaOn && !whiteAreaOn && !similarityOn && !whiteNumberOn
        && directionOn)
        defectOn = 1;
}

void WizardPara::DeriveDetectTable(int* side)
{
    const int product = productDetectOn ? 1 : 0;
    switch (machineType) {
    case 1:
    case 2: {
        gDNum = 4;
        if (static_cast<quint32>(mouldSide) > 3)
            mouldSide = 0;
        const bool type1 = machineType == 1;
        if (mouldSide == 0) {
            detectOn[0] = product; detectOn[1] = 1; detectOn[2] = 0; detectOn[3] = 0;
            if (side) *side = 1;
            trigInput[0] = 0;
            trigInput[1] = type1 ? 2 : (semiAuto ? 2 : 0);
        } else if (mouldSide == 1) {
            detectOn[0] = 0; detectOn[1] = 0; detectOn[2] = product; detectOn[3] = 1;
            if (side) *side = 0;
            trigInput[0] = type1 ? 0 : 3;
            trigInput[1] = type1 ? 3 : (semiAuto ? 2 : 3);
        } else {
            detectOn[0] = product; detectOn[1] = 1; detectOn[2] = product; detectOn[3] = 1;
            trigInput[0] = type1 ? 0 : 255;
            trigInput[1] = type1 ? 255 : (semiAuto ? 2 : 255);
        }
        break;
    }
    case 4:
        gDNum = multiDetectCount;
        for (int i = 0; i < kMaxDetects; ++i) {
            const int row = outputOwner[i];
            if (i < gDNum)
                detectOwner[i] = row >= -1 && row < kMaxDetects ? row : -1;
            bool enabled = i < gDNum && row != -1 && (i != 0 || productDetectOn);
            if (enabled && (row < 0 || row > 7 || rowTrigger[row] < 0 || rowTrigger[row] > 7)) {
                qWarning() << "settings: detection step" << i << "has an IO row or trigger out of range";
                enabled = false;
            }
            detectOn[i] = enabled ? 1 : 0;
            trigInput[i] = enabled ? TriginNo[rowTrigger[row]] - 1 : -1;
        }
        break;
    default:  // 0 standard, 3 auto parts, 5 accepted
        gDNum = 2;
        detectOn[1] = 1;
        detectOn[0] = product;
        trigInput[0] = 0;
        trigInput[1] = semiAuto ? 2 : 0;
        for (int i = 4; i <= 7; ++i)
            outPolarity[i] = ejectorPulseOnNG ? 0 : 1;
        if (machineType == 5)
            reDetectTimes = 0;
        break;
    }
}

void WizardPara::LoadRows(QSqlDatabase& paramDb)
{
    for (const NumberRow& row : kNumberRows) {
        const QString name = QLatin1String(row.name);
        QString value;
        if (selectValue(paramDb, name, &value)) {
            parseInto(value, row.positions(*this).p, row);
        } else if (row.insertWhenMissing) {
            // An older database: add the row and put its defaults in force now.
            const QString defaults = QLatin1String(row.insertWhenMissing);
            insertRow(paramDb, name, defaults);
            parseInto(defaults, row.positions(*this).p, row);
        }
    }
    for (const TextRow& row : kTextRows) {
        QString value;
        if (selectValue(paramDb, QLatin1String(row.name), &value))
            SetText(this->*row.field, value);
    }
}

QStringList WizardPara::RowNames()
{
    QStringList names;
    for (const NumberRow& row : kNumberRows)
        names << QLatin1String(row.name);
    for (const TextRow& row : kTextRows)
        names << QLatin1String(row.name);
    return names;
}

QString WizardPara::RowText(const QString& name) const
{
    auto* self = const_cast<WizardPara*>(this);
    for (const NumberRow& row : kNumberRows) {
        if (name == QLatin1String(row.name))
            return joinSaved(row.positions(*self).p);
    }
    for (const TextRow& row : kTextRows) {
        if (name == QLatin1String(row.name))
            return Text(this->*row.field);
    }
    return QString();
}

void WizardPara::LoadDatafromFile(QSqlDatabase& paramDb, QSqlDatabase& snDb, int* side)
{
    paramGroup = 0;
    QFile add(QString::fromLatin1(kAddFile));
    if (add.open(QIODevice::ReadOnly)) {
        QTextStream in(&add);
        in >> paramGroup;
    } else if (add.open(QIODevice::WriteOnly)) {
        add.write("0");
    }

    LoadRows(paramDb);
    ApplyClamps();
    DeriveDetectTable(side);
    LoadSerials(snDb);
}

void WizardPara::LoadSerials(QSqlDatabase& snDb)
{
    storedSerialCount = 0;
    for (int i = 0; i < kMaxCameras; ++i) {
        const QString name = QStringLiteral("serialNB%1").arg(i);
        QString value;
        if (selectValue(snDb, name, &value)) {
            const QByteArray utf8 = value.toUtf8();
            if (utf8.size() >= 9 && utf8.size() <= 99) {
                qstrncpy(gSerialNB[i], utf8.constData(), kTextLen);
                ++storedSerialCount;
            }
        } else {
            qstrncpy(gSerialNB[i], "0", kTextLen);
            insertRow(snDb, name, QStringLiteral("0"));
        }
    }
}
