// Every message of a corpus store, opened through the viewer's binding, with
// a working folder of its own for the test.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/interface/corvex_engine.h"
#include "tests/support/test_paths.h"
#include "viewer/data/binding/pff_data_parser.h"

namespace velmora::test {

// Points WorkFolder at a fresh folder for the test's lifetime.
class TestWorkFolder {
  public:
    TestWorkFolder();
    ~TestWorkFolder();
    const std::filesystem::path& Path() const { return dir_.Path(); }

  private:
    ScratchDir dir_;
    std::u16string previous_;
};

class CorpusStore {
  public:
    explicit CorpusStore(const std::string& name);
    ~CorpusStore();
    CorpusStore(const CorpusStore&) = delete;
    CorpusStore& operator=(const CorpusStore&) = delete;

    // The messages of every folder, folder by folder in tree order.
    std::vector<const MailEntry*> Messages();

  private:
    void Collect(FolderEntry* folder, std::vector<const MailEntry*>& mails, int depth);

    std::unique_ptr<CPFFDataParserInterFace> binding_;
};

// The stores the message tests read: RTF, HTML and plain bodies, many attachments, recipients,
// 8-bit text.
inline const std::vector<std::string> kMessageStores = {
    "unicode-password-embedded.pst", "unicode-plain.pst",      "unicode-to-cc.pst",
    "ansi-many-items.pst",           "unicode-submessage.pst", "ost4k/unicode-flags.ost"};

}  // namespace velmora::test
