// The thread that serves the file requests, one at a time. The service's
// main thread keeps the bus: it takes every request off the bus as it
// arrives and sends every reply, also while a request is being served here
// (a large write takes a while), so the bus never holds a full queue for the
// service. Only one thing touches the files at a time: a request here, or
// else (while this thread has nothing in hand) a walk's merge on the main
// thread.
#pragma once

#include "UniqueFd.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace zrk {

class RequestWorker {
public:
    using Job = std::function<std::string()>;

    RequestWorker();
    // Waits for the job in hand, then ends the thread.
    ~RequestWorker();
    RequestWorker(const RequestWorker&) = delete;
    RequestWorker& operator=(const RequestWorker&) = delete;

    // Hands the thread a job; only while it has none in hand.
    void start(Job job);
    // A job is in hand, done or not, until its result is taken.
    bool busy() const { return busy_; }
    // Readable once the job in hand is done.
    int doneFd() const { return done_.get(); }
    // The result of the job in hand once it is done; nothing before.
    std::optional<std::string> takeResult();

private:
    void run();

    UniqueFd done_; // an eventfd
    bool busy_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> job_;
    std::optional<std::string> result_;
    bool ending_ = false;
    std::thread thread_;
};

} // namespace zrk
