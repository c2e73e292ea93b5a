#include "Spoken.h"

#include "Conversions.h"

namespace quintora {

std::string SpokenNumber(std::string_view shown) {
  const std::size_t first = shown.find_first_not_of(' ');
  shown.remove_prefix(first == std::string_view::npos ? shown.size() : first);
  if (shown.ends_with('.')) shown.remove_suffix(1);

  const std::size_t e_at = shown.find('E');
  std::string mantissa(shown.substr(0, e_at));
  const bool negative = mantissa.starts_with('-');
  if (negative) mantissa.erase(0, 1);
  if (mantissa.empty() || mantissa.starts_with('.')) mantissa.insert(0, "0");
  if (const std::size_t point = mantissa.find('.'); point != std::string::npos) mantissa[point] = ',';
  std::string spoken = (negative ? "-" : "") + mantissa;
  if (e_at == std::string_view::npos) return spoken;

  std::string_view exponent = shown.substr(e_at + 1);
  spoken += " por diez elevado a ";
  if (exponent.starts_with('-')) spoken += "menos ";
  if (exponent.starts_with('-') || exponent.starts_with('+')) exponent.remove_prefix(1);
  const std::size_t digits = exponent.find_first_not_of('0');
  spoken += digits == std::string_view::npos ? "0" : std::string(exponent.substr(digits));
  return spoken;
}

std::string SpokenMemory(const ValueSlot& memory) {
  const double value = OperandValue(memory);
  if (value == 0) return "Memoria vacía";
  return "En memoria " + SpokenNumber(MemoryText(value));
}

}  // namespace quintora
