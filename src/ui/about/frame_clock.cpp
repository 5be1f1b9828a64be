#include "ui/about/frame_clock.h"

#include <QTimer>

namespace vgx {

namespace {

class TimerFrameClock final : public FrameClock {
public:
    explicit TimerFrameClock(int intervalMs) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(intervalMs);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (frame_)
                frame_();
        });
    }

    void Start(std::function<void()> frame) override {
        frame_ = std::move(frame);
        timer_.start();
    }
    void Stop() override { timer_.stop(); }

private:
    QTimer timer_;
    std::function<void()> frame_;
};

}  // namespace

std::unique_ptr<FrameClock> MakeTimerFrameClock(int intervalMs) {
    return std::make_unique<TimerFrameClock>(intervalMs);
}

}  // namespace vgx
