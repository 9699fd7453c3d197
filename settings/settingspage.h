#pragma once
// A page of the settings screen. Pages that edit settings load their
// controls from the editing copy on every showing (WizardParaInit) and store
// them back when the operator leaves (accept); the others show data of
// their own.

#include <QWidget>

class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPage(QWidget* parent = nullptr)
        : QWidget(parent)
    {
    }
    virtual void WizardParaInit() {}
    virtual void accept() {}
};
