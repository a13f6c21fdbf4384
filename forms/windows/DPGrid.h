// The data-grid window: every case of the chosen file in a grid of one
// column per variable, loaded once while the window is created, and its
// text export.
#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

#include "core/grid/grid_load.h"

class QCloseEvent;
class QShowEvent;
class QLabel;
class QPushButton;

namespace lv {

class GridAdditions;
class GridModel;
class GridView;

class TfrmDPGrid : public QWidget {
    Q_OBJECT
  public:
    // Runs FormCreate (the load) while the window is still hidden.
    explicit TfrmDPGrid(QWidget* parent = nullptr);

    QPushButton* btnOK;
    QPushButton* Button1;
    QPushButton* btmWrite;
    QLabel* Label1;
    QLabel* Label2;
    // While cells are edited: how many, and the button that undoes them all.
    QLabel* editCount;
    // 索引を作成中: how far the index of the cases is, while it is built.
    QLabel* indexState;
    QPushButton* undoAllEdits;
    GridView* StringGrid1;
    GridModel* model;
    // Labels, find, go to, copy and sort (forms/grid/grid_additions.h).
    GridAdditions* additions = nullptr;
    // The name last accepted in the save dialog (SaveDialog1's file name).
    std::string saveFileName;

    void FormCreate();
    void FormResize();
    void btnOKClick();
    void Button1Click();
    void StringGrid1Click();
    // Under 見たまま, edited cells are written with or without their edits
    // as the user answers.
    void btmWriteClick();

    // How the load ended (NoFile until it ran; a rendering error leaves the
    // outcome of the cases before it: ReadFailed is never set for it).
    // Cancelled: the user stopped a long load; OpenFailed: the file did not
    // open. Either way the window is not shown.
    lv::GridLoadOutcome loadOutcome() const { return outcome_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Closing with edited cells asks first: write them, close (the edits
    // stay for the next DATA表示 of this file), or stay.
    void closeEvent(QCloseEvent* event) override;
    // A window closed while its index was built goes on building it.
    void showEvent(QShowEvent* event) override;
    // Escape, when no part of the window takes it, closes the window.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // 書き込み; false when nothing was written (cancelled or failed).
    bool Write();
    void ShowEditCount();
    void ShowIndexState(int64_t indexed, int64_t expected, bool running);
    // "編集したセルが n 個あります。" for the questions.
    QString EditsSaid() const;

    lv::GridLoadOutcome outcome_ = lv::GridLoadOutcome::NoFile;
};

}  // namespace lv
