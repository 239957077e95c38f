#include "common/date_text.h"

#include <ctime>
#include <iomanip>
#include <limits>
#include <locale>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace common {
namespace {

constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
constexpr int kLastShownYear = 9999;

std::optional<std::tm> LocalTimeOf(std::uint64_t fileTime) {
    // The platform's FILETIME conversion rejects values with the top bit set.
    if (fileTime > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return std::nullopt;
    }
    const auto seconds =
        static_cast<std::int64_t>(fileTime / kTicksPerSecond) - kSecondsFrom1601To1970;
    const auto clock = static_cast<std::time_t>(seconds);
    std::tm local{};
#if defined(_WIN32)
    if (localtime_s(&local, &clock) != 0) return std::nullopt;
#else
    if (localtime_r(&clock, &local) == nullptr) return std::nullopt;
#endif
    return local;
}

std::locale LoadUserLocale() {
    try {
        return std::locale("");
    } catch (const std::runtime_error&) {
        return std::locale::classic();
    }
}

// Loading the user's locale reads a dozen files; an export formats several
// dates per message, so it is loaded once per process.
const std::locale& UserLocale() {
    static const std::locale locale = LoadUserLocale();
    return locale;
}

// The name of the locale's time category; a mixed locale is named
// "LC_CTYPE=...;LC_TIME=...;...".
std::string TimeCategoryName(const std::locale& locale) {
    const std::string name = locale.name();
    const std::string key = "LC_TIME=";
    const auto start = name.find(key);
    if (start == std::string::npos) return name;
    const auto end = name.find(';', start);
    return name.substr(start + key.size(),
                       end == std::string::npos ? std::string::npos : end - start - key.size());
}

bool IsPlainCLocale(const std::locale& locale) {
    const std::string name = TimeCategoryName(locale);
    return name == "C" || name == "POSIX" || name == "*" || name.starts_with("C.");
}

std::u16string WideToUtf16(const std::wstring& wide) {
    std::u16string out;
    for (const wchar_t c : wide) {
        const auto cp = static_cast<char32_t>(c);
        if (cp >= 0x10000 && cp <= 0x10FFFF) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp <= 0xFFFF ? cp : 0xFFFD);
        }
    }
    return out;
}

std::u16string FormatLocalTime(const std::tm& local) {
    const std::locale& locale = UserLocale();
    const wchar_t* pattern = IsPlainCLocale(locale) ? L"%Y-%m-%d %H:%M:%S" : L"%x %X";
    std::wostringstream text;
    text.imbue(locale);
    text << std::put_time(&local, pattern);
    return WideToUtf16(text.str());
}

}  // namespace

std::u16string FileTimeText(std::uint64_t fileTime) {
    if (fileTime == 0) return {};
    const std::optional<std::tm> local = LocalTimeOf(fileTime);
    if (!local || local->tm_year + 1900 > kLastShownYear) return kInvalidDateText;
    return FormatLocalTime(*local);
}

}  // namespace common
