#pragma once
// The paging bar below a table: first, previous, page buttons "1" to "4"
// (checkable), the page-number field, next and last. It only reports what
// was pressed; the owner moves the table and tells the bar the page.

#include <QWidget>

class QButtonGroup;
class QLabel;
class QPushButton;

class PageControlBar : public QWidget
{
    Q_OBJECT
public:
    explicit PageControlBar(QWidget* parent = nullptr);
    // Shows page (from 1) of pages; page buttons beyond pages are disabled.
    void setPage(int page, int pages);
    int page() const { return current; }

signals:
    void pageRequested(int page);

private:
    QPushButton* button(const QString& text, int minWidth);

    QButtonGroup* pageButtons = nullptr;
    QLabel* pageField = nullptr;
    int current = 1;
    int count = 1;
};
