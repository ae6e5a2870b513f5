// Snapshot commands on a QUndoStack.
#include "ProfileUndo.h"

#include <QAction>
#include <QUndoCommand>

namespace {
class EditCommand : public QUndoCommand
{
public:
    EditCommand(ProfileDocument &document, const QString &name, int mergeKey, const ProfileState &before,
                const ProfileState &after)
        : QUndoCommand(name), document(document), mergeKey(mergeKey), before(before), after(after)
    {
    }
    // The change is already in the document when it is recorded.
    void redo() override
    {
        if (!recorded) {
            recorded = true;
            return;
        }
        document.Replace(after);
    }
    void undo() override { document.Replace(before); }
    int id() const override { return mergeKey != 0 ? 1 : -1; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const EditCommand *>(other);
        if (next->mergeKey != mergeKey)
            return false;
        after = next->after;
        // Typing a field back to what it was leaves nothing to undo.
        setObsolete(after == before);
        return true;
    }

private:
    ProfileDocument &document;
    int mergeKey;
    ProfileState before;
    ProfileState after;
    bool recorded = false;
};
} // namespace

CProfileUndo::CProfileUndo(ProfileDocument &document, std::function<void()> restored, QObject *parent)
    : QObject(parent), document(document), restored(std::move(restored))
{
    stack.setUndoLimit(kLimit);
    undoAction = new QAction(this);
    undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction = new QAction(this);
    redoAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    connect(undoAction, &QAction::triggered, this, &CProfileUndo::Undo);
    connect(redoAction, &QAction::triggered, this, &CProfileUndo::Redo);
    connect(&stack, &QUndoStack::indexChanged, this, &CProfileUndo::ShowActions);
    connect(&stack, &QUndoStack::cleanChanged, this, &CProfileUndo::ShowActions);
    connect(&document, &ProfileDocument::edited, this, &CProfileUndo::Record);
    ShowActions();
}

void CProfileUndo::Record(const QString &name, int mergeKey, const ProfileState &before, const ProfileState &after)
{
    stack.push(new EditCommand(document, name, mergeKey, before, after));
    ShowActions();
}

void CProfileUndo::Undo()
{
    if (blocked || !stack.canUndo())
        return;
    stack.undo();
    restored();
}

void CProfileUndo::Redo()
{
    if (blocked || !stack.canRedo())
        return;
    stack.redo();
    restored();
}

void CProfileUndo::SetBlocked(bool on)
{
    blocked = on;
    ShowActions();
}

void CProfileUndo::ShowActions()
{
    undoAction->setText(stack.canUndo() ? QStringLiteral("Undo %1").arg(stack.undoText()) : QStringLiteral("Undo"));
    redoAction->setText(stack.canRedo() ? QStringLiteral("Redo %1").arg(stack.redoText()) : QStringLiteral("Redo"));
    undoAction->setEnabled(!blocked && stack.canUndo());
    redoAction->setEnabled(!blocked && stack.canRedo());
}
