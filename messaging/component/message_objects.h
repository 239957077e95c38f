// The component's object model: a session makes messages; a message takes
// properties, bodies, recipients and attachments, and saves itself as MHTML.
#pragma once

#include <memory>

#include "messaging/component/dispatch_object.h"
#include "messaging/component/message_content.h"

namespace velmora::messaging {

class SessionObject final : public DispatchObject {
  protected:
    Variant Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) override;
};

class MessageObject final : public DispatchObject {
  public:
    const MessageContent& Content() const { return *content_; }

  protected:
    Variant Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) override;

  private:
    void Import(const std::u16string& path, std::int32_t format);
    void SaveAs(const std::u16string& path, std::int32_t format) const;

    std::shared_ptr<MessageContent> content_ = std::make_shared<MessageContent>();
};

class RecipientsObject final : public DispatchObject {
  public:
    explicit RecipientsObject(std::shared_ptr<MessageContent> content)
        : content_(std::move(content)) {}

  protected:
    Variant Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) override;

  private:
    std::shared_ptr<MessageContent> content_;
};

class AttachmentsObject final : public DispatchObject {
  public:
    explicit AttachmentsObject(std::shared_ptr<MessageContent> content)
        : content_(std::move(content)) {}

  protected:
    Variant Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) override;

  private:
    std::shared_ptr<MessageContent> content_;
};

class AttachmentObject final : public DispatchObject {
  public:
    explicit AttachmentObject(std::shared_ptr<MessageAttachment> attachment)
        : attachment_(std::move(attachment)) {}

  protected:
    Variant Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) override;

  private:
    std::shared_ptr<MessageAttachment> attachment_;
};

// A recipient once added: nothing of it is read or changed afterwards.
class RecipientObject final : public DispatchObject {
  protected:
    Variant Call(DispatchId id, InvokeKind kind, std::span<const Variant> args) override;
};

}  // namespace velmora::messaging
