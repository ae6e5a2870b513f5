// The journal of downloads: what was sent to which controller, when, and what came of it.
#pragma once

#include "ProfileCodec.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

struct JournalEntry
{
    QDateTime time; // UTC
    QString port;   // its stable name where it has one (/dev/serial/by-id/...)
    QString device; // the name the download was given
    ProfileImage image{};
    QString reply;  // the controller's answer, as shown
    QString result; // "verified", "NOT VERIFIED", "downloaded", "failed"
    // Whether the read-back matched the image sent; none when it was not read back.
    std::optional<bool> verified;
    QString detail; // the differing fields, or why it failed
    QString source; // "orvex" or "orvexctl"
    QString id;     // the entry's file name in the journal

    // "verified", "not verified" or "not checked", as a list shows it.
    QString VerifiedText() const;
};

// One file an entry, written whole or not at all, so the window and any number of orvexctl runs
// can write at the same time. The oldest entries go once there are more than kLimit.
class DownloadJournal
{
public:
    static constexpr int kLimit = 1000;
    explicit DownloadJournal(const QString &folder);
    // The journal in the state folder, or in a given one.
    static QString DefaultFolder();
    static QString FolderIn(const QString &stateFolder);

    // Empty when written, else why not: a journal that cannot be written never fails a download.
    QString Record(const JournalEntry &entry);
    // Newest first; entries that cannot be read are passed over.
    std::vector<JournalEntry> Entries() const;
    const QString &Folder() const { return folder; }

private:
    void Prune() const;
    QString folder;
};
