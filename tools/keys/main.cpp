// quintora-keys: runs key sequences through a freshly started calculator and
// prints its state after each sequence as one line of JSON.
//   quintora-keys [--decimal-comma] [SEQUENCE ...]   one sequence per argument
//   quintora-keys [--decimal-comma] < file           one sequence per line
// --decimal-comma: the user's decimal separator is a comma.

#include <iostream>
#include <sstream>
#include <string>

#include "KeySession.h"

namespace {

bool decimal_comma = false;

// Returns false after reporting an unknown key.
bool RunSequence(const std::string& sequence) {
  quintora::KeySession session(decimal_comma);
  std::istringstream tokens(sequence);
  std::string token;
  while (tokens >> token) {
    if (!session.Press(token)) {
      std::cout.flush();
      std::cerr << "quintora-keys: unknown key '" << token << "'\n";
      return false;
    }
  }
  std::cout << session.Json() << '\n';
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  int first = 1;
  if (argc > 1 && std::string(argv[1]) == "--decimal-comma") {
    decimal_comma = true;
    ++first;
  }
  if (argc > first) {
    for (int i = first; i < argc; ++i) {
      if (!RunSequence(argv[i])) return 2;
    }
    return 0;
  }
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!RunSequence(line)) return 2;
  }
  return 0;
}
