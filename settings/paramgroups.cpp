#include "settings/paramgroups.h"

#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

constexpr int kMaxNameLength = 64;
const QString kParamDb = QStringLiteral("PARAM.db");

enum Text {
    kEmptyName = 282,
    kAskBackup = 283,
    kAskOverwrite = 284,
    kAskRestore = 285,
    kRestoredRecord = 286,
    kAskDelete = 287,
    kBadName = 630,
    kDefaultKept = 631,
    kGroupMissing = 632,
    kCopyFailed = 633,
};

QString TemplateFolder(int camera, int step)
{
    return QStringLiteral("cammer%1%2").arg(camera).arg(step);
}

QString GroupPath(const QString& name)
{
    return ParamGroups::kDir + QLatin1Char('/') + name;
}

// Copies a file whole to a temporary name beside the target, then renames
// it over the target, so the target is either the old file or the new one.
bool CopyFile(const QString& from, const QString& to)
{
    const QString part = to + QStringLiteral(".part");
    QFile::remove(part);
    if (!QFile::copy(from, part))
        return false;
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(to).constData()) != 0) {
        QFile::remove(part);
        return false;
    }
    return true;
}

// Copies a file or a folder with everything in it (symbolic links are not followed).
bool CopyTree(const QString& from, const QString& to)
{
    const QFileInfo info(from);
    if (info.isSymLink())
        return true;
    if (!info.isDir())
        return CopyFile(from, to);
    if (!QDir().mkpath(to))
        return false;
    bool ok = true;
    const QDir dir(from);
    for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        ok = CopyTree(dir.filePath(entry), to + QLatin1Char('/') + entry) && ok;
    return ok;
}

void RemoveTree(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

}  // namespace

const QString ParamGroups::kDir = QStringLiteral("paraGroup");
const QString ParamGroups::kDefault = QStringLiteral("default");

QStringList ParamGroups::List()
{
    return QDir(kDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

int ParamGroups::NameProblem(const QString& name)
{
    if (name.isEmpty())
        return kEmptyName;
    if (name == QLatin1String(".") || name == QLatin1String("..") || name.startsWith(QLatin1Char('-'))
        || name.size() > kMaxNameLength || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return kBadName;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return kBadName;
    }
    return 0;
}

bool ParamGroups::checked(const QString& name, bool protectDefault)
{
    int problem = NameProblem(name);
    if (!problem && protectDefault && name == kDefault)
        problem = kDefaultKept;
    if (problem)
        ports.warn(LanStr(problem));
    return problem == 0;
}

void ParamGroups::setGroupNumber(int number)
{
    inForce.paramGroup = number;
    edited.paramGroup = number;
    inForce.SaveAddFile();
}

bool ParamGroups::Backup(const QString& name, int steps)
{
    ports.hidePad();
    if (!checked(name, true) || !ports.ask(LanStr(kAskBackup)))
        return false;
    ports.confirmSettings();
    const QString group = GroupPath(name);
    if (List().contains(name)) {
        if (!ports.ask(LanStr(kAskOverwrite)))
            return false;
        RemoveTree(group);
    }
    bool ok = QDir().mkpath(group);
    for (int camera = 1; ok && camera <= kMaxCameras; ++camera) {
        for (int step = 1; step <= steps; ++step) {
            const QString folder = TemplateFolder(camera, step);
            if (QFileInfo(folder).isDir())
                ok = CopyTree(folder, group + QLatin1Char('/') + folder) && ok;
        }
    }
    ok = ok && CopyFile(kParamDb, group + QLatin1Char('/') + kParamDb);
    if (!ok) {
        ports.warn(LanStr(kCopyFailed));
        return false;
    }
    setGroupNumber(List().indexOf(name));
    return true;
}

bool ParamGroups::Restore(const QString& name, int index, int steps)
{
    if (index < 0 || name.isEmpty() || !checked(name, false))
        return false;
    const QString group = GroupPath(name);
    if (!QFileInfo(group + QLatin1Char('/') + kParamDb).isFile()) {
        ports.warn(LanStr(kGroupMissing));
        return false;
    }
    if (!ports.ask(LanStr(kAskRestore)))
        return false;
    setGroupNumber(index);
    for (int camera = 1; camera <= kMaxCameras; ++camera) {
        for (int step = 1; step <= steps; ++step)
            RemoveTree(TemplateFolder(camera, step));
    }
    const QDir dir(group);
    bool ok = true;
    for (const QString& entry : dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        ok = CopyTree(dir.filePath(entry), entry) && ok;
    if (!ok) {
        ports.warn(LanStr(kCopyFailed));
        return false;
    }
    ports.record(LanStr(kRestoredRecord).arg(name));
    ports.flush();
    CommandRunner::run(QStringLiteral("reboot"));
    return true;
}

bool ParamGroups::Delete(const QString& name)
{
    if (name.isEmpty() || !checked(name, true) || !QFileInfo(GroupPath(name)).isDir())
        return false;
    if (!ports.ask(LanStr(kAskDelete)))
        return false;
    RemoveTree(GroupPath(name));
    return true;
}
