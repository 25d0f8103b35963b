#include "RequestWorker.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

namespace zrk {

RequestWorker::RequestWorker() : done_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (!done_.valid()) {
        throw std::runtime_error("eventfd failed");
    }
    thread_ = std::thread([this] { run(); });
}

RequestWorker::~RequestWorker() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void RequestWorker::start(Job job) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        job_ = std::move(job);
        result_.reset();
    }
    busy_ = true;
    wake_.notify_one();
}

std::optional<std::string> RequestWorker::takeResult() {
    std::uint64_t count = 0;
    if (!busy_ || ::read(done_.get(), &count, sizeof count) != sizeof count) {
        return std::nullopt;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    busy_ = false;
    std::optional<std::string> result = std::move(result_);
    result_.reset();
    return result;
}

void RequestWorker::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return ending_ || job_.has_value(); });
        if (!job_) {
            return; // ending, nothing in hand
        }
        Job job = std::move(*job_);
        job_.reset();
        lock.unlock();
        std::string result;
        try {
            result = job();
        } catch (...) {
            // the job's own refusal is its caller's to give
        }
        job = nullptr; // what the job holds goes before the result is taken
        lock.lock();
        result_ = std::move(result);
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(done_.get(), &one, sizeof one);
    }
}

} // namespace zrk
