#pragma once
// The main window and run controller: one 1920x1080 frameless screen whose
// constructor runs the whole start-up of the monitor.

#include "core/hostwindow.h"
#include "widgets/bwidget.h"

#include <QSqlDatabase>

class QTimer;

class MainWindow : public BWidget, public HostWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY(MainWindow)

    void Monitor_Init();

    // HostWindow
    QTimer* logoutTimer() override { return logoutTimer_; }
    QTimer* screenOffTimer() override { return lcdTimer; }
    bool lcdOff() const override { return lcdOff_; }
    void setLcdOff(bool off) override { lcdOff_ = off; }
    int userLevel() const override { return userLevel_; }
    void setUserLevel(int level) override { userLevel_ = level; }
    QWidget* padTarget() override { return padTarget_; }
    void setPadTarget(QWidget* field) override { padTarget_ = field; }
    void FLushAll() override;
    void showNotice(const QString& title, const QString& text) override;

    QSqlDatabase paramDb;    // "dbIn", PARAM.db
    QSqlDatabase recordDb;   // "dbRecord", RECORD.db
    QSqlDatabase snDb;       // "dbT", SN.db

    int side = 0;            // side of the two-colour and rotary-table types
    int curDetect = 0;
    int lastStation = 0;

    QTimer* logoutTimer_ = nullptr;
    QTimer* lcdTimer = nullptr;

private:
    void openDatabases();

    bool lcdOff_ = false;
    int userLevel_ = 0;
    QWidget* padTarget_ = nullptr;
};

extern MainWindow* gpWin;
