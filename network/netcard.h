#pragma once
// The computer's network cards and host name, as the settings screens show
// and edit them. The host name is the device number every message carries.
// Read from files only (/etc/network/interfaces, /proc/net/dev,
// /sys/class/net/<name>/address); no command is run.

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

struct NetCard {
    QMap<QString, QStringList> cardMap;   // name -> address, netmask, gateway
    QMap<QString, QString> macMap;        // name -> MAC text
    QString hostName;
};

namespace NetCards {

// The values of a card the configuration does not describe.
QStringList DefaultCard();

// Card map from the text of the interfaces file and of the kernel's list.
QMap<QString, QStringList> CardMap(const QString& interfacesText, const QString& procNetDevText);
// MAC map from the kernel's list; readAddress(name) gives the text of the
// card's address file, or a null string when it cannot be read.
QMap<QString, QString> MacMap(const QString& procNetDevText,
                              const std::function<QString(const QString&)>& readAddress);

// The same from the system's files (paths under root, "" for "/").
QMap<QString, QStringList> getNewNetCardInfo(const QString& root = {});
QMap<QString, QString> getNetMac(const QString& root = {});
QString getNetHostName();

}  // namespace NetCards
