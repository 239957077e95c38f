// What the velmora-cli tests share: failures caught as the lines the tool
// would print, a working folder of the test's own, and dumps parsed.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/utf16_text.h"
#include "tests/support/test_paths.h"
#include "tools/velmora-cli/dump_command.h"
#include "viewer/data/rebuild/message_box.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::test {

// Ordered, so that tests see the keys in the order the tool writes them.
using Json = nlohmann::ordered_json;

// The engine may report from both threads of a folder walk.
class RecordingMessageBox : public MessageBoxHost {
  public:
    void Show(const std::u16string& caption, const std::u16string& text) override {
        const std::lock_guard lock(mutex_);
        lines.push_back(common::Utf16ToUtf8(caption) + ": " + common::Utf16ToUtf8(text));
    }
    std::vector<std::string> lines;

  private:
    std::mutex mutex_;
};

class CliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        cache_ = new ScratchDir;
        ::setenv("XDG_CACHE_HOME", cache_->Path().c_str(), 1);
        InitWorkFolder();
    }
    static void TearDownTestSuite() {
        delete cache_;
        WorkFolder.clear();
    }
    void SetUp() override { SetMessageBoxHost(&messages_); }
    void TearDown() override { SetMessageBoxHost(nullptr); }

    static Json Dump(const std::filesystem::path& store) {
        std::ostringstream out;
        EXPECT_EQ(cli::RunDump(store, out), 0) << store;
        return Json::parse(out.str());
    }
    std::string OnlyMessage() const {
        return messages_.lines.size() == 1 ? messages_.lines[0] : "(none or several)";
    }

    static inline ScratchDir* cache_ = nullptr;
    RecordingMessageBox messages_;
};

// The folder reached from the dump's root folders by these names, or null.
inline const Json* FolderAt(const Json& dump, const std::vector<std::string>& names) {
    const Json* folders = &dump["folders"];
    const Json* found = nullptr;
    for (const std::string& name : names) {
        found = nullptr;
        for (const Json& folder : *folders) {
            if (folder["name"] == name) found = &folder;
        }
        if (found == nullptr) return nullptr;
        folders = &(*found)["folders"];
    }
    return found;
}

inline std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace velmora::test
