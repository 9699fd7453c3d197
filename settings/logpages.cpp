#include "settings/logpages.h"

#include "core/texttable.h"
#include "network/network.h"
#include "screen/operationrecord.h"
#include "widgets/pagecontrolbar.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kReminderReply = 17;
const int kLogWidths[] = {120, 125, 1330};
const int kLogHeaders[] = {288, 289, 290};
const int kReminderWidths[] = {150, 200, 200, 150, 400};
const char* const kReminderHeaders[] = {"操作者", "创建时间", "提醒时间", "持续时间(min)", "提醒事项名称"};
const char* const kTouchScrollBars =
    "QScrollBar:vertical{width:30px;background:transparent;background-color:rgb(246, 248, 248);"
    "margin:2px,2px,2px,2px;padding-top:0px;padding-bottom:0px;}"
    "QScrollBar:horizontal{height:30px;background:transparent;background-color:rgb(248, 248, 248);"
    "padding-left:30px;padding-right:30px;}"
    "QScrollBar::handle{height:30px;background:lightgray; border:2px solid transparent; border-radius:5px;}";

QFont tableFont()
{
    QFont font{QLatin1String(kFontMicroHei)};
    font.setPixelSize(15);
    return font;
}

QFont cellFont()
{
    QFont font{QLatin1String(kFontMicroHei)};
    font.setPointSize(15);
    return font;
}

// An archived day on a read-only connection of its own; closed when the
// file is not there or does not open.
QSqlDatabase openDay(const QString& file)
{
    QSqlDatabase db = QSqlDatabase::contains(QLatin1String(RecordLog::kDayConnection))
        ? QSqlDatabase::database(QLatin1String(RecordLog::kDayConnection), false)
        : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(RecordLog::kDayConnection));
    db.close();
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (QFileInfo(file).isFile())
        db.open();
    return db;
}

}  // namespace

TablePager::TablePager(QTableView* table, PageControlBar* bar)
    : QObject(table)
    , table(table)
    , bar(bar)
{
    table->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    connect(bar, &PageControlBar::pageRequested, this, &TablePager::pageTo);
    connect(table->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int first) { this->bar->setPage(paging.pageOf(first), paging.pages()); });
}

void TablePager::measure()
{
    const int rows = table->model() ? table->model()->rowCount() : 0;
    paging.measure(rows, rows > 0 ? table->rowHeight(0) : 0, table->viewport()->height());
}

void TablePager::reset()
{
    measure();
    table->scrollToTop();
    bar->setPage(1, paging.pages());
}

void TablePager::pageTo(int page)
{
    measure();
    table->verticalScrollBar()->setValue(paging.firstRow(page));
    bar->setPage(page, paging.pages());
}

SystemLogWidget::SystemLogWidget(QWidget* parent)
    : SettingsPage(parent)
    , archiveDir(QString::fromLatin1(kRecordArchiveDir))
    , dayList(new QListWidget(this))
    , view(new QTableView(this))
    , bar(new PageControlBar(this))
    , model(new QSqlQueryModel(this))
    , pager(new TablePager(view, bar))
{
    setStyleSheet(QLatin1String(kTouchScrollBars));
    dayList->setObjectName(QStringLiteral("recordDays"));
    dayList->setFixedSize(200, 810);
    dayList->setFont(tableFont());
    view->setObjectName(QStringLiteral("recordLines"));
    view->setFixedSize(1170, 810);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFont(tableFont());
    view->verticalHeader()->hide();
    view->setModel(model);

    auto* caption = new QLabel(this);
    caption->setStyleSheet(QStringLiteral("font-size:20px;color:#656263;"));
    auto* top = new QHBoxLayout;
    top->setSpacing(0);
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(dayList);
    top->addWidget(view);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(0);
    bottom->setContentsMargins(10, 10, 10, 10);
    bottom->addWidget(caption);
    bottom->addWidget(bar);
    bottom->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(top);
    column->addLayout(bottom);
    column->addStretch(1);

    connect(dayList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { showDay(dayList->row(item)); });
}

SystemLogWidget::~SystemLogWidget()
{
    model->clear();
}

void SystemLogWidget::showDays()
{
    dayList->clear();
    dayList->addItems(RecordLog::Days(QDate::currentDate(), archiveDir));
    dayList->setCurrentRow(0);
    showDay(0);
}

void SystemLogWidget::showDay(int row)
{
    model->clear();
    QSqlDatabase db = row == 0 ? QSqlDatabase::database(QLatin1String(RecordLog::kLiveConnection), false)
                               : openDay(RecordLog::DayFile(archiveDir, dayList->item(row)->text()));
    if (db.isOpen()) {
        model->setQuery(QSqlQuery(QLatin1String(RecordLog::kSelectDay), db));
        while (model->canFetchMore())
            model->fetchMore();
        for (int c = 0; c < 3; ++c) {
            model->setHeaderData(c, Qt::Horizontal, LanStr(kLogHeaders[c]), Qt::EditRole);
            view->setColumnWidth(c, kLogWidths[c]);
        }
    }
    pager->reset();
}

void SystemLogWidget::showEvent(QShowEvent* event)
{
    SettingsPage::showEvent(event);
    pager->reset();
}

MemorandumWidget::MemorandumWidget(QWidget* parent)
    : SettingsPage(parent)
    , view(new QTableView(this))
    , model(new QStandardItemModel(0, 5, this))
    , bar(new PageControlBar(this))
    , pager(new TablePager(view, bar))
{
    setStyleSheet(QLatin1String(kTouchScrollBars));
    view->setObjectName(QStringLiteral("reminders"));
    view->setFixedSize(1370, 810);
    view->setModel(model);
    for (int c = 0; c < 5; ++c) {
        model->setHeaderData(c, Qt::Horizontal, QString::fromUtf8(kReminderHeaders[c]), Qt::EditRole);
        view->setColumnWidth(c, kReminderWidths[c]);
    }
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addStretch(1);
    column->addWidget(view);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(bar);
    bottom->addStretch(1);
    column->addLayout(bottom);

    if (gpNet) {
        gpNet->setSessionHandler(kReminderReply, [page = QPointer<MemorandumWidget>(this)](const QString& body) {
            if (page)
                page->cnt_reset_remind(body);
        });
    }
}

void MemorandumWidget::cnt_reset_remind(const QString& body)
{
    QList<QStringList> rows;
    if (!isVisible() || !Memorandum::ParseReminders(body, &rows) || rows.isEmpty())
        return;
    model->removeRows(0, model->rowCount());
    for (int r = 0; r < rows.size(); ++r) {
        model->insertRow(r);
        for (int c = 0; c < rows[r].size(); ++c) {
            auto* item = new QStandardItem(rows[r][c]);
            item->setFont(cellFont());
            item->setTextAlignment(Qt::AlignCenter);
            model->setItem(r, c, item);
        }
    }
    pager->reset();
}
