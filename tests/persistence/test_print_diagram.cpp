#include "ScriptedDesktop.h"
#include "persistence/PrintDiagram.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

// A picture whose left half is red and right half blue, so stretching and
// placement both show in the printed pixels.
QImage diagram(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height, Qt::blue);
    return image;
}

// A page image of the given resolution; at 300 dpi one image pixel is one
// printer pixel.
QImage page(int width, int height, int dpi = 300) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int dotsPerMeter = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

// The smallest rectangle holding every pixel that is not white.
QRect drawnArea(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(PrintDiagram, TargetRectangleUsesRightAndBottomAsCoordinates) {
    EXPECT_EQ(PrintTargetRect(QRect(0, 40, 772, 390)), QRect(QPoint(0, 40), QPoint(2315, 1169)));
    EXPECT_EQ(PrintTargetRect(QRect(5, 40, 100, 50)), QRect(QPoint(5, 40), QPoint(299, 149)));
}

TEST(PrintDiagram, StretchesThePictureIntoTheTarget) {
    struct Case {
        QRect display;
        QPoint inside[4];  // coloured: red, red, blue, blue
        QPoint outside[4]; // still white
    } cases[] = {
        {QRect(0, 40, 772, 390),
         {{0, 40}, {1157, 1169}, {1158, 40}, {2315, 1169}},
         {{0, 39}, {2316, 600}, {1000, 1170}, {2399, 1199}}},
        {QRect(5, 40, 100, 50),
         {{5, 40}, {151, 149}, {153, 40}, {299, 149}},
         {{4, 100}, {300, 100}, {100, 39}, {100, 150}}},
    };
    for (const Case& c : cases) {
        QImage target = page(2400, 1200);
        PrintDiagram(target, diagram(c.display.width(), c.display.height()), c.display);
        const QRgb expected[4] = {qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(0, 0, 255),
                                  qRgb(0, 0, 255)};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(target.pixel(c.inside[i]), expected[i])
                << c.inside[i].x() << "," << c.inside[i].y();
            EXPECT_EQ(target.pixel(c.outside[i]), qRgb(255, 255, 255))
                << c.outside[i].x() << "," << c.outside[i].y();
        }
    }
}

TEST(PrintDiagram, FitFactorShrinksOnlyWhatDoesNotFit) {
    const QRect target = PrintTargetRect(QRect(0, 40, 772, 390)); // right 2316, bottom 1170
    struct Case {
        QSizeF page;
        double factor;
    } cases[] = {
        {{3000, 2000}, 1.0},          // room to spare
        {{2316, 1170}, 1.0},          // exactly the page
        {{2200, 2000}, 2200.0 / 2316}, // too narrow
        {{3000, 585}, 0.5},           // too low
        {{1158, 585}, 0.5},           // both, equally
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(PrintFitFactor(target, c.page), c.factor)
            << c.page.width() << " x " << c.page.height();
}

TEST(PrintDiagram, DevicesOfAnyResolutionGetTheWholeDiagram) {
    struct Case {
        const char* what;
        QSize size;
        int dpi;
        QRect expected; // where the diagram lands, device pixels
    } cases[] = {
        // 2316 x 1170 printer pixels are 7.72 x 3.9 inches: 1158 x 585 at 150 dpi.
        {"letter at 150 dpi", {1275, 1650}, 150, QRect(QPoint(0, 20), QPoint(1157, 584))},
        // Too narrow for 7.72 inches: shrunk to the width, proportions kept.
        {"half width at 150 dpi", {579, 800}, 150, QRect(QPoint(0, 10), QPoint(578, 292))},
        {"screen resolution", {800, 600}, 96, QRect(QPoint(0, 13), QPoint(740, 374))},
    };
    for (const Case& c : cases) {
        QImage target = page(c.size.width(), c.size.height(), c.dpi);
        PrintDiagram(target, diagram(772, 390), QRect(0, 40, 772, 390));
        const QRect drawn = drawnArea(target);
        EXPECT_LE(std::abs(drawn.left() - c.expected.left()), 1) << c.what;
        EXPECT_LE(std::abs(drawn.top() - c.expected.top()), 1) << c.what;
        EXPECT_LE(std::abs(drawn.right() - c.expected.right()), 1) << c.what;
        EXPECT_LE(std::abs(drawn.bottom() - c.expected.bottom()), 1) << c.what;
        EXPECT_LT(drawn.right(), c.size.width()) << c.what;
        EXPECT_LT(drawn.bottom(), c.size.height()) << c.what;
    }
}

TEST(PrintDiagram, DisplayBeyondItsStretchedSizeDrawsNothing) {
    QImage target = page(300, 300);
    PrintDiagram(target, diagram(10, 10), QRect(50, 50, 10, 10));
    EXPECT_EQ(target, page(300, 300));
}

TEST(PrintDiagram, CancelledDialogPrintsNothing) {
    ScriptedDesktop desktop;
    QTemporaryDir dir;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    EXPECT_FALSE(
        PrintDiagramWithDialog(desktop, printer, diagram(772, 390), QRect(0, 40, 772, 390)));
    EXPECT_EQ(desktop.count(ScriptedDesktop::Call::Kind::Print), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("out.pdf")));
}

TEST(PrintDiagram, PrintsAPdfPage) {
    ScriptedDesktop desktop;
    desktop.printAnswers = {true};
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("out.pdf"));
    EXPECT_TRUE(
        PrintDiagramWithDialog(desktop, printer, diagram(772, 390), QRect(0, 40, 772, 390)));
    QFile pdf(dir.filePath("out.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF")) << bytes.left(16).constData();
    EXPECT_TRUE(bytes.contains("/Image")); // the diagram went onto the page as a picture
    EXPECT_FALSE(bytes.contains("/DCTDecode")) << "a line diagram is not stored as JPEG";
}

TEST(PrintDiagram, UnwritablePrinterOutputIsAnError) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/nonexistent-folder/out.pdf");
    EXPECT_THROW(PrintDiagram(printer, diagram(10, 10), QRect(0, 0, 10, 10)), EPrintError);
}
