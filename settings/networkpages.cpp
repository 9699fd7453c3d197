#include "settings/networkpages.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "network/network.h"
#include "settings/deviceparams.h"
#include "settings/netstaging.h"
#include "settings/othernetworks.h"
#include "widgets/blineedit.h"
#include "widgets/bmessagebox.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kEditWidth = 300;
constexpr int kTrafficPeriodMs = 8000;
constexpr int kProductReply = 14;
const char* const kPageStyle = "QLabel{font-size:22px;color:#656263;}QPushButton {font-size:22px;color:#656263;}";
const char* const kDevStatsFile = "/proc/net/dev";

// A page column: rows of controls 40 px apart, margins 100/50/0/50.
QVBoxLayout* pageColumn(QWidget* page, int spacing)
{
    page->setStyleSheet(QLatin1String(kPageStyle));
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(100, 50, 0, 50);
    column->setSpacing(spacing);
    return column;
}

QHBoxLayout* addRow(QVBoxLayout* column)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(40);
    column->addLayout(row);
    return row;
}

QLabel* label(QWidget* page, int text, int minWidth = 130)
{
    auto* l = new QLabel(LanStr(text), page);
    l->setMinimumWidth(minWidth);
    return l;
}

BLineEdit* edit(QWidget* page, const char* name, const QString& title, KeyboardType type)
{
    auto* e = new BLineEdit(page, title, QString(), type);
    e->setObjectName(QLatin1String(name));
    e->setFixedWidth(kEditWidth);
    return e;
}

QPushButton* button(QWidget* page, const char* name, int text, int width)
{
    auto* b = new QPushButton(LanStr(text), page);
    b->setObjectName(QLatin1String(name));
    b->ensurePolished();
    // Wider than asked when the text of the language needs it.
    b->setFixedSize(qMax(width, b->sizeHint().width() + 20), 50);
    return b;
}

CheckBox* checkBox(QWidget* page, const char* name)
{
    auto* c = new CheckBox(page, QString());
    c->setObjectName(QLatin1String(name));
    return c;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

PagePrompts DefaultPrompts()
{
    return {[](const QString& text) { return showChooseBox(text); }, [](const QString& text) { showWarnBox(text); }};
}

OtherNetworksWidget::OtherNetworksWidget(QWidget* parent)
    : SettingsPage(parent)
    , alarmSms(checkBox(this, "alarmSms"))
    , ngVideo(checkBox(this, "ngVideo"))
    , techName(edit(this, "techName", LanStr(427), KeyboardFull))
    , techPhone(edit(this, "techPhone", LanStr(428), KeyboardNumeric))
    , wifiName(edit(this, "wifiName", LanStr(445), KeyboardFull))
    , wifiPassword(edit(this, "wifiPassword", LanStr(446), KeyboardNumeric))
    , infoServer(edit(this, "infoServer", QStringLiteral("192.168.3.1"), KeyboardNumeric))
    , infoPort(edit(this, "infoPort", QStringLiteral("8000"), KeyboardNumeric))
    , fileServer(edit(this, "fileServer", QStringLiteral("192.168.3.1"), KeyboardNumeric))
    , filePort(edit(this, "filePort", QStringLiteral("8000"), KeyboardNumeric))
    , timer(new QTimer(this))
{
    QVBoxLayout* column = pageColumn(this, 30);
    QHBoxLayout* row = addRow(column);
    row->addWidget(label(this, 429));
    row->addWidget(alarmSms);
    row->addStretch(1);
    row = addRow(column);
    row->addWidget(label(this, 427));
    row->addWidget(techName);
    row->addWidget(label(this, 428));
    row->addWidget(techPhone);
    row->addStretch(1);
    row = addRow(column);
    row->addWidget(label(this, 430));
    row->addWidget(ngVideo);
    row->addStretch(1);
    row = addRow(column);
    row->addWidget(label(this, 445));
    row->addWidget(wifiName);
    row->addWidget(label(this, 446));
    row->addWidget(wifiPassword);
    QPushButton* wifiButton = button(this, "updateWifi", 444, 200);
    row->addWidget(wifiButton);
    row->addStretch(1);
    row = addRow(column);
    row->addWidget(label(this, 450));
    row->addWidget(infoServer);
    row->addWidget(label(this, 452));
    row->addWidget(infoPort);
    row->addStretch(1);
    row = addRow(column);
    row->addWidget(label(this, 451));
    row->addWidget(fileServer);
    row->addWidget(label(this, 452));
    row->addWidget(filePort);
    QPushButton* serverButton = button(this, "updateServer", 453, 200);
    row->addWidget(serverButton);
    row->addStretch(1);
    column->addStretch(1);

    timer->setInterval(kTrafficPeriodMs);
    connect(timer, &QTimer::timeout, this, &OtherNetworksWidget::SlotTimerChk);
    connect(wifiButton, &QPushButton::clicked, this, &OtherNetworksWidget::SlotUpdateWifi);
    connect(serverButton, &QPushButton::clicked, this, &OtherNetworksWidget::SlotUpdateServer);
}

void OtherNetworksWidget::WizardParaInit()
{
    const TechnicianSettings s = OtherNetworks::Load(*gpWParaBak);
    alarmSms->setValue(s.alarmSms);
    techName->setText(s.name);
    techPhone->setText(s.phone);
    ngVideo->setValue(s.ngVideo);
}

void OtherNetworksWidget::accept()
{
    OtherNetworks::Store({alarmSms->value() != 0, ngVideo->value() != 0, techName->text(), techPhone->text()},
                         *gpWParaBak);
    timer->stop();
}

void OtherNetworksWidget::showEvent(QShowEvent* event)
{
    SlotWifi();
    SlotServer();
    SettingsPage::showEvent(event);
}

QList<BLineEdit*> OtherNetworksWidget::serverEdits() const
{
    return {infoServer, fileServer, infoPort, filePort};
}

void OtherNetworksWidget::SlotWifi()
{
    const WifiFields wifi =
        OtherNetworks::ParseWifi(readFile(OtherNetworks::InstalledWifiFile(NetStaging::SystemRoot())));
    if (!wifi.name.isEmpty())
        wifiName->setText(wifi.name);
    if (!wifi.password.isEmpty())
        wifiPassword->setText(wifi.password);
}

void OtherNetworksWidget::SlotServer()
{
    QStringList values;
    for (BLineEdit* e : serverEdits())
        values << e->text();
    values = OtherNetworks::ReadServers(values);
    for (int i = 0; i < values.size(); ++i)
        serverEdits()[i]->setText(values[i]);
}

void OtherNetworksWidget::SlotUpdateWifi()
{
    const WifiFields wifi{wifiName->text(), wifiPassword->text()};
    if (!OtherNetworks::WifiAcceptable(wifi)) {
        prompts.warn(LanStr(670));
        return;
    }
    if (!prompts.ask(LanStr(448)))
        return;
    if (!OtherNetworks::InstallWifi(wifi, NetStaging::SystemRoot()))
        prompts.warn(LanStr(671));
}

void OtherNetworksWidget::SlotUpdateServer()
{
    if (!prompts.ask(LanStr(454)))
        return;
    QStringList values;
    for (BLineEdit* e : serverEdits())
        values << e->text();
    const OtherNetworks::ServerWrite written = OtherNetworks::WriteServers(values);
    if (written == OtherNetworks::ServerWrite::NoDatabase)
        return;
    if (gpNet)
        gpNet->isRestartRequested = true;
    if (written == OtherNetworks::ServerWrite::Failed)
        prompts.warn(LanStr(672));
}

void OtherNetworksWidget::SlotGetRemindList()
{
    if (OtherNetworks::CanAskServer(gpNet))
        gpNet->CNT_SendGetRemindList();
}

void OtherNetworksWidget::SlotGetProductName()
{
    if (OtherNetworks::CanAskServer(gpNet))
        gpNet->CNT_SendGetProduct();
}

void OtherNetworksWidget::SlotCloseWgt()
{
    timer->stop();
}

void OtherNetworksWidget::SlotStartChk()
{
    timer->start();
    trafficCheck.start(NetCheck::ReceivedBytes(readFile(NetStaging::SystemRoot() + QLatin1String(kDevStatsFile))));
    update();
}

void OtherNetworksWidget::SlotTimerChk()
{
    trafficCheck.tick(NetCheck::ReceivedBytes(readFile(NetStaging::SystemRoot() + QLatin1String(kDevStatsFile))));
    update();
}

DeviceParamsWidget::DeviceParamsWidget(QWidget* parent)
    : SettingsPage(parent)
    , product(new BComboBox(this))
    , operatorName(edit(this, "operatorName", LanStr(434), KeyboardFull))
    , cavities(edit(this, "cavities", LanStr(435), KeyboardNumeric))
    , planned(edit(this, "planned", LanStr(436), KeyboardNumeric))
    , batch(edit(this, "batch", LanStr(437), KeyboardFull))
{
    product->setObjectName(QStringLiteral("productName"));
    product->setFixedWidth(kEditWidth);
    QVBoxLayout* column = pageColumn(this, 40);
    QHBoxLayout* row = addRow(column);
    row->addWidget(label(this, 432));
    row->addWidget(product);
    QPushButton* getProducts = button(this, "getProducts", 433, 200);
    row->addWidget(getProducts);
    row->addStretch(1);
    row = addRow(column);
    row->addWidget(label(this, 434));
    row->addWidget(operatorName);
    row->addSpacing(80);
    row->addWidget(label(this, 435, 120));
    row->addWidget(cavities);
    row->addStretch(1);
    row = addRow(column);
    row->addWidget(label(this, 436));
    row->addWidget(planned);
    row->addSpacing(80);
    row->addWidget(label(this, 437, 120));
    row->addWidget(batch);
    row->addStretch(1);
    row = addRow(column);
    QPushButton* reset = button(this, "resetStatistics", 438, 250);
    row->addWidget(reset);
    row->addStretch(1);
    column->addStretch(1);

    prompts.ask = [](const QString& text) {
        return BMessageBox(QStringLiteral("确认提示"), text, BMsgYes | BMsgNo, BMsgWarning).exec() == QDialog::Accepted;
    };
    connect(getProducts, &QPushButton::clicked, this, &DeviceParamsWidget::SlotGetProductName);
    connect(reset, &QPushButton::pressed, this, [this] {
        if (prompts.ask(LanStr(447)))
            SlotResetStatistics();
    });
    if (gpNet) {
        gpNet->setSessionHandler(kProductReply, [page = QPointer<DeviceParamsWidget>(this)](const QString& body) {
            if (page)
                page->cnt_reset_product(body);
        });
    }
}

void DeviceParamsWidget::WizardParaInit()
{
    const DeviceSettings s = DeviceParams::Load(*gpWParaBak);
    product->clear();
    product->addItem(s.product);
    operatorName->setText(s.operatorName);
    cavities->setText(s.cavities);
    planned->setText(s.planned);
    batch->setText(s.batch);
}

void DeviceParamsWidget::accept()
{
    DeviceParams::Store({product->currentText(), operatorName->text(), cavities->text(), planned->text(), batch->text()},
                        *gpWParaBak);
}

void DeviceParamsWidget::SlotGetProductName()
{
    if (OtherNetworks::CanAskServer(gpNet))
        gpNet->CNT_SendGetProduct();
}

void DeviceParamsWidget::cnt_reset_product(const QString& body)
{
    QStringList names;
    if (!DeviceParams::ParseProducts(body, &names))
        return;
    QStringList shown;
    for (int i = 0; i < product->count(); ++i)
        shown << product->itemText(i);
    const QStringList items = DeviceParams::MergedProducts(shown, product->currentText(), names);
    product->clear();
    product->addItems(items);
    if (!shown.isEmpty())
        product->setCurrentIndex(0);
    update();
}

void DeviceParamsWidget::SlotResetStatistics()
{
    DeviceParams::ResetStatistics(gpNet);
}
