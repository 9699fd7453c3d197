#include "settings/maintenance.h"

#include "camera/cameraglobals.h"
#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/modifytimewidget.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int kMaxPasswordBytes = kTextLen - 1;
const char* const kFactoryPackage = "paraGroup/default/20clearsh.tar.gz";
const char* const kImagesDir = "originalimage";

void run(const QString& program, const QStringList& args = {})
{
    CommandRunner::run(program, args);
}

// Copies a folder with everything under it; false when anything failed.
bool copyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    bool ok = true;
    QDirIterator it(from, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    const QDir source(from);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (it.fileInfo().isDir())
            ok = QDir().mkpath(target) && ok;
        else
            ok = QFile::copy(path, target) && ok;
    }
    return ok;
}

// Empties a folder, keeping the folder itself.
void emptyDir(const QString& path)
{
    QDir dir(path);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

// Copies a file over the target; true when the target then has the source's size.
bool copyFile(const QString& from, const QString& to)
{
    if (!QFileInfo(from).isFile())
        return false;
    QFile::remove(to);
    return QFile::copy(from, to) && QFileInfo(to).size() == QFileInfo(from).size();
}

}  // namespace

void Maintenance::reboot()
{
    run(QStringLiteral("reboot"));
}

QString Maintenance::usbDisk()
{
    for (;;) {
        const QString root = ports.findUsbDisk();
        if (!root.isEmpty())
            return root;
        if (!ports.ask(LanStr(320)))
            return QString();
    }
}

void Maintenance::ResetTotal()
{
    for (int i = 0; i < kMaxCameras; ++i) {
        gAllNum[i] = 0;
        gFailNum[i] = 0;
    }
    ports.record(LanStr(255));
    ports.writeCounts();
    gLost = 0;
}

bool Maintenance::ChangePwd(const QString& first, const QString& second, WizardPara& edited)
{
    ports.hidePad();
    if (first.isEmpty() || second.isEmpty()) {
        ports.warn(LanStr(278));
        return false;
    }
    if (first != second) {
        ports.warn(LanStr(280));
        return false;
    }
    if (first.toUtf8().size() > kMaxPasswordBytes || !WizardPara::SetText(edited.password, first)) {
        ports.warn(LanStr(604));
        return false;
    }
    ports.warn(LanStr(279));
    return true;
}

void Maintenance::SlotShutDown()
{
    if (!ports.ask(LanStr(291)))
        return;
    ports.confirmSettings();
    ports.saveSettings();
    ports.record(LanStr(292));
    ports.stopWatchdog();
    ports.flush();
    if (ports.ask(LanStr(293)))
        reboot();
    else
        run(QStringLiteral("init"), {QStringLiteral("0")});
}

void Maintenance::SlotExportData(int cameras, int steps)
{
    if (!ports.ask(LanStr(324)))
        return;
    const QString root = usbDisk();
    if (root.isEmpty())
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh.mm.ss"));
    const QDir program(programDir);
    const QString target = root + QLatin1Char('/') + stamp + QLatin1Char('/')
        + QFileInfo(program.absolutePath()).fileName();
    const bool copied = copyTree(program.absolutePath(), target);
    ports.pause(100);
    if (copied) {
        // The inspected frames are on the disk now; make room for new ones.
        for (int i = 1; i <= cameras; ++i) {
            for (int j = 1; j <= steps; ++j) {
                emptyDir(program.filePath(QStringLiteral("%1/cammer%2%3").arg(kImagesDir).arg(i).arg(j)));
                ports.pause(100);
            }
        }
    }
    ports.pause(300);
    run(QStringLiteral("sync"));
    run(QStringLiteral("umount"), {root});
    ports.warn(LanStr(copied ? 147 : 600));
}

QString Maintenance::UpdateTarget(const QString& fileName)
{
    for (const char* ending : {".tar.gz", ".tar.xz", ".rar"}) {
        if (fileName.contains(QLatin1String(ending)))
            return QStringLiteral("newupdate") + QLatin1String(ending);
    }
    return QString();
}

void Maintenance::SlotUpdateApp()
{
    const QString root = usbDisk();
    if (root.isEmpty())
        return;
    const QString path = ports.chooseUpdateFile(root);
    if (path.size() <= 2)
        return;
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QString target = UpdateTarget(parts.isEmpty() ? QString() : parts.last());
    if (target.isEmpty()) {
        ports.warn(LanStr(601));
        return;
    }
    if (!ports.ask(LanStr(323)))
        return;
    if (!copyFile(path, QDir(programDir).filePath(target))) {
        ports.warn(LanStr(602));
        return;
    }
    ports.stopWatchdog();
    ports.pause(300);
    ports.flush();
    run(QStringLiteral("sync"));
    reboot();
}

void Maintenance::SlotRestoreFactorySet()
{
    if (!ports.ask(LanStr(551) + QLatin1Char('?')))
        return;
    const QDir program(programDir);
    if (!copyFile(program.filePath(QLatin1String(kFactoryPackage)),
                  program.filePath(QStringLiteral("newupdate.tar.gz")))) {
        ports.warn(LanStr(603));
        return;
    }
    ports.flush();
    run(QStringLiteral("sync"));
    reboot();
}

void Maintenance::SlotModifyTime()
{
    const QDateTime when = ports.askDateTime();
    if (!when.isValid() || !ports.ask(LanStr(402)))
        return;
    SetClocks(when);
    ports.confirmSettings();
    ports.saveSettings();
    ports.record(LanStr(401));
    ports.stopWatchdog();
    ports.flush();
    ports.pause(1000);
    reboot();
}

void Maintenance::SlotCalibration()
{
    if (!ports.ask(LanStr(459)))
        return;
    run(QStringLiteral("./tsc"));
    ports.pause(500);
    ports.flush();
    reboot();
}

void Maintenance::SlotExit()
{
    if (!ports.ask(LanStr(294)))
        return;
    ports.record(LanStr(295));
    ports.confirmSettings();
    ports.saveSettings();
    ports.warn(LanStr(296));
    ports.stopWatchdog();
    ports.exitProgram(0);
}

void Maintenance::SlotChangeLan(int lan)
{
    if (lan == gLan || lan < 0 || lan >= kLanCount || !ports.ask(LanStr(318)))
        return;
    ports.record(LanStr(319));
    gLan = lan;
    ports.confirmSettings();
    ports.saveSettings();
    ports.stopWatchdog();
    ports.flush();
    reboot();
}

void Maintenance::SlotClearRecord()
{
    if (!ports.checkRoot() || !ports.ask(LanStr(297)) || !ports.checkRoot())
        return;
    ports.clearRecord();
    ports.record(LanStr(298));
}
