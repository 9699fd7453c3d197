#pragma once
// Manual stops of detection as the link reports them (the stop message),
// kept in ./cnt_net/data/ManualStop (the body of the last stop message) so
// that a restart keeps an open stop and the total stopped time; and the
// maintenance reminders kept in ./cnt_net/data/Remind as {"remind": [...]}.

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct CNT_Path_ManualStop {
    static const char* const kFile;   // ./cnt_net/data/ManualStop

    bool isRestored = true;
    qint64 utc = InitialUtc();          // start of the open or of the last stop
    QByteArray stop_check_timeslot;     // "hh:mm---:--" while open, "hh:mm-hh:mm" once closed
    int stop_check_timelen = 0;         // minutes, summed over the closed stops
    int timeout_time = 0;
    QByteArray operator_id = "--";
    QByteArray disalarm_operator_id = "--";
    QByteArray stop_check_reason = "--";

    static qint64 InitialUtc();
    bool isOpen() const { return stop_check_timeslot.contains("--:--"); }
    // Detection was just stopped (opens a stop) or started (closes the open
    // one, adding its whole minutes); the operator is the one in force.
    void Update(bool stopped, const QDateTime& now, const QByteArray& operatorName);
    // The message body; state: 1 stopped, 0 detecting, 2 otherwise.
    QByteArray Body(const QString& host, int state) const;
    // Takes the values of a stored body. False when a key is missing (the
    // file is then deleted by the caller); the values taken before it stay.
    // Text that does not parse changes nothing and is true.
    bool Restore(const QByteArray& text);
    static bool SaveToFile(const char* data, int len, const QString& path = QLatin1String(kFile));
};

struct CNT_Path_Remind {
    static const char* const kFile;   // ./cnt_net/data/Remind

    qint64 utc = 1520307723012;
    qint64 notification_utc = 1520307874012;
    qint64 duration = 3600000;
    QByteArray description = "maintenance_cls";
    QByteArray operator_id = "vesk_cls";

    // The body of the reminder-added message.
    QByteArray Body(const QString& host) const;
    // The body of the reminder-deleted message.
    static QByteArray DeletedBody(const QString& host, qint64 utc);

    // Adds the reminder whose JSON text is data to the reminder file.
    static void SaveToFile(const char* data, int len, const QString& path = QLatin1String(kFile));
    // Removes the first reminder created at utc; false when the file is
    // missing or does not parse (nothing written).
    static bool RemoveFromFile(qint64 utc, const QString& path = QLatin1String(kFile));

    // The same on the file's text: the new text, or a null array to leave
    // the file as it is.
    static QByteArray Added(const QByteArray* fileText, const QByteArray& data);
    static QByteArray Removed(const QByteArray& fileText, qint64 utc);
};
