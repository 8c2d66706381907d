// SPDX-License-Identifier: GPL-3.0-or-later
// The Pins window and its lamps.
#include "debugger/PinsWindow.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

TPinsWindow::TPinsWindow(Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, "PinsWindow", "Pins", "Forms\\Pins", {460, 360}, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    Lamps = new TPinLamps(this);
    Lamps->setObjectName("Lamps");
    layout->addWidget(Lamps);
    auto* legend = new QLabel("Lit: high. Solid ring: output; blue broken ring: input.", this);
    legend->setObjectName("Legend");
    layout->addWidget(legend);
    layout->addStretch();
}

void TPinsWindow::ShowPorts(const std::vector<PortRow>& ports) {
    Lamps->SetPorts(ports);
}

const std::vector<PortRow>& TPinsWindow::ports() const {
    return Lamps->ports();
}

void TPinLamps::SetPorts(std::vector<PortRow> ports) {
    bool same = ports.size() == ports_.size() &&
                std::equal(ports.begin(), ports.end(), ports_.begin(), [](const PortRow& a, const PortRow& b) {
                    return a.port == b.port && a.pins.size() == b.pins.size() &&
                           std::equal(a.pins.begin(), a.pins.end(), b.pins.begin(), [](const Pin& x, const Pin& y) {
                               return x.name == y.name && x.output == y.output && x.high == y.high;
                           });
                });
    if (same)
        return;
    bool resized = ports.size() != ports_.size();
    ports_ = std::move(ports);
    if (resized)
        updateGeometry();
    update();
}

QSize TPinLamps::sizeHint() const {
    return {kLabel + 8 * kPitch, std::max<int>(1, int(ports_.size())) * kRow};
}

void TPinLamps::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont small = font();
    small.setPixelSize(11);
    for (size_t row = 0; row < ports_.size(); ++row) {
        int top = int(row) * kRow;
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(QRect(0, top, kLabel, kLamp + 4), Qt::AlignVCenter | Qt::AlignLeft, ports_[row].port);
        painter.setFont(small);
        const std::vector<Pin>& pins = ports_[row].pins;
        for (size_t i = 0; i < pins.size(); ++i) {
            QRect lamp(kLabel + int(i) * kPitch + (kPitch - kLamp) / 2, top + 2, kLamp, kLamp);
            QPen ring(pins[i].output ? QColor(Qt::black) : QColor(0, 0, 200), 2.5,
                      pins[i].output ? Qt::SolidLine : Qt::DashLine);
            painter.setPen(ring);
            painter.setBrush(pins[i].high ? QColor(255, 40, 40) : QColor(70, 20, 20));
            painter.drawEllipse(lamp);
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(QRect(kLabel + int(i) * kPitch, top + kLamp + 6, kPitch, 16), Qt::AlignHCenter,
                             pins[i].name);
        }
    }
}
