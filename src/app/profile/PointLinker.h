// The Point Linker dialog of multipoint editing.
#pragma once

#include <QDialog>

// The "Point Linker" dialog: take the last point back, clear the plot, or leave things as they are.
class MyPointerLinker : public QDialog
{
    Q_OBJECT
public:
    enum class Result { Cancel, Ok, Clear, Undo };

    explicit MyPointerLinker(QWidget *parent = nullptr);

    Result Outcome() const;
    bool clearRequested = false;
    bool undoRequested = false;
};
