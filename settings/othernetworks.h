#pragma once
// What the other networks page edits, without its widgets: the technician
// settings of the record, the Wi-Fi file of the system's Wi-Fi client and
// the server addresses in the network client's database (cnt_net/sysconf.db).

#include <QByteArray>
#include <QString>
#include <QStringList>

class CNT_Net;
class WizardPara;

// Alarm messages and NG video: the settings of the editing copy.
struct TechnicianSettings {
    bool alarmSms = false;
    bool ngVideo = false;
    QString name;
    QString phone;
};

struct WifiFields {
    QString name;
    QString password;
};

namespace OtherNetworks {

TechnicianSettings Load(const WizardPara& record);
// Texts longer than their field are cut at a character boundary.
void Store(const TechnicianSettings& settings, WizardPara& record);

// The Wi-Fi file: one network block, CR LF line ends, UTF-8.
QByteArray WifiText(const WifiFields& wifi);
// False when a name or password would break the file: a double quote, a
// backslash, a line break or another control character.
bool WifiAcceptable(const WifiFields& wifi);
// The last ssid and psk of an installed file; empty when there is none.
WifiFields ParseWifi(const QByteArray& text);
// The installed file under the system root.
QString InstalledWifiFile(const QString& systemRoot);
// Writes cnt_net/wlanpwd.conf and copies it (command runner) over the
// installed file; false when the file could not be written.
bool InstallWifi(const WifiFields& wifi, const QString& systemRoot);

// Keys of the four server rows, in the order of the page's fields:
// information server address, file server address, their ports.
const QStringList& ServerKeys();
QString ServerDbFile();
// The stored value of every key; a key without a row (or no database)
// keeps its value of current.
QStringList ReadServers(const QStringList& current);
enum class ServerWrite { NoDatabase, Written, Failed };
// Updates the rows that exist (never inserts one), values bound.
ServerWrite WriteServers(const QStringList& values);

// The server link is on in force, set up, and a client is connected.
bool CanAskServer(const CNT_Net* net);

}  // namespace OtherNetworks

// Cuts text at a character boundary so that its UTF-8 form fits a text
// field of the settings record (99 bytes).
QString FitRecordText(const QString& text);
