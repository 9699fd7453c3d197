#include "widgets/numcharinput.h"

#include "core/texttable.h"
#include "widgets/colorbutton.h"
#include "widgets/padtarget.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>

NumCharInput* gpNumCharPad = nullptr;

namespace {
const char* const kDigitRow = "1234567890_";
// The three letter rows (ids 11 to 36) on each page.
const char* const kUpperRows = "QWERTYUIOPASDFGHJKLZXCVBNM";
const char* const kLowerRows = "qwertyuiopasdfghjklzxcvbnm";
const char* const kPunctuationRows = "-=[]\\;',./@#$%^?*()`~!{}:\"";

constexpr int kWidth = 785;
constexpr int kRight = kWidth - 1;

// Character key id: rows start at y 10, 80, 150, 220 with 11, 10, 9, 7 keys.
QRect characterRect(int id)
{
    struct Row {
        int first, y, x;
    };
    static const Row rows[] = {{30, 220, 106}, {21, 150, 62}, {11, 80, 42}, {0, 10, 10}};
    for (const Row& r : rows)
        if (id >= r.first)
            return QRect(r.x + (id - r.first) * 70, r.y, 65, 65);
    return QRect();
}

QRect functionRect(int index)
{
    switch (index) {
    case NumCharInput::PageKey:
        return QRect(kRight - 89, 150, 80, 65);
    case NumCharInput::CaseKey:
        return QRect(10, 220, 80, 65);
    case NumCharInput::BackspaceKey:
        return QRect(kRight - 179, 220, 80, 65);
    default:
        return QRect(kRight - 89, 220, 80, 65);
    }
}

int functionText(int index)
{
    switch (index) {
    case NumCharInput::PageKey:
        return 441;
    case NumCharInput::CaseKey:
        return 158;
    case NumCharInput::BackspaceKey:
        return 157;
    default:
        return 121;
    }
}
}  // namespace

NumCharInput::NumCharInput(QWidget* parent)
    : QWidget(parent)
    , characters(new QButtonGroup(this))
{
    setWindowFlags(Qt::CustomizeWindowHint);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, kWidth, 295);
    const QString firstPage = QLatin1String(kDigitRow) + QLatin1String(kUpperRows);
    for (int i = 0; i < KeyCount; ++i) {
        const bool character = i < PageKey;
        keys[i] = new ColorButton(character ? QString(firstPage.at(i)) : LanStr(functionText(i)), this, 3);
        keys[i]->setFocusPolicy(Qt::NoFocus);
        keys[i]->setGeometry(character ? characterRect(i) : functionRect(i));
        if (character)
            characters->addButton(keys[i], i);
    }
    connect(characters, &QButtonGroup::idClicked, this, &NumCharInput::setContent);
    connect(keys[PageKey], &QPushButton::clicked, this, &NumCharInput::SlotChgChar_Punc);
    connect(keys[CaseKey], &QPushButton::clicked, this, &NumCharInput::SlotCap);
    connect(keys[BackspaceKey], &QPushButton::clicked, this, &NumCharInput::eraseContent);
    connect(keys[ConfirmKey], &QPushButton::clicked, this, &NumCharInput::HideUpdate);
}

void NumCharInput::showLetterRows(const QString& captions)
{
    for (int i = 0; i < captions.length(); ++i) {
        keys[FirstLetterKey + i]->setText(captions.at(i));
        keys[FirstLetterKey + i]->update();
    }
}

void NumCharInput::setPageKey(bool offersSymbols)
{
    pageKeyOffersSymbols = offersSymbols;
    keys[PageKey]->setText(LanStr(offersSymbols ? 441 : 442));
}

void NumCharInput::setCaseKey(bool offersLower)
{
    caseKeyOffersLower = offersLower;
    keys[CaseKey]->setText(LanStr(offersLower ? 158 : 159));
}

void NumCharInput::SlotChgChar_Punc()
{
    const bool toPunctuation = pageKeyOffersSymbols;
    showLetterRows(QLatin1String(toPunctuation ? kPunctuationRows : kUpperRows));
    setPageKey(!toPunctuation);
    setCaseKey(true);
}

void NumCharInput::SlotCap()
{
    const bool toLower = caseKeyOffersLower;
    showLetterRows(QLatin1String(toLower ? kLowerRows : kUpperRows));
    setCaseKey(!toLower);
    setPageKey(true);
}

void NumCharInput::setContent(int id)
{
    QLineEdit* target = PadTarget();
    if (!target || id < 0 || id >= PageKey)
        return;
    target->setText(target->text() + keys[id]->text().left(1));
    target->setCursorPosition(target->text().length());
}

void NumCharInput::eraseContent()
{
    if (QLineEdit* target = PadTarget()) {
        const QString text = target->text();
        target->setText(text.left(text.length() - 1));
    }
}

void NumCharInput::HideUpdate()
{
    if (!isVisible())
        return;
    hide();
    if (QWidget* p = parentWidget())
        p->update();
}

void NumCharInput::mousePressEvent(QMouseEvent*)
{
}

void NumCharInput::mouseReleaseEvent(QMouseEvent*)
{
}

void NumCharInput::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(200, 251, 240));
    painter.setPen(QColor(QStringLiteral("#191532")));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

void NumCharInput::showEvent(QShowEvent* event)
{
    setPageKey(false);
    setCaseKey(true);
    SlotChgChar_Punc();  // lands on the upper-case letters
    QWidget::showEvent(event);
}
