#pragma once
// The settings pages that only show data: the operation-record viewer (a
// list of days and the chosen day's lines, newest first) and the
// memorandum (the server's maintenance reminders). Both tables page by
// whole pages of rows with the paging bar below them.

#include "settings/recordlog.h"
#include "settings/settingspage.h"

class PageControlBar;
class QListWidget;
class QListWidgetItem;
class QSqlQueryModel;
class QStandardItemModel;
class QTableView;

// Connects a paging bar to a table that scrolls row by row.
class TablePager : public QObject
{
    Q_OBJECT
public:
    TablePager(QTableView* table, PageControlBar* bar);
    // Measures the table again (new rows, new size) and shows the top.
    void reset();
    void pageTo(int page);

private:
    void measure();
    QTableView* table;
    PageControlBar* bar;
    RowPaging paging;
};

class SystemLogWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit SystemLogWidget(QWidget* parent = nullptr);
    ~SystemLogWidget() override;

    // The archive of finished days (the operation record's "./RECORD").
    QString archiveDir;

    QListWidget* days() const { return dayList; }
    QTableView* table() const { return view; }
    PageControlBar* pagingBar() const { return bar; }

public slots:
    // Rebuilds the day list and shows today.
    void showDays();
    // Shows the day of that row of the list (row 0: the open record).
    void showDay(int row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QListWidget* dayList = nullptr;
    QTableView* view = nullptr;
    PageControlBar* bar = nullptr;
    QSqlQueryModel* model = nullptr;
    TablePager* pager = nullptr;
};

class MemorandumWidget : public SettingsPage
{
    Q_OBJECT
public:
    explicit MemorandumWidget(QWidget* parent = nullptr);
    QTableView* table() const { return view; }

public slots:
    // Refills the table from a reply with SessionId 17 while the page shows.
    void cnt_reset_remind(const QString& body);

private:
    QTableView* view = nullptr;
    QStandardItemModel* model = nullptr;
    PageControlBar* bar = nullptr;
    TablePager* pager = nullptr;
};
