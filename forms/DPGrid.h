#ifndef LORIVANE_FORMS_DPGRID_H
#define LORIVANE_FORMS_DPGRID_H

#include <QWidget>

// Skeleton: the window's real elements and handlers are being written.
class TfrmDPGrid : public QWidget {
    Q_OBJECT
public:
    explicit TfrmDPGrid(QWidget* parent = nullptr);
};

#endif
