#include "settings/othernetworks.h"

#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/wizardpara.h"
#include "network/network.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

namespace {

const char* const kStagedWifi = "cnt_net/wlanpwd.conf";
const char* const kInstalledWifi = "/etc/wpa_supplicant/wlanpwd.conf";
const char* const kServerDb = "cnt_net/sysconf.db";
const char* const kServerConnection = "dbSysconf";
const char* const kSelectServer = "SELECT 值 FROM info_sysconf WHERE 信息名称 = ?";
const char* const kUpdateServer = "UPDATE info_sysconf SET 值 = ? WHERE 信息名称 = ?";

bool fitsWifiFile(const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

// The last capture of key="..." over the lines of text.
QString lastQuoted(const QList<QByteArray>& lines, const QString& key)
{
    const QRegularExpression pattern(QStringLiteral(".*%1\"(.*)\".*").arg(key));
    QString value;
    for (const QByteArray& line : lines) {
        const int nul = line.indexOf('\0');
        const QRegularExpressionMatch m =
            pattern.match(QString::fromUtf8(nul < 0 ? line : line.left(nul)).remove(QLatin1Char('\r')));
        if (m.hasMatch())
            value = m.captured(1);
    }
    return value;
}

// The network client's database on a connection of its own, or an invalid
// one when the file is missing.
QSqlDatabase serverDb()
{
    if (!QFile::exists(QLatin1String(kServerDb)))
        return QSqlDatabase();
    QSqlDatabase db = QSqlDatabase::contains(QLatin1String(kServerConnection))
        ? QSqlDatabase::database(QLatin1String(kServerConnection), false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(kServerConnection));
    db.setDatabaseName(QLatin1String(kServerDb));
    db.open();
    return db;
}

bool selectValue(QSqlQuery& query, const QString& key)
{
    query.prepare(QString::fromUtf8(kSelectServer));
    query.addBindValue(key);
    return query.exec() && query.next();
}

}  // namespace

QString FitRecordText(const QString& text)
{
    QString fitted = text;
    while (fitted.toUtf8().size() > kTextLen - 1) {
        fitted.chop(1);
        if (!fitted.isEmpty() && fitted.at(fitted.size() - 1).isHighSurrogate())
            fitted.chop(1);
    }
    return fitted;
}

namespace OtherNetworks {

TechnicianSettings Load(const WizardPara& record)
{
    return {record.alarmSms != 0, record.ngVideo != 0, WizardPara::Text(record.techName),
            WizardPara::Text(record.techPhone)};
}

void Store(const TechnicianSettings& settings, WizardPara& record)
{
    record.alarmSms = settings.alarmSms ? 1 : 0;
    record.ngVideo = settings.ngVideo ? 1 : 0;
    WizardPara::SetText(record.techName, FitRecordText(settings.name));
    WizardPara::SetText(record.techPhone, FitRecordText(settings.phone));
}

QByteArray WifiText(const WifiFields& wifi)
{
    return "network={\r\n\tssid=\"" + wifi.name.toUtf8() + "\"\r\n\tpsk=\"" + wifi.password.toUtf8()
        + "\"\r\n\tproto=RSN\r\n}\r\n";
}

bool WifiAcceptable(const WifiFields& wifi)
{
    return fitsWifiFile(wifi.name) && fitsWifiFile(wifi.password);
}

WifiFields ParseWifi(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    return {lastQuoted(lines, QStringLiteral("ssid=")), lastQuoted(lines, QStringLiteral("psk="))};
}

QString InstalledWifiFile(const QString& systemRoot)
{
    return systemRoot + QLatin1String(kInstalledWifi);
}

bool InstallWifi(const WifiFields& wifi, const QString& systemRoot)
{
    if (!WifiAcceptable(wifi))
        return false;
    QDir().mkpath(QFileInfo(QLatin1String(kStagedWifi)).path());
    QSaveFile file{QLatin1String(kStagedWifi)};
    const QByteArray text = WifiText(wifi);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return false;
    CommandRunner::run(QStringLiteral("cp"), {QStringLiteral("-f"), QFileInfo(file.fileName()).absoluteFilePath(),
                                             InstalledWifiFile(systemRoot)});
    return true;
}

const QStringList& ServerKeys()
{
    static const QStringList keys{QStringLiteral("serverip_info"), QStringLiteral("serverip_file"),
                                  QStringLiteral("serverport_info"), QStringLiteral("serverport_file")};
    return keys;
}

QString ServerDbFile()
{
    return QLatin1String(kServerDb);
}

QStringList ReadServers(const QStringList& current)
{
    QStringList values = current;
    QSqlDatabase db = serverDb();
    if (!db.isOpen())
        return values;
    {
        QSqlQuery query(db);
        for (int i = 0; i < ServerKeys().size() && i < values.size(); ++i) {
            if (selectValue(query, ServerKeys()[i]))
                values[i] = query.value(0).toString();
        }
    }
    db.close();
    return values;
}

ServerWrite WriteServers(const QStringList& values)
{
    QSqlDatabase db = serverDb();
    if (!db.isValid())
        return ServerWrite::NoDatabase;
    bool ok = db.isOpen();
    {
        QSqlQuery query(db);
        for (int i = 0; ok && i < ServerKeys().size() && i < values.size(); ++i) {
            if (!selectValue(query, ServerKeys()[i]))
                continue;
            query.prepare(QString::fromUtf8(kUpdateServer));
            query.addBindValue(values[i]);
            query.addBindValue(ServerKeys()[i]);
            ok = query.exec();
        }
    }
    db.close();
    return ok ? ServerWrite::Written : ServerWrite::Failed;
}

bool CanAskServer(const CNT_Net* net)
{
    return net && gpWPara && gpWPara->netLinkOn && net->isSetUp && net->isClientConnected;
}

}  // namespace OtherNetworks
