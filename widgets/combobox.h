#pragma once
// Combo boxes for touch use: popups are list views, so the item-view rules of
// style sheets (item height) apply to them.

#include <QComboBox>

class QListView;

// Never takes the focus; reports a touch before its popup opens.
class ComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ComboBox(QWidget* parent = nullptr);
    ~ComboBox() override;

    // Replaces the whole style sheet with one giving the popup's item height.
    void setItemHeight(int height);

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListView* listView = nullptr;
};

class BComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit BComboBox(QWidget* parent = nullptr);
};
