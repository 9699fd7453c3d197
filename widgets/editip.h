#pragma once
// An IPv4 address editor: a title and four octet fields typed on the numeric
// keypad; a full stop moves on to the next field.

#include <QWidget>

class Edit;
class QHBoxLayout;
class QLabel;

class EditIP : public QWidget
{
    Q_OBJECT
public:
    EditIP(const QString& title, QWidget* parent = nullptr);

    QString getTextIP() const;
    // Puts the dot-separated parts into the fields in order, each as a
    // number from 0 to 255; missing or malformed parts read 0, parts beyond
    // the fourth are ignored.
    void setTextIP(const QString& text);
    using QWidget::setGeometry;
    void setGeometry(int x, int y, int w, int h);
    void setTitleColor(const QColor& colour);

    Edit* octet(int n) const { return fields[n]; }

signals:
    void textchange(const QString& address);

public slots:
    void SlotTextChg_0(const QString& text);
    void SlotTextChg_1(const QString& text);
    void SlotTextChg_2(const QString& text);
    void SlotTextChg_3(const QString& text);
    void SlotPressDot_0();
    void SlotPressDot_1();
    void SlotPressDot_2();

private:
    void octetChanged(int n, const QString& text);
    void dotPressed(int n);

    QLabel* titleLabel = nullptr;
    QLabel* dots[3] = {};
    Edit* fields[4] = {};
    QHBoxLayout* row = nullptr;
    QColor titleColour;
};
