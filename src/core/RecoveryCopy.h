// A copy of the profile being edited, kept in the state folder while it has unsaved changes, so a
// crash, a kill or a power cut does not cost the user's work.
#pragma once

#include "ProfileDocument.h"

#include <QDateTime>
#include <QJsonObject>
#include <QObject>
#include <QTimer>

#include <optional>

// The state as JSON, and back; none for anything that is not a whole, sane state.
QJsonObject ProfileStateJson(const ProfileState &state);
std::optional<ProfileState> ProfileStateFromJson(const QJsonObject &object);

class RecoveryCopy : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDelay = 1000; // at most this long after a change, the copy holds it

    struct Found
    {
        ProfileState state;
        QDateTime changed; // when the profile was last changed, local time
    };

    RecoveryCopy(ProfileDocument &document, const QString &folder, QObject *parent = nullptr);
    // The copy a run that did not end cleanly left behind, if any.
    std::optional<Found> Left() const;
    // From now on the copy follows the document.
    void Keep();
    // The profile is saved or given up: no copy stays.
    void Discard();
    QString Path() const;
    // Why the last write failed, empty when it did not.
    const QString &Trouble() const { return trouble; }

private:
    void Changed();
    void Write();

    ProfileDocument &document;
    QString folder;
    QTimer timer;
    QDateTime lastChange;
    QString trouble;
    bool keeping = false;
};
