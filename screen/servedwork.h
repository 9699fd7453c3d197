#pragma once
// Work the GUI thread waits for without stopping: it runs on a thread of its
// own while the GUI thread serves its events, except user input and socket
// notifications (those wait until the work is done). What the work throws
// is thrown again to the caller.

#include <functional>

void RunServingEvents(const std::function<void()>& work);
