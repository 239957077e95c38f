// How long the mail list takes to show a very large folder, and what it
// costs in memory. Builds the records of N messages in memory, laid out as
// the engine hands them over (five properties each: importance, flags,
// subject, sender, submit time), then fills the mail list pane and paints it
// once; then scrolls to the end and paints again. The list copies no row, so
// its time and memory should not grow with N beyond the records themselves.
#include <QApplication>
#include <QScrollBar>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/elapsed.h"
#include "common/property_ids.h"
#include "engine/interface/corvex_engine.h"
#include "viewer/panes/mail_list/file_view.h"
#include "viewer/panes/mail_list/list_ctrl_mails.h"

namespace {

namespace prop = common::prop;
using velmora::bench::Clock;
using velmora::bench::MillisecondsSince;

constexpr int kPropsPerMail = 5;

// Resident memory in MiB, from the kernel's account of this process.
double ResidentMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// The records of `count` messages; every pointer stays valid while it lives.
class Records {
  public:
    explicit Records(std::uint32_t count) {
        props_.reserve(std::size_t{count} * kPropsPerMail);
        propPointers_.reserve(props_.capacity());
        maps_.reserve(count);
        mails_.reserve(count);
        items_.reserve(count);
        bytes_.reserve(std::size_t{count} * kPropsPerMail);
        for (std::uint32_t i = 0; i < count; ++i) AddMail(i);
        list_ = MailList{MailEntryList{items_.data(), count, count}, 0, 0, 0, nullptr};
    }
    const MailList* List() const { return &list_; }

  private:
    void AddMail(std::uint32_t i) {
        ExportedProp** first = propPointers_.data() + propPointers_.size();
        // In id order, as the engine sorts them.
        Add(prop::kImportance, 0x03, Long(static_cast<std::int32_t>(i % 3)));
        Add(prop::kSubject, 0x1F, Text(u"Weekly report number " + Number(i)));
        Add(prop::kClientSubmitTime, 0x40, Time(i));
        Add(prop::kSenderName, 0x1F, Text(u"Sender " + Number(i % 997)));
        Add(prop::kMessageFlags, 0x03, Long((i % 2) | (i % 5 == 0 ? 0x10 : 0)));
        maps_.push_back(ExportedPropMap{first, kPropsPerMail, kPropsPerMail});
        mails_.push_back(MailEntry{&maps_.back(), nullptr, nullptr});
        items_.push_back(&mails_.back());
    }
    void Add(std::uint16_t id, std::uint16_t type, std::vector<std::uint8_t> bytes) {
        std::vector<std::uint8_t>& owned = bytes_.emplace_back(std::move(bytes));
        props_.push_back(
            ExportedProp{id, type, 0, static_cast<std::uint32_t>(owned.size()), owned.data()});
        propPointers_.push_back(&props_.back());
    }
    static std::u16string Number(std::uint32_t n) {
        const std::string digits = std::to_string(n);
        return std::u16string(digits.begin(), digits.end());
    }
    static std::vector<std::uint8_t> Text(const std::u16string& text) {
        std::vector<std::uint8_t> bytes;
        for (char16_t c : text + u'\0') {
            bytes.push_back(static_cast<std::uint8_t>(c & 0xFF));
            bytes.push_back(static_cast<std::uint8_t>(c >> 8));
        }
        return bytes;
    }
    static std::vector<std::uint8_t> Long(std::int32_t value) {
        const auto u = static_cast<std::uint32_t>(value);
        return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
    }
    // A FILETIME some minutes apart per message, from early 2010 on.
    static std::vector<std::uint8_t> Time(std::uint32_t i) {
        const std::uint64_t ticks = 0x01CAC62D9D3F4E80ull + std::uint64_t{i} * 600'000'000ull;
        std::vector<std::uint8_t> bytes;
        for (int shift = 0; shift < 64; shift += 8)
            bytes.push_back(static_cast<std::uint8_t>(ticks >> shift));
        return bytes;
    }

    std::vector<std::vector<std::uint8_t>> bytes_;
    std::vector<ExportedProp> props_;
    std::vector<ExportedProp*> propPointers_;
    std::vector<ExportedPropMap> maps_;
    std::vector<MailEntry> mails_;
    std::vector<MailEntry*> items_;
    MailList list_{};
};

// Paints the list now and returns how long that took.
double PaintMs(velmora::CListCtrlMails& list) {
    const auto start = Clock::now();
    list.viewport()->repaint();
    return MillisecondsSince(start);
}

}  // namespace

int main(int argc, char* argv[]) {
    CLI::App cli{"The mail list pane filled with a very large folder"};
    std::uint32_t count = 250'000;
    cli.add_option("--messages", count, "messages in the folder")
        ->check(CLI::Range(1u, 5'000'000u));
    CLI11_PARSE(cli, argc, argv);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    velmora::CFileView pane;
    pane.resize(700, 800);
    pane.show();
    QApplication::processEvents();
    const double baseMiB = ResidentMiB();

    auto start = Clock::now();
    const Records records(count);
    const double buildMs = MillisecondsSince(start);
    const double recordsMiB = ResidentMiB();

    velmora::CListCtrlMails& list = pane.List();
    start = Clock::now();
    list.Fill(records.List());
    list.SelectRow(0);
    const double fillMs = MillisecondsSince(start);
    const double firstPaintMs = PaintMs(list);
    const double shownMiB = ResidentMiB();

    start = Clock::now();
    list.scrollToBottom();
    PaintMs(list);
    const double lastPaintMs = MillisecondsSince(start);

    std::printf("messages                  %u\n", count);
    std::printf("records built             %.1f ms, %.1f MiB\n", buildMs, recordsMiB - baseMiB);
    std::printf("fill and select           %.1f ms\n", fillMs);
    std::printf("first paint               %.1f ms (to first paint %.1f ms)\n", firstPaintMs,
                fillMs + firstPaintMs);
    std::printf("scroll to end and paint   %.1f ms\n", lastPaintMs);
    std::printf("list's own memory         %.1f MiB\n", shownMiB - recordsMiB);
    return list.model()->rowCount() == static_cast<int>(count) ? 0 : 1;
}
