// A bound on how deeply an HTML body's elements nest before it is parsed.
// The parser's work per tag grows with the depth of open elements and its
// tree building recurses with it, so thousands of unclosed elements would make
// a small body cost seconds or overflow the stack.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora::messaging {

// The most elements a body may hold open at once.
inline constexpr std::size_t kMaxHtmlNesting = 256;

// `html` with every start tag that would open an element past `maxDepth` left
// out (its text stays). The depth is an estimate that never falls below the
// parser's own: closing tags count only where they surely close something.
std::string BoundNesting(std::string_view html, std::size_t maxDepth = kMaxHtmlNesting);

}  // namespace velmora::messaging
