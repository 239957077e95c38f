// A store file shorter than the size its header records was cut off: a copy
// or download that stopped early. Everything past the end reads as zeros, so
// the trees there come out empty and the store would look empty and healthy;
// the user is told instead, and shown whatever can still be read.
#pragma once

#include <cstdint>
#include <string>

namespace corvex {

// The message for a file of `actualSize` bytes whose header records
// `recordedSize`; empty when the file is not shorter. A longer file is not
// damage: what follows the recorded end is never read.
std::string CutShortText(std::uint64_t actualSize, std::uint64_t recordedSize);

}  // namespace corvex
