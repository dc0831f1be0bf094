#pragma once

#include <stdexcept>
#include <string>

namespace sigrok {

// Every failure of an exchange with libsigrok: a German message for the user
// that names the file and, where libsigrok said why, its reason.
class Error : public std::runtime_error {
  public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

} // namespace sigrok
