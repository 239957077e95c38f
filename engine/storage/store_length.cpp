#include "engine/storage/store_length.h"

namespace corvex {

std::string CutShortText(std::uint64_t actualSize, std::uint64_t recordedSize) {
    if (actualSize >= recordedSize) return {};
    return "The file is shorter than its header says (" + std::to_string(actualSize) + " of " +
           std::to_string(recordedSize) + " bytes); it may be cut off";
}

}  // namespace corvex
