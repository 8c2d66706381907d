// The Project window.
#include "shell/ProW.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QListWidget>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QWidget* Page(QListWidget* list) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    return page;
}

}  // namespace

TProWindow::TProWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint) {
    setObjectName("ProWindow");
    setWindowTitle("Project");
    resize(500, 170);
    PCProWindow = new QTabWidget(this);
    PCProWindow->setObjectName("PCProWindow");
    ProList = new QListWidget;
    ProList->setObjectName("ProList");
    MessageList = new QListWidget;
    MessageList->setObjectName("MessageList");
    TSFiles = Page(ProList);
    TSMessages = Page(MessageList);
    PCProWindow->addTab(TSFiles, "Files");
    PCProWindow->addTab(TSMessages, "Messages");
    PCProWindow->setCurrentWidget(TSFiles);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PCProWindow);
    move(QGuiApplication::primaryScreen()->geometry().center() - rect().center());
}

void TProWindow::closeEvent(QCloseEvent* event) { event->ignore(); }
