#include "widgets/bmessagebox.h"

#include "core/texttable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

WarnBox* gpWarnBox = nullptr;
ChooseBox* gpChooseBox = nullptr;

namespace {
QLabel* addFrame(QDialog* box, const QString& title, QHBoxLayout** buttons)
{
    auto* outer = new QVBoxLayout(box);
    outer->addWidget(new QLabel(title, box));
    auto* text = new QLabel(box);
    text->setWordWrap(true);
    outer->addWidget(text);
    *buttons = new QHBoxLayout;
    outer->addLayout(*buttons);
    box->setFixedSize(680, 250);
    return text;
}
}  // namespace

WarnBox::WarnBox(const QString& title, QWidget* parent)
    : QDialog(parent)
{
    QHBoxLayout* buttons = nullptr;
    textLabel = addFrame(this, title, &buttons);
    auto* ok = new QPushButton(LanStr(571, 0), this);
    buttons->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void WarnBox::setText(const QString& text)
{
    textLabel->setText(text);
}

ChooseBox::ChooseBox(const QString& title, QWidget* parent)
    : QDialog(parent)
{
    QHBoxLayout* buttons = nullptr;
    textLabel = addFrame(this, title, &buttons);
    auto* yes = new QPushButton(LanStr(572), this);
    auto* no = new QPushButton(LanStr(573), this);
    buttons->addWidget(yes);
    buttons->addWidget(no);
    connect(yes, &QPushButton::clicked, this, &QDialog::accept);
    connect(no, &QPushButton::clicked, this, &QDialog::reject);
}

void ChooseBox::setText(const QString& text)
{
    textLabel->setText(text);
}

void showWarnBox(const QString& text)
{
    WarnBox box(LanStr(568));
    box.setText(text);
    box.exec();
}

bool showChooseBox(const QString& text)
{
    ChooseBox box(LanStr(588));
    box.setText(text);
    return box.exec() == QDialog::Accepted;
}
