// "Download history": the journal's downloads, one to open as the profile.
#pragma once

#include "DownloadJournal.h"

#include <QDialog>

#include <optional>
#include <vector>

class QPushButton;
class QTableWidget;

class CDownloadHistoryDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CDownloadHistoryDialog(const std::vector<JournalEntry> &entries, QWidget *parent = nullptr);
    // The row chosen, in the order of the entries given.
    std::optional<std::size_t> Chosen() const;
    QTableWidget *Table() const { return table; }

    // The columns: time, port, software number, version number, verified.
    static QStringList Row(const JournalEntry &entry, const TemperatureCodeTable &codes);

private:
    QTableWidget *table = nullptr;
    QPushButton *open = nullptr;
};
