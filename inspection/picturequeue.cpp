#include "inspection/picturequeue.h"

#include <utility>

PictureQueue* gpPictureQueue = nullptr;

PictureQueue::PictureQueue()
    : thread([this] { run(); })
{
}

PictureQueue::~PictureQueue()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        ending = true;
    }
    changed.notify_all();
    thread.join();
}

void PictureQueue::post(Job job)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        jobs.push_back(std::move(job));
    }
    changed.notify_all();
}

void PictureQueue::drain()
{
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return jobs.empty() && !working; });
}

void PictureQueue::run()
{
    QImage canvas;   // made by the first picture of a decision, reused by the others
    std::unique_lock<std::mutex> lock(mutex);
    for (;;) {
        if (jobs.empty())
            canvas = QImage();   // not kept between decisions
        changed.wait(lock, [this] { return !jobs.empty() || ending; });
        if (jobs.empty())
            return;
        Job job = std::move(jobs.front());
        jobs.pop_front();
        working = true;
        lock.unlock();
        job(canvas);
        job = nullptr;   // what the job holds goes before the queue looks idle
        lock.lock();
        working = false;
        changed.notify_all();
    }
}

void PostPictureWork(const PictureQueue::Job& job)
{
    if (gpPictureQueue) {
        gpPictureQueue->post(job);
        return;
    }
    QImage canvas;
    job(canvas);
}
