#include "platform/background_scheduler.h"

#include <algorithm>

namespace trakomer {

BackgroundScheduler::BackgroundScheduler(Scheduler& inner, ResultSink onResult)
    : inner_(inner), onResult_(std::move(onResult)), worker_([this] { Work(); }) {}

BackgroundScheduler::~BackgroundScheduler() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

ScheduleResult BackgroundScheduler::RunAppAtTime(const AppCommand& app, const CalendarTime* when) {
    Request request{app, when ? std::optional<CalendarTime>(*when) : std::nullopt};
    {
        std::lock_guard lock(mutex_);
        const auto same = std::find_if(queue_.begin(), queue_.end(),
                                       [&app](const Request& r) { return r.app.path == app.path; });
        if (same != queue_.end()) {
            *same = std::move(request);
        } else {
            queue_.push_back(std::move(request));
        }
    }
    wake_.notify_one();
    return {ScheduleStatus::Pending, {}};
}

void BackgroundScheduler::Work() {
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;  // stopping, nothing left
            request = std::move(queue_.front());
            queue_.pop_front();
        }
        const ScheduleResult result =
            inner_.RunAppAtTime(request.app, request.when ? &*request.when : nullptr);
        if (onResult_) onResult_(request.app, result);
    }
}

}  // namespace trakomer
