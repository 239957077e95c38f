// How long an engine library takes to create, parse and delete a large store,
// and how much memory it holds at its peak. Writes a synthetic store with our
// own writer (once per variant, kept between runs), warms the page cache, then
// measures each library in a child process of its own so that the writer's
// memory does not count.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "bench/child_run.h"
#include "bench/page_cache.h"
#include "common/dynamic_library.h"
#include "common/utf16_text.h"
#include "engine/interface/corvex_engine.h"
#include "tools/storewriter/store_writer.h"
#include "tools/storewriter/synthetic_store.h"

namespace {

namespace sw = velmora::storewriter;

struct BenchVariant {
    sw::Variant variant;
    const char* name;
    const char* library;
    const char* createExport;
};

constexpr BenchVariant kVariants[] = {
    {sw::Variant::kUnicode, "unicode", "Corvex64", "_ExpCreatePFF64Object"},
    {sw::Variant::kUnicode4K, "4k", "Corvex64K", "_ExpCreatePFF64P4KObject"},
};

struct Figures {
    double seconds = 0;
    long peakKib = 0;
    bool ok = false;
};

bool WriteStore(const BenchVariant& v, const sw::SyntheticStoreShape& shape,
                const std::filesystem::path& path) {
    sw::WriterOptions options;
    options.variant = v.variant;
    options.spoolDirectory = path.parent_path();
    sw::StoreWriter writer(options);
    std::string error;
    if (!sw::BuildSyntheticStore(writer, shape) || !writer.WriteTo(path, &error)) {
        std::cerr << "cannot write " << path << ": " << error << "\n";
        return false;
    }
    return true;
}

// Runs in the child: create, parse and delete through the loaded library.
int MeasureInChild(const BenchVariant& v, const std::filesystem::path& store,
                   const std::filesystem::path& work, int resultFd) {
    common::DynamicLibrary library;
    if (!library.Load(common::ProgramLibraryFolder() / common::PlatformLibraryName(v.library)))
        return 2;
    auto create = library.FindAs<CorvexCreateFn>(v.createExport);
    auto parse = library.FindAs<CorvexParseFn>("_ExpParsePFF64");
    auto remove = library.FindAs<CorvexDeleteFn>("_ExpDeletePFFData");
    const std::u16string path = common::Utf8ToUtf16(store.string());
    const std::u16string root = common::Utf8ToUtf16(work.string());
    const auto start = std::chrono::steady_clock::now();
    EngineHandle* handle = nullptr;
    OpenStatus status{};
    status.code = 1;
    create(path.c_str(), &handle, root.c_str(), &status);
    parse(path.c_str(), handle, root.c_str(), &status);
    remove(handle, nullptr);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ::dprintf(resultFd, "%.4f\n", seconds);
    return status.code == 1 ? 0 : 3;
}

Figures Measure(const BenchVariant& v, const std::filesystem::path& store,
                const std::filesystem::path& work) {
    const velmora::bench::ChildFigures child = velmora::bench::RunInChild(
        [&](int resultFd) { return MeasureInChild(v, store, work, resultFd); });
    return {std::atof(child.output.c_str()), child.peakKib, child.ok && !child.output.empty()};
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Times create + parse + delete of a large synthetic store in each 64-bit engine library."};
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "velmora-bench";
    sw::SyntheticStoreShape shape{10, 20000, 4700, 2, 7};
    int runs = 3;
    app.add_option("--folder", folder, "Where the stores are written and kept between runs");
    app.add_option("--folders", shape.folders, "Folders in the store");
    app.add_option("--messages", shape.messagesPerFolder, "Messages per folder");
    app.add_option("--body-size", shape.bodySize, "Data bytes of each message node");
    app.add_option("--runs", runs, "Measurements per library (the best is reported)");
    CLI11_PARSE(app, argc, argv);

    std::filesystem::create_directories(folder);
    std::printf("%-8s %12s %10s %10s %12s\n", "variant", "store MiB", "messages", "parse s",
                "peak RSS MiB");
    for (const BenchVariant& v : kVariants) {
        const auto store =
            folder /
            (std::string("bench-") + v.name + "-" + std::to_string(shape.folders) + "x" +
             std::to_string(shape.messagesPerFolder) + "-" + std::to_string(shape.bodySize) +
             (v.variant == sw::Variant::kUnicode ? ".pst" : ".ost"));
        if (!std::filesystem::exists(store) && !WriteStore(v, shape, store)) return 1;
        velmora::bench::WarmPageCache(store);
        Figures best;
        for (int run = 0; run < runs; ++run) {
            const Figures f = Measure(v, store, folder / "work");
            if (!f.ok) return std::fprintf(stderr, "%s: measurement failed\n", v.name), 1;
            if (!best.ok || f.seconds < best.seconds) best = f;
        }
        std::printf("%-8s %12.0f %10u %10.3f %12.1f\n", v.name,
                    std::filesystem::file_size(store) / 1048576.0,
                    shape.folders * shape.messagesPerFolder, best.seconds, best.peakKib / 1024.0);
    }
    return 0;
}
