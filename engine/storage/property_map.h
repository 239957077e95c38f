// Properties by id, iterated in ascending id. Repeated ids keep the order they
// were added in, and a lookup finds the first of them.
#pragma once

#include <cstdint>
#include <map>

#include "engine/storage/prop_value.h"

namespace corvex {

class PropertyMap {
  public:
    using Storage = std::multimap<std::uint16_t, PropValue>;

    // Keeps an earlier value with the same id (property contexts).
    void Add(PropValue value) {
        const std::uint16_t id = value.id;
        values_.emplace(id, std::move(value));
    }

    // Drops earlier values with the same id (table rows).
    void Replace(PropValue value) {
        values_.erase(value.id);
        Add(std::move(value));
    }

    const PropValue* Find(std::uint16_t id) const {
        auto it = values_.lower_bound(id);
        return it != values_.end() && it->first == id ? &it->second : nullptr;
    }

    std::size_t Count(std::uint16_t id) const { return values_.count(id); }
    std::size_t Size() const { return values_.size(); }
    bool Empty() const { return values_.empty(); }
    Storage::const_iterator begin() const { return values_.begin(); }
    Storage::const_iterator end() const { return values_.end(); }

  private:
    Storage values_;
};

}  // namespace corvex
