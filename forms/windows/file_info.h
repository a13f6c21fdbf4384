// The file-information window (ファイル情報), opened from the main window's
// context menu: the chosen file's header details, encoding, documents, file
// attributes, multiple-response and variable sets, extension records and
// the reader's warnings (core/windows/file_info_lines.h), one fixed-pitch line each
// in a read-only text area whose lines can be selected and copied. It reads
// the file once, while it is being created, and decodes its texts again
// when the user chooses another encoding.
#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;
namespace lv {

struct FileDictionary;

class TfrmFileInfo : public QWidget {
    Q_OBJECT
  public:
    explicit TfrmFileInfo(QWidget* parent = nullptr);
    ~TfrmFileInfo() override;

    QPushButton* btnOK;
    QLabel* Label1;  // the file's path
    QPlainTextEdit* Memo1;

    void FormCreate();
    void btnOKClick();
    void FormResize();
    // The user stopped the reading at its progress dialog: nothing to show.
    bool readCancelled() const { return readCancelled_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Escape, when no part of the window takes it, closes the window.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The lines of the dictionary read, decoded as the windows decode now.
    void ShowLines();

    std::unique_ptr<lv::FileDictionary> dict_;
    bool readCancelled_ = false;
};

}  // namespace lv
