// Watches a rectangle of the X screen from a thread of its own, with a
// connection of its own: it reads the pixels the X server holds every few
// milliseconds and says when they first differ from those it held when it
// was armed. What it sees is what a user would see, and reading it never
// blocks the program's interface thread, where the browser's own work runs.
#pragma once

#include <QObject>
#include <QRect>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

struct xcb_connection_t;

namespace velmora::bench {

class ScreenWatch final : public QObject {
    Q_OBJECT

  public:
    using Clock = std::chrono::steady_clock;

    // Connects to the display the program shows on; Connected() tells.
    explicit ScreenWatch(std::chrono::microseconds interval = std::chrono::milliseconds(5));
    ~ScreenWatch() override;
    bool Connected() const { return connection_ != nullptr; }

    // Takes the pixels of `area` (screen coordinates) now as the ones to
    // compare with, and starts watching; returns once they are taken.
    void Arm(const QRect& area);
    // Stops watching.
    void Disarm();
    // When the pixels first differed since Arm; empty while they have not.
    std::optional<Clock::time_point> ChangedAt() const;

  signals:
    // The pixels differ from the armed ones (sent from the watching thread).
    void Changed();

  private:
    void Run();
    std::optional<std::size_t> Grab(const QRect& area) const;

    xcb_connection_t* connection_ = nullptr;
    unsigned root_ = 0;
    std::chrono::microseconds interval_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    QRect area_;
    std::optional<std::size_t> baseline_;
    std::optional<Clock::time_point> changedAt_;
    std::uint64_t generation_ = 0;  // one more on every Arm
    bool armed_ = false;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace velmora::bench
