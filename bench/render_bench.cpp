// Rendering a large message the way the viewer does when it is selected:
// connect, rebuild (1 MB HTML body, ten 1 MB attachments referred to by
// content id), save as MHTML. Prints the time of each run and the best.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/path_text.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"

namespace {

using velmora::test::Bytes;
using velmora::test::RecordBuilder;
using velmora::test::Utf16BytesTerminated;

constexpr std::size_t kMegabyte = 1 << 20;
constexpr int kAttachments = 10;

Bytes HtmlBody() {
    std::string html = "<html><body>";
    for (int i = 0; i < kAttachments; ++i)
        html += "<img src=\"cid:part" + std::to_string(i) + "@bench\">";
    const std::string paragraph =
        "<p>Quarterly figures, <b>draft</b> &amp; notes for the review meeting.</p>\n";
    while (html.size() + paragraph.size() < kMegabyte) html += paragraph;
    html += "</body></html>";
    return Bytes(html.begin(), html.end());
}

Bytes AttachmentData(int seed) {
    Bytes data(kMegabyte);
    std::uint32_t state = 0x9E3779B9u * static_cast<std::uint32_t>(seed + 1);
    for (auto& byte : data) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return data;
}

const MailEntry* BigMessage(RecordBuilder& records) {
    std::vector<AttachmentRow*> attachments;
    for (int i = 0; i < kAttachments; ++i) {
        const std::u16string id =
            u"part" + std::u16string(1, static_cast<char16_t>(u'0' + i)) + u"@bench";
        attachments.push_back(
            records.Attachment({{0x3701, 0x102, AttachmentData(i)},
                                {0x3707, 0x1F, Utf16BytesTerminated(u"image.png")},
                                {0x370E, 0x1F, Utf16BytesTerminated(u"image/png")},
                                {0x3712, 0x1F, Utf16BytesTerminated(id)}}));
    }
    return records.Mail(records.Map({{0x0037, 0x1F, Utf16BytesTerminated(u"Benchmark message")},
                                     {0x1013, 0x102, HtmlBody()}}),
                        {}, attachments);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / "velmora-render-bench";
    std::filesystem::create_directories(work / "GUIDTempFiles");
    velmora::WorkFolder = common::PathToUtf16(work);
    RecordBuilder records;
    const MailEntry* mail = BigMessage(records);
    double best = 1e9;
    for (int run = 0; run < runs; ++run) {
        const auto target = work / ("page" + std::to_string(run) + ".mht");
        const auto start = std::chrono::steady_clock::now();
        const bool written = velmora::RenderSelectedMessage(mail, common::PathToUtf16(target));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!written) {
            std::fprintf(
                stderr, "render failed (is libVelmoraMessaging.so in the program's lib folder?)\n");
            return 1;
        }
        best = std::min(best, seconds);
        std::printf("run %d: %.3f s, %.1f MB written\n", run + 1, seconds,
                    static_cast<double>(std::filesystem::file_size(target)) / kMegabyte);
    }
    std::printf(
        "render, 1 MB HTML + %d x 1 MB attachments: best %.3f s of %d runs (budget 0.300 s)\n",
        kAttachments, best, runs);
    std::filesystem::remove_all(work);
    return 0;
}
