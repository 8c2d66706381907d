// SPDX-License-Identifier: GPL-3.0-or-later
// Korvex: start-up, then the message loop until the main window closes.
#include "shell/Main.h"
#include "platform/Prompter.h"
#include "shell/Idefunction.h"
#include "shell/KorvexApplication.h"
#include "shell/Startup.h"

#include <exception>

int main(int argc, char** argv) {
    KorvexApplication app(argc, argv);
    QtPrompter prompter;
    app.setPrompter(&prompter);
    try {
        TKorvex korvex(Registry::defaultConfigDir(), prompter, QCoreApplication::applicationDirPath());
        return korvex.exec();
    } catch (const std::exception& e) {
        prompter.exception(QString::fromUtf8(e.what()));
    }
    return 0;
}
