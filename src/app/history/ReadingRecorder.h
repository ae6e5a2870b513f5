// Recording the readings the window shows to a CSV file.
#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QString>

class QDateTime;
struct MonitorReading;

// One line a reading, written through at once: a crash loses at most the line being written.
class ReadingRecorder
{
public:
    // Starts a new file at path (the header line first); the reason when it cannot.
    QString Start(const QString &path);
    void Stop();
    bool Recording() const { return file.isOpen(); }
    QString Path() const { return file.fileName(); }
    // False, with the recording stopped, when the line could not be written (a full disk) or the
    // file is no longer where it was started (deleted or moved away). The file then ends on its
    // last whole line.
    bool Record(const QDateTime &time, const MonitorReading &reading);
    QString LastError() const { return lastError; }

private:
    bool WriteLine(const QString &line);
    // Why the file at Path() is no longer the one being written; empty while it is.
    QString Gone() const;

    QFile file;
    QElapsedTimer sinceStart;
    QString lastError;
    qint64 whole = 0; // bytes up to the end of the last whole line
};
