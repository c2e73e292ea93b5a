#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace quintora {

// A dynamically typed value: nothing, a 16-bit integer, a double or a text.
// Operands and the memory are slots; they are copied by value.
using ValueSlot = std::variant<std::monostate, std::int16_t, double, std::string>;

// A 16-bit boolean as it crosses interfaces: true is -1, false is 0.
using Flag = std::int16_t;
inline constexpr Flag kTrue = -1;
inline constexpr Flag kFalse = 0;

inline bool IsTrue(Flag flag) { return flag != kFalse; }

}  // namespace quintora
