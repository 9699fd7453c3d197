#pragma once
// Shared dialogs: a warning with one confirm button, a yes/no question and a
// general message box whose buttons are chosen by bits. showWarnBox and
// showChooseBox build a box for one call and run it modally.

#include <QDialog>

class QHBoxLayout;
class QLabel;
class QPushButton;

class WarnBox : public QDialog
{
    Q_OBJECT
public:
    explicit WarnBox(const QString& title, QWidget* parent = nullptr);
    ~WarnBox() override;
    void setText(const QString& text);

    QPushButton* confirmButton() const { return confirm; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Recentres the box and wakes the screen when its backlight is off.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPushButton* confirm = nullptr;
    QLabel* textLabel = nullptr;
    QLabel* titleLabel = nullptr;
};

class ChooseBox : public QDialog
{
    Q_OBJECT
public:
    explicit ChooseBox(const QString& title, QWidget* parent = nullptr);
    ~ChooseBox() override;
    void setText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

    QPushButton* yesButton = nullptr;
    QPushButton* noButton = nullptr;
    QHBoxLayout* buttonRow = nullptr;

private:
    QLabel* textLabel = nullptr;
    QLabel* titleLabel = nullptr;
};

// Icon values 1 to 4 all show the warning icon; others leave its place empty.
enum BMessageBoxIcon { BMsgNoIcon = 0, BMsgInformation = 1, BMsgWarning = 2, BMsgCritical = 3, BMsgQuestion = 4 };
// Button bits of BMessageBox.
enum BMessageBoxButton { BMsgConfirm = 0x1, BMsgCancel = 0x2, BMsgYes = 0x4, BMsgNo = 0x8, BMsgClose = 0x10 };

// exec() gives Accepted for Confirm or YES, Rejected for Cancel, NO or Close.
class BMessageBox : public QDialog
{
    Q_OBJECT
public:
    BMessageBox(const QString& title, const QString& text, int buttons, BMessageBoxIcon icon,
                QWidget* parent = nullptr);
};

// A warning titled "Warning!" (text 568); returns when it is closed.
void showWarnBox(const QString& text);
// A question titled "Confirmation prompt" (text 566); true only for YES.
bool showChooseBox(const QString& text);

extern WarnBox* gpWarnBox;
extern ChooseBox* gpChooseBox;
