// The elements of a page as a browser parses it, visited without recursion
// (a page may nest deeply). Shared by the HTML fuzz target and the clean-up's
// tests, which look for anything active or remote in what they visit.
#pragma once

#include <gumbo.h>

#include <string>
#include <vector>

namespace velmora::fuzz {

template <typename Visit>
void VisitPageElements(const std::string& page, Visit visit) {
    GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    std::vector<const GumboNode*> pending = {output->root};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT) continue;
        visit(*node);
        const GumboVector& children = node->v.element.children;
        for (unsigned i = 0; i < children.length; ++i)
            pending.push_back(static_cast<const GumboNode*>(children.data[i]));
    }
    gumbo_destroy_output(&kGumboDefaultOptions, output);
}

}  // namespace velmora::fuzz
