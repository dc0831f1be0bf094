#pragma once

class Desktop;

// Asks whether a recording that was never saved may be thrown away. True when
// the user answers "Ja"; "Nein" means the command that would discard it stops.
bool AskDiscardRecording(Desktop& desktop);
