// Reads fixed-size values off the front of a fuzzer's input; zeros once it runs out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace px::fuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T>
    T Take() {
        T value{};
        const std::size_t n = sizeof(T) < size_ ? sizeof(T) : size_;
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    std::string Rest() {
        std::string s(reinterpret_cast<const char*>(data_), size_);
        size_ = 0;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace px::fuzz

// A broken invariant must stop the fuzzer, in release builds too.
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) __builtin_trap(); \
    } while (0)
