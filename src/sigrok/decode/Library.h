#pragma once

#include "sigrok/decode/DecoderInfo.h"

#include <memory>
#include <string>
#include <vector>

// The protocol decoder library, started once: it embeds a Python interpreter
// and loads every decoder it finds (the Debian package installs them under
// /usr/share/libsigrokdecode/decoders; SIGROKDECODE_DIR adds a folder).
//
//   sigrokdecode::Library library;           // throws DecodeError when unusable
//   for (const auto& d : library.Decoders()) ...
namespace sigrokdecode {

class Library {
  public:
    Library();
    ~Library();

    // The one instance of this process, started on first use and shared by
    // everyone who holds it; it ends when the last holder lets go.
    static std::shared_ptr<Library> Shared();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    const Catalogue& Decoders() const { return catalogue_; }
    // The library's error messages since the last call (Python tracebacks
    // included), oldest first.
    std::vector<std::string> TakeLoggedErrors();

    struct LogSink;

  private:
    std::unique_ptr<LogSink> log_;
    Catalogue catalogue_;
};

} // namespace sigrokdecode
