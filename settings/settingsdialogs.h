#pragma once
// The small windows of the settings screens: the custom IO names, the
// camera order, the hardware sheet, the help page and the light-settings
// dialog. Their rules live in IoAssignment and dialogrules.h.

#include "settings/dialogrules.h"
#include "settings/settingspage.h"

#include <QDialog>
#include <QMap>
#include <QPixmap>
#include <QVector>

#include <functional>

class ColorButton;
class ComboBox;
class IOWidget;
class QGridLayout;
class QLabel;
class QPushButton;
class SystemSettingWidget;

// The help page shown (from 0); other screens choose it before showing help.
extern int gHelpC;

// Names for the eight trigger inputs and eight step outputs of the IO
// assignment, chosen from the fixed name tables.
class CustomIONameWidget : public QWidget
{
    Q_OBJECT
public:
    // hub: the settings screen whose IO assignment the names belong to.
    CustomIONameWidget(QWidget* parent, SystemSettingWidget* hub);
    // The boxes from the IO assignment's names (once, at start).
    void init();
    ComboBox* inputBox(int column) const { return inputs[column]; }
    ComboBox* outputBox(int column) const { return outputs[column]; }
    QLabel* inputCaption(int column) const { return inputCaptions[column]; }
    ColorButton* confirmButton() const { return confirm; }

public slots:
    void accept();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    SystemSettingWidget* hub = nullptr;
    ComboBox* inputs[8] = {};
    ComboBox* outputs[8] = {};
    QLabel* inputCaptions[8] = {};
    QLabel* outputCaptions[8] = {};
    ColorButton* confirm = nullptr;
};

// For each camera view, the position its camera takes at the next start.
class WidgetChangeCamera : public QWidget
{
    Q_OBJECT
public:
    // views: the camera views in use; shutDown: run after the order is stored.
    WidgetChangeCamera(QWidget* parent, int views, std::function<void()> shutDown);
    ComboBox* positionBox(int view) const { return boxes.value(view); }
    ColorButton* confirmButton() const { return confirm; }

public slots:
    void SetCameraNO(int view, int index);
    void SlotOK();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<ComboBox*> boxes;
    ColorButton* confirm = nullptr;
    std::function<void()> shutDown;
};

// The hardware configuration of "conf.txt", with the number of cameras in use.
class HardwareConfigurationWidget : public QWidget
{
    Q_OBJECT
public:
    // back: shows the settings screen again after the confirm button.
    HardwareConfigurationWidget(QWidget* parent, std::function<void()> back);
    static void loadConfiguration(ConfEntries& entries);
    static void loadConfiguration(QMap<QString, QString>& entries);
    QLabel* countLabel() const { return count; }
    ColorButton* confirmButton() const { return confirm; }

public slots:
    void slotConfirm();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    ColorButton* confirm = nullptr;
    QLabel* count = nullptr;
    QGridLayout* grid = nullptr;
    std::function<void()> back;
};

// Help pictures, one page at a time.
class HelpWidget : public SettingsPage
{
    Q_OBJECT
public:
    static constexpr int kMaxPages = 50;
    explicit HelpWidget(QWidget* parent = nullptr);
    int pageCount() const { return pictures.size(); }
    // The picture the current page shows.
    int shownPage() const;
    QPushButton* button(int i) const { return buttons.value(i); }

public slots:
    void SlotReturn();
    void SlotNext();
    void SlotLast();
    void SlotAlarm();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    HelpPaging paging() const { return HelpPaging{pictures.size()}; }

    QVector<QPixmap> pictures;
    QVector<QPushButton*> buttons;
};

// A frameless dialog with a title bar holding OK and Cancel.
class lightsettingdialog : public QDialog
{
    Q_OBJECT
public:
    explicit lightsettingdialog(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const;

private:
    QLabel* title = nullptr;
};
