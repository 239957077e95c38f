// An ordered multimap over records that never move: a vector of (key, record)
// sorted once after loading. Equal keys keep insertion order, and a lookup
// returns the first of them, the one met first in the B-tree walk.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace corvex {

template <typename Record>
class KeyedIndex {
  public:
    using Item = std::pair<std::uint64_t, const Record*>;

    void Add(std::uint64_t key, const Record* record) { items_.emplace_back(key, record); }

    void Seal() {
        std::stable_sort(items_.begin(), items_.end(),
                         [](const Item& a, const Item& b) { return a.first < b.first; });
    }

    const Record* Find(std::uint64_t key) const {
        auto it = std::lower_bound(items_.begin(), items_.end(), key, KeyLess);
        return it != items_.end() && it->first == key ? it->second : nullptr;
    }

    std::span<const Item> EqualRange(std::uint64_t key) const {
        auto first = std::lower_bound(items_.begin(), items_.end(), key, KeyLess);
        auto last =
            std::upper_bound(first, items_.end(), key,
                             [](std::uint64_t k, const Item& item) { return k < item.first; });
        return {first, last};
    }

    std::span<const Item> All() const { return items_; }
    std::size_t Size() const { return items_.size(); }
    void Reserve(std::size_t n) { items_.reserve(n); }

  private:
    static bool KeyLess(const Item& item, std::uint64_t key) { return item.first < key; }
    std::vector<Item> items_;
};

}  // namespace corvex
