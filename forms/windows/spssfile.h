// The main window: the file choice, the file summary in a log-like text
// area, and the buttons to the variable list, the data grid and the end.
#pragma once

#include <QWidget>
#include <optional>
#include <string>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace lv {

// The open dialog's one entry: the description and the patterns it offers.
inline constexpr const char* kOpenDialogFilter = "spss ﾌｧｲﾙ|*.sav *.zsav";

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // Sets Form1 to this window, then runs FormCreate (the first file choice).
    // With startFile, that file is the first choice and no dialog is shown.
    explicit TForm1(std::optional<std::string> startFile = std::nullopt, QWidget* parent = nullptr);
    ~TForm1() override;

    QPushButton* fileget;
    QPushButton* Button3;
    QPushButton* Button5;
    QPushButton* Button4;
    QLabel* Label2;
    QPlainTextEdit* Memo1;

    void FormCreate();
    void filegetClick();
    void Button3Click();
    void Button5Click();
    void Button4Click();
    void FormResize();
    void ShowFileSummary();
    // What the open button does once its dialog has answered: chosen is the
    // confirmed path, or nothing when the dialog was cancelled.
    void OpenChosenFile(const std::optional<std::string>& chosen);

    // The text area's context menu: the standard editing items, then the
    // window's own items (AddContextMenuItems). The caller owns it.
    QMenu* CreateContextMenu();
    // ファイル情報: a new file-information window for the chosen file.
    void ShowFileInfo();

    // The file name OpenDialog1 remembers (the last one it returned).
    const std::string& OpenDialogFileName() const { return openDialogFileName_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    std::optional<std::string> AskForFile();
    // For an encrypted file chosen, asks its password (before anything
    // changes): whether the user cancelled that question.
    static bool PasswordCancelled(const std::optional<std::string>& chosen);
    // Steps shared by FormCreate and OpenChosenFile: DataFileName, the "file:"
    // line, the summary and Label2. False when no file is chosen.
    bool TakeChosenFile(const std::optional<std::string>& chosen);
    void CreateVariableList();
    // The items the main window adds to the text area's context menu.
    void AddContextMenuItems(QMenu& menu);

    std::string openDialogFileName_;
    std::optional<std::string> startFile_;
};

}  // namespace lv
