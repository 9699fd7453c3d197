#pragma once
// Shared dialogs: a warning with one confirm button and a yes/no question.

#include <QDialog>

class QLabel;

class WarnBox : public QDialog
{
    Q_OBJECT
public:
    explicit WarnBox(const QString& title, QWidget* parent = nullptr);
    void setText(const QString& text);

private:
    QLabel* textLabel = nullptr;
};

class ChooseBox : public QDialog
{
    Q_OBJECT
public:
    explicit ChooseBox(const QString& title, QWidget* parent = nullptr);
    void setText(const QString& text);

private:
    QLabel* textLabel = nullptr;
};

// Builds a box for one call, runs it modally and, for the question, returns
// true for yes.
void showWarnBox(const QString& text);
bool showChooseBox(const QString& text);

extern WarnBox* gpWarnBox;
extern ChooseBox* gpChooseBox;
