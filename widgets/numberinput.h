#pragma once
// The docked numeric keypad (gpNumPad): a child widget that a touched field
// docks next to itself; its keys write into the keypads' target field
// without taking the focus.

#include <QWidget>

class QButtonGroup;
class QPushButton;

class NumberInput : public QWidget
{
    Q_OBJECT
public:
    explicit NumberInput(QWidget* parent = nullptr);

    QPushButton* digitKey(int id) const;   // id 0 is "1", 8 is "9", 9 is "0"
    QPushButton* confirmKey() const { return confirm; }
    QPushButton* backspaceKey() const { return backspace; }

signals:
    // Confirm while the shared password box is visible: check the entry.
    void chkpassword();

public slots:
    void setContent(int id);
    void eraseContent();
    void eraseAll();
    void HideUpdate();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QButtonGroup* digits = nullptr;
    QPushButton* confirm = nullptr;
    QPushButton* backspace = nullptr;
    bool replaceNext = true;
};

extern NumberInput* gpNumPad;
