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
    // Loads only the named decoders and what they stack on is not loaded: a
    // command-line run starts much faster than with all hundred. A name the
    // library does not know is simply missing from Decoders().
    explicit Library(const std::vector<std::string>& decoderIds);
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
    void Start(const std::vector<std::string>* decoderIds);

    std::unique_ptr<LogSink> log_;
    Catalogue catalogue_;
};

} // namespace sigrokdecode
