#include "bench/screen_watch.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace velmora::bench {

ScreenWatch::ScreenWatch(std::chrono::microseconds interval) : interval_(interval) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(connection);
        return;
    }
    connection_ = connection;
    root_ = screens.data->root;
    thread_ = std::thread([this] { Run(); });
}

ScreenWatch::~ScreenWatch() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (connection_ != nullptr) xcb_disconnect(connection_);
}

std::optional<ScreenWatch::Look> ScreenWatch::Grab(const QRect& area) const {
    xcb_get_image_cookie_t cookie = xcb_get_image(
        connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, root_, static_cast<std::int16_t>(area.x()),
        static_cast<std::int16_t>(area.y()), static_cast<std::uint16_t>(area.width()),
        static_cast<std::uint16_t>(area.height()), ~0U);
    xcb_get_image_reply_t* reply = xcb_get_image_reply(connection_, cookie, nullptr);
    if (reply == nullptr) return std::nullopt;
    Look look;
    look.pixels.assign(reinterpret_cast<const char*>(xcb_get_image_data(reply)),
                       static_cast<std::size_t>(xcb_get_image_data_length(reply)));
    std::free(reply);
    // The time the pixels had reached the server by, at the latest.
    look.seen = Clock::now();
    look.hash = std::hash<std::string_view>{}(look.pixels);
    return look;
}

void ScreenWatch::Arm(const QRect& area) {
    std::optional<Look> first = Grab(area);
    {
        const std::lock_guard lock(mutex_);
        area_ = area;
        looks_.clear();
        if (first) looks_.push_back(std::move(*first));
        ++generation_;
        armed_ = !looks_.empty();
    }
    wake_.notify_all();
}

void ScreenWatch::Disarm() {
    const std::lock_guard lock(mutex_);
    armed_ = false;
}

std::vector<ScreenWatch::Look> ScreenWatch::Looks() const {
    const std::lock_guard lock(mutex_);
    return looks_;
}

std::optional<ScreenWatch::Look> ScreenWatch::LookNow() const {
    QRect area;
    {
        const std::lock_guard lock(mutex_);
        area = area_;
    }
    return Grab(area);
}

QImage ScreenWatch::ImageOf(const Look& look) const {
    QRect area;
    {
        const std::lock_guard lock(mutex_);
        area = area_;
    }
    const auto bytes = static_cast<std::size_t>(area.width()) * area.height() * 4;
    if (look.pixels.size() < bytes) return {};
    return QImage(reinterpret_cast<const uchar*>(look.pixels.data()), area.width(), area.height(),
                  area.width() * 4, QImage::Format_RGB32)
        .copy();
}

void ScreenWatch::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        wake_.wait(lock, [this] { return stop_ || armed_; });
        if (stop_) break;
        const QRect area = area_;
        const std::size_t last = looks_.back().hash;
        const std::uint64_t generation = generation_;
        lock.unlock();
        std::optional<Look> now = Grab(area);
        lock.lock();
        // Armed anew meanwhile: this grab belongs to the former watch.
        if (!armed_ || generation != generation_) continue;
        if (now && now->hash != last) looks_.push_back(std::move(*now));
        wake_.wait_for(lock, interval_, [this] { return stop_; });
    }
}

}  // namespace velmora::bench
