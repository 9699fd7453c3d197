#include "widgets/passwordbox.h"

#include "core/hostwindow.h"
#include "core/texttable.h"
#include "core/wizardpara.h"
#include "widgets/blineedit.h"
#include "widgets/dialogframe.h"
#include "widgets/numberinput.h"
#include "widgets/padtarget.h"
#include "widgets/passwordcheck.h"
#include "widgets/skin.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

PasswordBox* gpPasswordBox = nullptr;

namespace {
constexpr int kWrongShown = 2;
}

PasswordBox::PasswordBox(const QString& title, QWidget* parent)
    : QDialog(parent)
    , yes(new QPushButton(LanStr(122), this))
    , cancel(new QPushButton(LanStr(124), this))
    , passwordField(new BLineEdit(this, QString(), QString(), KeyboardNumeric))
    , titleLabel(new QLabel(title, this))
{
    passwordField->setEchoMode(QLineEdit::Password);
    passwordField->setFont(ToolkitFont(kFontMicroHei, 27));
    passwordField->setFixedSize(350, 50);
    connect(passwordField, &QLineEdit::textChanged, this, &PasswordBox::SlotTextChanged);

    QVBoxLayout* right = BuildDialogFrame(this, titleLabel, 120);
    auto* entryRow = new QHBoxLayout;
    entryRow->setSpacing(0);
    entryRow->setContentsMargins(0, 0, 0, 0);
    entryRow->addSpacing(20);
    entryRow->addWidget(IconLabel(this, QStringLiteral(":/img/icons/password.png"), 70));
    entryRow->addSpacing(10);
    entryRow->addWidget(passwordField);
    entryRow->addStretch();
    right->addLayout(entryRow);
    right->addStretch();
    right->addLayout(ButtonRow(yes, cancel));

    connect(yes, &QPushButton::clicked, this, &PasswordBox::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setWindowFlags(Qt::FramelessWindowHint);
    if (gpNumPad)
        connect(gpNumPad, &NumberInput::chkpassword, this, &PasswordBox::accept);
    hide();
}

PasswordBox::~PasswordBox() = default;

void PasswordBox::accept()
{
    // Closing hides the box, and hiding runs the keypad's hide-and-update:
    // never check the same entry twice.
    if (checking)
        return;
    checking = true;
    const QString entry = passwordField->text();
    const QString operatorPassword = gpWPara ? QString::fromUtf8(gpWPara->password) : QString();
    const bool protectionOn = gpWPara && gpWPara->isPswUsed != 0;
    const int level = PasswordLevel(entry, operatorPassword, FactoryCode(protectionOn, PasswordNow()));
    if (level != UserNone) {
        if (gpHost)
            gpHost->setUserLevel(level);
        wrongEntry = 0;
        passwordField->setPlaceholderText(LanStr(125));
        QDialog::accept();
    } else {
        wrongEntry = kWrongShown;
        if (gpHost)
            gpHost->setUserLevel(UserNone);
        passwordField->clear();
        passwordField->setPlaceholderText(LanStr(357));
    }
    checking = false;
}

void PasswordBox::SlotTextChanged(const QString& text)
{
    if (!text.isEmpty()) {
        passwordField->setPlaceholderText(QString());
    } else if (wrongEntry == kWrongShown) {
        passwordField->setPlaceholderText(LanStr(357));
        wrongEntry = 0;
    } else {
        passwordField->setPlaceholderText(LanStr(125));
    }
}

void PasswordBox::mouseReleaseEvent(QMouseEvent*)
{
    if (gpNumPad)
        gpNumPad->HideUpdate();
}

void PasswordBox::paintEvent(QPaintEvent*)
{
}

void PasswordBox::showEvent(QShowEvent* event)
{
    setGeometry(DialogBoxGeometry(this));
    passwordField->clear();
    passwordField->setPlaceholderText(LanStr(125));
    QDialog::showEvent(event);
}

void PasswordBox::hideEvent(QHideEvent* event)
{
    if (QLineEdit* target = PadTarget()) {
        target->clearFocus();
        SetPadTarget(nullptr);
    }
    if (gpNumPad)
        gpNumPad->HideUpdate();
    QDialog::hideEvent(event);
}
