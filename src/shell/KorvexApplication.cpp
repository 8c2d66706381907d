// SPDX-License-Identifier: GPL-3.0-or-later
// The application object and its standard exception box.
#include "shell/KorvexApplication.h"

#include "platform/Prompter.h"

#include <QIcon>

#include <exception>

KorvexApplication::KorvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName("Korvex");
    // the installed desktop entry: its name and icon go with the windows on desktops that ask
    setDesktopFileName("org.tervane.Korvex");
    // desktops without a full icon theme still find the common freedesktop names here
    QIcon::setFallbackThemeName("Adwaita");
}

bool KorvexApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        if (prompter_)
            prompter_->exception(QString::fromUtf8(e.what()));
    } catch (...) {
        if (prompter_)
            prompter_->exception("An unknown error occurred.");
    }
    return false;
}
