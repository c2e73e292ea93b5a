#pragma once

#include <array>

// The captions of the operator and memory keys, in the order of their
// control indices: the key labels show them on hover, the hidden operator
// buttons carry theirs, and the key harness names the keys by them.
namespace quintora {

inline constexpr std::array<const char*, 5> kOperatorLabelCaptions = {"+", "-", "X", "/", "="};
inline constexpr std::array<const char*, 5> kOperatorButtonCaptions = {"+", "-", "*", "/", "="};
inline constexpr std::array<const char*, 4> kMemoryLabelCaptions = {"M+", "M-", "MR", "MC"};

}  // namespace quintora
