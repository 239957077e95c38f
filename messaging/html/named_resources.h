// Pages that refer to an attached image by its file name (<img src="icons.gif">)
// rather than by content id: the program that wrote them saved the attachments
// next to the page. In one MHTML file such a reference is made a reference to
// the attachment's part, which the page may load like any other of its parts.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

namespace velmora::messaging {

// Attachment names (file names or content locations, in ASCII lower case),
// each with the content id of the part it stands for.
using PartsByName = std::map<std::string, std::string>;

// `html` with every resource URL the page would load (src, background, ...)
// that is one of the names, ignoring ASCII case and surrounding blanks,
// replaced by "cid:" and the part's content id. Each name so replaced is put
// in `used`. Links and all other text are left as they are.
std::string ResolveNamedResources(std::string_view html, const PartsByName& parts,
                                  std::set<std::string>& used);

}  // namespace velmora::messaging
