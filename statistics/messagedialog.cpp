#include "statistics/messagedialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kFlatButton = "outline:0px;border:none;font-size:32px;color:white;background-color:%1;";

struct ButtonKind {
    int bit;
    const char* text;
    QString style;
    void (*action)(QDialog*);
};

void closeDialog(QDialog* d)
{
    d->close();
}
void rejectDialog(QDialog* d)
{
    d->reject();
}
void acceptDialog(QDialog* d)
{
    d->accept();
}

QList<ButtonKind> buttonKinds()
{
    const QString flat = QLatin1String(kFlatButton);
    return {
        {MessageDialog::Ok, "OK", flat.arg(QLatin1String("#8BC34A")), closeDialog},
        {MessageDialog::No, "No", flat.arg(QLatin1String("#E91E63")), rejectDialog},
        {MessageDialog::Cancel, "Cancel", QStringLiteral("font-size:32px;color:white;background-color:#9C27B0;"),
         closeDialog},
        {MessageDialog::Yes, "Yes", flat.arg(QLatin1String("#8BC34A")), acceptDialog},
    };
}

}  // namespace

MessageDialog::MessageDialog(const QString& title, const QString& message, int buttons, QWidget* parent)
    : QDialog(parent)
{
    auto* bar = new QWidget(this);
    bar->setFixedSize(500, 60);
    bar->setStyleSheet(QStringLiteral("color:white;background-color:rgb(80,80,80);font-size:32px"));
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(8, 0, 8, 0);
    auto* titleLabel = new QLabel(title, bar);
    titleLabel->setFixedHeight(60);
    row->addWidget(titleLabel);
    row->addStretch();
    for (const ButtonKind& kind : buttonKinds()) {
        if (!(buttons & kind.bit))
            continue;
        auto* button = new QPushButton(QCoreApplication::translate("MessageDialog", kind.text), bar);
        button->setFixedSize(100, 50);
        button->setStyleSheet(kind.style);
        const auto action = kind.action;
        connect(button, &QPushButton::pressed, this, [this, action] { action(this); });
        row->addWidget(button);
    }

    auto* text = new QLabel(message, this);
    text->setObjectName(QStringLiteral("message"));
    text->setWordWrap(true);
    text->setMargin(10);
    text->setStyleSheet(QStringLiteral("font-size:28px;color:white;"));
    text->setAlignment(Qt::AlignCenter);

    setFixedSize(500, 400);
    setStyleSheet(QStringLiteral("background-color:gray;"));
    setWindowFlags(Qt::WindowFlags(Qt::CustomizeWindowHint | Qt::FramelessWindowHint));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 5);
    column->addWidget(bar);
    column->addWidget(text);
}

void MessageDialog::resetMessage(const QString& message)
{
    if (auto* text = findChild<QLabel*>(QStringLiteral("message"))) {
        text->setText(message);
        repaint();
    }
}
