#pragma once
// The work of one detection step over several cameras, run in one parallel
// loop: each camera is first prepared (its frame aligned), which says how
// many parts (regions) it has; the parts then run in any order on any
// thread, and the thread that ends a camera's last part finishes it. A
// thread with nothing to take sleeps until a camera is prepared: no loop
// phases, no workers spinning between them, no parallel loops inside it.
//
// Cameras are prepared in order, before any part is taken (the longest
// pieces first). prepare(c) runs before every part(c, p), p = 0..parts - 1,
// each exactly once; finish(c) after all of them. The first exception
// thrown stops the taking of work and is thrown again by RunStepWork.

#include <functional>

struct StepWork {
    std::function<int(int camera)> prepare;   // the number of parts
    std::function<void(int camera, int part)> part;
    std::function<void(int camera)> finish;
};

// Runs the work of cameras 0..cameras - 1 on up to threads threads (the
// calling one among them); threads < 1: OpenCV's number of threads.
void RunStepWork(int cameras, const StepWork& work, int threads = 0);
