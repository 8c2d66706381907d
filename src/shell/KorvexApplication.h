// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: an exception that escapes an event handler is shown, and the program goes on.
#pragma once

#include <QApplication>

class Prompter;

class KorvexApplication : public QApplication {
  public:
    KorvexApplication(int& argc, char** argv);
    void setPrompter(Prompter* prompter) { prompter_ = prompter; }
    bool notify(QObject* receiver, QEvent* event) override;

  private:
    Prompter* prompter_ = nullptr;
};
