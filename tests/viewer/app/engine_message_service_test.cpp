// The engine's messages, handed to the program's exported service, reach the
// same message-box host as the viewer's own.
#include <gtest/gtest.h>

#include "tests/support/qt_test_environment.h"
#include "viewer/data/rebuild/engine_message_service.h"

namespace velmora::app {
namespace {

TEST(EngineMessageHostTest, EngineMessagesReachTheMessageBoxHost) {
    test::RecordingMessageHost messages;
    CorvexHostShowMessage("CBlockIndexArray is notFound Data", "Error");
    CorvexHostShowMessage(nullptr, nullptr);
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[0], "CBlockIndexArray is notFound Data");
    EXPECT_EQ(messages.texts[1], "");
}

}  // namespace
}  // namespace velmora::app
