#pragma once
// The text of the DataError that a call raises, for tests of the readers'
// error texts; "(no error)" when it raises none.

#include <string>

#include "assets/data_error.h"

namespace kolbet {

template <typename F>
std::string ErrorOf(F&& call) {
  try {
    call();
  } catch (const DataError& error) {
    return error.what();
  }
  return "(no error)";
}

}  // namespace kolbet
