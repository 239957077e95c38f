// The page a message shows: its HTML body as stored, else the HTML its RTF
// body carries, else its RTF body as simple HTML, else its text body. Every
// page is made safe to show (see html_sanitizer.h).
#pragma once

#include <string>

#include "messaging/component/message_content.h"

namespace velmora::messaging {

struct BodyPage {
    std::string html;
    std::string charset;
};

BodyPage BuildBodyPage(const MessageContent& content);

}  // namespace velmora::messaging
