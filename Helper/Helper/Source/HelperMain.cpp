// ZR-K5100Helper: carries one request from the print panel to ProfileService
// on the system bus and prints the reply as one line, "<method>=<reply>".
// The exit status is 0 in every case; no line means the request failed (an
// unknown method, too few values, no service, no reply in time).
#include "HelperRequest.h"
#include "XPCProtocol.h"

#include <sdbus-c++/sdbus-c++.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <optional>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

// Set once the service's answer (or its failure) has been handled.
int g_LoopFlag = 0;

// A reply that could not be printed as one line counts as none.
constexpr std::size_t kMaxReplyLength = 1024;

bool printableReply(const std::string& reply) {
    return reply.size() <= kMaxReplyLength && reply.find('\n') == std::string::npos;
}

// Sends the request and waits for the answer, on this one thread: the reply
// handler runs inside processPendingRequest, so no answer can slip past the
// wait. Nothing when the bus or the service fails or the time runs out.
std::optional<std::string> callService(const zrk::helper::HelperRequest& request) {
    try {
        std::unique_ptr<sdbus::IConnection> connection = sdbus::createSystemBusConnection();
        std::unique_ptr<sdbus::IProxy> proxy =
            sdbus::createProxy(*connection, zrk::helper::kServiceName, zrk::helper::kObjectPath);
        std::optional<std::string> reply;
        proxy->callMethodAsync(request.method)
            .onInterface(zrk::helper::kInterfaceName)
            .withTimeout(request.timeLimit)
            .withArguments(request.text)
            .uponReplyInvoke([&reply](const sdbus::Error* error, std::string text) {
                if (error == nullptr) {
                    reply = std::move(text);
                }
                g_LoopFlag = 1;
            });
        const Clock::time_point deadline = Clock::now() + request.timeLimit;
        while (g_LoopFlag == 0) {
            if (connection->processPendingRequest()) {
                continue;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return std::nullopt;
            }
            const sdbus::IConnection::PollData data = connection->getEventLoopPollData();
            int timeout = static_cast<int>(left.count()) + 1;
            if (const int busTimeout = data.getPollTimeout(); busTimeout >= 0) {
                timeout = std::min(timeout, busTimeout);
            }
            pollfd fd{data.fd, data.events, 0};
            if (::poll(&fd, 1, timeout) < 0 && errno != EINTR) {
                return std::nullopt;
            }
        }
        return reply;
    } catch (...) {
        return std::nullopt;
    }
}

// The whole line in one write: a reader of the pipe sees all of it or none.
void printLine(const std::string& method, const std::string& reply) {
    const std::string line = method + "=" + reply + "\n";
    const char* data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
}

} // namespace

int main(int argc, char** argv) {
    // A reader that went away must not turn into a failing exit status.
    std::signal(SIGPIPE, SIG_IGN);
    const std::optional<zrk::helper::HelperRequest> request =
        zrk::helper::buildHelperRequest(argc, argv);
    if (!request) {
        return 0;
    }
    const std::optional<std::string> reply = callService(*request);
    if (reply && printableReply(*reply)) {
        printLine(request->method, *reply);
    }
    return 0;
}
