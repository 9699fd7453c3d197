#pragma once
// The frame of the settings screen: a scrollable column of grouped tab
// buttons on the left, the title of the current tab and the exit button at
// the top right, the pages in a stack below them.

#include "widgets/bwidget.h"

#include <QPixmap>
#include <QVector>

class QLabel;
class QPushButton;
class QStackedLayout;
class QVBoxLayout;

class BVerticalTabBar : public BWidget
{
    Q_OBJECT
public:
    explicit BVerticalTabBar(QWidget* parent = nullptr);

    // Adds a group of tabs with their pages; the first group shows its first
    // page. Vectors that are empty or differ in length add nothing.
    void addWidgetGroup(QPixmap& icon, QVector<QString> names, QVector<QWidget*> pages);

    QPushButton* tabButtonAt(int index) const { return tabButtons.value(index); }
    QPushButton* exitSetupButton() const { return exitButton; }
    QString currentTitle() const;
    int currentIndex() const;
    int groupCount() const { return groups; }
    QVBoxLayout* columnLayout() const { return column; }

signals:
    void Save_changes();
    void recordshow();
    void Memorandum();
    void DeviPara();
    void Exitsetup();

public slots:
    void tabBtnPressed();
    void systemExit();

private:
    QStackedLayout* pageStack = nullptr;
    QVector<QString> tabNames;
    QVector<QPushButton*> tabButtons;
    QVector<QWidget*> tabPages;
    int groups = 0;
    QWidget* columnWidget = nullptr;
    QLabel* titleLabel = nullptr;
    QPushButton* exitButton = nullptr;
    QVBoxLayout* column = nullptr;
};
