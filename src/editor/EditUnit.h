// SPDX-License-Identifier: GPL-3.0-or-later
// The general code-editing form: tabs over one editor control, a status bar and a popup menu.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

class DocumentManager;
class QLabel;
class QMenu;
class QTabBar;
class TDocument;
class TMemo;

// The library's named commands: an "enabled" test and an action each.
class TVerbDispatcher {
  public:
    struct Verb {
        std::function<bool()> enabled;
        std::function<void()> execute;
    };
    void Register(const QString& name, Verb verb) { verbs_[name] = std::move(verb); }
    bool IsEnabled(const QString& name) const;
    // Runs the command when it exists and is enabled; false otherwise.
    bool Execute(const QString& name) const;

  private:
    std::map<QString, Verb> verbs_;
};

class TEditForm : public QMainWindow {
  public:
    // The keys that go to the next tab (step 1) or the one before (-1).
    struct TabKey {
        const char* keys;
        int step;
    };
    static const std::vector<TabKey>& TabKeys();

    Q_OBJECT
  public:
    TEditForm(DocumentManager& documents, int statusPanels, QWidget* parent = nullptr);

    QTabBar* TabControl;
    TMemo* Memo;
    QMenu* PopupMenu1;
    TVerbDispatcher VerbDispatcher1;
    QAction* PopupClosePage;
    QAction* PopupSave;
    QAction* PopupNewEditWindow;
    QAction* PopupAddWatch;  // shown when AddWatch is set
    // What resting the mouse on a word shows in a tooltip (nothing for an empty text); none: no tooltips.
    std::function<QString(const QString& word)> HoverText;
    // Adds the word under the mouse to the watches; set by whoever keeps them.
    std::function<void(const QString& word)> AddWatch;
    // Shows the tooltip of the word at a position of the text, as resting the mouse there does; false when
    // there is none.
    bool showHoverAt(int position);

    // The full path of each tab's document, same index as the tab.
    const QStringList& tabPaths() const { return tabPaths_; }
    QString statusText(int panel) const;
    void setStatusText(int panel, const QString& text);
    int statusPanelCount() const { return int(panels_.size()); }

    // Shows the document in the control and adds or selects its tab.
    void showDocument(TDocument* document);
    // The document's tab and path go; the window goes with its last tab.
    void documentDestroyed(TDocument* document);
    // A document saved under a new name keeps its tab, with the new name.
    void documentRenamed(const QString& oldName, const QString& newName);

  private:
    QString popupWord_;  // the word under the mouse when the popup menu was asked for

  signals:
    // The window is about to be destroyed (the window list drops it).
    void releasing(TEditForm* window);

  protected:
    void addOrSelectTab();
    void showSelectedTab();
    void updateStatus(int changes);
    // Releases the window unless its close handler is running.
    virtual void release();
    virtual void tabAboutToChange() {}

    DocumentManager& documents_;
    QStringList tabPaths_;
    std::vector<QLabel*> panels_;
    bool changingTabs_ = false;
    void addTabKeys();
    // The next tab (1) or the one before (-1), round at the ends.
    void stepTab(int step);
};
