#include "settings/settingsdialogs.h"

#include "camera/cameraglobals.h"
#include "camera/cameraloss.h"
#include "core/globals.h"
#include "core/ionames.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "settings/iowidget.h"
#include "settings/systemsettingwidget.h"
#include "widgets/bmessagebox.h"
#include "widgets/colorbutton.h"
#include "widgets/combobox.h"
#include "widgets/skin.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

int gHelpC = 0;

namespace {

constexpr int kConfirm = 121;
const char* const kConfFile = "conf.txt";
constexpr int kHelpButtonsY = 842;
const Qt::WindowFlags kDialogFlags = Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

void paintBackground(QWidget* w)
{
    QPainter painter(w);
    if (gpPixmapBG && !gpPixmapBG->isNull())
        painter.drawPixmap(w->rect(), *gpPixmapBG);
    else
        painter.fillRect(w->rect(), QColor(0x39, 0x3c, 0x45));
}

// Centres a window on the camera display area.
void centre(QWidget* w)
{
    const int width = gShowW > 0 ? gShowW : 1725;
    const int height = gShowH > 0 ? gShowH : 982;
    w->move((width - w->width()) / 2, 98 + (height - w->height()) / 2);
}

QLabel* dialogLabel(const QString& text, QWidget* parent, const QString& colour)
{
    auto* label = new QLabel(text, parent);
    label->setFont(ToolkitFont(kFontMicroHei, 30));
    label->setStyleSheet(QStringLiteral("color:%1;").arg(colour));
    return label;
}

ComboBox* nameBox(QWidget* parent, const QString (*table)[kLanCount], int size)
{
    auto* box = new ComboBox(parent);
    box->setFixedSize(180, 60);
    box->setItemHeight(60);
    box->setFont(ToolkitFont(kFontMicroHei, 30));
    const int lan = gLan >= 0 && gLan < kLanCount ? gLan : 0;
    for (int i = 0; i < size; ++i)
        box->addItem(table[i][lan]);
    return box;
}

}  // namespace

CustomIONameWidget::CustomIONameWidget(QWidget* parent, SystemSettingWidget* hub)
    : QWidget(parent, kDialogFlags)
    , hub(hub)
    , confirm(new ColorButton(LanStr(kConfirm), this, 3))
{
    setObjectName(QStringLiteral("CustomIONameWidget"));
    auto* grid = new QGridLayout(this);
    grid->setSpacing(10);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    const int lan = gLan >= 0 && gLan < kLanCount ? gLan : 0;
    for (int t = 0; t < kCustomIOColumns; ++t) {
        inputCaptions[t] = dialogLabel(gCustomInputName[t][lan], this, QStringLiteral("yellow"));
        outputCaptions[t] = dialogLabel(gCustomOutputName[t][lan], this, QStringLiteral("yellow"));
        for (QLabel* l : {inputCaptions[t], outputCaptions[t]}) {
            l->setFixedSize(180, 60);
            l->setAlignment(Qt::AlignCenter);
        }
        inputs[t] = nameBox(this, gInName, kInNameCount);
        outputs[t] = nameBox(this, gOutName, kOutNameCount);
        grid->addWidget(inputCaptions[t], 0, t);
        grid->addWidget(inputs[t], 1, t);
        grid->addWidget(outputCaptions[t], 2, t);
        grid->addWidget(outputs[t], 3, t);
    }
    confirm->setFixedSize(180, 70);
    grid->addWidget(confirm, 4, kCustomIOColumns - 1);
    connect(confirm, &QPushButton::clicked, this, &CustomIONameWidget::accept);
}

void CustomIONameWidget::init()
{
    if (!hub || !hub->ioWidget())
        return;
    const IoAssignment& a = hub->ioWidget()->assignment();
    for (int t = 0; t < kCustomIOColumns; ++t) {
        inputs[t]->setCurrentIndex(a.inputName(t));
        outputs[t]->setCurrentIndex(a.outputName(t));
    }
}

void CustomIONameWidget::accept()
{
    int in[kCustomIOColumns];
    int out[kCustomIOColumns];
    for (int t = 0; t < kCustomIOColumns; ++t) {
        in[t] = inputs[t]->currentIndex();
        out[t] = outputs[t]->currentIndex();
    }
    IOWidget* io = hub ? hub->ioWidget() : nullptr;
    if (io) {
        io->setNames(in, out);
        if (gpWParaBak)
            io->assignment().storeNames(*gpWParaBak);
    }
    hide();
    if (io)
        io->ResetIOName();
    if (hub)
        hub->show();
}

void CustomIONameWidget::paintEvent(QPaintEvent*)
{
    paintBackground(this);
}

void CustomIONameWidget::showEvent(QShowEvent* event)
{
    adjustSize();
    centre(this);
    QWidget::showEvent(event);
}

WidgetChangeCamera::WidgetChangeCamera(QWidget* parent, int views, std::function<void()> shutDown)
    : QWidget(parent, kDialogFlags)
    , confirm(new ColorButton(LanStr(kConfirm), this, 3))
    , shutDown(std::move(shutDown))
{
    setObjectName(QStringLiteral("WidgetChangeCamera"));
    setFixedSize(550, 560);
    QFont font(QStringLiteral("times"), 20, 2);
    for (int b = 0; b < views && b < kMaxCameras; ++b) {
        gCamNO[b] = b;
        auto* box = new ComboBox(this);
        box->setGeometry(360, 10 + 60 * b, 160, 50);
        box->setItemHeight(50);
        box->setFont(font);
        for (int i = 0; i < views; ++i)
            box->addItem(LanStr(394).arg(i + 1), i);
        box->setCurrentIndex(b);
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this, b](int index) { SetCameraNO(b, index); });
        boxes << box;
    }
    confirm->setGeometry(30, 490, 490, 50);
    connect(confirm, &QPushButton::clicked, this, &WidgetChangeCamera::SlotOK);
    centre(this);
}

void WidgetChangeCamera::SetCameraNO(int view, int index)
{
    if (view >= 0 && view < kMaxCameras)
        gCamNO[view] = index;
}

void WidgetChangeCamera::SlotOK()
{
    const int repeated = RepeatedCameraPosition(gCamNO, boxes.size());
    if (repeated >= 0) {
        showWarnBox(LanStr(361).arg(repeated + 1));
        return;
    }
    hide();
    SaveSN(0);
    if (shutDown)
        shutDown();
}

void WidgetChangeCamera::paintEvent(QPaintEvent*)
{
    paintBackground(this);
    QPainter painter(this);
    painter.setFont(QFont(QStringLiteral("times"), 20, 2));
    painter.setPen(Qt::blue);
    for (int b = 0; b < boxes.size(); ++b)
        painter.drawText(QRect(20, 10 + 60 * b, 400, 50), Qt::AlignLeft | Qt::AlignVCenter,
                         LanStr(395).arg(b + 1));
}

HardwareConfigurationWidget::HardwareConfigurationWidget(QWidget* parent, std::function<void()> back)
    : QWidget(parent, kDialogFlags)
    , confirm(new ColorButton(LanStr(kConfirm), this, 3))
    , grid(new QGridLayout(this))
    , back(std::move(back))
{
    setObjectName(QStringLiteral("HardwareConfigurationWidget"));
    setFixedSize(1500, 800);
    grid->setSpacing(10);
    grid->setContentsMargins(50, 50, 50, 50);
    ConfEntries entries;
    loadConfiguration(entries);
    for (int n = 0; n < entries.size(); ++n) {
        const QString colour = entries[n].second.isEmpty() ? QStringLiteral("cyan") : QStringLiteral("yellow");
        grid->addWidget(dialogLabel(entries[n].first, this, colour), n, 0);
        QLabel* value = dialogLabel(entries[n].second, this, colour);
        if (entries[n].first == QLatin1String(kConfCountKey))
            count = value;
        grid->addWidget(value, n, 1);
    }
    confirm->setFixedSize(150, 50);
    grid->setRowStretch(entries.size(), 1);
    grid->addWidget(confirm, entries.size() + 1, 0, 1, 2, Qt::AlignHCenter | Qt::AlignBottom);
    connect(confirm, &QPushButton::clicked, this, &HardwareConfigurationWidget::slotConfirm);
    centre(this);
}

void HardwareConfigurationWidget::loadConfiguration(ConfEntries& entries)
{
    entries = ReadConfiguration(QLatin1String(kConfFile));
}

void HardwareConfigurationWidget::loadConfiguration(QMap<QString, QString>& entries)
{
    entries = ConfigurationMap(ReadConfiguration(QLatin1String(kConfFile)));
}

void HardwareConfigurationWidget::slotConfirm()
{
    hide();
    if (back)
        back();
}

void HardwareConfigurationWidget::paintEvent(QPaintEvent*)
{
    paintBackground(this);
}

void HardwareConfigurationWidget::showEvent(QShowEvent* event)
{
    if (count)
        count->setText(QString::number(gCameraID != kCameraNone ? numCamera : 0));
    QWidget::showEvent(event);
}

HelpWidget::HelpWidget(QWidget* parent)
    : SettingsPage(parent)
{
    setObjectName(QStringLiteral("HelpWidget"));
    const int width = gShowW > 0 ? gShowW : 1725;
    const int height = gShowH > 0 ? gShowH : 982;
    setGeometry(0, 0, width, height);
    setStyleSheet(QStringLiteral(
        "HelpWidget{ background:transparent;border:2px solid #d3d3d3;}"
        "QPushButton{background-color:#ffffff;color:#656263;font-size:25px;}"
        "QPushButton:pressed{color:#656263;background-color:#d3d3d3;}"));
    const QDir folder(gLan == 0 ? QStringLiteral("./help/") : QStringLiteral("./help-en/"));
    for (const QString& name : folder.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        QPixmap picture(folder.filePath(name));
        if (!picture.isNull() && pictures.size() < kMaxPages)
            pictures << picture;
    }
    if (pictures.isEmpty())
        pictures << QPixmap(QStringLiteral(":/img/icons/camera.png"));
    const QSize size = width < 1025 ? QSize(80, 30) : QSize(150, 60);
    const int texts[] = {339, 340, 146, 58};
    void (HelpWidget::*const handlers[])() = {&HelpWidget::SlotLast, &HelpWidget::SlotNext, &HelpWidget::SlotAlarm,
                                           &HelpWidget::SlotReturn};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton(LanStr(texts[i]), this);
        button->setGeometry(350 + i * (size.width() + 5), kHelpButtonsY, size.width(), size.height());
        connect(button, &QPushButton::clicked, this, handlers[i]);
        buttons << button;
    }
}

int HelpWidget::shownPage() const
{
    return paging().shown(gHelpC);
}

void HelpWidget::SlotReturn()
{
    hide();
}

void HelpWidget::SlotNext()
{
    gHelpC = paging().next(gHelpC);
    update();
}

void HelpWidget::SlotLast()
{
    gHelpC = paging().previous(gHelpC);
    update();
}

void HelpWidget::SlotAlarm()
{
    gHelpC = kHelpAlarmPage;
    update();
}

// The buttons sit at y 842, or higher when the page is shorter than the
// camera display area.
void HelpWidget::resizeEvent(QResizeEvent* event)
{
    for (QPushButton* b : buttons)
        b->move(b->x(), std::min(kHelpButtonsY, height() - b->height() - 10));
    SettingsPage::resizeEvent(event);
}

void HelpWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), pictures[shownPage()]);
}

lightsettingdialog::lightsettingdialog(QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
    , title(new QLabel(QStringLiteral("网络设置")))
{
    setStyleSheet(QStringLiteral(
        "background-color:rgb(57,60,69);border-style: outset;background-color:none;"
        "QDialog{color:none;border:1px solid rgb(255, 255, 255);}"
        "lishtsettingBase{background:#CCCCCC;border: none;border-radius: 15px;height: 30px;}"
        "QPushButton:pressed{background-color:#FFC107;}QLabel{color:white;}"
        "QLineEdit:!focus{border: 1px solid #959595;background:transparent;color:white;}"
        "QLineEdit:focus{background:white;color:black;}"));
    auto* body = new QWidget(this);
    body->setFixedSize(600, 400);
    auto* bar = new QWidget(body);
    bar->setFixedSize(600, 100);
    bar->setStyleSheet(QStringLiteral("color:white;background-color:#1E1E1E;font-size:20px;border:0px;}"));
    title->setParent(bar);
    title->setFixedSize(600, 100);
    title->setStyleSheet(QStringLiteral("color:white;font-size:28px;"));
    const QString button = QStringLiteral("outline:0px;border:0px;font-size:20px;color:white;background-color:%1;");
    auto* cancel = new QPushButton(tr("取消"), bar);
    auto* ok = new QPushButton(tr("确定"), bar);
    cancel->setStyleSheet(button.arg(QStringLiteral("#E91E63")));
    ok->setStyleSheet(button.arg(QStringLiteral("#8BC34A")));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(title);
    row->addStretch(1);
    for (QPushButton* b : {cancel, ok}) {
        b->setFixedSize(120, 60);
        row->addWidget(b);
    }
    row->insertSpacing(row->indexOf(ok), 30);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(body);
    connect(ok, &QPushButton::pressed, this, &QDialog::accept);
    connect(cancel, &QPushButton::pressed, this, &QDialog::reject);
}

void lightsettingdialog::setText(const QString& text)
{
    title->setText(text);
}

QString lightsettingdialog::text() const
{
    return title->text();
}
