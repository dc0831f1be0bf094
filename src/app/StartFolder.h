#pragma once

#include <QString>

// A program started from the desktop menu gets whatever working directory the
// desktop hands it (often the home folder or "/"), yet the settings file and
// NONAME.DIG go to the working directory. The menu entry therefore asks for
// the folder "Spurwerk" in the user's documents, the same folder the open
// dialog starts in: it is made when missing and entered. Answers the folder,
// or an empty text when it could not be made or entered (the program then
// stays where it was started).
QString EnterDocumentsFolder();
