// SPDX-License-Identifier: GPL-3.0-or-later
// The Environment Options dialog: editor options, display and colour schemes, with a coloured preview.
#pragma once

#include "editctl/MemoOptions.h"

#include <QDialog>
#include <QWidget>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

class PicLexer;
class Prompter;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;
class QsciScintilla;
class SettingsStore;

// One of the 16 basic colours of the colour grid.
struct TGridColor {
    std::string_view Name;
    uint32_t Value;  // 0x00BBGGRR
};
extern const std::array<TGridColor, 16> kGridColors;

// The standard name of a colour ("clNavy"), or "$00BBGGRR" in hexadecimal when it has none.
std::string ColorToString(uint32_t color);
// The grid index of a colour, found through its standard name; -1 when the name is not in the grid.
int GridIndexOf(uint32_t color);

// A 4 x 4 grid of the basic colours with a foreground and a background index (-1: none): the left mouse
// button picks the foreground, the right or middle button the background.
class TColorGrid : public QWidget {
    Q_OBJECT
  public:
    explicit TColorGrid(QWidget* parent = nullptr);

    int ForegroundIndex() const { return foreground_; }
    int BackgroundIndex() const { return background_; }
    // Shows an element's colours; no change signal.
    void setIndexes(int foreground, int background);
    // Where cell `index` is drawn, for clicks.
    QRect cellRect(int index) const;
    QSize sizeHint() const override { return {120, 120}; }

  signals:
    // The user picked a foreground or background colour.
    void changed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    int foreground_ = -1;
    int background_ = -1;
};

class TEnviDlg : public QDialog {
    Q_OBJECT
  public:
    explicit TEnviDlg(QWidget* parent = nullptr);

    // Before each showing: the controls and the preview from the stored options of `settings` and its
    // colour scheme, the "Preferences" page in front. OK writes back to `settings` and reports a failed
    // write through `prompter`.
    void EnviShow(SettingsStore& settings, Prompter& prompter);

    // The preview's own colour elements (not the global ones) and its editor background.
    const TTextStyles& PreviewElements() const { return previewElements_; }
    uint32_t PreviewBackground() const { return previewColours_[0]; }
    QsciScintilla* EnviMemo;

    QTabWidget* PageControl;
    // Editor page.
    QCheckBox *EOAutoIndent, *EOSmartTab, *EOBackspace, *EOShowLine, *EOGroupUndo, *EOBeyond, *EOPersistent,
        *EOOverwrite, *EODoubleClick, *EOFindText, *EOForce;
    QLineEdit *ETab, *EIndent;
    // Display page.
    QCheckBox* EMVisible;
    QComboBox *EMColor, *EMStyle;
    QLineEdit* EMPos;
    QComboBox *EFont, *EFontSize, *DKeymapping;
    QLabel *SampleFont, *SampleBFont;
    QPushButton* DisplayDefault;
    // Colors page.
    QComboBox* CSetting;
    QListWidget* CElement;
    TColorGrid* ElementGrid;
    QGroupBox* GBTextAttr;
    QCheckBox *CBTextBold, *CBTextItalic, *CBTextUnderline;
    QPushButton *OKBtn, *CancelBtn;

  public slots:
    void OKBtnClick();
    void CElementClick();
    void ElementGridChange();
    void CBTextAttrClick();
    void EFontChange();
    void EFontSizeChange();
    void DisplayDefaultClick();
    void CSettingChange();

  signals:
    // OK applied the options and saved them: the first editor window takes the new options and the
    // scheme's editor background, text and line-number colours.
    void optionsApplied();

  private:
    QWidget* buildEditorPage();
    QWidget* buildDisplayPage();
    QWidget* buildColorsPage();
    QWidget* buildPreview();
    void showEditorOptions(const TMemoSourceOptions& source, const TMemoEnvOptions& env);
    void showFont(const TFont& font);
    void selectMarginColor(uint32_t color);
    void selectMarginStyle(uint32_t style);
    void markMissingFonts();
    void setPreviewColours(uint32_t background, uint32_t text, uint32_t lineNumbers);
    void setPreviewScheme(std::string_view scheme);
    void refreshPreview();
    TTextStyle* chosenElement();
    bool chosenIsLine() const;
    void Apply();

    SettingsStore* settings_ = nullptr;
    Prompter* prompter_ = nullptr;
    PicLexer* previewLexer_;
    TTextStyles previewElements_;
    std::array<uint32_t, 3> previewColours_{};  // background, text, line numbers
    TFont previewFont_;
};
