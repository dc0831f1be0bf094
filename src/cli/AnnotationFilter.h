#pragma once

#include "sigrok/decode/Annotations.h"
#include "sigrok/decode/DecodeSetup.h"

#include <string>
#include <vector>

namespace cli {

// The annotations -A asks for, in sigrok-cli's syntax: decoders separated by
// commas, each with the classes or rows it shows after "=", separated by
// colons ("uart=rx-data:tx-data,i2c"). Without any -A the top decoder of each
// stack shows all its rows.
class AnnotationFilter {
  public:
    // Throws std::invalid_argument for an empty decoder or class name.
    void Add(const std::string& text);
    // After the decoders are known: an empty text when every named decoder
    // runs and has every named class or row, else the message (German, in
    // sigrok-cli's shape).
    std::string Check(const std::vector<sigrokdecode::ResolvedStack>& stacks);
    bool Shows(const sigrokdecode::AnnotationRow& row, const sigrokdecode::Annotation& a) const;

  private:
    struct Entry {
        std::string decoder; // id ("uart") or instance ("uart-1")
        std::string name;    // class or row id; empty: all of the decoder's rows
        // A class id wins over a row of the same name (as sigrok-cli reads -A).
        bool isClass = false;
    };
    std::vector<Entry> entries_;
};

} // namespace cli
