#pragma once

#include <stdexcept>
#include <string>

namespace sigrokdecode {

// Everything that goes wrong in setting up or running a decoder, with a German
// message fit for a message box or standard error.
class DecodeError : public std::runtime_error {
  public:
    explicit DecodeError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace sigrokdecode
