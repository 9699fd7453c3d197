#include "widgets/keyboard.h"

#include "core/texttable.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <memory>

namespace {
// %1 is the dialog's class name.
const char* const kKeyboardSheet =
    "%1{background-color:#e9e9e9;}QLabel{font-size:26px;color:#656263;}"
    "QLineEdit{height:60px;font-size:36px;color:#2b418a;background-color:#ffffff;border-width:1px;"
    "border-style:solid;border-color:#696667;}"
    "QPushButton{width:73px;height:73px;background-color:#ffffff;border-width:1px;border-style:solid;"
    "border-color:#696667;color:#575455;font-size:22px;}"
    "QPushButton:pressed{background-color:#656263;color:#ffffff;}";
const char* const kFunctionKeySheet = "background-color:#d2d2d2;";

// Captions of the full keyboard's function keys: the same in every language.
const char* const kLowerCaption = "小写";
const char* const kUpperCaption = "大写";
const char* const kSymbolCaption = "符号";
const char* const kCancelCaption = "取消";
const char* const kConfirmCaption = "确定";
const char* const kBackspaceCaption = "退格";

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

QHBoxLayout* keyRow(const QString& captions, const std::function<QPushButton*(const QString&)>& add)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(23);
    for (const QChar c : captions)
        row->addWidget(add(QString(c)));
    return row;
}
}  // namespace

KeyboardDialog::KeyboardDialog(const QString& title, const QString& hint, const QString& text, QWidget* parent,
                               const char* selector)
    : QDialog(parent)
    , titleLabel(new QLabel(title, this))
    , hintLabel(new QLabel(hint, this))
    , input(new QLineEdit(text, this))
    , closeBtn(new QPushButton(this))
{
    setStyleSheet(utf8(kKeyboardSheet).arg(QLatin1String(selector)));
    hintLabel->setStyleSheet(QStringLiteral("font-size:18px;"));
    input->setAlignment(Qt::AlignRight);
    closeBtn->setIcon(QIcon(QStringLiteral(":/img/icons/close.png")));
    closeBtn->setStyleSheet(QStringLiteral("width:32px;height:32px;icon-size: 32px 32px;border-style:none;"));
    connect(closeBtn, &QPushButton::pressed, this, &KeyboardDialog::btnPressed);
}

QString KeyboardDialog::getText() const
{
    return input->text();
}

QPushButton* KeyboardDialog::addKey(const QString& caption)
{
    auto* key = new QPushButton(caption, this);
    connect(key, &QPushButton::pressed, this, &KeyboardDialog::btnPressed);
    return key;
}

QPushButton* KeyboardDialog::addFunctionKey(const QString& caption)
{
    QPushButton* key = addKey(caption);
    key->setStyleSheet(QLatin1String(kFunctionKeySheet));
    return key;
}

QList<QPushButton*> KeyboardDialog::characterKeys() const
{
    QList<QPushButton*> keys;
    for (QPushButton* key : findChildren<QPushButton*>())
        if (key->text().length() == 1)
            keys.append(key);
    return keys;
}

bool KeyboardDialog::handleKey(QPushButton*)
{
    return false;
}

void KeyboardDialog::btnPressed()
{
    auto* key = qobject_cast<QPushButton*>(sender());
    if (!key)
        return;
    if (key == closeBtn || key == cancelBtn) {
        reject();
    } else if (key == confirmBtn) {
        if (!input->text().trimmed().isEmpty())
            accept();
    } else if (key == bsBtn) {
        // The last character goes, wherever the cursor stands.
        const QString text = input->text();
        if (!text.isEmpty())
            input->setText(text.left(text.length() - 1));
    } else if (!handleKey(key)) {
        input->insert(key->text());
    }
}

DigitalKeyboard::DigitalKeyboard(const QString& title, const QString& hint, const QString& text, QWidget* parent)
    : KeyboardDialog(title, hint, text, parent, "DigitalKeyboard")
{
    cancelBtn = addFunctionKey(LanStr(124));
    confirmBtn = addFunctionKey(LanStr(121));
    confirmBtn->setFixedHeight(168);
    bsBtn = addFunctionKey(LanStr(157));
    bsBtn->setFixedHeight(168);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(25, 25, 25, 25);
    grid->setHorizontalSpacing(22);
    grid->setVerticalSpacing(22);
    grid->addWidget(titleLabel, 0, 0, 1, 4, Qt::AlignLeft);
    grid->addWidget(closeBtn, 0, 0, 1, 4, Qt::AlignRight);
    grid->addWidget(input, 1, 0, 1, 4);
    const char* const digits = "789456123";
    for (int i = 0; i < 9; ++i)
        grid->addWidget(addKey(QString(QLatin1Char(digits[i]))), 2 + i / 3, i % 3);
    grid->addWidget(bsBtn, 2, 3, 2, 1);
    grid->addWidget(confirmBtn, 4, 3, 2, 1);
    grid->addWidget(cancelBtn, 5, 0);
    grid->addWidget(addKey(QStringLiteral("0")), 5, 1);
    grid->addWidget(addKey(QStringLiteral(".")), 5, 2);
    grid->addWidget(hintLabel, 6, 0, 1, 4, Qt::AlignLeft);

    setFixedSize(416, 586);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
}

FullKeyboard::FullKeyboard(const QString& title, const QString& hint, const QString& text, QWidget* parent)
    : KeyboardDialog(title, hint, text, parent, "FullKeyboard")
{
    caseKey = addFunctionKey(utf8(kLowerCaption));
    caseKey->setCheckable(true);
    caseKey->setChecked(true);
    symbolKey = addFunctionKey(utf8(kSymbolCaption));
    cancelBtn = addFunctionKey(utf8(kCancelCaption));
    cancelBtn->setFixedWidth(122);
    confirmBtn = addFunctionKey(utf8(kConfirmCaption));
    confirmBtn->setFixedWidth(122);
    bsBtn = addFunctionKey(utf8(kBackspaceCaption));
    input->setFixedWidth(380);

    const auto add = [this](const QString& caption) { return addKey(caption); };
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(25, 25, 25, 10);
    column->setSpacing(18);

    auto* top = new QHBoxLayout;
    top->addWidget(titleLabel, 0, Qt::AlignLeft);
    top->addWidget(input, 1);
    top->addWidget(closeBtn, 0, Qt::AlignRight);
    column->addLayout(top);
    column->addStretch();

    column->addLayout(keyRow(QStringLiteral("1234567890_"), add));
    column->addLayout(keyRow(QStringLiteral("QWERTYUIOP"), add));
    QHBoxLayout* middle = keyRow(QStringLiteral("ASDFGHJKL"), add);
    middle->insertWidget(0, caseKey);
    middle->addWidget(symbolKey);
    column->addLayout(middle);
    QHBoxLayout* bottom = keyRow(QStringLiteral("ZXCVBNM"), add);
    bottom->insertWidget(0, cancelBtn);
    bottom->addWidget(bsBtn);
    bottom->addWidget(confirmBtn);
    column->addLayout(bottom);
    column->addWidget(hintLabel, 0, Qt::AlignLeft);

    setFixedSize(1112, 520);
    setWindowFlags(Qt::FramelessWindowHint);
}

bool FullKeyboard::handleKey(QPushButton* key)
{
    if (key == symbolKey)
        return true;
    if (key != caseKey)
        return false;
    // The key toggles on release: its state now is the one before this press.
    const bool toLower = caseKey->isChecked();
    for (QPushButton* k : characterKeys())
        k->setText(toLower ? k->text().toLower() : k->text().toUpper());
    caseKey->setText(utf8(toLower ? kUpperCaption : kLowerCaption));
    return true;
}

bool RunKeyboard(int type, const QString& title, const QString& hint, const QString& text, QString* result)
{
    std::unique_ptr<KeyboardDialog> keyboard;
    if (type == KeyboardNumeric)
        keyboard = std::make_unique<DigitalKeyboard>(title, hint, text);
    else
        keyboard = std::make_unique<FullKeyboard>(title, hint, text);
    if (keyboard->exec() != QDialog::Accepted)
        return false;
    *result = keyboard->getText();
    return true;
}
