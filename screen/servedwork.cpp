#include "screen/servedwork.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <exception>
#include <thread>

void RunServingEvents(const std::function<void()>& work)
{
    if (!QCoreApplication::instance()) {
        work();
        return;
    }
    QEventLoop served;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&served, &QEventLoop::quit, Qt::QueuedConnection);
    });
    served.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}
