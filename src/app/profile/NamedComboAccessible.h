// A drop-down list as a screen reader meets it when the window has named it.
#pragma once

#include <QAccessibleWidget>

// Qt names a list by what it shows on Linux and leaves its label to a relation, which readers do
// not all follow: a list given an accessible name goes by that name, its entry is its value.
class CNamedComboAccessible : public QAccessibleWidget
{
public:
    explicit CNamedComboAccessible(QWidget *combo);

    // Registers the interface with Qt's accessibility once; lists without a name keep Qt's own.
    static void Install();

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;
};
