#include "viewer/data/rebuild/mail_property_values.h"

#include <algorithm>
#include <ctime>
#include <vector>

#include "automation/variant_date.h"
#include "viewer/data/mail_access/exported_value.h"

namespace velmora {
namespace {

std::uint64_t FirstBytesLittleEndian(const ExportedProp& prop, std::size_t width) {
    const std::vector<std::uint8_t> bytes = ValueBytes(prop);
    std::uint64_t value = 0;
    const std::size_t count = std::min(width, bytes.size());
    for (std::size_t i = 0; i < count; ++i)
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return value;
}

constexpr std::uint64_t kFileTimeTicksPerSecond = 10'000'000;
constexpr std::int64_t kFileTimeToUnixSeconds = 11'644'473'600;

}  // namespace

std::int32_t FirstBytesAsInt(const ExportedProp& prop) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(FirstBytesLittleEndian(prop, 4)));
}

std::optional<messaging::VariantDate> FileTimeToLocalDate(std::uint64_t fileTime) {
    if (fileTime == 0) return std::nullopt;
    const auto seconds =
        static_cast<std::int64_t>(fileTime / kFileTimeTicksPerSecond) - kFileTimeToUnixSeconds;
    const auto now = static_cast<std::time_t>(seconds);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &now) != 0) return std::nullopt;
#else
    if (localtime_r(&now, &local) == nullptr) return std::nullopt;
#endif
    if (local.tm_year + 1900 > 9999 || local.tm_year + 1900 < 1601) return std::nullopt;
    return messaging::VariantDateFromFields(local);
}

std::optional<messaging::VariantDate> PropLocalDate(const ExportedProp& prop) {
    return FileTimeToLocalDate(FirstBytesLittleEndian(prop, 8));
}

}  // namespace velmora
