#pragma once

#include <string>

// The system's error for an errno value in German. The C library's own texts
// are English wherever no German catalogue is installed (always under the C
// locale the commands run in), and a German sentence ending in English words
// reads as a fault; the errors a file, a device or a program start can meet are
// translated here, any other keeps the system's text after its number.
std::string SystemErrorText(int error);
