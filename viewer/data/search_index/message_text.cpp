#include "viewer/data/search_index/message_text.h"

#include <gumbo.h>

#include <optional>
#include <vector>

#include "messaging/html/html_nesting.h"
#include "viewer/data/message_body/message_bodies.h"

namespace velmora::search {
namespace {

bool IsHidden(GumboTag tag) {
    return tag == GUMBO_TAG_SCRIPT || tag == GUMBO_TAG_STYLE || tag == GUMBO_TAG_HEAD ||
           tag == GUMBO_TAG_TEMPLATE;
}

// Elements whose edges separate words even without white space between them.
bool BreaksWords(GumboTag tag) {
    switch (tag) {
        case GUMBO_TAG_SPAN:
        case GUMBO_TAG_B:
        case GUMBO_TAG_I:
        case GUMBO_TAG_U:
        case GUMBO_TAG_EM:
        case GUMBO_TAG_STRONG:
        case GUMBO_TAG_FONT:
        case GUMBO_TAG_A:
        case GUMBO_TAG_SMALL:
        case GUMBO_TAG_BIG:
        case GUMBO_TAG_SUB:
        case GUMBO_TAG_SUP:
            return false;
        default:
            return true;
    }
}

}  // namespace

void CutAtCharacter(std::string& text, std::size_t size) {
    if (text.size() <= size) return;
    text.resize(size);
    // A character the cut went through goes whole.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0x80) != 0) {
        const bool lead = (static_cast<unsigned char>(text.back()) & 0xC0) == 0xC0;
        text.pop_back();
        if (lead) break;
    }
}

std::string BodyText(const MailEntry* mail) {
    if (mail == nullptr) return {};
    std::optional<TextBody> body = ReadTextBody(*mail);
    if (!body) return {};
    std::string text = body->isHtml ? HtmlText(body->text) : std::move(body->text);
    if (text.size() > kMaxBodyTextBytes) CutAtCharacter(text, kMaxBodyTextBytes);
    return text;
}

std::string HtmlText(std::string_view html) {
    if (html.size() > kMaxBodyTextBytes * 4) html = html.substr(0, kMaxBodyTextBytes * 4);
    // The parser recurses with the depth of open elements: the depth is bounded first.
    const std::string bounded = messaging::BoundNesting(html);
    GumboOptions options = kGumboDefaultOptions;
    options.max_errors = 0;
    GumboOutput* output = gumbo_parse_with_options(&options, bounded.data(), bounded.size());
    std::string text;
    // Walked with a stack of its own: a document may nest deeper than a call stack goes.
    std::vector<const GumboNode*> pending{output->root};
    while (!pending.empty() && text.size() < kMaxBodyTextBytes) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (node == nullptr) {
            text += '\n';  // the end of an element that breaks words
            continue;
        }
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_CDATA ||
            node->type == GUMBO_NODE_WHITESPACE) {
            text += node->v.text.text;
            continue;
        }
        if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE) continue;
        if (IsHidden(node->v.element.tag)) continue;
        if (BreaksWords(node->v.element.tag)) pending.push_back(nullptr);
        const GumboVector& children = node->v.element.children;
        for (unsigned i = children.length; i > 0; --i)
            pending.push_back(static_cast<const GumboNode*>(children.data[i - 1]));
    }
    gumbo_destroy_output(&options, output);
    return text;
}

}  // namespace velmora::search
