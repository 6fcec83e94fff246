// A text of 8-bit bytes held in one pointer: null when empty, else a heap block with the length in
// front. Element names, notes and string values are mostly short or empty, and millions of elements
// carry several of them, so this saves three quarters of a std::string's footprint.
#pragma once

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace zan {

class TText {
public:
    TText() = default;
    explicit TText(std::string_view s) { Assign(s); }
    explicit TText(const char* s) { Assign(s); }
    explicit TText(const std::string& s) { Assign(s); }
    TText(const TText& other) { Assign(other.view()); }
    TText& operator=(const TText& other) {
        if (this != &other)
            Assign(other.view());
        return *this;
    }
    TText(TText&&) noexcept = default;
    TText& operator=(TText&&) noexcept = default;
    TText& operator=(std::string_view s) {
        Assign(s);
        return *this;
    }
    TText& operator=(const char* s) { return *this = std::string_view(s); }
    TText& operator=(const std::string& s) { return *this = std::string_view(s); }

    std::string_view view() const {
        if (!block_)
            return {};
        std::uint32_t n = 0;
        std::memcpy(&n, block_.get(), sizeof n);
        return {block_.get() + sizeof n, n};
    }
    operator std::string_view() const { return view(); }
    std::string str() const { return std::string(view()); }
    std::size_t size() const { return view().size(); }
    bool empty() const { return !block_; }

    friend bool operator==(const TText& a, const TText& b) { return a.view() == b.view(); }
    friend bool operator==(const TText& a, std::string_view b) { return a.view() == b; }

private:
    void Assign(std::string_view s) {
        if (s.empty()) {
            block_.reset();
            return;
        }
        const auto n = static_cast<std::uint32_t>(s.size());
        auto block = std::make_unique_for_overwrite<char[]>(sizeof n + n);
        std::memcpy(block.get(), &n, sizeof n);
        std::memcpy(block.get() + sizeof n, s.data(), n);
        block_ = std::move(block);
    }

    std::unique_ptr<char[]> block_;
};

// Cuts a text to a fixed capacity (names 30, aliases 10): longer input is cut, never refused.
inline std::string_view CutText(std::string_view s, std::size_t capacity) {
    return s.substr(0, std::min(s.size(), capacity));
}

} // namespace zan
