// SPDX-License-Identifier: GPL-3.0-or-later
// The Symbols and References windows.
#include "shell/SymbolWindows.h"

#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

QListWidget* MakeList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName("List");
    QFont courier("Courier New");
    courier.setPixelSize(13);
    list->setFont(courier);
    return list;
}

}  // namespace

TSymbolsWindow::TSymbolsWindow(Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, "SymbolsWindow", "Symbols", "Forms\\Symbols", {320, 480}, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    List = MakeList(this);
    layout->addWidget(List);
    // a click or Enter: the symbol's line
    auto open = [this](QListWidgetItem* item) {
        int row = List->row(item);
        if (row >= 0 && row < int(symbols_.size()))
            emit jumpTo(symbols_[size_t(row)].where);
    };
    connect(List, &QListWidget::itemClicked, this, open);
    connect(List, &QListWidget::itemActivated, this, open);
}

void TSymbolsWindow::ShowSymbols(const std::vector<picsym::Symbol>& symbols) {
    bool same = symbols.size() == symbols_.size() &&
                std::equal(symbols.begin(), symbols.end(), symbols_.begin(), [](const auto& a, const auto& b) {
                    return a.name == b.name && a.kind == b.kind && a.where.line == b.where.line;
                });
    symbols_ = symbols;
    if (same)
        return;
    List->clear();
    for (const picsym::Symbol& symbol : symbols) {
        std::string_view kind = picsym::KindName(symbol.kind);
        List->addItem(QString("%1  %2  %3")
                          .arg(symbol.where.line + 1, 5)
                          .arg(QString::fromUtf8(kind.data(), qsizetype(kind.size())), -8)
                          .arg(QString::fromStdString(symbol.name)));
    }
}

void TSymbolsWindow::FollowLine(int line) {
    int row = -1;
    for (int i = 0; i < int(symbols_.size()) && symbols_[size_t(i)].where.line <= line; ++i)
        row = i;
    if (row >= 0 && row != List->currentRow()) {
        QSignalBlocker quiet(List);
        List->setCurrentRow(row);
    }
}

TReferencesWindow::TReferencesWindow(Prompter& prompter, Registry& registry, QWidget* parent)
    : TDebugWindow(prompter, registry, "ReferencesWindow", "References", "Forms\\References", {640, 300}, parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    Title = new QLabel(this);
    Title->setObjectName("Title");
    List = MakeList(this);
    layout->addWidget(Title);
    layout->addWidget(List);
    auto open = [this](QListWidgetItem* item) {
        int row = List->row(item);
        if (row >= 0 && row < int(places_.size()))
            emit jumpTo(places_[size_t(row)]);
    };
    connect(List, &QListWidget::itemClicked, this, open);
    connect(List, &QListWidget::itemActivated, this, open);
}

void TReferencesWindow::ShowReferences(const QString& name, const std::vector<picsym::Location>& places,
                                       const QStringList& texts) {
    places_ = places;
    Title->setText(places.empty() ? QString("No use of %1 in the project.").arg(name)
                                  : QString("%1 use%2 of %3:").arg(places.size()).arg(places.size() == 1 ? "" : "s").arg(name));
    List->clear();
    for (size_t i = 0; i < places.size(); ++i)
        List->addItem(QString("%1:%2: %3")
                          .arg(QFileInfo(QString::fromStdString(places[i].file)).fileName())
                          .arg(places[i].line + 1)
                          .arg(i < size_t(texts.size()) ? texts[qsizetype(i)].trimmed() : QString()));
    if (!places.empty())
        List->setCurrentRow(0);
}
