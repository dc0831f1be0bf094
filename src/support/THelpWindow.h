#pragma once

#include "support/HelpViewers.h"

#include <QWidget>
#include <memory>

class QTextBrowser;

// The program's own help window: the help file in a browser pane with
// contents, back and forward buttons.
class THelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit THelpWindow(QWidget* parent = nullptr);

    void ShowAnchor(const QString& file, const QString& anchor);
    QTextBrowser& Browser() const { return *browser_; }

  private:
    QTextBrowser* browser_ = nullptr;
    QString file_;
};

// Keeps one help window, created when help is first asked for.
class THelpWindowHost final : public HelpWindowHost {
  public:
    THelpWindowHost();
    ~THelpWindowHost() override;

    void ShowAnchor(const QString& file, const QString& anchor) override;
    void CloseAll() override;
    THelpWindow* Window() const { return window_.get(); }

  private:
    std::unique_ptr<THelpWindow> window_;
};
