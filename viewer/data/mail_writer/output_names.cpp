#include "viewer/data/mail_writer/output_names.h"

#include "common/safe_name.h"

namespace velmora {

std::u16string FolderOutputName(const std::u16string& displayName) {
    // Folders follow the folder export's rule, which keeps a trailing full stop.
    const std::u16string name = common::SafeName(displayName, false, kOutputNameLength);
    return name.empty() ? kUnnamedFolder : name;
}

std::u16string MessageFileName(const std::u16string& subject) {
    const std::u16string name = common::SafeName(subject, true, kOutputNameLength);
    return (name.empty() ? kNoSubject : name) + u".eml";
}

std::u16string EmlFileName(std::size_t position, std::size_t width, const std::u16string& subject) {
    std::string digits = std::to_string(position);
    if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    return std::u16string(digits.begin(), digits.end()) + u" " + MessageFileName(subject);
}

std::size_t PositionWidth(std::size_t count) {
    std::size_t width = 1;
    for (; count >= 10; count /= 10) ++width;
    return width < 5 ? 5 : width;
}

}  // namespace velmora
