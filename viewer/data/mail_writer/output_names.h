// The names a conversion gives what it writes: folders after their display
// names, messages after their position and subject, each safe as one name
// inside the target folder (see common/safe_name.h).
#pragma once

#include <cstddef>
#include <string>

namespace velmora {

// UTF-16 units kept of a folder name or subject; paths of nested folders stay short.
inline constexpr std::size_t kOutputNameLength = 60;
inline constexpr char16_t kUnnamedFolder[] = u"Unnamed folder";
inline constexpr char16_t kNoSubject[] = u"No subject";

// The folder's safe name; kUnnamedFolder when nothing of its name is left.
std::u16string FolderOutputName(const std::u16string& displayName);

// "NNNNN Subject.eml": `position` from 1, with at least `width` digits (so
// that sorting the names gives the folder's order), and the safe, shortened
// subject (kNoSubject when nothing of it is left).
std::u16string EmlFileName(std::size_t position, std::size_t width, const std::u16string& subject);

// "Subject.eml": the name a message saved alone is offered under.
std::u16string MessageFileName(const std::u16string& subject);

// The digits the positions of `count` messages need, at least 5.
std::size_t PositionWidth(std::size_t count);

}  // namespace velmora
