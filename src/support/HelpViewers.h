#pragma once

#include <QString>
#include <QStringList>

// The ways the help hook shows the help file: the program's own help window,
// or an external viewer program. Tests put doubles in their place.

class HelpWindowHost {
  public:
    virtual ~HelpWindowHost() = default;
    // Shows file scrolled to the anchor and brings the window to the front.
    virtual void ShowAnchor(const QString& file, const QString& anchor) = 0;
    virtual void CloseAll() = 0;
};

class ProcessLauncher {
  public:
    virtual ~ProcessLauncher() = default;
    // The full path of an executable found on the search path, or empty.
    virtual QString FindProgram(const QString& name) const = 0;
    // Starts a program without waiting for it; false when it cannot start.
    virtual bool StartDetached(const QString& program, const QStringList& arguments) = 0;
};

class SystemProcessLauncher final : public ProcessLauncher {
  public:
    QString FindProgram(const QString& name) const override;
    bool StartDetached(const QString& program, const QStringList& arguments) override;
};
