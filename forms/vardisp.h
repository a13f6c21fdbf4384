#ifndef LORIVANE_FORMS_VARDISP_H
#define LORIVANE_FORMS_VARDISP_H

#include <QWidget>

// Skeleton: the window's real elements and handlers are being written.
class TfrmVariable : public QWidget {
    Q_OBJECT
public:
    explicit TfrmVariable(QWidget* parent = nullptr);
};

#endif
