// A message's page for the viewer: the rebuild passes bodies and attachments
// through files on their way into the message, but the page it writes holds
// every byte of them. Those files go as soon as the page is written, so a
// shown message leaves nothing but its page behind.
#pragma once

#include <string>

#include "engine/interface/corvex_engine.h"

namespace velmora {

// Renders `mail` into the page file `target` (see RenderSelectedMessage); the
// files the rebuild passes through are made in a scratch folder of their own,
// removed before this returns. False when no page was written.
bool RenderMessagePage(const MailEntry* mail, const std::u16string& target);

}  // namespace velmora
