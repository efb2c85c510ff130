#pragma once
// A scheduler that never keeps its caller waiting: registrations are handed
// to a worker thread that runs them, in order, on another scheduler (the
// systemd one waits for systemctl and systemd-run). A registration still
// waiting is replaced by a newer one for the same program. Results are told
// on the worker thread.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/run_at_time.h"

namespace trakomer {

class BackgroundScheduler : public Scheduler {
public:
    using ResultSink = std::function<void(const AppCommand&, const ScheduleResult&)>;
    BackgroundScheduler(Scheduler& inner, ResultSink onResult);
    // Runs what is still waiting (a cancellation at exit must happen), then
    // ends the worker.
    ~BackgroundScheduler() override;
    BackgroundScheduler(const BackgroundScheduler&) = delete;
    BackgroundScheduler& operator=(const BackgroundScheduler&) = delete;

    // Queues the registration; always Pending.
    ScheduleResult RunAppAtTime(const AppCommand& app, const CalendarTime* when) override;

private:
    struct Request {
        AppCommand app;
        std::optional<CalendarTime> when;
    };
    void Work();

    Scheduler& inner_;
    ResultSink onResult_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Request> queue_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace trakomer
