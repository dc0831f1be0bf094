#include "support/ProgramIcon.h"
#include "support/TAboutBox.h"
#include "support/TOKBottomDlg2.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Counts how often it is painted, standing in for the diagram.
class PaintProbe : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(AboutBox, CaptionAndTexts) {
    TAboutBox box(nullptr, {});
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(box.findChild<QLabel*>("ProductName")->text(), QStringLiteral("Spurwerk"));
    EXPECT_TRUE(box.findChild<QLabel*>("ProductName")->font().bold());
    EXPECT_TRUE(box.findChild<QLabel*>("Comments")->wordWrap());
    EXPECT_TRUE(box.findChild<QPushButton*>("OKButton")->isDefault());
    const QLabel* icon = box.findChild<QLabel*>("ProgramIcon");
    ASSERT_NE(icon, nullptr);
    // The program's own picture, not a generic one of the style.
    const QImage shown = icon->pixmap().toImage();
    EXPECT_FALSE(shown.isNull());
    EXPECT_EQ(shown.convertToFormat(QImage::Format_ARGB32),
              ProgramIcon().pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32));
    EXPECT_FALSE(ProgramIcon().pixmap(64, 64).isNull()) << "the icon is built into the program";
}

TEST(AboutBox, InfoShowsTheVersionWithoutBlockingAndOkHidesAndRepaintsTheDiagram) {
    bool visibleAtRepaint = true;
    int repaints = 0;
    TAboutBox box(nullptr, [&] {
        visibleAtRepaint = box.isVisible();
        ++repaints;
    });
    box.ShowInfo();
    EXPECT_TRUE(box.isVisible());
    EXPECT_FALSE(box.isModal());
    EXPECT_EQ(box.findChild<QLabel*>("VersionNr")->text(), QStringLiteral("Version 1.0.40.36"));

    EXPECT_EQ(repaints, 0);
    box.findChild<QPushButton*>("OKButton")->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(repaints, 1);
    EXPECT_FALSE(visibleAtRepaint);
}

class BitTextDialog : public ::testing::Test {
  protected:
    // Runs action once the modal dialog's event loop is up.
    std::optional<QString> editWhile(const QString& current, std::function<void()> action) {
        QTimer::singleShot(0, &dialog, std::move(action));
        return dialog.EditLineName(current);
    }
    QPushButton* button(const char* name) { return dialog.findChild<QPushButton*>(name); }

    TOKBottomDlg2 dialog;
};

TEST_F(BitTextDialog, CaptionAndControls) {
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Eingabe vom Bit-Text"));
    EXPECT_EQ(button("OKBtn")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(button("OKBtn")->isDefault());
    EXPECT_EQ(button("CancelBtn")->text(), QStringLiteral("Abbrechen"));
    EXPECT_NE(dialog.findChild<QLineEdit*>("Edit1"), nullptr);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "a dialog of fixed size";
}

TEST_F(BitTextDialog, ShowsTheCurrentNameAndOkReturnsTheText) {
    QString shown;
    const auto result = editWhile(QStringLiteral("D09"), [&] {
        shown = dialog.Edit1().text();
        dialog.Edit1().setText(QStringLiteral("Takt"));
        button("OKBtn")->click();
    });
    EXPECT_EQ(shown, QStringLiteral("D09"));
    EXPECT_EQ(result, QStringLiteral("Takt"));
}

TEST_F(BitTextDialog, OkWithAnEmptyFieldGivesAnEmptyName) {
    const auto result = editWhile(QStringLiteral("D09"), [&] {
        dialog.Edit1().clear();
        button("OKBtn")->click();
    });
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->isEmpty());
}

TEST_F(BitTextDialog, CancelAndEscapeGiveNothing) {
    EXPECT_FALSE(editWhile(QStringLiteral("D01"), [&] {
                     dialog.Edit1().setText(QStringLiteral("x"));
                     button("CancelBtn")->click();
                 }).has_value());
    EXPECT_FALSE(editWhile(QStringLiteral("D01"), [&] {
                     QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                     QApplication::sendEvent(&dialog, &esc);
                 }).has_value());
}

} // namespace
