#include "viewer/data/mail_access/value_file_sources.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace velmora {
namespace {

struct Source {
    EngineHandle* handle;
    CorvexEnsureValueFileFn ensure;
};

struct Sources {
    std::mutex mutex;
    std::vector<Source> list;
};

Sources& TheSources() {
    static Sources sources;
    return sources;
}

}  // namespace

void AddValueFileSource(EngineHandle* handle, CorvexEnsureValueFileFn ensure) {
    if (handle == nullptr || ensure == nullptr) return;
    Sources& sources = TheSources();
    const std::lock_guard lock(sources.mutex);
    std::erase_if(sources.list, [handle](const Source& source) { return source.handle == handle; });
    sources.list.push_back({handle, ensure});
}

void RemoveValueFileSource(EngineHandle* handle) {
    Sources& sources = TheSources();
    const std::lock_guard lock(sources.mutex);
    std::erase_if(sources.list, [handle](const Source& source) { return source.handle == handle; });
}

ValueFileState EnsureValueFile(const ExportedProp& prop) {
    Sources& sources = TheSources();
    // Held while the file is written, so that no handle is deleted under the call.
    const std::lock_guard lock(sources.mutex);
    for (const Source& source : sources.list) {
        switch (source.ensure(source.handle, &prop)) {
            case CORVEX_VALUE_FILE_READY:
                return ValueFileState::kReady;
            case CORVEX_VALUE_FILE_UNKNOWN:
                continue;
            default:
                return ValueFileState::kFailed;
        }
    }
    return ValueFileState::kUnclaimed;
}

}  // namespace velmora
