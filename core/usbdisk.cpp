#include "core/usbdisk.h"

#include "core/commandrunner.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace {
const int kCommandMs = 1000;
const char* const kDefaultMounts = "/proc/mounts";
const char* const kDefaultRoot = "/mnt";

QString& mountsFileStore()
{
    static QString path;
    return path;
}

QString mountsFile()
{
    const QString& path = mountsFileStore();
    return path.isEmpty() ? QString::fromLatin1(kDefaultMounts) : path;
}

bool readMounts(QString* text)
{
    QFile f(mountsFile());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    *text = QString::fromUtf8(f.readAll());
    return true;
}

// The mount table writes blanks, tabs, newlines and backslashes in names as
// octal escapes (\040, \011, \012, \134).
QString unescapeField(const QString& field)
{
    static const QRegularExpression escape(QStringLiteral("\\\\([0-7]{3})"));
    QString out;
    int last = 0;
    auto it = escape.globalMatch(field);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += field.midRef(last, m.capturedStart() - last);
        out += QChar(m.captured(1).toInt(nullptr, 8));
        last = m.capturedEnd();
    }
    out += field.midRef(last);
    return out;
}

// Device and mount point of each line of the mount table.
QList<QPair<QString, QString>> mountEntries(const QString& mountsText)
{
    QList<QPair<QString, QString>> entries;
    const QStringList lines = mountsText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (fields.size() >= 2)
            entries.append({unescapeField(fields[0]), unescapeField(fields[1])});
    }
    return entries;
}

bool hasType(const QString& line, const char* type)
{
    return line.contains(QStringLiteral("TYPE=\"%1\"").arg(QLatin1String(type)));
}

QString deviceOf(const QString& line)
{
    return line.section(QLatin1Char(':'), 0, 0);
}

QString withoutTrailingDigits(QString device)
{
    while (!device.isEmpty() && device.back().isDigit())
        device.chop(1);
    return device;
}

bool run(const QString& program, const QStringList& args)
{
    return CommandRunner::run(program, args, kCommandMs).exitCode == 0;
}

bool remountOn(const QString& device)
{
    return run(QStringLiteral("mount"), {device, UsbRoot()});
}

// The folder standing for a mounted disk while commands are only recorded.
bool simulatedDisk()
{
    return CommandRunner::recordsToFile() && !qEnvironmentVariableIsEmpty("MOULDMON_USB_ROOT");
}

bool simulatedDiskPresent()
{
    return QFileInfo(UsbRoot()).isDir();
}
}  // namespace

QString UsbRoot()
{
    const QString root = qEnvironmentVariable("MOULDMON_USB_ROOT");
    return root.isEmpty() ? QString::fromLatin1(kDefaultRoot) : root;
}

void SetMountsFile(const QString& path)
{
    mountsFileStore() = path;
}

QString UsbCandidate(const QString& blkidText)
{
    // Partitions are taken only after the system disk (the last ext4 line
    // before them) is known, and never from the system disk itself.
    QString systemDisk;
    const QStringList lines = blkidText.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        if (hasType(line, "ext4")) {
            systemDisk = withoutTrailingDigits(deviceOf(line));
        } else if (hasType(line, "vfat") || hasType(line, "ntfs") || hasType(line, "exfat")) {
            const QString device = deviceOf(line);
            if (!systemDisk.isEmpty() && !device.contains(systemDisk))
                return device;
        }
    }
    return QString();
}

int MountsOn(const QString& mountsText, const QString& mountPoint)
{
    int count = 0;
    for (const auto& entry : mountEntries(mountsText))
        count += entry.second == mountPoint ? 1 : 0;
    return count;
}

bool MountedOn(const QString& mountsText, const QString& device, const QString& mountPoint)
{
    for (const auto& entry : mountEntries(mountsText)) {
        if (entry.first == device && entry.second == mountPoint)
            return true;
    }
    return false;
}

QString FindAU()
{
    if (simulatedDisk())
        return simulatedDiskPresent() ? UsbRoot() : QString();
    const QString blkid = QString::fromUtf8(CommandRunner::run(QStringLiteral("blkid"), {}, kCommandMs).output);
    const QString device = UsbCandidate(blkid);
    if (device.isEmpty())
        return QString();

    const QString root = UsbRoot();
    QString mounts;
    if (!readMounts(&mounts))
        return QString();
    for (int i = MountsOn(mounts, root); i > 0; --i)
        run(QStringLiteral("umount"), {root});
    remountOn(device);
    if (!readMounts(&mounts) || !MountedOn(mounts, device, root))
        return QString();
    return root;
}

bool FindU()
{
    if (simulatedDisk())
        return simulatedDiskPresent();
    QString mounts;
    return readMounts(&mounts) && MountsOn(mounts, UsbRoot()) > 0;
}

bool FindU_ByManual()
{
    if (simulatedDisk())
        return simulatedDiskPresent();
    run(QStringLiteral("umount"), {UsbRoot()});
    return remountOn(QStringLiteral("/dev/sdb1")) || remountOn(QStringLiteral("/dev/sdc1"));
}
