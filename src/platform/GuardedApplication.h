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

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    Desktop* errorDesktop_ = nullptr;
};

// Shows an escaped error the way the program's general error display does.
void ShowGeneralError(Desktop* desktop, const QString& message);
