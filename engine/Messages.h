#pragma once

// The fixed texts the calculator shows.
namespace quintora::messages {

inline constexpr const char* kEntryLimit =
    "Ha llegado al límite de caracteres para esta Versión de Quintora 1.1.";
inline constexpr const char* kDivisionByZero = "Error, División entre cero";
inline constexpr const char* kOverflow = "Error, Desbordamiento";
inline constexpr const char* kPasteRefused = "Error, el texto pegado no es un número válido";
inline constexpr const char* kAbout = "Quintora 1.1\nCalculadora de escritorio\nquintora@example.org";
inline constexpr int kAboutFontPoints = 10;
inline constexpr const char* kPointOverflow = "Maximum digits  15\r\nResult overflowed";
inline constexpr int kErrorFontPoints = 12;

}  // namespace quintora::messages
