#pragma once

#include <string>
#include <string_view>

// The program a user starts answers help and version itself and hands
// everything else to one of its two partners, which lie beside it in the build
// tree and in its library folder when installed.
namespace front {

inline constexpr const char* CommandsProgramName = "spurwerk-commands";
inline constexpr const char* WindowProgramName = "spurwerk-window";

// The partner's file for the running program: beside it when there, else in
// the installed library folder. Empty where the system does not say where
// the running program lies.
std::string PartnerProgram(const char* name);

// Goes on as the partner with the same arguments (argv as main got it; argv[0]
// stays as the user typed it, so the window keeps its name on the desktop).
// Returns only when that fails, with the exit status after a message on
// standard error naming what is missing.
int HandOver(const char* name, char** argv);

// Writes all of text to the descriptor (standard output or error), going on
// after an interrupted write; false when the text did not all go out (a full
// disk), so the program does not claim success.
bool Write(int fd, std::string_view text);

// Whether a window could appear: an X or Wayland display, or a platform the
// GUI toolkit was told to use.
bool DisplayAvailable(bool platformGiven);

} // namespace front
