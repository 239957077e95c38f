#include "automation/variant_date.h"

#include <cmath>
#include <cstdint>

namespace velmora::messaging {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (month 1 to 12).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

void CivilFromDays(std::int64_t days, std::tm& fields) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned mp = (5 * dayOfYear + 2) / 153;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    fields.tm_mday = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    fields.tm_mon = static_cast<int>(month) - 1;
    fields.tm_year =
        static_cast<int>(static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2)) - 1900;
}

constexpr std::int64_t kEpochOffsetDays = 25569;  // 1899-12-30 to 1970-01-01
constexpr double kSecondsPerDay = 86400.0;

}  // namespace

VariantDate VariantDateFromFields(const std::tm& local) {
    const std::int64_t days =
        DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                      static_cast<unsigned>(local.tm_mday));
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return VariantDate{static_cast<double>(days + kEpochOffsetDays) + seconds / kSecondsPerDay};
}

std::optional<std::tm> FieldsFromVariantDate(VariantDate date) {
    if (!std::isfinite(date.days)) return std::nullopt;
    const double whole = std::floor(date.days);
    // Dates of the years 100 to 9999, as automation allows.
    if (whole < -657434 || whole > 2958465) return std::nullopt;
    std::tm fields{};
    CivilFromDays(static_cast<std::int64_t>(whole) - kEpochOffsetDays, fields);
    auto seconds = static_cast<int>(std::lround((date.days - whole) * kSecondsPerDay));
    if (seconds >= 86400) seconds = 86399;
    fields.tm_hour = seconds / 3600;
    fields.tm_min = seconds / 60 % 60;
    fields.tm_sec = seconds % 60;
    fields.tm_isdst = -1;
    return fields;
}

}  // namespace velmora::messaging
