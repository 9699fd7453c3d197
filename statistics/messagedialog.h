#pragma once
// A small frameless dialog: a dark title bar with the title and up to four
// buttons, chosen by bits, and a message below it.

#include <QDialog>

class MessageDialog : public QDialog
{
    Q_OBJECT
public:
    // Button bits, laid out in this order: OK and Cancel close the dialog,
    // No rejects it, Yes accepts it; each acts when pressed.
    enum Button { Ok = 0x1, No = 0x100, Cancel = 0x1000, Yes = 0x10 };

    MessageDialog(const QString& title, const QString& message, int buttons, QWidget* parent = nullptr);
    void resetMessage(const QString& message);
};
