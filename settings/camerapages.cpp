#include "settings/camerapages.h"

#include "core/globals.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "settings/systemsettingwidget.h"
#include "widgets/checkbox.h"
#include "widgets/cslider.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kPanelCameras = 4;
constexpr int kAttachedMargin = 50;
constexpr int kDetachedMargin = 20;
const QPoint kDetachedPlace(342, 653);
const QSize kDetachedSize(1105, 325);
const char* const kPageStyle = "QLabel{font-size:22px;color:#656263;}";

QPushButton* IconButton(const QString& icon, QSize size, QWidget* owner)
{
    auto* b = new QPushButton(owner);
    b->setIcon(QIcon(icon));
    b->setIconSize(size);
    b->setFixedSize(size);
    return b;
}

QFrame* Line(QWidget* owner)
{
    auto* line = new QFrame(owner);
    line->setFrameShape(QFrame::HLine);
    line->setStyleSheet(QStringLiteral("color:#d3d3d3;background-color:#d3d3d3;"));
    line->setFixedHeight(1);
    return line;
}

}  // namespace

CameraParamsSubWidget::CameraParamsSubWidget(QWidget* parent)
    : BWidget(parent)
    , cameras(new QButtonGroup(this))
    , restoreDefaults(IconButton(QStringLiteral(":/img/icons/57-1.png"), {128, 46}, this))
    , cameraOrder(IconButton(QStringLiteral(":/img/icons/57.png"), {128, 46}, this))
    , detach(IconButton(QStringLiteral(":/img/icons/58.png"), {60, 60}, this))
    , previous(IconButton(QStringLiteral(":/img/icons/68.png"), {60, 60}, this))
    , next(IconButton(QStringLiteral(":/img/icons/69.png"), {60, 60}, this))
    , splitLine(Line(this))
    , layout(new QVBoxLayout(this))
{
    setStyleSheet(QStringLiteral(
        "CameraParamsSubWidget{background-color:#ffffff;}QPushButton{border-style:none;}"
        "QPushButton:unchecked{border-style:none;background-color:#F8F8FF; border-radius:5px;}"
        "QPushButton:checked{color:#ffffff;background-color:#656263;border-radius:5px;border-style:none;}"
        "QLabel{font-size:22px;color:#656263;}"));
    detach->setCheckable(true);
    layout->setContentsMargins(kAttachedMargin, kAttachedMargin, kAttachedMargin, kAttachedMargin);

    auto* title = new QHBoxLayout;
    title->setContentsMargins(30, 0, 0, 0);
    title->setSpacing(32);
    title->addWidget(new QLabel(LanStr(128), this));
    title->addStretch(1);
    auto* picture = new QLabel(this);
    picture->setPixmap(QIcon(QStringLiteral(":/img/icons/48.png")).pixmap(56, 56));
    title->addWidget(picture);
    title->addWidget(new QLabel(QStringLiteral("相机"), this));
    const char* const icons[kPanelCameras] = {"60", "62", "64", "66"};
    for (int i = 0; i < kPanelCameras; ++i) {
        QPushButton* b = IconButton(QStringLiteral(":/img/icons/%1.png").arg(QLatin1String(icons[i])), {58, 58}, this);
        b->setObjectName(QStringLiteral("相机%1").arg(i + 1));
        b->setCheckable(true);
        b->setVisible(i < 2);
        cameras->addButton(b, i);
        title->addWidget(b);
    }
    cameras->button(0)->setChecked(true);
    title->addSpacing(20);
    title->addWidget(restoreDefaults);
    title->addWidget(cameraOrder);
    title->addStretch(1);
    title->addWidget(detach);
    layout->addLayout(title);
    layout->addSpacing(30);
    layout->addWidget(splitLine);
    layout->addSpacing(30);

    auto* sliders = new QHBoxLayout;
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(40);
    const Range e = ImageRange(ImageSetting::Exposure);
    const Range g = ImageRange(ImageSetting::Gain);
    exposure = MakeSliderRow(grid, 0, this, LanStr(164), e.min, e.max, QString());
    gain = MakeSliderRow(grid, 1, this, LanStr(165), g.min, g.max, QString());
    sliders->addWidget(previous);
    sliders->addSpacing(30);
    sliders->addLayout(grid);
    sliders->addSpacing(30);
    sliders->addWidget(next);
    layout->addLayout(sliders);
    displayIndependent(false);

    connect(detach, &QPushButton::toggled, this, &CameraParamsSubWidget::viewBtnToggled);
    connect(previous, &QPushButton::pressed, this, [this] { step(-1); });
    connect(next, &QPushButton::pressed, this, [this] { step(1); });
}

bool CameraParamsSubWidget::detached() const
{
    return detach->isChecked();
}

void CameraParamsSubWidget::displayIndependent(bool independent)
{
    splitLine->setVisible(independent);
    previous->setVisible(independent);
    next->setVisible(independent);
}

void CameraParamsSubWidget::viewBtnToggled(bool isIndep)
{
    const int margin = isIndep ? kDetachedMargin : kAttachedMargin;
    if (isIndep) {
        if (cameraPramsAdjust)
            cameraPramsAdjust(true);
        home = parentWidget();
        // A frameless window of its own, over the camera views.
        setParent(mainWindow, Qt::Dialog | Qt::FramelessWindowHint);
        move(kDetachedPlace);
        attachedSize = size();
        setFixedSize(kDetachedSize);
        layout->setContentsMargins(margin, margin, margin, margin);
        detach->setIcon(QIcon(QStringLiteral(":/img/icons/67.png")));
        setWindowModality(Qt::WindowModal);
        show();
        displayIndependent(true);
        return;
    }
    if (cameraPramsAdjust)
        cameraPramsAdjust(false);
    hide();
    setWindowModality(Qt::NonModal);
    setParent(home);
    if (home) {
        if (auto* box = qobject_cast<QVBoxLayout*>(home->layout()))
            box->insertWidget(0, this);
    }
    if (attachedSize.isValid())
        setFixedSize(attachedSize);
    layout->setContentsMargins(margin, margin, margin, margin);
    show();
    detach->setIcon(QIcon(QStringLiteral(":/img/icons/58.png")));
    displayIndependent(false);
}

void CameraParamsSubWidget::step(int delta)
{
    const int t = cameras->checkedId() + delta;
    if (t < 0 || t >= kPanelCameras || t >= numCamera)
        return;
    cameras->button(t)->setChecked(true);
    cameras->button(t)->click();
}

void CameraParamsSubWidget::showEvent(QShowEvent* event)
{
    if (numCamera > 2)
        cameras->button(2)->show();
    if (numCamera > 3)
        cameras->button(3)->show();
    BWidget::showEvent(event);
}

CameraParamsWidget::CameraParamsWidget(QWidget* parent)
    : SliderPage(parent)
    , panel(new CameraParamsSubWidget(this))
{
    setStyleSheet(QStringLiteral("QLabel{font-size:22px;color:#656263;}QPushButton{border-style:none;}"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(40);
    column->addWidget(panel);

    auto* separator = new QWidget(this);
    separator->setFixedHeight(36);
    auto* line = Line(separator);
    auto* mark = IconButton(QStringLiteral(":/img/icons/4a.png"), {100, 36}, separator);
    auto* over = new QGridLayout(separator);
    over->setContentsMargins(0, 0, 0, 0);
    over->addWidget(line, 0, 0);
    over->addWidget(mark, 0, 0, Qt::AlignCenter);
    column->addWidget(separator);

    addRow(panel->exposure);
    addRow(panel->gain);
    auto* grid = new QGridLayout;
    grid->setContentsMargins(100, 50, 100, 50);
    grid->setVerticalSpacing(40);
    grid->setHorizontalSpacing(0);
    const struct {
        int caption;
        Range range;
    } lower[] = {
        {241, ImageRange(ImageSetting::Sharpness)},
        {364, ImageRange(ImageSetting::Gamma)},
        {242, ImageRange(ImageSetting::Contrast)},
        {244, {CaptureSpeedSlider().min, CaptureSpeedSlider().max}},
    };
    int row = 0;
    for (const auto& r : lower) {
        addRow(MakeSliderRow(grid, row++, this, LanStr(r.caption), r.range.min, r.range.max, QString()));
    }
    column->addLayout(grid);
    column->addStretch(1);
}

C_Slider* CameraParamsWidget::imageSlider(ImageSetting s) const
{
    return row(static_cast<int>(s)).slider;
}

void CameraParamsWidget::showCamera(int camera)
{
    for (int s = 0; s < kImageSettingCount; ++s) {
        const auto setting = static_cast<ImageSetting>(s);
        imageSlider(setting)->setValue(ImageSliderValue(setting, *gpWParaBak, camera));
        row(s).showValue();
    }
}

void CameraParamsWidget::WizardParaInit()
{
    if (QAbstractButton* shown = panel->cameras->button(outSet))
        shown->setChecked(true);
    showCamera(outSet);
    setValues(LoadSliders({CaptureSpeedSlider()}, *gpWParaBak), kSpeedRow);
}

void CameraParamsWidget::accept()
{
    StoreSliders({CaptureSpeedSlider()}, values(kSpeedRow, 1), *gpWParaBak);
}

void CameraParamsWidget::showEvent(QShowEvent* event)
{
    const bool factory = factoryTicked && factoryTicked();
    for (int r = kSharpRow; r <= kSpeedRow; ++r)
        row(r).setVisible(factory);
    SliderPage::showEvent(event);
}

CameraFunctionsWidget::CameraFunctionsWidget(QWidget* parent)
    : SettingsPage(parent)
{
    setStyleSheet(QLatin1String(kPageStyle));
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(100, 50, 100, 50);
    columns->setSpacing(20);
    // Left column then right column: the order of CameraFunctionSwitches().
    const std::vector<int> captions[] = {{388, 270, 519, 196, 198, 390, 397, 583},
                                         {337, 271, 200, 197, 199, 391, 520}};
    for (const std::vector<int>& column : captions) {
        auto* grid = new QGridLayout;
        grid->setVerticalSpacing(20);
        int r = 0;
        for (int caption : column)
            switches.add(grid, r++, 0, this, LanStr(caption));
        grid->setRowStretch(r, 1);
        columns->addLayout(grid);
    }
}

void CameraFunctionsWidget::WizardParaInit()
{
    switches.load(LoadSwitches(CameraFunctionSwitches(), *gpWParaBak));
}

void CameraFunctionsWidget::accept()
{
    std::vector<bool> ticks = switches.ticks();
    StoreCameraFunctions(ticks, *gpWParaBak);
    switches.load(ticks);
}

void CameraFunctionsWidget::showEvent(QShowEvent* event)
{
    switches.setVisible(factoryTicked && factoryTicked());
    SettingsPage::showEvent(event);
}
