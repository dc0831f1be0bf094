#include "DiscardQuestion.h"

#include "platform/Desktop.h"

bool AskDiscardRecording(Desktop& desktop) {
    const int pressed =
        desktop.MessageBox({QStringLiteral("Spurwerk"),
                            QStringLiteral("Die Aufzeichnung ist noch nicht gespeichert.\r"
                                           "Sollen die Daten verworfen werden?"),
                            Desktop::Icon::Question, Desktop::Yes | Desktop::No});
    return pressed == Desktop::Yes;
}
