// A store made in memory for the folder tree's tests: records laid out as the
// engine hands them out, and a binding that counts what the tree asks of it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "viewer/data/binding/pff_data_parser.h"

namespace velmora::test {

// One folder of the fake store; `listed` says whether its children are in its
// record from the start (as after the all-folders enumeration) or appear only
// when the binding is asked to enumerate them.
struct FakeFolder {
    std::u16string name;
    std::u16string containerClass;
    bool listed = true;
    std::vector<FakeFolder> children;
};

class FakeRecords;

class FakeBinding : public CPFFDataParserInterFace {
  public:
    FakeBinding(const std::u16string& storePath, const std::vector<FakeFolder>& roots);
    ~FakeBinding() override;

    int Test(std::u16string, std::u16string) override { return 0; }
    int Create(std::u16string, std::u16string, OpenStatus*) override { return 0; }
    int Parse(std::u16string, std::u16string, OpenStatus*) override { return 0; }
    int EnumRootFolder(void*) override { return 0; }
    int EnumChildFolder(FolderEntry* folder, OpenStatus* status) override;
    int EnumChildMails(FolderEntry*, OpenStatus*) override { return 0; }
    int EnumChildMailsRange(FolderEntry*, OpenStatus*, std::uint32_t, std::uint32_t) override {
        return 0;
    }
    int EnumChildMailsNext(FolderEntry*, void*) override { return 0; }
    int SaveMailBody(void*) override { return 0; }
    int SaveAttachment(void*) override { return 0; }
    int DeletePFFData(OpenStatus* status) override;
    int SaveFolderHierarchy(std::uint32_t, std::uint32_t, std::u16string, int) override {
        return 0;
    }
    int EnumAllFolders(OpenStatus*) override { return 0; }
    EngineHandle* Handle() const override;

    int childEnumerations = 0;
    // Shared with the test, which may outlive the binding.
    std::shared_ptr<std::atomic<int>> deletions = std::make_shared<std::atomic<int>>(0);

  private:
    std::unique_ptr<FakeRecords> records_;
    bool deleted_ = false;
};

}  // namespace velmora::test
