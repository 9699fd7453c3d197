#include "screen/controlportio.h"

#include "core/controlport.h"
#include "core/iothread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMutex>
#include <QMutexLocker>
#include <QObject>
#include <atomic>

// Lives on the GUI thread; the IO thread posts it an event when the inputs
// change.
class InputChangeRelay : public QObject
{
public:
    explicit InputChangeRelay(std::function<void()> onChange);
    ~InputChangeRelay() override;
    Q_DISABLE_COPY(InputChangeRelay)

    bool event(QEvent* e) override;

private:
    static void post();   // the IO thread's hook

    static const QEvent::Type kChanged;
    static QMutex mutex;                   // guards current against the relay's end
    static InputChangeRelay* current;
    static std::atomic<bool> pending;      // an event is on its way
    std::function<void()> onChange;
};

const QEvent::Type InputChangeRelay::kChanged = QEvent::Type(QEvent::registerEventType());
QMutex InputChangeRelay::mutex;
InputChangeRelay* InputChangeRelay::current = nullptr;
std::atomic<bool> InputChangeRelay::pending{false};

InputChangeRelay::InputChangeRelay(std::function<void()> onChange)
    : onChange(std::move(onChange))
{
    {
        QMutexLocker lock(&mutex);
        current = this;
        pending = false;
    }
    IOThread::setInputHook(post);
}

InputChangeRelay::~InputChangeRelay()
{
    IOThread::setInputHook(nullptr);
    QMutexLocker lock(&mutex);
    if (current == this)
        current = nullptr;
}

void InputChangeRelay::post()
{
    QMutexLocker lock(&mutex);
    if (current && !pending.exchange(true))
        QCoreApplication::postEvent(current, new QEvent(kChanged), Qt::HighEventPriority);
}

bool InputChangeRelay::event(QEvent* e)
{
    if (e->type() != kChanged)
        return QObject::event(e);
    pending = false;
    onChange();
    return true;
}

ControlPortIO::ControlPortIO(ControlPort& port)
    : port(port)
{
}

ControlPortIO::~ControlPortIO() = default;

void ControlPortIO::callOnInputChange(std::function<void()> onChange)
{
    relay.reset();
    relay = std::make_unique<InputChangeRelay>(std::move(onChange));
}

void ControlPortIO::IOSetOut(int i, int on)
{
    port.IOSetOut(i, on);
}

void ControlPortIO::IOResetAllOut()
{
    port.IOResetAllOut();
}

void ControlPortIO::IOFlashOut()
{
    port.IOFlashOut();
}

bool ControlPortIO::IOInputNow(int i) const
{
    return port.InputNow(i);
}

bool ControlPortIO::IOState(bool isOut, int i) const
{
    return port.IOState(isOut, i);
}

bool ControlPortIO::IOInTrigger(int n)
{
    return port.IOInTrigger(n);
}

bool ControlPortIO::safeDoorOpen() const
{
    return gisSafeDoorOpen;
}

void ControlPortIO::clearSafeDoorOpen()
{
    gisSafeDoorOpen = false;
}
