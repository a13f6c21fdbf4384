// The variable-list window: one fixed-column line per variable. Its creation
// builds the list and fills the shared per-variable display data (core/varlist.h).
#ifndef LORIVANE_FORMS_VARDISP_H
#define LORIVANE_FORMS_VARDISP_H

#include <QWidget>

class QLabel;
class QListWidget;
class QMenu;
class QPushButton;

class TfrmVariable : public QWidget {
    Q_OBJECT
  public:
    // Created hidden; runs FormCreate (the whole build).
    explicit TfrmVariable(QWidget* parent = nullptr);

    QListWidget* ListBox1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QPushButton* btnOK;

    void FormCreate();
    void ListBox1DblClick();
    void btnOKClick();
    void FormResize();

    // The list's context menu: 辞書を書き出す… (the caller owns it).
    QMenu* CreateContextMenu();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

#endif
