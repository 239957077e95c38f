// The engine's messages to the user: each distinct message once per export call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/storage/engine_message.h"

namespace corvex {
namespace {

class ShownMessages {
  public:
    ShownMessages() {
        previous_ = SetEngineMessageHandler(
            [this](std::string_view text, std::string_view) { shown.emplace_back(text); });
        ResetRecordedEngineMessages();
    }
    ~ShownMessages() { SetEngineMessageHandler(previous_); }
    std::vector<std::string> shown;

  private:
    EngineMessageHandler previous_;
};

TEST(EngineMessage, RepeatsWithinOneCallAreCountedButShownOnce) {
    ShownMessages messages;
    {
        const EngineMessageScope call;
        for (int i = 0; i < 1000; ++i)
            ShowEngineMessage("CBlockIndexArray is notFound Data", "Corvex64K");
        ShowEngineMessage("another message", "Corvex64K");
        const EngineMessageScope nested;  // an export calling another stays one call
        ShowEngineMessage("another message", "Corvex64K");
    }
    EXPECT_EQ(messages.shown,
              (std::vector<std::string>{"CBlockIndexArray is notFound Data", "another message"}));
    EXPECT_EQ(RecordedEngineMessages().count, 1002u);
}

TEST(EngineMessage, EachCallShowsItsOwnMessagesAgain) {
    ShownMessages messages;
    for (int call = 0; call < 3; ++call) {
        const EngineMessageScope scope;
        ShowEngineMessage("same text", "Corvex64K");
        ShowEngineMessage("same text", "Corvex64K");
    }
    EXPECT_EQ(messages.shown.size(), 3u);
}

}  // namespace
}  // namespace corvex
