#pragma once
// The clock dialog of the settings screen: a date editor and a time editor
// with large touch arrows, Confirm and Cancel. Setting the clocks from the
// chosen moment goes through the command runner.

#include <QDateTime>
#include <QDialog>

class QDateEdit;
class QLabel;
class QTimeEdit;

// Sets the system clock ("date -s"), then the hardware clock ("hwclock
// --systohc"), waiting at most 3 s for each; the results are not looked at.
void SetClocks(const QDateTime& moment);

class EditDateTime : public QWidget
{
    Q_OBJECT
public:
    EditDateTime(const QString& title, QWidget* parent = nullptr);

    // Both editors show the current date and time.
    void ShowDateTime();
    // The moment the editors show.
    QDateTime chosen() const;
    // Sets the system clock, then the hardware clock, to the chosen moment.
    void setSysDateTime();

    QDateEdit* dateEdit = nullptr;
    QTimeEdit* timeEdit = nullptr;

private:
    QLabel* titleLabel = nullptr;
};

class ModifyTimeWidget : public QDialog
{
public:
    ModifyTimeWidget(const QString& title, QWidget* parent = nullptr);

    EditDateTime* editor = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {}
};
