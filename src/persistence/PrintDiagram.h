#pragma once

#include <QImage>
#include <QRect>
#include <QSizeF>
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

// The print geometry counts in "printer pixels" of a 300-dpi printer, the
// kind the diagram's print size was made for; every device is mapped onto it
// by its own resolution, so a 772 x 390 display prints 7.72 by 3.9 inches.
inline constexpr double kPrinterPixelsPerInch = 300.0;

// Where the diagram goes on the page, in printer pixels: from the display's
// left and top to three times its width and height. Right and bottom are
// coordinates, not sizes, so a display placed at (0, 40) with 772 x 390
// pixels fills (0, 40) to (2316, 1170).
QRect PrintTargetRect(const QRect& displayGeometry);

// How much the target must shrink so that its right and bottom edges stay on
// a printable area of `page` printer pixels: 1 when it fits as it is.
double PrintFitFactor(const QRect& target, const QSizeF& page);

// Stretches the display's picture into the target rectangle of any paint
// device: begins painting (for a printer: begins the document), draws, ends.
// The whole diagram lands on the printable area, shrunk to fit when the page
// is too small, and the picture goes onto a PDF without lossy compression.
// Raises EPrintError when the device cannot be painted on.
void PrintDiagram(QPaintDevice& device, const QImage& picture, const QRect& displayGeometry);

// The print command: shows the print dialog for `printer` (a print job
// object of the caller's own) and prints the diagram. False when the user
// cancelled the dialog.
bool PrintDiagramWithDialog(Desktop& desktop, QPrinter& printer, const QImage& picture,
                            const QRect& displayGeometry);
