#include "inspection/stepwork.h"

#include <opencv2/core/utility.hpp>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <utility>
#include <vector>

namespace {

class StepQueue
{
public:
    StepQueue(int cameras, const StepWork& work) : work(work), partsLeft(std::max(cameras, 0), 0) {}

    // One thread's share: takes work until none is left or will come.
    void Serve()
    {
        std::unique_lock<std::mutex> lock(mutex);
        try {
            while (!failed) {
                if (nextCamera < static_cast<int>(partsLeft.size()))
                    prepare(lock, nextCamera++);
                else if (!ready.empty())
                    runPart(lock);
                else if (preparing == 0)
                    return;
                else
                    wake.wait(lock);
            }
        } catch (...) {
            if (!lock.owns_lock())
                lock.lock();
            if (!failed)
                error = std::current_exception();
            failed = true;
            wake.notify_all();
        }
    }

    void RethrowError() const
    {
        if (error)
            std::rethrow_exception(error);
    }

private:
    using Lock = std::unique_lock<std::mutex>;

    void prepare(Lock& lock, int camera)
    {
        ++preparing;
        lock.unlock();
        const int parts = std::max(work.prepare(camera), 0);
        lock.lock();
        --preparing;
        partsLeft[camera] = parts;
        for (int p = 0; p < parts; ++p)
            ready.emplace_back(camera, p);
        wake.notify_all();
        if (parts == 0)
            finish(lock, camera);
    }

    void runPart(Lock& lock)
    {
        const auto [camera, part] = ready.front();
        ready.pop_front();
        lock.unlock();
        work.part(camera, part);
        lock.lock();
        if (--partsLeft[camera] == 0)
            finish(lock, camera);
    }

    void finish(Lock& lock, int camera)
    {
        lock.unlock();
        work.finish(camera);
        lock.lock();
    }

    const StepWork& work;
    std::mutex mutex;
    std::condition_variable wake;
    std::vector<int> partsLeft;                 // per camera, once prepared
    std::deque<std::pair<int, int>> ready;      // (camera, part) of prepared cameras
    int nextCamera = 0;
    int preparing = 0;
    bool failed = false;
    std::exception_ptr error;
};

}  // namespace

void RunStepWork(int cameras, const StepWork& work, int threads)
{
    if (cameras <= 0)
        return;
    StepQueue queue(cameras, work);
    const int n = threads >= 1 ? threads : std::max(cv::getNumThreads(), 1);
    cv::parallel_for_(
        cv::Range(0, n),
        [&](const cv::Range& range) {
            for (int i = range.start; i < range.end; ++i)
                queue.Serve();
        },
        n);
    queue.RethrowError();
}
