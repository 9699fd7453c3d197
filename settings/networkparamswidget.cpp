#include "settings/networkparamswidget.h"

#include "core/commandrunner.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "network/netcard.h"
#include "network/network.h"
#include "widgets/blineedit.h"
#include "widgets/checkbox.h"
#include "widgets/combobox.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkInterface>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kFieldW = 200;
constexpr int kFieldH = 50;
constexpr int kLabelW = 130;
constexpr int kRightGap = 185;
constexpr int kRouteMs = 30000;
constexpr int kAddress = 0;
constexpr int kNetmask = 1;
constexpr int kGateway = 2;
const char* const kWifi = "wlan";
const char* const kNoCard = "null";

QLabel* rowLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setMinimumWidth(kLabelW);
    return label;
}

template <typename T>
T* sized(T* widget)
{
    widget->setFixedSize(kFieldW, kFieldH);
    return widget;
}

// A row of radio buttons with ids 0, 1, 2...
QButtonGroup* radioRow(const QStringList& texts, QWidget* parent, QHBoxLayout* row)
{
    auto* group = new QButtonGroup(parent);
    for (int i = 0; i < texts.size(); ++i) {
        auto* button = new QRadioButton(texts[i], parent);
        group->addButton(button, i);
        row->addWidget(button);
    }
    row->addStretch(1);
    return group;
}

void tick(QButtonGroup* group, int id)
{
    if (QAbstractButton* button = group->button(id))
        button->setChecked(true);
}

// Live IPv4 addresses of the interfaces other than loopback.
QString liveAddress(const QString& name)
{
    const QNetworkInterface card = QNetworkInterface::interfaceFromName(name);
    for (const QNetworkAddressEntry& entry : card.addressEntries()) {
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
            return entry.ip().toString();
    }
    return QString();
}

}  // namespace

NetworkParamsWidget::NetworkParamsWidget(QWidget* parent)
    : SettingsPage(parent)
    , cardCombo(sized(new BComboBox(this)))
    , serialCombo(sized(new BComboBox(this)))
    , macLabel(new QLabel(this))
    , ipEdit(sized(new BLineEdit(this, QStringLiteral("192.168.3.5"), QString(), KeyboardNumeric)))
    , hostEdit(sized(new BLineEdit(this, QStringLiteral("Computer"), QString(), KeyboardNumeric)))
    , maskEdit(sized(new BLineEdit(this, QStringLiteral("255.255.255.0"), QString(), KeyboardNumeric)))
    , useCardBox(new CheckBox(this, QStringLiteral("使用此网卡联网")))
    , wayEdit(sized(new BLineEdit(this, QStringLiteral("192.169.3.1"), QString(), KeyboardNumeric)))
    , linkSwitch(new CheckBox(this, LanStr(358)))
    , testButton(sized(new QPushButton(QStringLiteral("测试连接"), this)))
    , resultLabel(new QLabel(this))
{
    setObjectName(QStringLiteral("networkParams"));
    serialCombo->addItems({QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                           QStringLiteral("COM4")});
    resultLabel->setStyleSheet(QStringLiteral("QLabel{font-size:22px;color:#DC143C;}"));
    setStyleSheet(QStringLiteral("QLabel{font-size:22px;color:#656263;}"));
    buildRows();

    connect(cardCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &NetworkParamsWidget::SlotCmbCard);
    connect(ipEdit, &QLineEdit::textChanged, this, &NetworkParamsWidget::SlotIpTimelyModify);
    connect(maskEdit, &QLineEdit::textChanged, this, &NetworkParamsWidget::SlotMaskTimelyModify);
    connect(wayEdit, &QLineEdit::textChanged, this, &NetworkParamsWidget::SlotWayTimelyModify);
    connect(useCardBox, &QCheckBox::pressed, this, &NetworkParamsWidget::SlotCntClick);
    connect(useCardBox, &QCheckBox::stateChanged, this, &NetworkParamsWidget::SlotCntName);
    connect(linkSwitch, &QCheckBox::stateChanged, this, &NetworkParamsWidget::SlotCBoxIsUseCntNet);
}

void NetworkParamsWidget::buildRows()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(80, 50, 200, 50);
    grid->setVerticalSpacing(40);
    grid->setColumnMinimumWidth(2, kRightGap);
    int row = 0;
    auto left = [&](const QString& text, QWidget* control) {
        grid->addWidget(rowLabel(text, this), row, 0);
        grid->addWidget(control, row, 1);
    };
    auto right = [&](QWidget* label, QWidget* control) {
        grid->addWidget(label, row, 3);
        if (control)
            grid->addWidget(control, row, 4);
    };
    left(QStringLiteral("网卡"), cardCombo);
    ++row;
    left(QStringLiteral("串口"), serialCombo);
    ++row;
    left(QStringLiteral("MAC地址:"), macLabel);
    ++row;
    left(QStringLiteral("IP地址"), ipEdit);
    right(rowLabel(QStringLiteral("设备号"), this), hostEdit);
    ++row;
    left(QStringLiteral("子网掩码"), maskEdit);
    right(useCardBox, nullptr);
    ++row;
    left(QStringLiteral("网关"), wayEdit);
    right(linkSwitch, nullptr);
    ++row;
    left(QStringLiteral("功能"), testButton);
    right(resultLabel, nullptr);
    ++row;
    auto* videoRow = new QHBoxLayout;
    videoGroup = radioRow({QStringLiteral("不传输视频"), QStringLiteral("截屏图像"), QStringLiteral(" 相机图像")},
                          this, videoRow);
    grid->addWidget(rowLabel(QStringLiteral("视频类型"), this), row, 0);
    grid->addLayout(videoRow, row, 1, 1, 4);
    ++row;
    auto* fpsRow = new QHBoxLayout;
    fpsGroup = radioRow({QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("20"),
                         QStringLiteral("25")},
                        this, fpsRow);
    grid->addWidget(rowLabel(QStringLiteral("视频类型"), this), row, 0);
    grid->addLayout(fpsRow, row, 1, 1, 4);
    for (int r = 0; r <= row; ++r)
        grid->setRowMinimumHeight(r, kFieldH);
    grid->setRowStretch(row + 1, 1);
    grid->setColumnStretch(5, 1);
}

void NetworkParamsWidget::bind(WizardPara* e, NetCard* c, const WizardPara* f)
{
    boundEdited = e;
    boundCards = c;
    boundInForce = f;
}

WizardPara* NetworkParamsWidget::edited() const
{
    return boundEdited ? boundEdited : gpWParaBak;
}

NetCard* NetworkParamsWidget::cards() const
{
    return boundCards ? boundCards : (gpNet ? &gpNet->netCardEdit : nullptr);
}

const WizardPara* NetworkParamsWidget::inForce() const
{
    return boundInForce ? boundInForce : gpWPara;
}

QString NetworkParamsWidget::GatewayOf(const QByteArray& routeOutput)
{
    const int end = routeOutput.indexOf('\0');
    const QString text = QString::fromUtf8(end < 0 ? routeOutput : routeOutput.left(end));
    const QStringList pieces = text.split(QLatin1Char(' '));
    for (int i = 0; i + 2 < pieces.size(); ++i) {
        if (pieces[i].contains(QLatin1String("via")))
            return pieces[i + 1];
    }
    return QStringLiteral("0.0.0.0");
}

void NetworkParamsWidget::WizardParaInit()
{
    if (WizardPara* para = edited()) {
        linkSwitch->setChecked(para->netLinkOn != 0);
        serialCombo->setCurrentIndex(para->serialPort);
    }
    SlotCBoxIsUseCntNet(linkSwitch->isChecked() ? 1 : 0);
    InitCntNetWidget();
}

void NetworkParamsWidget::InitCntNetWidget()
{
    cardCombo->clear();
    if (NetCard* c = cards())
        cardCombo->addItems(c->cardMap.keys());
    SlotCmbCard(cardCombo->currentIndex());
    if (NetCard* c = cards())
        hostEdit->setText(c->hostName);
    if (WizardPara* para = edited()) {
        tick(videoGroup, para->videoType);
        tick(fpsGroup, para->videoFps);
    }
}

void NetworkParamsWidget::accept()
{
    WizardPara* para = edited();
    if (!para)
        return;
    para->netLinkOn = linkSwitch->isChecked() ? 1 : 0;
    if (NetCard* c = cards())
        c->hostName = hostEdit->text();
    // A group with nothing ticked keeps what is stored.
    if (videoGroup->checkedId() >= 0)
        para->videoType = videoGroup->checkedId();
    if (fpsGroup->checkedId() >= 0)
        para->videoFps = fpsGroup->checkedId();
    if (serialCombo->currentIndex() >= 0)
        para->serialPort = serialCombo->currentIndex();
}

void NetworkParamsWidget::SlotCmbCard(int value)
{
    const QString name = value >= 0 ? cardCombo->itemText(value) : QString();
    NetCard* c = cards();
    if (!c)
        return;
    if (c->macMap.contains(name))
        macLabel->setText(c->macMap.value(name));
    update();
    QApplication::processEvents();
    const QStringList entries = c->cardMap.value(name);
    if (entries.size() == 3) {
        ipEdit->setText(entries[kAddress]);
        maskEdit->setText(entries[kNetmask]);
        wayEdit->setText(entries[kGateway]);
        const WizardPara* para = edited();
        useCardBox->setChecked(para && name == WizardPara::Text(para->useName));
    }
    if (name.contains(QLatin1String(kWifi)))
        showWifi(name);
    update();
}

// A Wi-Fi card shows the address and gateway it has now, when it carries the
// server link in force.
void NetworkParamsWidget::showWifi(const QString& name)
{
    const WizardPara* para = inForce();
    if (!para || name != WizardPara::Text(para->useName))
        return;
    const QString address = liveAddress(name);
    const QString gateway =
        GatewayOf(CommandRunner::run(QStringLiteral("ip"), {QStringLiteral("route"), QStringLiteral("show")},
                                     kRouteMs)
                      .output);
    if (address.isEmpty() || gateway.count(QLatin1Char('.')) != 3)
        return;
    ipEdit->setText(address);
    wayEdit->setText(gateway);
}

void NetworkParamsWidget::storeEntry(int entry, const QString& text)
{
    NetCard* c = cards();
    const QString name = cardCombo->currentText();
    if (!c || name.contains(QLatin1String(kWifi)))
        return;
    auto it = c->cardMap.find(name);
    if (it != c->cardMap.end() && it->size() == 3)
        (*it)[entry] = text;
}

void NetworkParamsWidget::SlotIpTimelyModify(const QString& text)
{
    storeEntry(kAddress, text);
}

void NetworkParamsWidget::SlotMaskTimelyModify(const QString& text)
{
    storeEntry(kNetmask, text);
}

void NetworkParamsWidget::SlotWayTimelyModify(const QString& text)
{
    storeEntry(kGateway, text);
}

void NetworkParamsWidget::SlotCntClick()
{
    pressed = true;
}

void NetworkParamsWidget::SlotCntName(int value)
{
    WizardPara* para = edited();
    if (!pressed || !para)
        return;
    const QString name = value ? QString::fromLatin1(cardCombo->currentText().toLatin1()) : QLatin1String(kNoCard);
    WizardPara::SetText(para->useName, name);
    pressed = false;
}

void NetworkParamsWidget::SlotCBoxIsUseCntNet(int value)
{
    if (value) {
        resultLabel->setText(checkResult);
        resultLabel->show();
    } else {
        resultLabel->hide();
    }
    update();
}
