#pragma once
// The staged network files: written under "cnt_net/" of the working
// directory when edited network settings are confirmed, and copied over the
// system's files (under a root, "" for "/") by the apply step.

#include "network/netcard.h"

#include <QByteArray>
#include <QString>
#include <functional>

class WizardPara;

namespace NetStaging {

// The folder that stands for "/" for the system's files: MOULDMON_SYSTEM_ROOT,
// or "" on the device.
QString SystemRoot();

enum Bits { Interfaces = 1, LinkSwitch = 2, HostName = 4, LinkSettings = 8 };

// The interfaces file: loopback, then every card but Wi-Fi in name order.
QByteArray InterfacesText(const QMap<QString, QStringList>& cardMap);
// The hosts file for hostName from the system's hosts file text. The lines
// before the first comment line are dropped, except those that name
// localhost.
QByteArray HostsText(const QString& hostName, const QString& systemHosts);
// The register of MAC addresses: earlier lines kept by MAC, the cards'
// entries (MAC from readMac(name), skipped when null) put over them.
QByteArray RegisterText(const QByteArray& earlier, const QMap<QString, QStringList>& cardMap,
                        const std::function<QString(const QString&)>& readMac);

// A card value that is not a dotted quad of 0..255, or an empty string
// when every address, netmask and gateway of the cards (Wi-Fi aside) is one.
QString InvalidAddress(const QMap<QString, QStringList>& cardMap);
// The same for the cards whose values differ from the ones in force.
QString InvalidEditedAddress(const NetCard& edited, const NetCard& inForce);

// Writes the staged files that the edits need and returns the change bits;
// with the server link off the edited host name is put back afterwards.
int Stage(NetCard& edited, const NetCard& inForce, const WizardPara& editedRecord,
          const WizardPara& recordInForce, const QString& systemRoot = SystemRoot());
// Copies the staged files of these bits into the system (through the
// command runner) and rewrites the register of MAC addresses.
void Apply(int bits, const QMap<QString, QStringList>& cardMap, const QString& systemRoot = SystemRoot());

}  // namespace NetStaging
