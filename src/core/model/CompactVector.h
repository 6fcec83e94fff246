// A vector of 16 bytes (pointer, size, capacity) for the lists that every node and link carries:
// half-links, shape points and string values. Most of them are short or empty, and a million-element
// network holds millions of them, so they avoid std::vector's third pointer.
#pragma once

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <memory>
#include <utility>

namespace zan {

template <class T> class TCompactVector {
public:
    TCompactVector() = default;
    TCompactVector(const TCompactVector& other) { CopyFrom(other); }
    TCompactVector& operator=(const TCompactVector& other) {
        if (this != &other) {
            TCompactVector copy(other);
            swap(copy);
        }
        return *this;
    }
    TCompactVector(TCompactVector&& other) noexcept { swap(other); }
    TCompactVector& operator=(TCompactVector&& other) noexcept {
        TCompactVector moved(std::move(other));
        swap(moved);
        return *this;
    }
    ~TCompactVector() = default;

    void swap(TCompactVector& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    std::uint32_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::uint32_t i) {
        assert(i < size_);
        return data_[i];
    }
    const T& operator[](std::uint32_t i) const {
        assert(i < size_);
        return data_[i];
    }
    T& back() { return data_[size_ - 1]; }
    T* begin() { return data_.get(); }
    T* end() { return data_.get() + size_; }
    const T* begin() const { return data_.get(); }
    const T* end() const { return data_.get() + size_; }

    void push_back(T value) { insert(size_, std::move(value)); }

    std::uint32_t capacity() const { return capacity_; }
    void reserve(std::uint32_t n) {
        if (n > capacity_)
            Grow(n);
    }

    void insert(std::uint32_t pos, T value) {
        assert(pos <= size_);
        if (size_ == capacity_)
            Grow(capacity_ == 0 ? 1 : (capacity_ < 8 ? capacity_ * 2 : capacity_ + capacity_ / 2));
        for (std::uint32_t i = size_; i > pos; --i)
            data_[i] = std::move(data_[i - 1]);
        data_[pos] = std::move(value);
        ++size_;
    }

    void erase(std::uint32_t pos) {
        assert(pos < size_);
        for (std::uint32_t i = pos; i + 1 < size_; ++i)
            data_[i] = std::move(data_[i + 1]);
        --size_;
        data_[size_] = T{};
    }

    void pop_back() { erase(size_ - 1); }

    void resize(std::uint32_t n) {
        if (n > capacity_)
            Grow(n);
        for (std::uint32_t i = n; i < size_; ++i)
            data_[i] = T{};
        size_ = n;
    }

    void clear() {
        data_.reset();
        size_ = capacity_ = 0;
    }

    // Index of the first element equal to value, or -1.
    std::int64_t find(const T& value) const {
        for (std::uint32_t i = 0; i < size_; ++i) {
            if (data_[i] == value)
                return i;
        }
        return -1;
    }

private:
    void Grow(std::uint32_t capacity) {
        auto fresh = std::make_unique<T[]>(capacity);
        std::move(data_.get(), data_.get() + size_, fresh.get());
        data_ = std::move(fresh);
        capacity_ = capacity;
    }
    void CopyFrom(const TCompactVector& other) {
        if (other.size_ == 0)
            return;
        data_ = std::make_unique<T[]>(other.size_);
        std::copy(other.begin(), other.end(), data_.get());
        size_ = capacity_ = other.size_;
    }

    std::unique_ptr<T[]> data_;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};

} // namespace zan
