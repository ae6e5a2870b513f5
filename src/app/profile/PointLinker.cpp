// The Point Linker dialog's buttons and its outcome.
#include "PointLinker.h"

#include "DialogUnits.h"

#include <QIcon>
#include <QPushButton>

MyPointerLinker::MyPointerLinker(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Point Linker"));
    setFont(DialogUnits::DialogFont());
    const DialogUnits units(font());
    setFixedSize(units.Size(127, 53));

    auto *clear = new QPushButton(QIcon(QStringLiteral(":/pictures/1037.png")), QStringLiteral("Clear Plot"), this);
    clear->setGeometry(units.Rect(7, 7, 55, 18));
    clear->setAutoDefault(false);
    auto *undo = new QPushButton(QStringLiteral("Undo"), this);
    undo->setGeometry(units.Rect(66, 7, 54, 18));
    undo->setAutoDefault(false);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(units.Rect(7, 31, 55, 14));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(units.Rect(66, 31, 54, 14));

    connect(clear, &QPushButton::clicked, this, [this] {
        clearRequested = true;
        accept();
    });
    connect(undo, &QPushButton::clicked, this, [this] {
        undoRequested = true;
        accept();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

MyPointerLinker::Result MyPointerLinker::Outcome() const
{
    if (result() != QDialog::Accepted)
        return Result::Cancel;
    if (clearRequested)
        return Result::Clear;
    if (undoRequested)
        return Result::Undo;
    return Result::Ok;
}
