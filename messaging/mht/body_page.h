// The page a message shows: its HTML body as stored, else the HTML its RTF
// body carries, else its RTF body as simple HTML, else its text body. Every
// page is made safe to show (see html_sanitizer.h), after the references it
// makes to attachments by name are resolved to their parts (see
// named_resources.h).
#pragma once

#include <set>
#include <string>

#include "messaging/component/message_content.h"
#include "messaging/html/named_resources.h"

namespace velmora::messaging {

struct BodyPage {
    std::string html;
    std::string charset;
    std::set<std::string> namesUsed;  // the names of `parts` the page refers to
};

BodyPage BuildBodyPage(const MessageContent& content, const PartsByName& parts = {});

}  // namespace velmora::messaging
