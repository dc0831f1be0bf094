#pragma once

#include <QImage>
#include <QRect>
#include <exception>
#include <string>

class Desktop;
class QPaintDevice;
class QPrinter;

// A print job that could not be started.
class EPrintError : public std::exception {
  public:
    explicit EPrintError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

  private:
    std::string message_;
};

// Where the diagram goes on the page, in device pixels: from the display's
// left and top to three times its width and height. Right and bottom are
// coordinates, not sizes, so a display placed at (0, 40) with 772 x 390
// pixels fills (0, 40) to (2316, 1170).
QRect PrintTargetRect(const QRect& displayGeometry);

// Stretches the display's picture into the target rectangle of any paint
// device: begins painting (for a printer: begins the document), draws, ends.
// Raises EPrintError when the device cannot be painted on.
void PrintDiagram(QPaintDevice& device, const QImage& picture, const QRect& displayGeometry);

// The print command: shows the print dialog for `printer` (a print job
// object of the caller's own) and prints the diagram. False when the user
// cancelled the dialog.
bool PrintDiagramWithDialog(Desktop& desktop, QPrinter& printer, const QImage& picture,
                            const QRect& displayGeometry);
