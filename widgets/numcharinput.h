#pragma once
// The docked text keyboard (gpNumCharPad): digits, letters in two cases and a
// punctuation page. It opens on the upper-case letters each time it shows,
// and types into the keypads' target field without taking the focus.

#include <QWidget>

class ColorButton;
class QButtonGroup;

class NumCharInput : public QWidget
{
    Q_OBJECT
public:
    enum Key { FirstLetterKey = 11, KeyCount = 41, PageKey = 37, CaseKey = 38, BackspaceKey = 39, ConfirmKey = 40 };

    explicit NumCharInput(QWidget* parent = nullptr);

    ColorButton* key(int index) const { return keys[index]; }

public slots:
    void SlotChgChar_Punc();
    void setContent(int id);
    void eraseContent();
    void HideUpdate();
    void SlotCap();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showLetterRows(const QString& captions);
    void setPageKey(bool offersSymbols);
    void setCaseKey(bool offersLower);

    QButtonGroup* characters = nullptr;
    ColorButton* keys[KeyCount] = {};
    // What the page and case keys offer: the punctuation page while the page
    // key reads "symbol", the lower case while the case key reads "Lower".
    bool pageKeyOffersSymbols = true;
    bool caseKeyOffersLower = true;
};

extern NumCharInput* gpNumCharPad;
