// The viewer's binding to an engine compiled into the program instead of
// loaded from a library: the same twelve operations, each forwarded to the
// engine's entry points for one store variant, each guarded as a library
// export is (no exception leaves it). Lets the fuzz target drive the viewer's
// whole path through code built with the fuzzer's instrumentation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "engine/interface/engine_api.h"
#include "engine/storage/engine_message.h"
#include "engine/storage/variant_traits.h"
#include "viewer/data/binding/pff_data_parser.h"
#include "viewer/data/mail_access/value_file_sources.h"

namespace velmora::fuzz {

template <typename V>
class InProcessBinding final : public CPFFDataParserInterFace {
  public:
    // `mailLimit` bounds each message enumeration (0: the whole folder, as the
    // library binding asks for): a hostile store may describe any number of
    // messages, and one input should stay quick.
    explicit InProcessBinding(std::uint32_t mailLimit) : mailLimit_(mailLimit) {}
    ~InProcessBinding() override { RemoveValueFileSource(handle_); }
    InProcessBinding(const InProcessBinding&) = delete;
    InProcessBinding& operator=(const InProcessBinding&) = delete;

    int Test(std::u16string storePath, std::u16string tempRoot) override {
        std::int32_t opened = 0;
        Guarded([&] { opened = Api::ParseTest(tempRoot.c_str(), storePath.c_str()); });
        return opened;
    }
    int Create(std::u16string storePath, std::u16string tempRoot, OpenStatus*) override {
        Guarded([&] { Api::Create(storePath.c_str(), &handle_, tempRoot.c_str()); });
        AddValueFileSource(handle_, EnsureValueFile);
        return 0;
    }
    int Parse(std::u16string storePath, std::u16string, OpenStatus* status) override {
        Guarded([&] { Api::Parse(storePath.c_str(), handle_, status); });
        return 0;
    }
    int EnumRootFolder(void*) override {
        Guarded([&] { Api::EnumRootFolder(handle_); });
        return 0;
    }
    int EnumChildFolder(FolderEntry* folder, OpenStatus*) override {
        Guarded([&] { Api::EnumChildFolder(folder, handle_); });
        return 0;
    }
    int EnumChildMails(FolderEntry* folder, OpenStatus*) override {
        Guarded([&] { Api::EnumChildMails(folder, handle_, 0, mailLimit_); });
        return 0;
    }
    int EnumChildMailsRange(FolderEntry* folder, OpenStatus*, std::uint32_t first,
                            std::uint32_t maximum) override {
        Guarded([&] { Api::EnumChildMails(folder, handle_, first, maximum); });
        return 0;
    }
    int EnumChildMailsNext(FolderEntry* folder, void*) override {
        Guarded([&] { Api::EnumChildMailsNext(folder, handle_); });
        return 0;
    }
    // No library has these two: the library binding finds no export for them.
    int SaveMailBody(void*) override { return 0; }
    int SaveAttachment(void*) override { return 0; }
    int DeletePFFData(OpenStatus*) override {
        RemoveValueFileSource(handle_);
        Guarded([&] { Api::Delete(handle_); });
        handle_ = nullptr;
        return 0;
    }
    int SaveFolderHierarchy(std::uint32_t nidLow, std::uint32_t nidHigh, std::u16string target,
                            int) override {
        Guarded([&] { Api::SaveFolderHierarchy(nidLow, nidHigh, target.c_str(), handle_); });
        return 0;
    }
    int EnumAllFolders(OpenStatus*) override {
        Guarded([&] { Api::EnumAllFolders(handle_); });
        return 0;
    }

    EngineHandle* Handle() const override { return handle_; }

  private:
    using Api = corvex::EngineApi<V>;

    template <typename Call>
    static void Guarded(Call call) {
        const corvex::EngineMessageScope oncePerCall;
        try {
            call();
        } catch (...) {
        }
    }

    // The value files of the records are written when the data side reads them.
    static std::int32_t EnsureValueFile(EngineHandle* handle, const ExportedProp* prop) {
        std::int32_t result = CORVEX_VALUE_FILE_FAILED;
        Guarded([&] { result = Api::EnsureValueFile(handle, prop); });
        return result;
    }

    EngineHandle* handle_ = nullptr;
    std::uint32_t mailLimit_;
};

// The binding for the store's format version (as the library bindings are
// chosen), or null for a version no engine reads.
inline std::unique_ptr<CPFFDataParserInterFace> CreateInProcessBinding(std::uint16_t version,
                                                                       std::uint32_t mailLimit) {
    if (version == 14 || version == 15)
        return std::make_unique<InProcessBinding<corvex::AnsiTraits>>(mailLimit);
    if (version == 21 || version == 23)
        return std::make_unique<InProcessBinding<corvex::UnicodeTraits>>(mailLimit);
    if (version == 36)
        return std::make_unique<InProcessBinding<corvex::Unicode4KTraits>>(mailLimit);
    return nullptr;
}

}  // namespace velmora::fuzz
