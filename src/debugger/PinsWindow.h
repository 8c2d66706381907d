// SPDX-License-Identifier: GPL-3.0-or-later
// The Pins window: every I/O pin of the running part, by port, drawn as a lamp: lit when high, dark when
// low; a solid ring for an output, a blue broken ring for an input (from TRIS). It follows each stop and a
// live Run. The user drives an input as a switch on the board would: a click toggles it, the popup menu
// drives it high, low or lets it float, and Space toggles the lamp with the focus ring.
#pragma once

#include "debugger/DebugWindow.h"
#include "gpsim/ChipViews.h"

#include <map>
#include <optional>

class QLabel;
class QMenu;
class TPinLamps;

class TPinsWindow : public TDebugWindow {
    Q_OBJECT
  public:
    TPinsWindow(Prompter& prompter, Registry& registry, QWidget* parent = nullptr);
    void ShowPorts(const std::vector<PortRow>& ports);
    const std::vector<PortRow>& ports() const;
    // How the user drives the inputs now; a pin the map leaves out floats. Only the tags change: a lamp
    // shows what the program reads.
    void SetDriven(std::map<SimSession::PinName, SimSession::Level> driven);

    TPinLamps* Lamps;
    QLabel* Legend;
    QLabel* Note;  // a word on the last click the window did not act on

  signals:
    // The user asked for an input pin to be driven so; the caller drives it and says SetDriven.
    void drivePin(const SimSession::PinName& pin, SimSession::Level level);
};

class TPinLamps : public QWidget {
    Q_OBJECT
  public:
    explicit TPinLamps(QWidget* parent);
    void SetPorts(std::vector<PortRow> ports);
    const std::vector<PortRow>& ports() const { return ports_; }
    void SetDriven(std::map<SimSession::PinName, SimSession::Level> driven);
    SimSession::Level driven(const SimSession::PinName& pin) const;
    QSize sizeHint() const override;
    // every lamp is drawn whole: the window scrolls them rather than squeeze them
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Where the lamp of a row's pin is drawn (pins by their place in the row, bit 7 first).
    QRect LampRect(size_t row, size_t index) const;
    // Where the tag of a driven pin is drawn, under its name.
    QRect TagRect(size_t row, size_t index) const;
    // The pin whose lamp, name or tag is under `at`.
    std::optional<SimSession::PinName> PinAt(QPoint at) const;

    QMenu* PinMenu;  // an input's drives, checked at the one it has

    static constexpr int kLamp = 22, kPitch = 44, kRow = 64, kLabel = 64, kTag = 14;

  signals:
    void drivePin(const SimSession::PinName& pin, SimSession::Level level);
    void note(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Place {
        size_t row = 0, index = 0;
    };
    QRect cellRect(Place place) const;
    std::optional<Place> placeAt(QPoint at) const;
    const Pin* pinOf(Place place) const;
    SimSession::PinName nameOf(Place place) const;
    // True for an input; on an output the note says why nothing happens.
    bool drivable(Place place);
    void toggle(Place place);
    void moveFocus(int rows, int pins);
    void paintPin(QPainter& painter, Place place);

    std::vector<PortRow> ports_;
    std::map<SimSession::PinName, SimSession::Level> driven_;
    Place focus_;
    SimSession::PinName menuPin_;  // the pin the popup menu was opened on
};
