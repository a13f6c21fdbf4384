// The main window: the file choice, the file summary in a log-like text
// area, and the buttons to the variable list, the data grid and the end.
#ifndef LORIVANE_FORMS_SPSSFILE_H
#define LORIVANE_FORMS_SPSSFILE_H

#include <QWidget>
#include <string>

class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

// The open dialog's one entry: the description and the patterns it offers.
inline constexpr const char* kOpenDialogFilter = "spss ﾌｧｲﾙ|*.sav *.zsav";

class TForm1 : public QWidget {
    Q_OBJECT
  public:
    // Sets Form1 to this window, then runs FormCreate (the first file choice).
    explicit TForm1(QWidget* parent = nullptr);
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
    // Steps shared by FormCreate and filegetClick: the dialog, DataFileName,
    // the "file:" line, the summary and Label2. False when no file is chosen.
    bool ChooseFile();
    void CreateVariableList();
    // The items the main window adds to the text area's context menu.
    void AddContextMenuItems(QMenu& menu);

    std::string openDialogFileName_;
};

#endif
