// Undo and redo of the profile: every accepted change, each a whole snapshot of fields and curve,
// so an undo brings back the curve with the fields that made it.
#pragma once

#include "ProfileDocument.h"

#include <QObject>
#include <QUndoStack>

#include <functional>

class QAction;

class CProfileUndo : public QObject
{
    Q_OBJECT
public:
    static constexpr int kLimit = 200; // steps kept; each is a few kilobytes

    // restored runs after an undo or redo has put a snapshot back.
    CProfileUndo(ProfileDocument &document, std::function<void()> restored, QObject *parent = nullptr);

    void Undo();
    void Redo();
    // Nothing before this moment can be undone (the start).
    void Forget() { stack.clear(); }
    // While a transfer runs the profile stays as it is sent.
    void SetBlocked(bool blocked);
    QUndoStack &Stack() { return stack; }
    // "Undo ..." and "Redo ..." naming the change, with Ctrl+Z and Ctrl+Shift+Z.
    QAction *UndoAction() const { return undoAction; }
    QAction *RedoAction() const { return redoAction; }

private:
    void Record(const QString &name, int mergeKey, const ProfileState &before, const ProfileState &after);
    void ShowActions();

    ProfileDocument &document;
    std::function<void()> restored;
    QUndoStack stack;
    QAction *undoAction = nullptr;
    QAction *redoAction = nullptr;
    bool blocked = false;
};
