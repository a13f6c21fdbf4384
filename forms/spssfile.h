#ifndef LORIVANE_FORMS_SPSSFILE_H
#define LORIVANE_FORMS_SPSSFILE_H

#include <QWidget>

// Skeleton: the window's real elements and handlers are being written.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};

#endif
