// Automation dates: calendar fields of local time to and from days since 1899-12-30.
#pragma once

#include <ctime>
#include <optional>

#include "automation/variant.h"

namespace velmora::messaging {

VariantDate VariantDateFromFields(const std::tm& local);
// The calendar fields of the date (tm_isdst -1, tm_wday and tm_yday unset);
// none for dates outside the years 100 to 9999.
std::optional<std::tm> FieldsFromVariantDate(VariantDate date);

}  // namespace velmora::messaging
