// Variables that the protocol parsers route to loaders which are not built yet (the graph
// loaders and the alarm log). Every such route goes through this one function, so that
// what is still missing can be found in one search and nothing is logged as an error.
#pragma once

#include <string_view>

#include "session/input_table.h"

namespace kalmet {

inline void NotHandledYet(std::string_view loader, const TInputData& value) {
  (void)loader;
  (void)value;
}

}  // namespace kalmet
