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
    // False, with the recording stopped, when the line could not be written (a full disk).
    bool Record(const QDateTime &time, const MonitorReading &reading);
    QString LastError() const { return lastError; }

private:
    bool WriteLine(const QString &line);

    QFile file;
    QElapsedTimer sinceStart;
    QString lastError;
};
