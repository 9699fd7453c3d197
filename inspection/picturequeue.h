#pragma once
// Work on the result pictures, done in the order it was posted on one thread
// of its own: a decision that keeps pictures of eight cameras posts their
// drawing, captions and hand-overs to the writer and goes on at once, and
// every picture is still drawn, captioned and handed over in the order the
// decision asked for it.

#include <QImage>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class PictureQueue
{
public:
    // A job gets the thread's canvas, a picture it may draw in and leave as it likes.
    using Job = std::function<void(QImage& canvas)>;

    PictureQueue();
    // Does the jobs posted before, then ends the thread.
    ~PictureQueue();
    PictureQueue(const PictureQueue&) = delete;
    PictureQueue& operator=(const PictureQueue&) = delete;

    void post(Job job);
    // Returns once every job posted before has been done.
    void drain();

private:
    void run();

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Job> jobs;
    bool working = false;
    bool ending = false;
    std::thread thread;   // last: starts once the rest is made
};

// The program's queue of result-picture work, or nullptr when there is none
// (the work is then done at once on the caller's thread).
extern PictureQueue* gpPictureQueue;
// Runs job on gpPictureQueue, or at once.
void PostPictureWork(const PictureQueue::Job& job);
