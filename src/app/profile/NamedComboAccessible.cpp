// Named drop-down lists for assistive technology.
#include "NamedComboAccessible.h"

#include <QComboBox>
#include <QLineEdit>

namespace {
QAccessibleInterface *Factory(const QString &className, QObject *object)
{
    auto *combo = qobject_cast<QComboBox *>(object);
    if (className != QLatin1String("QComboBox") || !combo || combo->accessibleName().isEmpty())
        return nullptr;
    return new CNamedComboAccessible(combo);
}
} // namespace

CNamedComboAccessible::CNamedComboAccessible(QWidget *combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

void CNamedComboAccessible::Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&Factory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString CNamedComboAccessible::text(QAccessible::Text t) const
{
    const auto *combo = static_cast<const QComboBox *>(widget());
    if (t == QAccessible::Value)
        return combo->isEditable() ? combo->lineEdit()->text() : combo->currentText();
    if (t == QAccessible::Name)
        return combo->accessibleName();
    return QAccessibleWidget::text(t);
}

QStringList CNamedComboAccessible::actionNames() const
{
    return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
}

void CNamedComboAccessible::doAction(const QString &actionName)
{
    if (actionName == showMenuAction() || actionName == pressAction()) {
        static_cast<QComboBox *>(widget())->showPopup();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}
