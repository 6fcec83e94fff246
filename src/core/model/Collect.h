// The two list classes every collection of the network model is built on: TMyList, a growable array
// with an explicit capacity (Limit) and growth step (Delta), and TMySortedList, which keeps its items
// ordered by key and finds them by binary search.
//
// The lists are templates over their item type so that items are destroyed through their real type.
// Operations that derived lists replace (KeyOf, Compare, DisposeItem) are supplied as policies rather
// than virtual functions: a list is embedded in every network point, so it carries no vtable.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace zan {

// The error raised by the lists; its message is one of three fixed texts.
class CollException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Error codes of the lists.
inline constexpr int coIndexError = -1;
inline constexpr int coOverflow = -2;
inline constexpr int coUnderflow = -3;

[[noreturn]] void RaiseCollError(int code, std::int32_t info);

// Default disposal: an item that is a pointer is destroyed through its own type.
template <class T> struct DefaultDispose {
    void operator()(T item) const {
        if constexpr (std::is_pointer_v<T>) {
            std::default_delete<std::remove_pointer_t<T>>{}(item);
        }
    }
};

template <class T, class Dispose = DefaultDispose<T>> class TMyList {
public:
    using value_type = T;

    TMyList(std::int32_t aLimit, std::int32_t aDelta) : delta_(aDelta) { SetLimit(aLimit); }
    TMyList(const TMyList&) = delete;
    TMyList& operator=(const TMyList&) = delete;
    TMyList(TMyList&& other) noexcept
        : items_(std::move(other.items_)), count_(std::exchange(other.count_, 0)),
          limit_(std::exchange(other.limit_, 0)), delta_(other.delta_) {}
    TMyList& operator=(TMyList&& other) noexcept {
        items_ = std::move(other.items_);
        count_ = std::exchange(other.count_, 0);
        limit_ = std::exchange(other.limit_, 0);
        delta_ = other.delta_;
        return *this;
    }
    ~TMyList() = default; // releases the slot array only; items are untouched

    std::int32_t Count() const { return count_; }
    std::int32_t Limit() const { return limit_; }
    std::int32_t Delta() const { return delta_; }
    bool IsEmpty() const { return count_ == 0; }

    T& operator[](std::int32_t i) { return items_[i]; }
    const T& operator[](std::int32_t i) const { return items_[i]; }
    T* begin() { return items_.get(); }
    T* end() { return items_.get() + count_; }
    const T* begin() const { return items_.get(); }
    const T* end() const { return items_.get() + count_; }

    void RaiseError(int code, std::int32_t info) const { RaiseCollError(code, info); }
    void DisposeItem(T item) { Dispose{}(item); }

    // Linear search by identity: the first slot holding exactly this item, else -1.
    std::int32_t IndexOf(const T& item) const {
        for (std::int32_t i = 0; i < count_; ++i) {
            if (items_[i] == item)
                return i;
        }
        return -1;
    }

    void Add(T item) { Insert(count_, std::move(item)); }

    // Sets the capacity. Below Count it raises the underflow error and changes nothing.
    void SetLimit(std::int32_t aLimit) {
        if (aLimit < count_)
            RaiseError(coUnderflow, 0);
        if (aLimit == limit_)
            return;
        const std::int64_t slotCount = PhysicalSlots(aLimit);
        if (items_ && slotCount != PhysicalSlots(limit_)) {
            if (slotCount == 0) {
                items_.reset();
            } else {
                auto fresh = std::make_unique<T[]>(static_cast<std::size_t>(slotCount));
                std::move(items_.get(), items_.get() + count_, fresh.get());
                items_ = std::move(fresh);
            }
        }
        limit_ = aLimit;
    }

    void Insert(std::int32_t index, T item) {
        if (index < 0 || index > count_)
            RaiseError(coIndexError, index);
        if (count_ == limit_) {
            if (delta_ == 0)
                RaiseError(coOverflow, 0);
            const std::int64_t grown = std::int64_t{limit_} + delta_;
            if (grown > INT32_MAX || grown < count_ + 1)
                RaiseError(coOverflow, 0);
            SetLimit(static_cast<std::int32_t>(grown));
        }
        EnsureAllocated();
        for (std::int32_t i = count_; i > index; --i)
            items_[i] = std::move(items_[i - 1]);
        items_[index] = std::move(item);
        ++count_;
    }

    void Delete(std::int32_t index) {
        if (index < 0 || index >= count_)
            RaiseError(coIndexError, index);
        for (std::int32_t i = index; i + 1 < count_; ++i)
            items_[i] = std::move(items_[i + 1]);
        --count_;
        items_[count_] = T{};
    }

    // Removes the item found by the linear search; an item not held raises the index error with -1.
    void Remove(const T& item) { Delete(TMyList::IndexOf(item)); }

    // Count becomes 0; the capacity and the items themselves are untouched.
    void Clear() {
        for (std::int32_t i = 0; i < count_; ++i)
            items_[i] = T{};
        count_ = 0;
    }

    void Free(T item) {
        Remove(item);
        DisposeItem(item);
    }

    // Deletes every null item, scanning from the last slot down.
    void Pack() {
        for (std::int32_t i = count_ - 1; i >= 0; --i) {
            if (items_[i] == T{})
                Delete(i);
        }
    }

protected:
    // The slot array behind a capacity. Lists of up to 4 get exactly Limit slots; longer ones are
    // rounded up to a power of two so that growth by a small Delta does not copy the array on every
    // step. The capacity the list reports is Limit in either case. The array is allocated on the first
    // insertion: most points never become polygon vertices, and their lists stay without one.
    static std::int64_t PhysicalSlots(std::int32_t limit) {
        if (limit <= 4)
            return limit;
        std::int64_t slotCount = 8;
        while (slotCount < limit)
            slotCount *= 2;
        return slotCount;
    }

    void EnsureAllocated() {
        if (!items_)
            items_ = std::make_unique<T[]>(static_cast<std::size_t>(PhysicalSlots(limit_)));
    }

private:
    std::unique_ptr<T[]> items_;
    std::int32_t count_ = 0;
    std::int32_t limit_ = 0;
    std::int32_t delta_ = 0;
};

// Keys read from items by Traits::KeyOf and compared by Traits::Compare (negative, zero or positive).
template <class T, class Traits, class Dispose = DefaultDispose<T>>
class TMySortedList : public TMyList<T, Dispose> {
    using Base = TMyList<T, Dispose>;

public:
    using Key = typename Traits::Key;

    TMySortedList(std::int32_t aLimit, std::int32_t aDelta, bool duplicates)
        : Base(aLimit, aDelta), Duplicates(duplicates) {}

    bool Duplicates;

    static Key KeyOf(const T& item) { return Traits::KeyOf(item); }
    static int Compare(const Key& a, const Key& b) { return Traits::Compare(a, b); }

    // Binary search. Index receives the position of the equal item (unique keys), the first of the
    // equal items (duplicates allowed), or the insertion point when nothing is equal.
    bool Search(const Key& key, std::int32_t& index) const {
        std::int32_t lo = 0;
        std::int32_t hi = this->Count() - 1;
        bool result = false;
        while (hi >= lo) {
            const auto mid = static_cast<std::int32_t>(
                (static_cast<std::uint32_t>(lo) + static_cast<std::uint32_t>(hi)) >> 1);
            const int c = Compare(KeyOf((*this)[mid]), key);
            if (c < 0) {
                lo = mid + 1;
            } else {
                hi = mid - 1;
                if (c == 0) {
                    result = true;
                    if (!Duplicates)
                        lo = mid;
                }
            }
        }
        index = lo;
        return result;
    }

    // Ordered insertion; a new item goes in front of items with an equal key. With Duplicates false
    // and an equal key present nothing is inserted; the result says whether the item was inserted.
    bool InsertSort(T item) {
        std::int32_t index = 0;
        if (!Search(KeyOf(item), index) || Duplicates) {
            this->Insert(index, std::move(item));
            return true;
        }
        return false;
    }

    // Ordered insertion behind the items with an equal key, so that items with equal keys keep the
    // order in which they were inserted (used when a list is rebuilt or filled from a file).
    void InsertSortLast(T item) {
        std::int32_t index = 0;
        if (Search(KeyOf(item), index) && !Duplicates)
            return;
        const Key key = KeyOf(item);
        while (index < this->Count() && Compare(KeyOf((*this)[index]), key) == 0)
            ++index;
        this->Insert(index, std::move(item));
    }

    // Sorted search for this very item. (The linear search stays available as Base::IndexOf, and it
    // is the one Remove uses.)
    std::int32_t IndexOf(const T& item) const {
        std::int32_t i = 0;
        if (!Search(KeyOf(item), i))
            return -1;
        if (Duplicates) {
            while (i < this->Count() && !((*this)[i] == item))
                ++i;
        }
        return i < this->Count() ? i : -1;
    }
};

} // namespace zan
