#ifndef LORIVANE_FORMS_VALUELABEL_H
#define LORIVANE_FORMS_VALUELABEL_H

#include <QDialog>

// Skeleton: the window's real elements and handlers are being written.
class TfrmValue : public QDialog {
    Q_OBJECT
public:
    explicit TfrmValue(QWidget* parent = nullptr);
};

#endif
