#pragma once

#include <sstream>
#include <string>

#include <ostream>

#include <gtest/gtest.h>

#include "EngineState.h"
#include "KeySession.h"

namespace quintora::testing {

enum class Route { Skin, Buttons, Keyboard };

// Rewrites a sequence of skin tokens for another route. Keys that only exist
// on the skin (C, CE, memory keys) stay skin clicks.
inline std::string OnRoute(const std::string& skin_keys, Route route) {
  if (route == Route::Skin) return skin_keys;
  const std::string prefix = route == Route::Buttons ? "b" : "k";
  std::istringstream in(skin_keys);
  std::string token, out;
  while (in >> token) {
    const bool typed_key = token.size() == 1 && std::string("0123456789.+-X/=").find(token[0]) !=
                                                    std::string::npos;
    if (typed_key) token = prefix + (token == "X" ? "*" : token);
    out += (out.empty() ? "" : " ") + token;
  }
  return out;
}

inline std::string RouteName(const ::testing::TestParamInfo<Route>& info) {
  switch (info.param) {
    case Route::Skin: return "Skin";
    case Route::Buttons: return "Buttons";
    case Route::Keyboard: return "Keyboard";
  }
  return "";
}

// Runs a sequence from a freshly started calculator; fails the test on an
// unknown token.
inline void PressKeys(KeySession& session, const std::string& keys) {
  std::istringstream in(keys);
  std::string token;
  while (in >> token) {
    if (!session.Press(token)) ADD_FAILURE() << "unknown key " << token;
  }
}

}  // namespace quintora::testing
