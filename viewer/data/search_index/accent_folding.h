// Letters with their accents taken off, so that a word typed without accents
// finds the same word written with them.
#pragma once

namespace velmora::search {

// The letter without its accent (a lower-case Latin or Greek letter with a
// diacritic, the stroke of ø, ł and đ included); any other character as it is.
unsigned FoldAccent(unsigned character);

// Combining marks that follow a base letter in decomposed text: dropped from
// the plain form of a word.
bool IsCombiningAccent(unsigned character);

}  // namespace velmora::search
