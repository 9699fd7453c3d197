#pragma once
// Modal on-screen keyboards: a numeric pad and a full keyboard. Keys act when
// pressed. The caller runs exec() and reads getText() after an accept.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Which keyboard a touch field opens: 0 the numeric pad, any other value the full keyboard.
enum KeyboardType { KeyboardNumeric = 0, KeyboardFull = 1 };

class KeyboardDialog : public QDialog
{
    Q_OBJECT
public:
    // The input line's text as it stands, not trimmed.
    QString getText() const;

public slots:
    void btnPressed();

protected:
    KeyboardDialog(const QString& title, const QString& hint, const QString& text, QWidget* parent,
                   const char* selector);
    // A key the subclass handles itself; true when it did.
    virtual bool handleKey(QPushButton* key);
    // A key that types its caption, connected to btnPressed.
    QPushButton* addKey(const QString& caption);
    // A function key with the grey background, connected to btnPressed.
    QPushButton* addFunctionKey(const QString& caption);
    QList<QPushButton*> characterKeys() const;

    QLabel* titleLabel = nullptr;
    QLabel* hintLabel = nullptr;
    QLineEdit* input = nullptr;
    QPushButton* closeBtn = nullptr;
    QPushButton* cancelBtn = nullptr;
    QPushButton* confirmBtn = nullptr;
    QPushButton* bsBtn = nullptr;
};

class DigitalKeyboard : public KeyboardDialog
{
    Q_OBJECT
public:
    DigitalKeyboard(const QString& title, const QString& hint, const QString& text, QWidget* parent = nullptr);
};

class FullKeyboard : public KeyboardDialog
{
    Q_OBJECT
public:
    FullKeyboard(const QString& title, const QString& hint, const QString& text, QWidget* parent = nullptr);

protected:
    bool handleKey(QPushButton* key) override;

private:
    QPushButton* caseKey = nullptr;
    QPushButton* symbolKey = nullptr;
};

// Opens the keyboard of the type, modal and without parent, starting with
// text; true with *result set when it was accepted.
bool RunKeyboard(int type, const QString& title, const QString& hint, const QString& text, QString* result);
