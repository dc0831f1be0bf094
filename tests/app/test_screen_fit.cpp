#include "../sigrokdecode/SignalSynth.h"
#include "MainWindowFixture.h"

#include "app/DecodeCommands.h"
#include "app/ScreenFit.h"
#include "decodeview/DecodeWindow.h"
#include "sigrok/decode/DecodeSetup.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

TEST(ScreenFit, HeightHeldAt755WhereTheScreenHoldsIt) {
    const QMargins frame(4, 30, 4, 4);
    struct Case {
        QRect available;
        int height;
    };
    for (const Case c : {Case{{0, 0, 1280, 1024}, 755},
                         {{0, 0, 1024, 768}, 734},  // the frame's 34 pixels come off
                         {{0, 24, 1024, 744}, 710}, // a panel at the top too
                         {{0, 0, 640, 400}, 400},   // never below the least height
                         {{}, 755}})                // no screen known
        EXPECT_EQ(screenfit::HeldHeight(755, 400, c.available, frame), c.height)
            << c.available.height();
}

TEST(ScreenFit, WindowsAndRowsArePlacedInsideTheirArea) {
    const QMargins frame(4, 30, 4, 4);
    const QRect small(0, 0, 1024, 768);
    // Centred by its client area, the frame would reach below the screen.
    EXPECT_EQ(screenfit::KeepOnScreen({80, 17, 864, 734}, small, frame), QRect(80, 30, 864, 734));
    EXPECT_EQ(screenfit::KeepOnScreen({-50, 5, 864, 734}, small, frame), QRect(4, 30, 864, 734));

    const QRect mainFrame(76, 0, 872, 768);
    struct Case {
        QRect available;
        QRect list;
    };
    for (const Case c :
         {Case{{0, 0, 2304, 1024}, {952, 30, 480, 360}}, // right of the main window
          {{0, 0, 1024, 768}, {464, 404, 480, 360}}}) {  // over its lower right corner
        const QRect list = screenfit::BesideMainWindow(mainFrame, {480, 360}, c.available, frame);
        EXPECT_EQ(list, c.list);
        EXPECT_TRUE(c.available.contains(list.marginsAdded(frame)));
    }

    const QRect diagram(0, 40, 863, 560);
    EXPECT_EQ(screenfit::RowsUnderAxis(diagram, 337, 56, 56), QRect(0, 377, 863, 56));
    // More rows than room: as many as fit, the rest scroll.
    EXPECT_EQ(screenfit::RowsUnderAxis(diagram, 337, 300, 56), QRect(0, 377, 863, 223));
    // Sixteen lines leave no room under the axis: the rows take the diagram's bottom.
    EXPECT_EQ(screenfit::RowsUnderAxis(diagram, 600, 84, 56), QRect(0, 544, 863, 56));
}

namespace {

class SmallScreenTest : public MainWindowTest {
  protected:
    QScreen* smallScreen() const {
        for (QScreen* s : QGuiApplication::screens())
            if (s->geometry().size() == QSize(1024, 768)) return s;
        return nullptr;
    }
};

} // namespace

// The window as it opens on a 1024 x 768 screen, with the annotation list
// beside it: nothing lies outside the screen.
TEST_F(SmallScreenTest, MainWindowAndAnnotationListLieOnA1024x768Screen) {
    QScreen* screen = smallScreen();
    ASSERT_NE(screen, nullptr);
    window->setScreen(screen);
    window->move(screen->geometry().topLeft() + QPoint(50, 50));
    window->show();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(window->screen(), screen);
    const QRect available = screen->availableGeometry();
    EXPECT_TRUE(available.contains(window->frameGeometry())) << window->frameGeometry().height();
    EXPECT_LE(window->height(), 755);
    // Every part of the window inside its client area, the diagram above the scroll bar.
    for (const QWidget* child :
         window->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->isVisible()) {
            EXPECT_TRUE(window->centralWidget()->rect().contains(child->geometry()))
                << child->objectName().toStdString();
        }
    EXPECT_LE(trazor().geometry().bottom(), window->Ui().ScrollBar1->geometry().top());
    // Any other height snaps back to the one held on this screen.
    const int held = window->height();
    window->resize(900, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(window->height(), held);

    SignalSynth s;
    s.Hold(100);
    s.Uart(0, "Klein", 1e6, 9600);
    trazor().LoadStream(s.Planes());
    trazor().SetTimeBase(sampling::TimeBase::Exact(sampling::SamplePeriod::FromRateHz(1'000'000)));
    window->Decode().ApplySetup(
        {sigrokdecode::ParseStack("uart:rx=D00:baudrate=9600:format=ascii")});
    window->Decode().WaitForRun();
    QCoreApplication::processEvents();
    DecodeWindow* list = window->Decode().Window();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible());
    EXPECT_TRUE(available.contains(list->frameGeometry()))
        << list->frameGeometry().x() << "," << list->frameGeometry().y();
    const QScrollArea& rows = window->Decode().RowsPanel();
    EXPECT_TRUE(rows.isVisible());
    EXPECT_TRUE(trazor().geometry().contains(rows.geometry()));
}
