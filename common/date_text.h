// The text of a date stored as a FILETIME, as the folder export shows it.
#pragma once

#include <cstdint>
#include <string>

namespace common {

inline constexpr char16_t kInvalidDateText[] = u"Invalid DateTime";

// `fileTime` counts 100-nanosecond intervals since 1601-01-01 UTC. The date is
// shown in local time: a null date (0) gives empty text, one that local time
// cannot represent or that lies after the year 9999 gives "Invalid DateTime".
//
// Format: the user's locale (std::locale("")) with "%x %X", its own date and
// time. When that locale is the plain C/POSIX one, whose "%x" has only a
// two-digit year, the date is written as "%Y-%m-%d %H:%M:%S" instead, so that
// exports made without a configured locale stay unambiguous.
std::u16string FileTimeText(std::uint64_t fileTime);

}  // namespace common
