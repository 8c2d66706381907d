// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping a window's place: "x,y,width,height", the frame's top left corner and the window's own size.
#include "debugger/KeptPlacement.h"

#include "editor/AllReg.h"
#include "platform/Registry.h"

#include <QEvent>
#include <QStringList>
#include <QWidget>

#include <cstdlib>

TKeptPlacement::TKeptPlacement(QWidget& window, Registry& registry, std::string key)
    : QObject(&window), window_(window), registry_(registry), key_(std::string(kBaseKey) + "\\" + key) {
    restore();
    window.installEventFilter(this);
}

void TKeptPlacement::saveIfShown() {
    if (window_.isVisible())
        save();
}

bool TKeptPlacement::eventFilter(QObject* watched, QEvent* event) {
    // hidden by the program or closed by the user, not minimised
    if (watched == &window_ && event->type() == QEvent::Hide && !event->spontaneous())
        save();
    return false;
}

void TKeptPlacement::restore() {
    auto stored = registry_.readString(RegRoot::CurrentUser, key_, "Geometry");
    QStringList parts = stored ? QString::fromStdString(*stored).split(',') : QStringList();
    if (parts.size() != 4)
        return;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || std::abs(numbers[i]) > 20000)
            return;
    }
    if (numbers[2] < 50 || numbers[3] < 50)
        return;
    window_.move(numbers[0], numbers[1]);
    window_.resize(numbers[2], numbers[3]);
    placed_ = true;
}

void TKeptPlacement::save() {
    QRect frame = window_.frameGeometry();
    QString text = QString("%1,%2,%3,%4").arg(frame.x()).arg(frame.y()).arg(window_.width()).arg(window_.height());
    registry_.writeString(RegRoot::CurrentUser, key_, "Geometry", text.toStdString());
    placed_ = true;
}
