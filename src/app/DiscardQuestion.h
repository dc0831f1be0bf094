#pragma once

class Desktop;

// Asks whether a recording (or an import) that was never saved may be thrown
// away. Every command that would discard it asks this first, whichever it is.
// True when the user answers "Ja"; "Nein" means the command stops.
bool AskDiscardRecording(Desktop& desktop);
