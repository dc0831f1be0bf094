#pragma once

#include <QDir>
#include <QString>

// Makes a directory the process's current one for a scope, and restores the
// previous one when the scope ends, also when an assertion ends it early.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const QString& dir) : previous_(QDir::currentPath()) {
        entered_ = QDir::setCurrent(dir);
    }
    ~WorkingDirectory() { QDir::setCurrent(previous_); }
    WorkingDirectory(const WorkingDirectory&) = delete;
    WorkingDirectory& operator=(const WorkingDirectory&) = delete;

    // False when the directory could not be entered.
    bool Entered() const { return entered_; }

  private:
    QString previous_;
    bool entered_ = false;
};
