#include "tests/e2e/xscreen.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdlib>
#include <csignal>

namespace {
constexpr int kStartMs = 10000;
const QRect kScreen(0, 0, 1920, 1080);
}  // namespace

XScreen::XScreen(int number)
    : name(QStringLiteral(":%1").arg(number))
{
    if (up())
        return;
    QProcess::startDetached(QStringLiteral("Xvfb"),
                            {name, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"}, QString(), &server);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < kStartMs && !up())
        QThread::msleep(100);
}

XScreen::~XScreen()
{
    if (server > 0)
        ::kill(pid_t(server), SIGTERM);
}

QString XScreen::run(const QStringList& args, int ms) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", name);
    p.setProcessEnvironment(env);
    p.start(args.first(), args.mid(1));
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished(1000);
        return QString();
    }
    return p.exitCode() == 0 ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

bool XScreen::up() const
{
    return !run({"xdotool", "getdisplaygeometry"}, 2000).isEmpty();
}

bool XScreen::click(int x, int y)
{
    const bool moved = QProcess::execute("env", {"DISPLAY=" + name, "xdotool", "mousemove", "--sync",
                                                 QString::number(x), QString::number(y)}) == 0;
    QThread::msleep(50);
    return moved && QProcess::execute("env", {"DISPLAY=" + name, "xdotool", "click", "1"}) == 0;
}

bool XScreen::drag(const QPoint& from, const QPoint& to)
{
    auto xdotool = [this](const QStringList& args) {
        return QProcess::execute("env", QStringList{"DISPLAY=" + name, "xdotool"} + args) == 0;
    };
    auto moveTo = [&](const QPoint& p) {
        return xdotool({"mousemove", "--sync", QString::number(p.x()), QString::number(p.y())});
    };
    if (!moveTo(from) || !xdotool({"mousedown", "1"}))
        return false;
    const QPoint d = to - from;
    const int steps = std::max(std::abs(d.x()), std::abs(d.y())) / 20 + 1;
    bool ok = true;
    for (int i = 1; i <= steps && ok; ++i) {
        QThread::msleep(20);
        ok = moveTo(from + d * i / steps);
    }
    QThread::msleep(50);
    return xdotool({"mouseup", "1"}) && ok;
}

bool XScreen::type(const QString& text)
{
    return QProcess::execute("env", {"DISPLAY=" + name, "xdotool", "type", "--delay", "50", text}) == 0;
}

QVector<QRect> XScreen::windows(qint64 pid) const
{
    QVector<QRect> found;
    const QStringList ids =
        run({"xdotool", "search", "--onlyvisible", "--pid", QString::number(pid)}).split('\n', Qt::SkipEmptyParts);
    for (const QString& id : ids) {
        QRect place;
        for (const QString& line : run({"xdotool", "getwindowgeometry", "--shell", id}).split('\n')) {
            const QString value = line.section('=', 1);
            if (line.startsWith("X="))
                place.moveLeft(value.toInt());
            else if (line.startsWith("Y="))
                place.moveTop(value.toInt());
            else if (line.startsWith("WIDTH="))
                place.setWidth(value.toInt());
            else if (line.startsWith("HEIGHT="))
                place.setHeight(value.toInt());
        }
        if (place.width() > 1 && place.height() > 1)
            found << place;
    }
    std::sort(found.begin(), found.end(),
              [](const QRect& a, const QRect& b) { return a.width() * a.height() < b.width() * b.height(); });
    return found;
}

QRect XScreen::waitDialog(qint64 pid, int ms) const
{
    QElapsedTimer t;
    t.start();
    do {
        for (const QRect& place : windows(pid)) {
            if (place.width() >= 300 && place.width() < kScreen.width() && place.height() >= 150)
                return place;
        }
        QThread::msleep(100);
    } while (t.elapsed() < ms);
    return QRect();
}

QRect XScreen::waitPopup(qint64 pid, int ms) const
{
    QElapsedTimer t;
    t.start();
    do {
        for (const QRect& place : windows(pid)) {
            if (place.width() < kScreen.width() && place.height() >= 200)
                return place;
        }
        QThread::msleep(100);
    } while (t.elapsed() < ms);
    return QRect();
}

bool XScreen::waitNoDialog(qint64 pid, int ms) const
{
    QElapsedTimer t;
    t.start();
    do {
        const QVector<QRect> shown = windows(pid);
        if (std::none_of(shown.begin(), shown.end(), [](const QRect& r) {
                return r.width() >= 300 && r.width() < kScreen.width() && r.height() >= 150;
            }))
            return true;
        QThread::msleep(100);
    } while (t.elapsed() < ms);
    return false;
}

bool XScreen::shot(const QString& file) const
{
    return QProcess::execute("env", {"DISPLAY=" + name, "import", "-window", "root", file}) == 0;
}
