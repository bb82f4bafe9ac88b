#pragma once
// The error the data-file readers raise: its text is what the error box shows.

#include <stdexcept>
#include <string>

namespace kolbet {

class DataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "Datei kolbet.dat kann nicht geöffnet werden"
inline DataError CannotOpenFile(const std::string& name) {
  return DataError("Datei " + name + " kann nicht geöffnet werden");
}

}  // namespace kolbet
