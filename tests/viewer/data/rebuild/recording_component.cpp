#include "tests/viewer/data/rebuild/recording_component.h"

#include <algorithm>

#include "automation/component_registry.h"
#include "common/path_text.h"

namespace velmora::test {
namespace {

using messaging::DispatchId;
using messaging::DispatchPtr;
using messaging::InvokeKind;
using messaging::Variant;

// The object a call returns, by the object it is made on and the member.
std::string ChildName(const std::string& object, DispatchId id) {
    if (object == "session" && id == 0x6002001E) return "message";
    if (object == "message" && id == 0x4D) return "recipients";
    if (object == "message" && id == 0x49) return "attachments";
    if (object == "recipients" && id == 0x03) return "recipient";
    if (object == "attachments" && id == 0x65) return "attachment";
    return {};
}

class RecordingObject final : public messaging::IDispatch {
  public:
    RecordingObject(std::string name, std::shared_ptr<CallLog> log)
        : name_(std::move(name)), log_(std::move(log)) {}

    bool Invoke(DispatchId id, InvokeKind kind, std::span<const Variant> args, Variant& result,
                std::u16string& error) override {
        RecordedCall call{name_, id, kind, {}, false};
        for (const Variant& arg : args) call.args.push_back(messaging::DescribeVariant(arg));
        if (!args.empty()) {
            if (const auto* path = std::get_if<std::u16string>(&args[0]);
                path != nullptr && !path->empty()) {
                std::error_code ignored;
                call.fileExisted = std::filesystem::exists(common::PathFromUtf16(*path), ignored);
            }
        }
        log_->calls.push_back(call);
        if (std::find(log_->failing.begin(), log_->failing.end(), id) != log_->failing.end()) {
            error = u"recorded failure";
            return false;
        }
        const std::string child = ChildName(name_, id);
        if (!child.empty()) result = DispatchPtr(std::make_shared<RecordingObject>(child, log_));
        return true;
    }

  private:
    std::string name_;
    std::shared_ptr<CallLog> log_;
};

}  // namespace

RecordingComponent::RecordingComponent() {
    messaging::ComponentRegistry::Instance().RegisterFactory(
        messaging::kMessageSessionProgId, [log = log_](DispatchPtr& object, std::u16string&) {
            object = std::make_shared<RecordingObject>("session", log);
            return true;
        });
}

RecordingComponent::~RecordingComponent() {
    messaging::ComponentRegistry::Instance().RegisterLibrary(messaging::kMessageSessionProgId,
                                                             messaging::kMessagingLibraryName);
}

}  // namespace velmora::test
