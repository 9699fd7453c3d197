#include "screen/titlebar.h"

#include "core/texttable.h"
#include "widgets/splitline.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char* const kOkIcon = ":/img/icons/15.png";
const char* const kWarningIcon = ":/img/icons/warning2.png";
const char* const kNgIcon = ":/img/icons/17a.png";
const char* const kLayerIcon = ":/img/icons/layer.png";
const char* const kCostTimeIcon = ":/img/icons/costTime.png";
const char* const kLocationIcon = ":/img/icons/location.png";
const char* const kSplitColour = "#ffffff";
constexpr int kIconSize = 16;
constexpr int kLampSize = 38;
constexpr int kCountWidth = 70;
constexpr int kClockMs = 1000;

QPixmap icon(const char* path)
{
    return QPixmap(QLatin1String(path)).scaledToWidth(kIconSize, Qt::SmoothTransformation);
}

QLabel* iconLabel(const char* path, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setPixmap(icon(path));
    return label;
}

QPixmap lampPixmap(int number)
{
    return QPixmap(QStringLiteral(":/img/icons/%1.png").arg(number))
        .scaled(kLampSize, kLampSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The row's text until its camera view first writes it: "%1相机检测信息" and
// its English and Traditional Chinese forms.
QString initialRowText(int position)
{
    static const char* const texts[kLanCount] = {"%1相机检测信息", "Camera %1 information", "%1相機檢測資訊"};
    const int lan = gLan >= 0 && gLan < kLanCount ? gLan : 0;
    return QString::fromUtf8(texts[lan]).arg(position + 1);
}

QVBoxLayout* stacked(QWidget* top, QWidget* bottom)
{
    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(top);
    column->addWidget(bottom);
    return column;
}

void addSplit(QHBoxLayout* row, QWidget* parent, int before, int after)
{
    row->addSpacing(before);
    row->addWidget(createVerticalSplitLine(parent, QLatin1String(kSplitColour)));
    row->addSpacing(after);
}

}  // namespace

int LampPicture(int group, int index, int on)
{
    return 26 + 2 * index - (group == 0 ? 8 : 0) + (on == 0 ? 1 : 0);
}

CameraInfo::CameraInfo(int position, QWidget* parent)
    : QWidget(parent)
    , statusIcon(iconLabel(kOkIcon, this))
    , message(new QLabel(initialRowText(position), this))
    , ngCount(new QLabel(QStringLiteral("0"), this))
    , layerCount(new QLabel(QStringLiteral("0"), this))
    , position(position)
{
    statusIcon->setFixedSize(kIconSize, kIconSize);
    ngCount->setMinimumWidth(kCountWidth);
    layerCount->setMinimumWidth(kCountWidth);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(statusIcon);
    row->addWidget(message, 1);
    row->addWidget(iconLabel(kNgIcon, this), 0, Qt::AlignRight);
    row->addWidget(ngCount, 0, Qt::AlignRight);
    row->addWidget(iconLabel(kLayerIcon, this), 0, Qt::AlignRight);
    row->addWidget(layerCount, 0, Qt::AlignRight);
}

void CameraInfo::setMessage(const QString& text, int messageType)
{
    const bool ok = messageType == MessageOk;
    if (ok != showsOkIcon) {
        statusIcon->setPixmap(icon(ok ? kOkIcon : kWarningIcon));
        showsOkIcon = ok;
    }
    if (message->text() != text)
        message->setText(text);
}

void CameraInfo::setNGNum(const QString& text)
{
    if (ngCount->text() != text)
        ngCount->setText(text);
}

void CameraInfo::setLayerNum(const QString& text)
{
    if (layerCount->text() != text)
        layerCount->setText(text);
}

TitleBar::TitleBar(QWidget* parent)
    : BWidget(parent)
    , costTime(new QLabel(QStringLiteral("0.0s"), this))
    , location(new QLabel(QStringLiteral("311,432,0"), this))
    , date(new QLabel(QStringLiteral("0000-00-00"), this))
    , clock(new QLabel(QStringLiteral("00:00"), this))
{
    setFixedHeight(kHeight);
    setStyleSheet(QStringLiteral("TitleBar{background-color:#1f3f8d;}"));
    for (int i = 0; i < kRows; ++i)
        rows[i] = new CameraInfo(i, this);
    costTime->setMinimumWidth(60);

    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(20, 20, 20, 20);
    bar->setSpacing(0);
    bar->addLayout(stacked(rows[0], rows[2]), 1);
    addSplit(bar, this, 30, 30);
    bar->addLayout(stacked(rows[1], rows[3]), 1);
    addSplit(bar, this, 30, 40);

    auto* lampRow = new QHBoxLayout;
    lampRow->setContentsMargins(0, 0, 0, 0);
    lampRow->setSpacing(20);
    for (int i = 0; i < kLamps; ++i) {
        lamps[i] = new QLabel(this);
        lamps[i]->setFixedSize(kLampSize, kLampSize);
        lampPicture[i] = LampPicture(i / 4, i % 4, 0);
        lamps[i]->setPixmap(lampPixmap(lampPicture[i]));
        lampRow->addWidget(lamps[i]);
    }
    bar->addLayout(lampRow);
    addSplit(bar, this, 40, 30);

    auto* timeRow = new QHBoxLayout;
    timeRow->setContentsMargins(0, 0, 0, 0);
    timeRow->setSpacing(6);
    auto* costIcon = iconLabel(kCostTimeIcon, this);
    costIcon->setFixedSize(kIconSize, kIconSize);
    timeRow->addWidget(costIcon);
    timeRow->addWidget(costTime);
    timeRow->addSpacing(10);
    timeRow->addWidget(date);
    timeRow->addWidget(clock);
    auto* locationRow = new QHBoxLayout;
    locationRow->setContentsMargins(0, 0, 0, 0);
    locationRow->setSpacing(6);
    auto* locationIcon = iconLabel(kLocationIcon, this);
    locationIcon->setFixedSize(kIconSize, kIconSize);
    locationRow->addWidget(locationIcon);
    locationRow->addWidget(location, 1);
    auto* block = new QVBoxLayout;
    block->setContentsMargins(0, 0, 0, 0);
    block->setSpacing(0);
    block->addLayout(timeRow);
    block->addLayout(locationRow);
    bar->addLayout(block);

    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &TitleBar::tick);
    timer->start(kClockMs);
}

void TitleBar::setCameraInfo(int position, CameraInfo::DATA_TYPE type, const QString& text, int messageType)
{
    const bool known = position >= 0 && position < kRows;
    switch (type) {
    case CameraInfo::Message:
        if (known)
            rows[position]->setMessage(text, messageType);
        break;
    case CameraInfo::LayerNum:
        if (known)
            rows[position]->setLayerNum(text);
        break;
    case CameraInfo::NGNum:
        if (known)
            rows[position]->setNGNum(text);
        break;
    default:
        if (costTime->text() != text)
            costTime->setText(text);
        break;
    }
}

void TitleBar::setLocation(const QString& text)
{
    if (location->text() != text)
        location->setText(text);
}

void TitleBar::promptSwitching_State(int group, int index, int on)
{
    if (index < 0 || index > 3)
        return;
    const int lamp = index + 4 * (group != 0 ? 1 : 0);
    const int picture = LampPicture(group != 0 ? 1 : 0, index, on);
    if (lampPicture[lamp] != picture) {
        lampPicture[lamp] = picture;
        lamps[lamp]->setPixmap(lampPixmap(picture));
    }
    update();
}

void TitleBar::tick()
{
    const QDateTime now = QDateTime::currentDateTime();
    date->setText(now.toString(QStringLiteral("yyyy-MM-dd")));
    clock->setText(now.toString(QStringLiteral("HH:mm:ss")));
}
