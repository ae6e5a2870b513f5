// The download journal: one JSON file an entry in the state folder.
#include "DownloadJournal.h"

#include "StateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <atomic>

namespace {
constexpr qint64 kLargestEntry = 64 * 1024; // anything larger is not one of ours
const QString kSuffix = QStringLiteral(".json");

QString NewId(const QDateTime &time)
{
    static std::atomic<int> counter{0};
    // Names sort as the entries were written, and two writers never pick the same one.
    return QStringLiteral("%1-%2-%3%4")
        .arg(time.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz'Z'")))
        .arg(QCoreApplication::applicationPid())
        .arg(counter++, 4, 10, QLatin1Char('0'))
        .arg(kSuffix);
}

QJsonObject ToJson(const JournalEntry &e)
{
    QJsonObject o{
        {QStringLiteral("time"), e.time.toUTC().toString(Qt::ISODateWithMs)},
        {QStringLiteral("port"), e.port},
        {QStringLiteral("device"), e.device},
        {QStringLiteral("image"),
         QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(e.image.data()), kProfileImageSize).toBase64())},
        {QStringLiteral("reply"), e.reply},
        {QStringLiteral("result"), e.result},
        {QStringLiteral("detail"), e.detail},
        {QStringLiteral("source"), e.source}};
    if (e.verified)
        o.insert(QStringLiteral("verified"), *e.verified);
    return o;
}

std::optional<JournalEntry> FromJson(const QJsonObject &o)
{
    JournalEntry e;
    e.time = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    const QByteArray image = QByteArray::fromBase64(o.value(QStringLiteral("image")).toString().toLatin1());
    if (!e.time.isValid() || image.size() != kProfileImageSize)
        return std::nullopt;
    std::copy(image.begin(), image.end(), e.image.begin());
    e.port = o.value(QStringLiteral("port")).toString();
    e.device = o.value(QStringLiteral("device")).toString();
    e.reply = o.value(QStringLiteral("reply")).toString();
    e.result = o.value(QStringLiteral("result")).toString();
    e.detail = o.value(QStringLiteral("detail")).toString();
    e.source = o.value(QStringLiteral("source")).toString();
    if (o.value(QStringLiteral("verified")).isBool())
        e.verified = o.value(QStringLiteral("verified")).toBool();
    return e;
}
} // namespace

QString JournalEntry::VerifiedText() const
{
    if (!verified)
        return QStringLiteral("not checked");
    return *verified ? QStringLiteral("verified") : QStringLiteral("not verified");
}

DownloadJournal::DownloadJournal(const QString &folder) : folder(folder) {}

QString DownloadJournal::DefaultFolder()
{
    return FolderIn(StateFolder());
}

QString DownloadJournal::FolderIn(const QString &stateFolder)
{
    return stateFolder + QStringLiteral("/journal");
}

QString DownloadJournal::Record(const JournalEntry &entry)
{
    if (const QString trouble = MakeStateFolder(folder); !trouble.isEmpty())
        return trouble;
    QSaveFile file(QDir(folder).filePath(NewId(entry.time.isValid() ? entry.time : QDateTime::currentDateTimeUtc())));
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(QJsonDocument(ToJson(entry)).toJson(QJsonDocument::Compact));
    if (!file.commit())
        return file.errorString();
    Prune();
    return {};
}

std::vector<JournalEntry> DownloadJournal::Entries() const
{
    QStringList names = QDir(folder).entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name);
    std::vector<JournalEntry> entries;
    entries.reserve(static_cast<std::size_t>(names.size()));
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        QFile file(QDir(folder).filePath(*name));
        if (file.size() > kLargestEntry || !file.open(QIODevice::ReadOnly))
            continue;
        const QJsonDocument document = QJsonDocument::fromJson(file.read(kLargestEntry));
        if (!document.isObject())
            continue;
        if (std::optional<JournalEntry> entry = FromJson(document.object())) {
            entry->id = *name;
            entries.push_back(std::move(*entry));
        }
    }
    return entries;
}

void DownloadJournal::Prune() const
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Name);
    for (qsizetype i = 0; i + kLimit < names.size(); ++i)
        QFile::remove(QDir(folder).filePath(names[i]));
}
