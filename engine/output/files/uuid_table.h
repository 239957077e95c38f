// A map from fresh random UUIDs to small values, laid out flat: the ledger of
// value files holds one entry per named value (a quarter of a million for a
// large folder) and forgets them one by one when the records go. A node-based
// hash map costs several cache misses for each of those forgets; here one
// slot array with linear probing costs about one. No erased slot is left
// behind as a marker: the entries after it move back (backward-shift
// deletion), so lookups never slow down with churn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/uuid_text.h"

namespace corvex {

template <typename Value>
class UuidTable {
  public:
    std::size_t Size() const { return size_; }

    Value* Find(const common::UuidBytes& key) {
        if (slots_.empty()) return nullptr;
        for (std::size_t i = Home(key);; i = Next(i)) {
            if (!slots_[i].used) return nullptr;
            if (slots_[i].key == key) return &slots_[i].value;
        }
    }

    // Adds `key`, or replaces its value when it is there already.
    void Put(const common::UuidBytes& key, const Value& value) {
        if (Value* found = Find(key)) {
            *found = value;
            return;
        }
        // At most half full, so that probe runs stay short.
        if ((size_ + 1) * 2 > slots_.size()) Grow();
        Place(key, value);
        ++size_;
    }

    bool Erase(const common::UuidBytes& key) {
        if (slots_.empty()) return false;
        std::size_t hole = Home(key);
        for (;; hole = Next(hole)) {
            if (!slots_[hole].used) return false;
            if (slots_[hole].key == key) break;
        }
        slots_[hole].used = false;
        --size_;
        // Moves back every later entry of the run whose home does not lie
        // between the hole and where it sits now.
        for (std::size_t at = Next(hole); slots_[at].used; at = Next(at)) {
            const std::size_t home = Home(slots_[at].key);
            const bool staysPut =
                hole <= at ? (hole < home && home <= at) : (hole < home || home <= at);
            if (staysPut) continue;
            slots_[hole] = slots_[at];
            slots_[at].used = false;
            hole = at;
        }
        return true;
    }

    // Calls `visit(key, value)` for every entry, in no particular order.
    template <typename Visit>
    void ForEach(const Visit& visit) const {
        for (const Slot& slot : slots_) {
            if (slot.used) visit(slot.key, slot.value);
        }
    }

    // Keeps only the entries for which `keep(value)` holds.
    template <typename Keep>
    void KeepIf(const Keep& keep) {
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.resize(old.size());
        size_ = 0;
        for (const Slot& slot : old) {
            if (slot.used && keep(slot.value)) {
                Place(slot.key, slot.value);
                ++size_;
            }
        }
    }

  private:
    struct Slot {
        common::UuidBytes key{};
        Value value{};
        bool used = false;
    };

    // The keys are random already: their first eight bytes pick the slot.
    std::size_t Home(const common::UuidBytes& key) const {
        std::uint64_t word = 0;
        std::memcpy(&word, key.data(), sizeof word);
        return static_cast<std::size_t>(word) & (slots_.size() - 1);
    }
    std::size_t Next(std::size_t i) const { return (i + 1) & (slots_.size() - 1); }

    void Place(const common::UuidBytes& key, const Value& value) {
        std::size_t i = Home(key);
        while (slots_[i].used) i = Next(i);
        slots_[i] = Slot{key, value, true};
    }

    void Grow() {
        std::vector<Slot> old(slots_.empty() ? 16 : slots_.size() * 2);
        old.swap(slots_);
        for (const Slot& slot : old) {
            if (slot.used) Place(slot.key, slot.value);
        }
    }

    std::vector<Slot> slots_;  // a power of two in size, or empty
    std::size_t size_ = 0;
};

}  // namespace corvex
