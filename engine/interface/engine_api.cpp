#include "engine/interface/engine_api.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <type_traits>

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "engine/interface/engine_session.h"
#include "engine/interface/status_block.h"
#include "engine/output/files/block_dump.h"
#include "engine/output/walks/folder_export.h"
#include "engine/output/walks/folder_walk.h"
#include "engine/output/walks/message_walk.h"
#include "engine/output/walks/record_memory.h"
#include "engine/storage/engine_message.h"
#include "engine/storage/instantiate.h"
#include "engine/storage/store_length.h"

namespace corvex {
namespace {

// The temporary root and the three working folders below it.
template <typename V>
void PrepareTempRoot(const char16_t* tempRoot) {
    auto& state = EngineState<V>::Instance();
    state.tempRoot = std::make_unique<std::u16string>(common::CopyUtf16(tempRoot));
    const std::filesystem::path root = common::PathFromUtf16(*state.tempRoot);
    for (const char* folder :
         {CORVEX_BLOCK_DUMP_FOLDER, CORVEX_EXPORT_FOLDER, CORVEX_VALUE_FILE_FOLDER}) {
        std::error_code ignored;
        std::filesystem::create_directories(root / folder, ignored);
    }
}

template <typename V>
Session<V>* NewRegisteredSession() {
    auto& state = EngineState<V>::Instance();
    state.registry.push_back(std::make_unique<Session<V>>(*state.tempRoot));
    state.current.store(state.registry.back().get());
    return state.registry.back().get();
}

template <typename V>
WalkContext<V> ContextOf(Session<V>& session) {
    return WalkContext<V>(session.Database(), session.valueFiles, session.records, session.Stop());
}

// The root FolderList of a handle, created empty on first use.
FolderList& RootList(EngineHandle& handle) {
    if (handle.rootFolders == nullptr) handle.rootFolders = NewFolderList();
    return *handle.rootFolders;
}

// The ANSI library's NIDs have no high word; the others use only the low word
// to find children too, since parent links hold 32-bit NIDs.
std::uint32_t FolderNid(const FolderEntry& folder) {
    return folder.nidLow;
}

// Dumps every block of the block index, depth first through its pages.
template <typename V>
void DumpBlocks(const Session<V>& session, const std::filesystem::path& tempRoot) {
    const auto& reader = session.Database().Reader();
    const auto dump = [&](const auto& self, const auto& page) -> void {
        for (const auto* entry : page.leaves) {
            WriteBlockDump(BlockDumpPath(tempRoot, entry->bid), reader.ReadEntry(entry));
        }
        for (const auto& child : page.children) self(self, *child);
    };
    dump(dump, session.Database().Blocks().root);
}

template <typename V>
Session<V>* SessionOf(EngineHandle* handle) {
    if (handle == nullptr || handle->session == nullptr) return nullptr;
    auto* session = static_cast<Session<V>*>(handle->session);
    EngineState<V>::Instance().current.store(session);
    return session;
}

void ReportOpenFailure(OpenStatus* status, const std::string& errorText) {
    if (status == nullptr) return;
    status->code = 0;
    common::CopyToBuffer(common::Utf8ToUtf16(errorText), status->text,
                         CORVEX_OPEN_STATUS_TEXT_LENGTH);
}

// A file cut short still opens, with whatever its remaining bytes hold; the
// user learns why it looks empty or incomplete.
template <typename V>
void ReportCutShort(const NodeDatabase<V>& database) {
    const std::string text =
        CutShortText(database.File().Size(), database.Header().RecordedFileSize());
    if (!text.empty()) ShowEngineMessage(text, V::kLibraryName);
}

// Opens the store and loads its trees; false (with `status` filled) when the file cannot be opened.
template <typename V>
bool OpenAndLoad(Session<V>& session, const char16_t* storePath, OpenStatus* status) {
    session.ResetDatabase();
    std::string errorText;
    // The path's bytes as the caller named them, even where they are no UTF-8.
    const std::string path = common::PathFromUtf16(common::CopyUtf16(storePath)).string();
    if (!session.Database().Open(path, errorText)) {
        ReportOpenFailure(status, errorText);
        return false;
    }
    session.Database().Load(session.Stop());
    session.parsed = true;
    ReportCutShort(session.Database());
    return true;
}

template <typename V>
void PrintTestGreeting() {
    if constexpr (std::is_same_v<V, Unicode4KTraits>) {
        std::puts("wellcome");
    } else if constexpr (std::is_same_v<V, UnicodeTraits>) {
        std::puts("WELLCOMR IN SERVER");
    }
    std::fflush(stdout);
}

}  // namespace

template <typename V>
std::int32_t EngineApi<V>::Create(const char16_t* storePath, EngineHandle** handle,
                                  const char16_t* tempRoot) {
    if (handle == nullptr) return 0;
    PrepareTempRoot<V>(tempRoot);
    Session<V>* session = NewRegisteredSession<V>();
    session->status = NewStatusBlock();
    *handle = new EngineHandle{common::DuplicateUtf16(common::CopyUtf16(storePath)), nullptr,
                               session, session->status};
    return 0;
}

template <typename V>
std::int32_t EngineApi<V>::Parse(const char16_t* storePath, EngineHandle* handle,
                                 OpenStatus* status) {
    Session<V>* session = SessionOf<V>(handle);
    if (session != nullptr) OpenAndLoad(*session, storePath, status);
    return 0;
}

template <typename V>
std::int32_t EngineApi<V>::ParseTest(const char16_t* tempRoot, const char16_t* storePath) {
    PrintTestGreeting<V>();
    PrepareTempRoot<V>(tempRoot);
    Session<V>* session = NewRegisteredSession<V>();
    std::int32_t stopWord = 0;
    StatusBlock local{&stopWord, nullptr, 0, nullptr};
    OpenStatus openStatus{};
    openStatus.code = 1;
    session->status = &local;
    const bool opened = OpenAndLoad(*session, storePath, &openStatus);
    if (opened) {
        const std::filesystem::path root = common::PathFromUtf16(session->tempRoot);
        if constexpr (V::kCompressed) DumpBlocks(*session, root);
        const WalkContext<V> context = ContextOf(*session);
        FolderExport<V>(context).SaveHierarchy(kRootFolderNid, root / CORVEX_EXPORT_FOLDER);
    }
    session->Database().Close();
    session->status = nullptr;  // the local block ends with this call
    return opened ? 1 : 0;
}

template <typename V>
std::int32_t EngineApi<V>::EnumRootFolder(EngineHandle* handle) {
    Session<V>* session = SessionOf<V>(handle);
    if (session == nullptr) return 1;
    const WalkContext<V> context = ContextOf(*session);
    FolderWalk<V>(context).EnumerateChildren(kRootFolderNid, RootList(*handle));
    return 1;
}

template <typename V>
std::int32_t EngineApi<V>::EnumChildFolder(FolderEntry* folder, EngineHandle* handle) {
    Session<V>* session = SessionOf<V>(handle);
    if (session == nullptr || folder == nullptr || folder->children == nullptr) return 1;
    const WalkContext<V> context = ContextOf(*session);
    FolderWalk<V>(context).EnumerateChildren(FolderNid(*folder), *folder->children);
    return 1;
}

template <typename V>
std::int32_t EngineApi<V>::EnumAllFolders(EngineHandle* handle) {
    Session<V>* session = SessionOf<V>(handle);
    if (session == nullptr) return 1;
    const WalkContext<V> context = ContextOf(*session);
    FolderWalk<V>(context).EnumerateAll(kRootFolderNid, RootList(*handle));
    return 1;
}

template <typename V>
std::int32_t EngineApi<V>::EnumChildMails(FolderEntry* folder, EngineHandle* handle,
                                          std::uint32_t first, std::uint32_t maximum) {
    Session<V>* session = SessionOf<V>(handle);
    if (session == nullptr || folder == nullptr || folder->mails == nullptr) return 1;
    const WalkContext<V> context = ContextOf(*session);
    MessageWalk<V>(context).Enumerate(FolderNid(*folder), *folder->mails, first, maximum);
    return 1;
}

template <typename V>
std::int32_t EngineApi<V>::EnumChildMailsNext(FolderEntry* folder, EngineHandle* handle) {
    Session<V>* session = SessionOf<V>(handle);
    if (session == nullptr || folder == nullptr || folder->mails == nullptr) return 1;
    const WalkContext<V> context = ContextOf(*session);
    MessageWalk<V>(context).Continue(FolderNid(*folder), *folder->mails);
    return 1;
}

template <typename V>
std::int32_t EngineApi<V>::SaveFolderHierarchy(std::uint32_t nidLow, std::uint32_t,
                                               const char16_t* target, EngineHandle* handle) {
    Session<V>* session = SessionOf<V>(handle);
    if (session == nullptr || target == nullptr) return 1;
    const WalkContext<V> context = ContextOf(*session);
    FolderExport<V>(context).SaveHierarchy(nidLow,
                                           common::PathFromUtf16(common::CopyUtf16(target)));
    return 1;
}

template <typename V>
std::int32_t EngineApi<V>::Delete(EngineHandle* handle) {
    if (handle == nullptr) return 1;
    auto& state = EngineState<V>::Instance();
    state.tempRoot.reset();
    auto* session = static_cast<Session<V>*>(handle->session);
    Session<V>* expected = session;
    state.current.compare_exchange_strong(expected, nullptr);
    // Only this handle's session goes: the sessions of other live handles stay.
    // Its records go first, with the value files they name; the session then
    // removes what is left of its own value files.
    FreeFolderList(handle->rootFolders, session != nullptr ? &session->valueFiles : nullptr);
    std::erase_if(state.registry, [session](const auto& owned) { return owned.get() == session; });
    FreeStatusBlock(handle->status);
    delete[] handle->storePath;
    delete handle;
    return 1;
}

template <typename V>
std::int32_t EngineApi<V>::EnsureValueFile(EngineHandle* handle, const ExportedProp* prop) {
    Session<V>* session = SessionOf<V>(handle);
    if (session == nullptr || prop == nullptr || prop->inFile != 1)
        return CORVEX_VALUE_FILE_UNKNOWN;
    const ContextReader<V> contexts(session->Database().Reader());
    const auto result = session->valueFiles.Ensure(
        NamedValueFilePath(*prop), [&contexts](const ValueLocation& where) {
            return contexts.SubnodeData(where.owner, where.nid);
        });
    switch (result) {
        case ValueFileLedger::EnsureResult::kReady:
            return CORVEX_VALUE_FILE_READY;
        case ValueFileLedger::EnsureResult::kFailed:
            return CORVEX_VALUE_FILE_FAILED;
        case ValueFileLedger::EnsureResult::kUnknown:
            break;
    }
    return CORVEX_VALUE_FILE_UNKNOWN;
}

CORVEX_INSTANTIATE_CLASS(EngineApi)

}  // namespace corvex
