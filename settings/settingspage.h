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

// A page whose controls are not built yet: it says so, and counts the
// loads and stores it is asked for.
class PendingPage : public SettingsPage
{
    Q_OBJECT
public:
    PendingPage(const QString& title, QWidget* parent = nullptr);
    void WizardParaInit() override { ++loads; }
    void accept() override { ++stores; }

    int loads = 0;
    int stores = 0;
};
