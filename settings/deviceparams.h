#pragma once
// What the device parameters page edits, without its widgets: the
// production data reported with every cycle, the product list from the
// server's reply, and the reset of the link's production statistics.

#include <QString>
#include <QStringList>

class CNT_Net;
class WizardPara;

struct DeviceSettings {
    QString product;
    QString operatorName;
    QString cavities;
    QString planned;
    QString batch;
};

namespace DeviceParams {

DeviceSettings Load(const WizardPara& record);
// Numbers are read as their leading decimal integer; texts longer than their
// field are cut at a character boundary.
void Store(const DeviceSettings& settings, WizardPara& record);

// Leading blanks, an optional sign, the digits up to the first non-digit;
// 0 without digits; held within the range of int.
int LeadingInt(const QString& text);

// The product names of a reply with SessionId 14; false (names untouched)
// when it is not the expected JSON or one element has no "product_name".
bool ParseProducts(const QString& body, QStringList* names);
// The list after a reply: the current name first (when the list had one),
// then the server's names without it.
QStringList MergedProducts(const QStringList& shown, const QString& current, QStringList names);

// Deletes the statistics and manual-stop files and the client's picture
// folders, then has the link reload both records.
void ResetStatistics(CNT_Net* net);

}  // namespace DeviceParams
