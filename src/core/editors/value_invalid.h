#pragma once

#include <stdexcept>
#include <string>

namespace zv {

// An editor refused a value; the message is in the current language. Editors raise it where the
// refusal is found and report it in an error box at their key entry, so a refused step stores
// and sends nothing.
class EValueInvalid : public std::runtime_error {
  public:
    explicit EValueInvalid(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zv
