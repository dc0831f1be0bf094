#include "platform/Desktop.h"

void Desktop::ShowMessage(const QString& text, const QString& caption, Icon icon) {
    MessageBox({caption, text, icon, Ok});
}
