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

// libsigrok's reason for a return code, in German: the library's own texts
// ("generic/unspecified error") are English.
std::string ErrorCodeText(int rc);

} // namespace sigrok
