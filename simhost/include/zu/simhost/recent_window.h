// What simhost keeps of its event logs in memory.
//
// A flight may run for hours: every key event, FSUIPC write, panel-window
// call and sound event goes to the event log file (simhost.log) as it
// happens, and memory keeps only the most recent records of each kind in a
// `RecentWindow` of fixed capacity, plus per-key totals in a `CountTable`
// (per key-event id, per FSUIPC offset). Both stay the same size however
// long the flight is.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace zu::simhost {

// The last `capacity` records added, oldest first, and how many were added
// in all. Not thread-safe (its owner locks).
template <typename T>
class RecentWindow {
  public:
    explicit RecentWindow(size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {
        ring_.reserve(capacity_);
    }

    void Add(T record) { Next() = std::move(record); }
    // The slot of a new record, to be filled in place: once the window is
    // full it is the oldest record's, whose storage (a string's buffer) the
    // new one reuses.
    T& Next() {
        ++total_;
        if (ring_.size() < capacity_) return ring_.emplace_back();
        T& slot = ring_[next_];
        next_ = (next_ + 1) % capacity_;
        return slot;
    }
    void Clear() {
        ring_.clear();
        next_ = 0;
        total_ = 0;
    }
    // The records kept, oldest first.
    std::vector<T> Items() const {
        std::vector<T> out;
        out.reserve(ring_.size());
        for (size_t i = 0; i < ring_.size(); ++i) out.push_back(ring_[(next_ + i) % ring_.size()]);
        return out;
    }
    // Calls fn(record) for the records kept, oldest first.
    template <typename Fn>
    void ForEach(Fn fn) const {
        for (size_t i = 0; i < ring_.size(); ++i) fn(ring_[(next_ + i) % ring_.size()]);
    }
    size_t capacity() const { return capacity_; }
    size_t size() const { return ring_.size(); }
    // Records added since the last Clear, kept or not.
    uint64_t total() const { return total_; }
    // Records that fell out of the window.
    uint64_t dropped() const { return total_ - ring_.size(); }

  private:
    size_t capacity_;
    std::vector<T> ring_;
    size_t next_ = 0;  // oldest record once the ring is full
    uint64_t total_ = 0;
};

// Per key: how often it occurred, and its first and last frame and value.
template <typename Value>
struct KeyCount {
    uint64_t count = 0;
    uint64_t first_frame = 0;
    uint64_t last_frame = 0;
    Value first{};
    Value last{};
};

// Keys are integers. The same few keys come again frame after frame: a small
// cache of recent keys finds their counts without searching the map.
template <typename Key, typename Value>
class CountTable {
  public:
    CountTable() = default;
    CountTable(const CountTable& other) : counts_(other.counts_) {}
    CountTable& operator=(const CountTable& other) {
        counts_ = other.counts_;
        recent_ = {};
        return *this;
    }

    void Add(Key key, uint64_t frame, const Value& value) {
        KeyCount<Value>& c = Find(key);
        if (c.count == 0) {
            c.first_frame = frame;
            c.first = value;
        }
        ++c.count;
        c.last_frame = frame;
        c.last = value;
    }
    void Clear() {
        counts_.clear();
        recent_ = {};
    }
    const std::map<Key, KeyCount<Value>>& counts() const { return counts_; }
    uint64_t Count(Key key) const {
        auto it = counts_.find(key);
        return it == counts_.end() ? 0 : it->second.count;
    }

  private:
    static constexpr size_t kRecent = 64;
    struct Recent {
        Key key{};
        KeyCount<Value>* count = nullptr;  // a map node: it stays where it is
    };

    KeyCount<Value>& Find(Key key) {
        const auto hash = static_cast<uint64_t>(key) * 0x9E3779B97F4A7C15ull;
        Recent& r = recent_[static_cast<size_t>(hash >> 58) % kRecent];
        if (r.count == nullptr || r.key != key) r = Recent{key, &counts_[key]};
        return *r.count;
    }

    std::map<Key, KeyCount<Value>> counts_;
    std::array<Recent, kRecent> recent_{};
};

}  // namespace zu::simhost
