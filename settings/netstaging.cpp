#include "settings/netstaging.h"

#include "core/commandrunner.h"
#include "core/wizardpara.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QtDebug>

namespace NetStaging {

namespace {

const char* const kStageDir = "cnt_net";
const char* const kStagedInterfaces = "cnt_net/ls_interfaces";
const char* const kStagedHostName = "cnt_net/ls_hostname";
const char* const kStagedHosts = "cnt_net/ls_hosts";
const char* const kRegister = "cnt_net/registermac.txt";

bool isWifi(const QString& name)
{
    return name.contains(QLatin1String("wlan"));
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QLatin1String(kStageDir));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        qWarning() << "network: cannot write" << path;
        return false;
    }
    return true;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool dottedQuad(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (const QString& part : parts) {
        bool ok = false;
        const int v = part.toInt(&ok);
        if (!ok || part.isEmpty() || part.size() > 3 || v < 0 || v > 255)
            return false;
    }
    return true;
}

bool linkSettingsDiffer(const WizardPara& a, const WizardPara& b)
{
    return WizardPara::Text(a.useName) != WizardPara::Text(b.useName) || a.videoType != b.videoType
        || a.videoFps != b.videoFps || a.ngVideo != b.ngVideo;
}

void copyInto(const QString& staged, const QString& systemPath)
{
    CommandRunner::run(QStringLiteral("cp"), {staged, systemPath});
}

}  // namespace

QString SystemRoot()
{
    return qEnvironmentVariable("MOULDMON_SYSTEM_ROOT");
}

QByteArray InterfacesText(const QMap<QString, QStringList>& cardMap)
{
    QByteArray text("auto lo\niface lo inet loopback\r\n\r\n");
    for (auto it = cardMap.begin(); it != cardMap.end(); ++it) {
        if (it.key() == QLatin1String("lo") || isWifi(it.key()))
            continue;
        const QStringList& v = it.value();
        text += QStringLiteral("auto %1\niface %1 inet static\naddress %2\nnetmask %3\ngateway %4\n\n")
                    .arg(it.key(), v.value(0), v.value(1), v.value(2))
                    .toLatin1();
    }
    return text;
}

QByteArray HostsText(const QString& hostName, const QString& systemHosts)
{
    const QStringList lines = systemHosts.split(QLatin1Char('\n'));
    int first = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith(QLatin1Char('#'))) {
            first = i;
            break;
        }
    }
    QStringList out{QStringLiteral("127.0.1.1\t%1").arg(hostName), QStringLiteral("127.0.0.1\t%1").arg(hostName),
                    QStringLiteral("\n")};
    // The lines before the comment are the ones an earlier change put in
    // front; the system's own localhost line among them stays.
    for (int i = 0; i < first; ++i) {
        if (lines[i].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).contains(QLatin1String("localhost")))
            out << lines[i];
    }
    out << lines.mid(first);
    QByteArray text;
    for (const QString& line : out)
        text += line.toLatin1() + '\n';
    return text;
}

QByteArray RegisterText(const QByteArray& earlier, const QMap<QString, QStringList>& cardMap,
                        const std::function<QString(const QString&)>& readMac)
{
    QMap<QString, QString> entries;
    for (const QString& line : QString::fromUtf8(earlier).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList pieces = line.split(QLatin1Char('='));
        if (pieces.size() == 2)
            entries[pieces[0]] = pieces[1] + QLatin1Char('\n');
    }
    for (auto it = cardMap.begin(); it != cardMap.end(); ++it) {
        const QString mac = readMac(it.key());
        if (mac.isNull())
            continue;
        const QStringList& v = it.value();
        entries[QString(mac).remove(QLatin1Char('\n'))] =
            QStringLiteral("%1;%2;%3\n").arg(v.value(0), v.value(1), v.value(2));
    }
    QByteArray text;
    for (auto it = entries.begin(); it != entries.end(); ++it)
        text += (it.key() + QLatin1Char('=') + it.value()).toUtf8();
    return text;
}

QString InvalidAddress(const QMap<QString, QStringList>& cardMap)
{
    for (auto it = cardMap.begin(); it != cardMap.end(); ++it) {
        if (it.key() == QLatin1String("lo") || isWifi(it.key()))
            continue;
        for (const QString& value : it.value()) {
            if (!dottedQuad(value))
                return value.isEmpty() ? it.key() : value;
        }
    }
    return QString();
}

QString InvalidEditedAddress(const NetCard& edited, const NetCard& inForce)
{
    QMap<QString, QStringList> changed;
    for (auto it = edited.cardMap.begin(); it != edited.cardMap.end(); ++it) {
        if (inForce.cardMap.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    return InvalidAddress(changed);
}

int Stage(NetCard& edited, const NetCard& inForce, const WizardPara& e, const WizardPara& r,
          const QString& systemRoot)
{
    int bits = 0;
    if (edited.cardMap != inForce.cardMap && writeWhole(QLatin1String(kStagedInterfaces), InterfacesText(edited.cardMap)))
        bits |= Interfaces;
    if (e.netLinkOn != r.netLinkOn)
        bits |= LinkSwitch;
    if (edited.hostName != inForce.hostName) {
        const QString hosts = QString::fromUtf8(readAll(systemRoot + QStringLiteral("/etc/hosts")));
        if (writeWhole(QLatin1String(kStagedHostName), edited.hostName.toLatin1())
            && writeWhole(QLatin1String(kStagedHosts), HostsText(edited.hostName, hosts)))
            bits |= HostName;
    }
    if (!e.netLinkOn) {
        edited.hostName = inForce.hostName;
        return bits;
    }
    if (linkSettingsDiffer(e, r))
        bits |= LinkSettings;
    return bits;
}

void Apply(int bits, const QMap<QString, QStringList>& cardMap, const QString& systemRoot)
{
    const QString work = QDir::currentPath() + QLatin1Char('/');
    if (bits & Interfaces)
        copyInto(work + QLatin1String(kStagedInterfaces), systemRoot + QStringLiteral("/etc/network/interfaces"));
    const QByteArray reg = RegisterText(readAll(QLatin1String(kRegister)), cardMap, [&systemRoot](const QString& name) {
        QFile file(systemRoot + QStringLiteral("/sys/class/net/%1/address").arg(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    });
    if (!reg.isEmpty())
        writeWhole(QLatin1String(kRegister), reg);
    if (bits & HostName) {
        copyInto(work + QLatin1String(kStagedHostName), systemRoot + QStringLiteral("/etc/hostname"));
        copyInto(work + QLatin1String(kStagedHosts), systemRoot + QStringLiteral("/etc/hosts"));
    }
    qInfo() << "(change serverinfo) 'NetClinet' will restart...";
}

}  // namespace NetStaging
