#pragma once

#include <string>
#include <string_view>

#include "ValueSlot.h"

// What a screen reader says for what the calculator shows. A Spanish voice
// reads "0.5" and "123." with "punto" as a thousands separator, so numbers
// are handed to it with a decimal comma and the exponent in words.
namespace quintora {

// A display text as it is said: without the leading blank and the trailing
// point, a 0 before a leading point, a decimal comma, and "M por diez
// elevado a E" for a mantissa with an exponent ("1E-07." gives "1 por diez
// elevado a menos 7").
std::string SpokenNumber(std::string_view shown);

// The memory as it is said: "En memoria V", or "Memoria vacía" when it
// holds zero.
std::string SpokenMemory(const ValueSlot& memory);

}  // namespace quintora
