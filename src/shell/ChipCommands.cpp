// SPDX-License-Identifier: GPL-3.0-or-later
// The whole chip while simulating: the File Registers, EEPROM, Watches and Program Memory windows, the
// watches kept in the project, and the values shown in the text while the program is stopped.
#include "shell/Main.h"

#include "debugger/MemoryWindow.h"
#include "debugger/PinsWindow.h"
#include "debugger/RegistersWindow.h"
#include "debugger/ProgramMemoryWindow.h"
#include "debugger/SfrWindow.h"
#include "debugger/WatchWindow.h"
#include "editctl/Document.h"
#include "editor/AllReg.h"
#include "editctl/DocumentManager.h"
#include "editor/MyEditUnit.h"
#include "gpsim/ChipViews.h"
#include "gpsim/SimSession.h"
#include "platform/ProfileFile.h"
#include "platform/Prompter.h"
#include "platform/RegularFile.h"
#include "shell/Idefunction.h"
#include "shell/Project.h"
#include "shell/Services.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr uint32_t kBankSize = 0x80;
constexpr size_t kMaxShownSourceBytes = 4 * 1024 * 1024;  // a source past this shows its place only

// Every source line's text of the program, by file index of the .cod (none for a source that cannot be read).
std::vector<std::vector<QString>> SourceTexts(const CodFile& cod, const std::string& folder) {
    std::vector<std::vector<QString>> texts(cod.sources.size());
    for (size_t file = 0; file < cod.sources.size(); ++file) {
        std::string why;
        if (auto text = ReadRegularFile(cod.SourcePath(folder, int(file)), kMaxShownSourceBytes, why))
            for (const QString& line : QString::fromLocal8Bit(text->data(), qsizetype(text->size())).split('\n'))
                texts[file].push_back(line.trimmed().simplified());
    }
    return texts;
}

}  // namespace

void TMainForm::InstallChipWindows() {
    Registry& registry = services_.settings.registry();
    FileRegistersWindow = new TMemoryWindow(TMemoryWindow::Kind::FileRegisters, services_.prompter, registry, this);
    EepromWindow = new TMemoryWindow(TMemoryWindow::Kind::Eeprom, services_.prompter, registry, this);
    WatchWindow = new TWatchWindow(services_.prompter, registry, this);
    ProgramMemoryWindow = new TProgramMemoryWindow(services_.prompter, registry, this);
    PinsWindow = new TPinsWindow(services_.prompter, registry, this);
    // Alt and a menu's access key open the strip's menus from any debugging window, as from an editor
    for (QWidget* window : std::initializer_list<QWidget*>{RegistersWindow, SfrWindow, FileRegistersWindow, EepromWindow,
                                                           WatchWindow, ProgramMemoryWindow, PinsWindow})
        addMenuKeys(*window);
    connect(FileRegistersWindow, &TMemoryWindow::writeByte, this,
            [this](uint32_t address, int value) { simSession->writeRegister(address, value); });
    connect(EepromWindow, &TMemoryWindow::writeByte, this,
            [this](uint32_t address, int value) { simSession->writeEeprom(address, value); });
    connect(WatchWindow, &TWatchWindow::writeRegister, this, [this](const QString& symbol, int value) {
        if (auto address = WatchAddress(symbol, NamesOf(*simSession)))
            simSession->writeRegister(*address, value);
    });
    connect(WatchWindow, &TWatchWindow::watchesChanged, this, [this] {
        SaveWatches();
        bool stopped = simSession->state() == SimSession::State::Stopped;
        const auto& before = simSession->previousStop();
        WatchWindow->ShowRows(WatchRows(WatchWindow->watches(), stopped ? &simSession->lastStop() : nullptr,
                                        stopped && before ? &*before : nullptr, NamesOf(*simSession)));
    });
    // a pin clicked in the Pins window is driven through gpsim; the program reads it at its next instruction
    connect(PinsWindow, &TPinsWindow::drivePin, this, [this](const SimSession::PinName& pin, SimSession::Level level) {
        if (!simSession->active()) {
            SetEditorStatusText(5, "Pins are driven while the program is simulated (Project > Simulate)");
            return;
        }
        if (simSession->state() != SimSession::State::Stopped && simSession->state() != SimSession::State::Running) {
            SetEditorStatusText(5, "gpsim is busy with a step: drive the pin again once it has stopped");
            return;
        }
        simSession->drivePin(pin, level);
        PinsWindow->SetDriven(simSession->drivenPins());
    });
    connect(ProgramMemoryWindow, &TProgramMemoryWindow::toggleBreakpoint, this,
            [this](uint32_t address) { RunCommand([this, address] { ToggleAddressBreakpoint(address); }); });
    connect(simSession, &SimSession::breakpointRefused, this, [this](uint32_t address) {
        addressBreakpoints.erase(address);
        ShowProgramBreakpoints();
        SetEditorStatusText(5, QString("gpsim cannot stop at %1: the program put no instruction there")
                                   .arg(address, 4, 16, QChar('0')));
    });
    connect(simSession, &SimSession::stateChanged, this, [this](SimSession::State state) {
        if (state == SimSession::State::Starting) {
            programMemoryStale_ = true;  // a new program, or a new build of it
            addressBreakpoints.clear();
        }
    });
}

void TMainForm::ShowChipWindows() {
    const SimStop& stop = simSession->lastStop();
    const auto& before = simSession->previousStop();
    ChipNames names = NamesOf(*simSession);
    auto cellName = [names](uint32_t address) { return CellName(address, names); };
    if (FileRegistersWindow->isVisible())
        FileRegistersWindow->ShowRows(
            MemoryGridRows(stop.memory, before ? &before->memory : nullptr, kBankSize, names.registers), cellName);
    if (EepromWindow->isVisible())
        EepromWindow->ShowRows(MemoryGridRows(stop.eeprom, before ? &before->eeprom : nullptr, 0, {}),
                               [](uint32_t) { return QString(); },
                               stop.eeprom.empty() ? "The running part has no data EEPROM." : QString());
    if (WatchWindow->isVisible())
        WatchWindow->ShowRows(WatchRows(WatchWindow->watches(), &stop, before ? &*before : nullptr, names));
    if (PinsWindow->isVisible()) {
        PinsWindow->SetDriven(simSession->drivenPins());
        PinsWindow->ShowPorts(PortRows(stop, names.specialRegisters));
    }
    if (!ProgramMemoryWindow->isVisible())
        return;
    if (std::exchange(programMemoryStale_, false) && simSession->cod()) {
        const CodFile& cod = *simSession->cod();
        std::string folder = QFileInfo(simSession->codPath()).absolutePath().toStdString() + "/";
        std::vector<std::vector<QString>> texts = SourceTexts(cod, folder);
        std::vector<uint16_t> words = simSession->programMemory();
        std::vector<QString> places(words.size()), lines(words.size());
        for (const CodLine& line : cod.lines) {
            if (!line.code || line.address >= words.size() || size_t(line.file) >= cod.sources.size())
                continue;
            places[line.address] = QString("%1:%2")
                                       .arg(QFileInfo(QString::fromStdString(cod.sources[size_t(line.file)])).fileName())
                                       .arg(line.line);
            const auto& text = texts[size_t(line.file)];
            if (line.line >= 1 && size_t(line.line) <= text.size())
                lines[line.address] = text[size_t(line.line) - 1];
        }
        ProgramMemoryWindow->Model->SetProgram(std::move(words), std::move(places), std::move(lines));
    }
    ShowProgramBreakpoints();
    ProgramMemoryWindow->ShowPc(stop.pc);
}

void TMainForm::ClearChipWindows() {
    FileRegistersWindow->ShowRows({}, {}, "Values show while a simulation is stopped.");
    EepromWindow->ShowRows({}, {}, "Values show while a simulation is stopped.");
    WatchWindow->ShowRows(WatchRows(WatchWindow->watches(), nullptr, nullptr, NamesOf(*simSession)));
    ProgramMemoryWindow->Model->SetProgram({}, {}, {});
    PinsWindow->ShowPorts({});
    PinsWindow->SetDriven({});
    programMemoryStale_ = true;
    addressBreakpoints.clear();
}

void TMainForm::ShowDebugWindow(TDebugWindow* window, int order) {
    if (!window->placed() && !window->isVisible()) {  // the first time: at the left, below the strip
        QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        window->move(area.left() + 24 * order, frameGeometry().bottom() + 1 + 24 * order);
    }
    window->show();
    window->raise();
    window->activateWindow();
    if (simSession->state() == SimSession::State::Stopped)
        ShowStopInWindows();
    else if (simSession->state() == SimSession::State::Idle)
        ClearChipWindows();
}

void TMainForm::SimulateFileRegistersClick() {
    ShowDebugWindow(FileRegistersWindow, 1);
}

void TMainForm::SimulateEepromClick() {
    ShowDebugWindow(EepromWindow, 2);
}

void TMainForm::SimulateWatchesClick() {
    ShowDebugWindow(WatchWindow, 3);
}

void TMainForm::SimulateProgramMemoryClick() {
    ShowDebugWindow(ProgramMemoryWindow, 4);
}

void TMainForm::SimulatePinsClick() {
    ShowDebugWindow(PinsWindow, 7);
}

void TMainForm::ShowProgramBreakpoints() {
    if (ProgramMemoryWindow)
        ProgramMemoryWindow->Model->SetBreakpoints(simSession->active() ? simSession->breakpointAddresses()
                                                                        : std::set<uint32_t>{});
}

void TMainForm::ToggleAddressBreakpoint(uint32_t address) {
    if (!simSession->cod())
        return;
    if (auto line = simSession->cod()->LineOfAddress(address); line && line->code) {
        // the breakpoint of the line that put the word there, drawn in its editor when it is open
        std::string folder = QFileInfo(simSession->codPath()).absolutePath().toStdString() + "/";
        QString path = QString::fromStdString(simSession->cod()->SourcePath(folder, line->file));
        if (TDocument* document = services_.documents.find(path)) {
            ToggleBreakpoint(document, line->line - 1);
        } else {
            SourceLine key{QFileInfo(path).absoluteFilePath(), line->line};
            if (!breakpoints.erase(key))
                breakpoints.insert(key);
            simSession->setBreakpoints(breakpoints);
            SaveBreakpoints();
        }
    } else if (!addressBreakpoints.erase(address)) {
        addressBreakpoints.insert(address);
    }
    simSession->setAddressBreakpoints(addressBreakpoints);
    ShowProgramBreakpoints();
}

void TMainForm::LoadWatches(const ProfileFile& file) {
    std::vector<Watch> watches;
    for (const TWatchEntry& entry : ReadProjectWatches(file))
        watches.push_back({QString::fromStdString(entry.symbol), WatchFormatFromText(entry.format)});
    WatchWindow->SetWatches(std::move(watches));
    WatchWindow->ShowRows(WatchRows(WatchWindow->watches(), nullptr, nullptr, NamesOf(*simSession)));
}

void TMainForm::SaveWatches() {
    if (ProjectPath.empty() || !ProjectClose->isEnabled())
        return;
    std::vector<TWatchEntry> entries;
    for (const Watch& watch : WatchWindow->watches())
        entries.push_back({watch.symbol.toStdString(), WatchFormatText(watch.format)});
    ProfileFile file(ProjectPath);
    if (!WriteProjectWatches(file, entries))
        services_.prompter.error(QString::fromStdString(file.error()));
}

QString TMainForm::StoppedValueTip(const QString& word) const {
    if (!simSession || simSession->state() != SimSession::State::Stopped)
        return {};
    return ValueTip(word, simSession->lastStop(), NamesOf(*simSession));
}
