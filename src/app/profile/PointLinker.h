// The Point Linker dialog of multipoint editing.
#pragma once

#include "ModalUi.h"

#include <QDialog>

// The "Point Linker" dialog: take the last point back, clear the plot, or leave things as they are.
class MyPointerLinker : public QDialog
{
    Q_OBJECT
public:
    using Result = PointLinkerChoice;

    explicit MyPointerLinker(QWidget *parent = nullptr);

    Result Outcome() const;
    bool clearRequested = false;
    bool undoRequested = false;
};
