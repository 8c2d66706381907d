// The Project window: the open project's files and the assembler's messages, in two tabs.
#pragma once

#include <QWidget>

class QListWidget;
class QTabWidget;

class TProWindow : public QWidget {
    Q_OBJECT
public:
    explicit TProWindow(QWidget* parent = nullptr);

    QTabWidget* PCProWindow;
    QWidget* TSFiles;
    QWidget* TSMessages;
    QListWidget* ProList;
    QListWidget* MessageList;

protected:
    // The window stays open for the whole run: a request to close it is refused.
    void closeEvent(QCloseEvent* event) override;
};
