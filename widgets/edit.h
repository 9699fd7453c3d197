#pragma once
// A line edit for numbers filled from the docked keypads: it makes itself the
// keypads' target when it gets the focus, docks a keypad next to itself when
// touched, and can clamp its text into a range on every change.

#include <QLineEdit>

class QWidget;

// Bits of Edit's padFlags.
enum PadFlag {
    PadTextKeyboard = 0x2,   // the text keyboard instead of the numeric keypad
    PadInGrandparent = 0x8,  // the keypad goes into the field's grandparent
    PadTwoLevelsUp = 0x10,   // the keypad goes into the parent of the grandparent
};

// Where a keypad of size pad goes under a field at fieldRect (in the
// container's coordinates), in a container of size container, on a display
// area showH high: 5 pixels below the field, pushed left at the container's
// right edge, above the field when it would come within 49 pixels of the
// display area's bottom, and never past the container's bottom.
QPoint KeypadPosition(const QRect& fieldRect, const QSize& pad, const QSize& container, int showH);

class Edit : public QLineEdit
{
    Q_OBJECT
public:
    Edit(int flags, QWidget* parent, int styled);
    ~Edit() override;

    int value() const;
    double valueToDouble() const;
    void setValue(int v);
    void setValue(double v);
    // Clamps the text into min..max from its next change on; -1 in either means none.
    void setRange(int min, int max);
    void init();

    int flags() const { return padFlags; }
    int minimum() const { return rangeMin; }
    int maximum() const { return rangeMax; }

    // A digit typed on the numeric keypad, for fields whose box keeps the
    // value; false when the field takes the digit as text.
    virtual bool enterDigit(int digit, bool replace);

signals:
    void sig_Dot();

public slots:
    void SlotRange(const QString& text);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void focusIn();
    void focusOut();
    void dockKeypad();

    int padFlags = 0;
    int rangeMin = -1;
    int rangeMax = -1;
};
