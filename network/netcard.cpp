#include "network/netcard.h"

#include <QFile>
#include <QHostInfo>

#include <algorithm>

namespace NetCards {

namespace {

// The file as text up to its first NUL; a null string when it does not open.
QString ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

// The values of one block of the interfaces file, or an empty name when the
// block describes no card.
QString ReadBlock(const QStringList& lines, QStringList* values)
{
    auto names = [](const QString& l) {
        return l.contains(QLatin1String("auto")) && !l.contains(QLatin1String("lo")) && !l.contains(QLatin1Char('#'));
    };
    if (std::none_of(lines.begin(), lines.end(), names))
        return QString();
    QString name;
    *values = DefaultCard();
    for (const QString& line : lines) {
        if (line.contains(QLatin1String("auto")))
            name = line.mid(5);
        else if (line.contains(QLatin1String("address")))
            (*values)[0] = line.mid(8);
        else if (line.contains(QLatin1String("netmask")))
            (*values)[1] = line.mid(8);
        else if (line.contains(QLatin1String("gateway")))
            (*values)[2] = line.mid(8);
    }
    return name;
}

// Interface names of the kernel's list: every blank-separated piece holding a
// colon gives the text before it.
QStringList KernelNames(const QString& procNetDevText)
{
    QStringList names;
    for (const QString& piece : procNetDevText.split(QLatin1Char(' '))) {
        const int colon = piece.indexOf(QLatin1Char(':'));
        if (colon >= 0)
            names << piece.left(colon);
    }
    return names;
}

}  // namespace

QStringList DefaultCard()
{
    return {QStringLiteral("192.168.0.5"), QStringLiteral("255.255.255.0"), QStringLiteral("192.168.0.1")};
}

QMap<QString, QStringList> CardMap(const QString& interfacesText, const QString& procNetDevText)
{
    QMap<QString, QStringList> map;
    if (interfacesText.isEmpty())
        return map;
    for (const QString& block : interfacesText.split(QStringLiteral("\n\n"))) {
        QStringList values;
        const QString name = ReadBlock(block.split(QLatin1Char('\n')), &values);
        if (!name.isEmpty())
            map.insert(name, values);
    }
    QStringList all = KernelNames(procNetDevText);
    for (const QString& name : all) {
        if (name.contains(QLatin1String("wlan")))
            map.insert(name, DefaultCard());
    }
    for (auto it = map.begin(); it != map.end();) {
        if (all.removeOne(it.key()))
            ++it;
        else
            it = map.erase(it);
    }
    for (const QString& name : all) {
        if (!name.contains(QLatin1String("lo")) && !name.contains(QLatin1String("wlan")))
            map.insert(name, DefaultCard());
    }
    return map;
}

QMap<QString, QString> MacMap(const QString& procNetDevText,
                              const std::function<QString(const QString&)>& readAddress)
{
    QMap<QString, QString> map;
    for (QString line : procNetDevText.split(QLatin1Char('\n'))) {
        line.remove(QLatin1Char(' '));
        if (line.contains(QLatin1String("lo")))
            continue;
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString name = line.left(colon);
        QString mac = readAddress(name);
        if (!mac.isNull())
            map.insert(name, mac.remove(QLatin1Char('\n')));
    }
    return map;
}

QMap<QString, QStringList> getNewNetCardInfo(const QString& root)
{
    const QString interfaces = ReadText(root + QStringLiteral("/etc/network/interfaces"));
    if (interfaces.isEmpty())
        return {};
    return CardMap(interfaces, ReadText(root + QStringLiteral("/proc/net/dev")));
}

QMap<QString, QString> getNetMac(const QString& root)
{
    const QString dev = ReadText(root + QStringLiteral("/proc/net/dev"));
    return MacMap(dev, [&root](const QString& name) {
        return ReadText(root + QStringLiteral("/sys/class/net/%1/address").arg(name));
    });
}

QString getNetHostName()
{
    return QHostInfo::localHostName();
}

}  // namespace NetCards
