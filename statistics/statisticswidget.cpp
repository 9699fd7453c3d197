#include "statistics/statisticswidget.h"

#include "core/commandrunner.h"
#include "core/controlport.h"
#include "core/globals.h"
#include "core/texttable.h"
#include "core/usbdisk.h"
#include "screen/mainwindow.h"
#include "screen/runcontroller.h"
#include "screen/runstate.h"
#include "statistics/histogram.h"
#include "statistics/statisticsreport.h"
#include "statistics/temperaturestatisticswidget.h"
#include "widgets/bmessagebox.h"
#include "widgets/colorbutton.h"
#include "widgets/edit.h"

#include <QDateTime>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <array>

namespace {

const char* const kGreen = "color:#00FF00;";
const char* const kRed = "color:#FF0000;";
constexpr int kPlanMax = 9999999;
enum Count { MorningOk, MorningNg, NightOk, NightNg, Total, TotalNg, Rate };
constexpr int kTextReturn = 58;
constexpr int kTextExportDone = 147;
constexpr int kTextNoDisk = 320;
constexpr int kTextExportAsk = 324;
constexpr int kTextExport = 326;
constexpr int kTextOkCaption = 542;
constexpr int kTextNgCaption = 543;
constexpr int kTextMorning = 545;
constexpr int kTextNight = 546;
constexpr int kTextTotal = 547;
constexpr int kTextShiftTab = 549;
constexpr int kTextPlan = 550;
constexpr int kTextExportFailed = 691;

QFont screenFont(int points)
{
    QFont font{QLatin1String(kFontMicroHei)};
    font.setPointSize(points);
    return font;
}

// The point size, at most points, at which the text fits the width (a caption
// in a longer language is made smaller rather than cut).
int fittedPoints(const QString& text, int width, int points)
{
    for (; points > 8 && width > 0; --points) {
        if (QFontMetrics(screenFont(points)).horizontalAdvance(text) <= width)
            break;
    }
    return points;
}

QLabel* label(const QString& text, QSize size, int points, Qt::Alignment align, const char* style = nullptr)
{
    points = fittedPoints(text, size.width(), points);
    auto* l = new QLabel(text);
    if (size.width() > 0)
        l->setFixedSize(size);
    else
        l->setFixedHeight(size.height());
    // By its own style sheet, so that the program's label rule does not override it.
    l->setStyleSheet(QStringLiteral("font-family:%1;font-size:%2pt;%3")
                         .arg(QLatin1String(kFontMicroHei))
                         .arg(points)
                         .arg(QLatin1String(style ? style : "")));
    l->setAlignment(align);
    return l;
}

QLabel* makeCountLabel(const char* style)
{
    return label(QString(), {120, 40}, 20, Qt::AlignRight | Qt::AlignVCenter, style);
}

// The board's temperature slots as they stand.
std::array<float, kTempCount> boardTemperatures()
{
    std::array<float, kTempCount> temps;
    for (int i = 0; i < kTempCount; ++i)
        temps[i] = gFTemp[i];
    return temps;
}

ResStatisticsParam* store()
{
    return gpResStatisticsParam;
}

StatisticsScreenPorts withDefaults(StatisticsScreenPorts p)
{
    if (!p.ask)
        p.ask = showChooseBox;
    if (!p.warn)
        p.warn = showWarnBox;
    if (!p.findDisk)
        p.findDisk = FindAU;
    if (!p.cycleTenths)
        p.cycleTenths = [] { return gpWin && gpWin->runController() ? gpWin->runController()->state().cycleLength : 0; };
    if (!p.temperatureAlarm)
        p.temperatureAlarm = [](bool alarm) { gisTempAlarm = alarm; };
    return p;
}

}  // namespace

StatisticsWidget::StatisticsWidget(QWidget* parent, StatisticsScreenPorts p)
    : QWidget(parent)
    , morning(new Histogram(nullptr, HourLabels(MorningShift)))
    , night(new Histogram(nullptr, HourLabels(NightShift)))
    , planEdit(new Edit(0, nullptr, 0))
    , timer(new QTimer(this))
    , dayList(new QListWidget)
    , temperature(new TemperatureStatisticsWidget)
    , tabWidget(new QTabWidget)
    , ports(withDefaults(std::move(p)))
{
    setGeometry(gShowW / 2 - 960, gShowH / 2 - 540, 1920, 1080);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(180, 180, 180));
    setPalette(palette);

    for (Histogram* chart : {morning, night}) {
        // 1600 px wide where the page has room; narrower so that its right
        // end with the legend stays on the page.
        chart->setFixedHeight(420);
        chart->setMaximumWidth(1600);
        chart->setFont(screenFont(15));
    }
    planEdit->setRange(0, kPlanMax);
    planEdit->setFixedSize(130, 40);
    planEdit->setAlignment(Qt::AlignCenter);
    planEdit->setFont(screenFont(25));
    counts[MorningOk] = makeCountLabel(kGreen);
    counts[MorningNg] = makeCountLabel(kRed);
    counts[NightOk] = makeCountLabel(kGreen);
    counts[NightNg] = makeCountLabel(kRed);
    counts[Total] = makeCountLabel(kGreen);
    counts[TotalNg] = makeCountLabel(kRed);
    counts[Rate] = makeCountLabel(kRed);
    dateTime = label(QString(), {0, 50}, 30, Qt::AlignCenter);
    cycle = label(QString(), {0, 50}, 30, Qt::AlignCenter);
    dayList->setFixedHeight(950);
    dayList->setFont(screenFont(20));

    tabWidget->setFixedSize(1738, 950);
    tabWidget->addTab(buildShiftPage(), LanStr(kTextShiftTab));
    tabWidget->addTab(temperature, QStringLiteral("温度"));
    tabWidget->setStyleSheet(QStringLiteral("QTabBar::tab{width: 150px; height: 50px; font-size: 25px;}"));

    auto* back = new ColorButton(LanStr(kTextReturn), this, 3);
    back->setFixedSize(300, 50);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->addWidget(dayList, 0, 0, 17, 1, Qt::AlignTop);
    grid->addWidget(tabWidget, 0, 1, 17, 10, Qt::AlignTop);
    grid->addWidget(dateTime, 17, 0, 1, 3, Qt::AlignCenter);
    grid->addWidget(cycle, 17, 3, 1, 3, Qt::AlignCenter);
    grid->addWidget(back, 17, 6, 1, 5, Qt::AlignCenter);

    connect(dayList, &QListWidget::itemClicked, this, &StatisticsWidget::updateRecord);
    connect(planEdit, &QLineEdit::textChanged, this, &StatisticsWidget::slotPlanChange);
    connect(back, &QPushButton::clicked, this, &StatisticsWidget::slotConfirm);
    connect(timer, &QTimer::timeout, this, &StatisticsWidget::slotTimeout);

    showCounts();
    temperature->updateTemp(boardTemperatures().data());
    timer->start(1000);
}

QWidget* StatisticsWidget::shiftBlock(int caption, QLabel* okCount, QLabel* ngCount)
{
    auto* block = new QWidget;
    auto* column = new QVBoxLayout(block);
    column->setSpacing(10);
    column->setContentsMargins(0, 0, 0, 0);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    column->addWidget(label(LanStr(caption), {150, 50}, 35, Qt::AlignCenter));
    column->addWidget(label(LanStr(kTextOkCaption), {120, 40}, 20, right));
    column->addWidget(okCount);
    column->addWidget(label(LanStr(kTextNgCaption), {120, 40}, 20, right));
    column->addWidget(ngCount);
    return block;
}

QWidget* StatisticsWidget::buildShiftPage()
{
    auto* page = new QWidget;
    page->setAutoFillBackground(true);
    page->setPalette(palette());
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(30, 10, 30, 10);
    grid->setSpacing(1);
    grid->addWidget(shiftBlock(kTextMorning, counts[MorningOk], counts[MorningNg]), 0, 0, 5, 1, Qt::AlignTop);
    grid->addWidget(shiftBlock(kTextNight, counts[NightOk], counts[NightNg]), 5, 0, 5, 1, Qt::AlignTop);

    auto* totals = new QWidget;
    auto* column = new QVBoxLayout(totals);
    column->setSpacing(10);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(label(LanStr(kTextPlan), {150, 50}, 25, Qt::AlignCenter, kGreen), 0, Qt::AlignCenter);
    column->addWidget(planEdit, 0, Qt::AlignCenter);
    column->addWidget(label(LanStr(kTextTotal), {150, 50}, 25, Qt::AlignCenter, kGreen), 0, Qt::AlignCenter);
    for (int k : {Total, TotalNg, Rate})
        column->addWidget(counts[k], 0, Qt::AlignCenter);
    auto* exportButton = new ColorButton(LanStr(kTextExport), totals, 3);
    exportButton->setFixedSize(120, 50);
    column->addWidget(exportButton, 0, Qt::AlignCenter);
    connect(exportButton, &QPushButton::clicked, this, &StatisticsWidget::SlotExportData);
    grid->addWidget(totals, 10, 0, 6, 1, Qt::AlignLeft | Qt::AlignTop);

    grid->addWidget(morning, 0, 1, 8, 9);
    grid->addWidget(night, 8, 1, 8, 9);
    grid->setRowStretch(17, 1);
    return page;
}

void StatisticsWidget::showEvent(QShowEvent* event)
{
    updateList();
    QWidget::showEvent(event);
}

void StatisticsWidget::updateList()
{
    dayList->clear();
    dayList->addItems(DayList(store() ? store()->getCurDate() : QString(), ports.archiveDir));
    dayList->setCurrentRow(0);
    updateRecord(dayList->item(0));
}

void StatisticsWidget::updateRecord(QListWidgetItem* item)
{
    if (!item || !store())
        return;
    if (dayList->row(item) == 0) {
        planEdit->setEnabled(true);
        store()->setFindResAll(1);
        store()->setPlan();
        updateData();
        return;
    }
    planEdit->setEnabled(false);
    const ArchivedDay day = ReadArchivedDay(ports.archiveDir, item->text());
    if (!day.opened)
        return;
    store()->setFindRes(day.ok, day.ng);
    store()->setPlan(day.plan);
    updateData();
}

bool StatisticsWidget::isToday()
{
    return dayList->currentRow() == 0;
}

void StatisticsWidget::showCounts()
{
    if (!store())
        return;
    const struct {
        int label;
        ShiftType shift;
        bool ok;
    } shown[] = {{MorningOk, MorningShift, true}, {MorningNg, MorningShift, false},
                 {NightOk, NightShift, true},     {NightNg, NightShift, false}};
    for (const auto& s : shown)
        counts[s.label]->setText(QString::number(store()->getCount(s.shift, s.ok)));
    const int ok = store()->getCount(WholeDay, true);
    const int ng = store()->getCount(WholeDay, false);
    counts[Total]->setText(QString::number(qint64(ok) + ng));
    counts[TotalNg]->setText(QString::number(ng));
    counts[Rate]->setText(RateText(ok, ng));
}

void StatisticsWidget::updateData()
{
    showCounts();
    if (store()) {
        morning->modifyDataAxisY(store()->getRes(MorningShift, true), store()->getRes(MorningShift, false));
        night->modifyDataAxisY(store()->getRes(NightShift, true), store()->getRes(NightShift, false));
        const QString plan = QString::number(store()->getPlan());
        if (planEdit->text() != plan)
            planEdit->setText(plan);
    }
    dateTime->setText(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss")));
    cycle->setText(CycleText(ports.cycleTenths()));
    temperature->updateTemp(boardTemperatures().data());
    ports.temperatureAlarm(temperature->judgeTemperature());
    update();
}

void StatisticsWidget::slotTimeout()
{
    updateData();
}

void StatisticsWidget::slotPlanChange(const QString&)
{
    if (!isToday() || !store())
        return;
    const int v = planEdit->value();
    store()->setCurPlan(v);
    store()->setPlan(v);
}

void StatisticsWidget::SlotExportData()
{
    if (!ports.ask(LanStr(kTextExportAsk)))
        return;
    QString disk = ports.findDisk();
    while (disk.isEmpty()) {
        if (!ports.ask(LanStr(kTextNoDisk)))
            return;
        disk = ports.findDisk();
    }
    ExportedDay day;
    day.day = dayList->currentItem() ? dayList->currentItem()->text() : QString();
    if (store()) {
        day.ok = store()->getRes(WholeDay, true);
        day.ng = store()->getRes(WholeDay, false);
        day.plan = store()->getPlan();
    }
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh.mm.ss"));
    const bool written = WriteExport(disk, stamp, ExportText(day));
    CommandRunner::run(QStringLiteral("umount"), {disk});
    ports.warn(LanStr(written ? kTextExportDone : kTextExportFailed));
}

void StatisticsWidget::slotConfirm()
{
    hide();
}
