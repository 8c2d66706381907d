// SPDX-License-Identifier: GPL-3.0-or-later
// The Pins window: every I/O pin of the running part, by port, drawn as a lamp: lit when high, dark when
// low; a solid ring for an output, a blue broken ring for an input (from TRIS). It follows each stop and a
// live Run.
#pragma once

#include "debugger/DebugWindow.h"
#include "gpsim/ChipViews.h"

class TPinLamps;

class TPinsWindow : public TDebugWindow {
    Q_OBJECT
  public:
    TPinsWindow(Prompter& prompter, Registry& registry, QWidget* parent = nullptr);
    void ShowPorts(const std::vector<PortRow>& ports);
    const std::vector<PortRow>& ports() const;

    TPinLamps* Lamps;
};

class TPinLamps : public QWidget {
  public:
    explicit TPinLamps(QWidget* parent) : QWidget(parent) {}
    void SetPorts(std::vector<PortRow> ports);
    const std::vector<PortRow>& ports() const { return ports_; }
    QSize sizeHint() const override;

    static constexpr int kLamp = 22, kPitch = 44, kRow = 58, kLabel = 64;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<PortRow> ports_;
};
