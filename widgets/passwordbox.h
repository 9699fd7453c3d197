#pragma once
// The login dialog of the operator screen: the operator password grants the
// operator level, the factory access code the factory level; a wrong entry
// sets no level and keeps the box open. The level goes to the main window.

#include <QDialog>

class BLineEdit;
class QLabel;
class QPushButton;

class PasswordBox : public QDialog
{
    Q_OBJECT
public:
    explicit PasswordBox(const QString& title, QWidget* parent = nullptr);
    ~PasswordBox() override;

    BLineEdit* field() const { return passwordField; }
    QPushButton* yesButton() const { return yes; }
    QPushButton* cancelButton() const { return cancel; }

public slots:
    // The password check; closes the box as accepted on a granted level.
    void accept() override;
    void SlotTextChanged(const QString& text);

protected:
    // A touch released on a free spot of the shared box checks the entry as YES does.
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPushButton* yes = nullptr;
    QPushButton* cancel = nullptr;
    BLineEdit* passwordField = nullptr;
    QLabel* titleLabel = nullptr;
    int wrongEntry = 0;   // 2 after a wrong entry until the placeholder has shown it
    bool checking = false;
};

extern PasswordBox* gpPasswordBox;
