#pragma once

#include <QApplication>

class Desktop;

// The application object. A command that throws must not take the program
// down: the exception is caught where Qt dispatches the event, shown in an
// error box, and the event loop runs on.
class GuardedApplication : public QApplication {
  public:
    GuardedApplication(int& argc, char** argv);

    // The desktop that shows caught errors; without one they go to stderr.
    void SetErrorDesktop(Desktop* desktop) { errorDesktop_ = desktop; }
    Desktop* ErrorDesktop() const { return errorDesktop_; }
    // Shows an error through desktop, or the error desktop when it is null.
    // An error raised while an error box is open (a paint event behind the
    // box, say) goes to stderr instead of opening box after box.
    void ReportError(Desktop* desktop, const QString& message);

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    Desktop* errorDesktop_ = nullptr;
    bool reporting_ = false;
};

// Shows an escaped error the way the program's general error display does.
void ShowGeneralError(Desktop* desktop, const QString& message);
