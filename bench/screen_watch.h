// Watches a rectangle of the X screen from a thread of its own, with a
// connection of its own: it reads the pixels the X server holds every few
// milliseconds and keeps every look they take after it was armed. What it
// sees is what a user would see, and reading it never blocks the program's
// interface thread, where the browser's own work runs.
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

struct xcb_connection_t;

namespace velmora::bench {

class ScreenWatch final : public QObject {
    Q_OBJECT

  public:
    using Clock = std::chrono::steady_clock;

    // One look of the watched pixels: when it was first seen, and the pixels.
    struct Look {
        Clock::time_point seen;
        std::size_t hash = 0;
        std::string pixels;  // 32 bits a pixel, as the X server sends them
    };

    // Connects to the display the program shows on; Connected() tells.
    explicit ScreenWatch(std::chrono::microseconds interval = std::chrono::milliseconds(5));
    ~ScreenWatch() override;
    bool Connected() const { return connection_ != nullptr; }

    // Takes the pixels of `area` (screen coordinates) now as the first look,
    // and starts watching; returns once they are taken.
    void Arm(const QRect& area);
    // Stops watching.
    void Disarm();
    // Every look since Arm, the armed one first, each differing from the one before.
    std::vector<Look> Looks() const;
    // The pixels of the watched area now (read on the caller's thread).
    std::optional<Look> LookNow() const;
    // `look`'s pixels as an image of the armed area's size.
    QImage ImageOf(const Look& look) const;

  private:
    void Run();
    std::optional<Look> Grab(const QRect& area) const;

    xcb_connection_t* connection_ = nullptr;
    unsigned root_ = 0;
    std::chrono::microseconds interval_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    QRect area_;
    std::vector<Look> looks_;
    std::uint64_t generation_ = 0;  // one more on every Arm
    bool armed_ = false;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace velmora::bench
