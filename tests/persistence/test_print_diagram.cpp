#include "ScriptedDesktop.h"
#include "persistence/PrintDiagram.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

QImage page(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
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
}

TEST(PrintDiagram, UnwritablePrinterOutputIsAnError) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/nonexistent-folder/out.pdf");
    EXPECT_THROW(PrintDiagram(printer, diagram(10, 10), QRect(0, 0, 10, 10)), EPrintError);
}
