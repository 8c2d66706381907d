// SPDX-License-Identifier: GPL-3.0-or-later
// The Pins window and its lamps.
#include "debugger/PinsWindow.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using Level = SimSession::Level;

// A switch flips: a pin driven high goes low, a low or floating one goes high.
Level Toggled(Level now) {
    return now == Level::High ? Level::Low : Level::High;
}

struct DriveItem {
    const char* caption;
    std::optional<Level> level;  // none: toggle
};
constexpr DriveItem kDrives[] = {{"Drive &High", Level::High},
                                 {"Drive &Low", Level::Low},
                                 {"&Toggle", std::nullopt},
                                 {"Let &Float", Level::Floating}};

// The tag under a driven pin's name: amber, whatever the level, so it stands apart from the red lamps.
const QColor kTagColour(240, 160, 0);

bool SamePins(const std::vector<PortRow>& a, const std::vector<PortRow>& b) {
    auto samePin = [](const Pin& x, const Pin& y) {
        return x.name == y.name && x.bit == y.bit && x.output == y.output && x.high == y.high;
    };
    auto samePort = [&samePin](const PortRow& x, const PortRow& y) {
        return x.port == y.port && x.pins.size() == y.pins.size() &&
               std::equal(x.pins.begin(), x.pins.end(), y.pins.begin(), samePin);
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), samePort);
}

}  // namespace

TPinsWindow::TPinsWindow(Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, "PinsWindow", "Pins", "Forms\\Pins", {470, 440}, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    // a part with many ports scrolls its lamps: they never run under the legend
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName("LampsScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    Lamps = new TPinLamps(scroll);
    Lamps->setObjectName("Lamps");
    scroll->setWidget(Lamps);
    layout->addWidget(scroll, 1);
    Legend = new QLabel(
        "Lit: high. Solid ring: output; blue broken ring: input; an amber H or L under its name: you drive "
        "it high or low. Click an input to toggle it; right-click for high, low or floating.",
        this);
    Legend->setObjectName("Legend");
    Legend->setWordWrap(true);
    layout->addWidget(Legend);
    Note = new QLabel(this);
    Note->setObjectName("Note");
    layout->addWidget(Note);
    connect(Lamps, &TPinLamps::drivePin, this, &TPinsWindow::drivePin);
    connect(Lamps, &TPinLamps::note, Note, &QLabel::setText);
}

void TPinsWindow::ShowPorts(const std::vector<PortRow>& ports) {
    Lamps->SetPorts(ports);
}

const std::vector<PortRow>& TPinsWindow::ports() const {
    return Lamps->ports();
}

void TPinsWindow::SetDriven(std::map<SimSession::PinName, SimSession::Level> driven) {
    Lamps->SetDriven(std::move(driven));
}

TPinLamps::TPinLamps(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    PinMenu = new QMenu(this);
    PinMenu->setObjectName("PinMenu");
    for (const DriveItem& item : kDrives) {
        QAction* action = PinMenu->addAction(item.caption);
        action->setCheckable(item.level.has_value());
        connect(action, &QAction::triggered, this, [this, level = item.level] {
            emit drivePin(menuPin_, level ? *level : Toggled(driven(menuPin_)));
        });
    }
}

void TPinLamps::SetPorts(std::vector<PortRow> ports) {
    if (SamePins(ports, ports_))
        return;
    bool resized = ports.size() != ports_.size();
    ports_ = std::move(ports);
    if (resized)
        updateGeometry();
    moveFocus(0, 0);  // keeps the focus ring on a pin there is
    update();
}

void TPinLamps::SetDriven(std::map<SimSession::PinName, SimSession::Level> driven) {
    if (driven == driven_)
        return;
    driven_ = std::move(driven);
    update();
}

SimSession::Level TPinLamps::driven(const SimSession::PinName& pin) const {
    auto found = driven_.find(pin);
    return found == driven_.end() ? Level::Floating : found->second;
}

QSize TPinLamps::sizeHint() const {
    return {kLabel + 8 * kPitch, std::max<int>(1, int(ports_.size())) * kRow};
}

QRect TPinLamps::LampRect(size_t row, size_t index) const {
    return {kLabel + int(index) * kPitch + (kPitch - kLamp) / 2, int(row) * kRow + 2, kLamp, kLamp};
}

QRect TPinLamps::TagRect(size_t row, size_t index) const {
    return {kLabel + int(index) * kPitch + (kPitch - 18) / 2, int(row) * kRow + kLamp + 24, 18, kTag};
}

QRect TPinLamps::cellRect(Place place) const {
    return {kLabel + int(place.index) * kPitch, int(place.row) * kRow, kPitch, kRow};
}

std::optional<TPinLamps::Place> TPinLamps::placeAt(QPoint at) const {
    if (at.x() < kLabel || at.y() < 0)
        return std::nullopt;
    Place place{size_t(at.y() / kRow), size_t((at.x() - kLabel) / kPitch)};
    if (!pinOf(place))
        return std::nullopt;
    return place;
}

std::optional<SimSession::PinName> TPinLamps::PinAt(QPoint at) const {
    std::optional<Place> place = placeAt(at);
    if (!place)
        return std::nullopt;
    return nameOf(*place);
}

const Pin* TPinLamps::pinOf(Place place) const {
    if (place.row >= ports_.size() || place.index >= ports_[place.row].pins.size())
        return nullptr;
    return &ports_[place.row].pins[place.index];
}

SimSession::PinName TPinLamps::nameOf(Place place) const {
    return {ports_[place.row].port, ports_[place.row].pins[place.index].bit};
}

bool TPinLamps::drivable(Place place) {
    const Pin* pin = pinOf(place);
    if (!pin)
        return false;
    if (pin->output) {
        emit note(QString("%1 is an output: the program drives it.").arg(pin->name));
        return false;
    }
    emit note({});
    return true;
}

void TPinLamps::toggle(Place place) {
    if (!drivable(place))
        return;
    SimSession::PinName pin = nameOf(place);
    emit drivePin(pin, Toggled(driven(pin)));
}

void TPinLamps::moveFocus(int rows, int pins) {
    if (ports_.empty()) {
        focus_ = {};
        return;
    }
    int row = std::clamp(int(focus_.row) + rows, 0, int(ports_.size()) - 1);
    int last = std::max(0, int(ports_[size_t(row)].pins.size()) - 1);
    focus_ = {size_t(row), size_t(std::clamp(int(focus_.index) + pins, 0, last))};
    update();
}

void TPinLamps::mousePressEvent(QMouseEvent* event) {
    std::optional<Place> place = placeAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !place)
        return QWidget::mousePressEvent(event);
    focus_ = *place;
    update();
    toggle(*place);
}

void TPinLamps::contextMenuEvent(QContextMenuEvent* event) {
    // the Menu key opens it on the lamp with the focus ring
    QPoint at = event->reason() == QContextMenuEvent::Keyboard ? cellRect(focus_).center() : event->pos();
    std::optional<Place> place = placeAt(at);
    if (!place || !drivable(*place))
        return;
    focus_ = *place;
    update();
    menuPin_ = nameOf(*place);
    Level now = driven(menuPin_);
    const QList<QAction*> actions = PinMenu->actions();
    for (size_t i = 0; i < std::size(kDrives); ++i)
        actions[qsizetype(i)]->setChecked(kDrives[i].level == now);
    PinMenu->popup(mapToGlobal(at));
}

void TPinLamps::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
            return moveFocus(0, -1);
        case Qt::Key_Right:
            return moveFocus(0, 1);
        case Qt::Key_Up:
            return moveFocus(-1, 0);
        case Qt::Key_Down:
            return moveFocus(1, 0);
        case Qt::Key_Space:
            return toggle(focus_);
        default:
            return QWidget::keyPressEvent(event);
    }
}

void TPinLamps::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    for (size_t row = 0; row < ports_.size(); ++row) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(QRect(0, int(row) * kRow, kLabel, kLamp + 4), Qt::AlignVCenter | Qt::AlignLeft,
                         ports_[row].port);
        for (size_t i = 0; i < ports_[row].pins.size(); ++i)
            paintPin(painter, {row, i});
    }
    if (hasFocus() && pinOf(focus_)) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cellRect(focus_).adjusted(1, 0, -2, -2));
    }
}

void TPinLamps::paintPin(QPainter& painter, Place place) {
    const Pin& pin = *pinOf(place);
    QRect cell = cellRect(place);
    QPen ring(pin.output ? QColor(Qt::black) : QColor(0, 0, 200), 2.5,
              pin.output ? Qt::SolidLine : Qt::DashLine);
    painter.setPen(ring);
    painter.setBrush(pin.high ? QColor(255, 40, 40) : QColor(70, 20, 20));
    painter.drawEllipse(LampRect(place.row, place.index));
    QFont small = font();
    small.setPixelSize(11);
    painter.setFont(small);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(cell.left(), cell.top() + kLamp + 6, kPitch, 16), Qt::AlignHCenter, pin.name);
    Level level = driven(nameOf(place));
    if (level == Level::Floating)
        return;
    QRect tag = TagRect(place.row, place.index);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kTagColour);
    painter.drawRoundedRect(tag, 3, 3);
    painter.setPen(Qt::black);
    painter.drawText(tag, Qt::AlignCenter, level == Level::High ? "H" : "L");
}
