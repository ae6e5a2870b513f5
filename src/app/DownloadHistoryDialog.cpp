// The list of journalled downloads.
#include "DownloadHistoryDialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

QStringList CDownloadHistoryDialog::Row(const JournalEntry &entry, const TemperatureCodeTable &codes)
{
    const DecodedProfile decoded = DecodeProfileImage(entry.image.data(), false, codes);
    return {entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), entry.port,
            decoded.fields.softwareNumber, decoded.fields.versionNumber, entry.VerifiedText()};
}

CDownloadHistoryDialog::CDownloadHistoryDialog(const std::vector<JournalEntry> &entries, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Download history"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(entries.empty() ? QStringLiteral("No download has been kept yet.")
                                             : QStringLiteral("Downloads to controllers, the latest first. Open "
                                                              "puts the profile sent back into the window."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    const QStringList headers{QStringLiteral("Time"), QStringLiteral("Port"), QStringLiteral("Software Number"),
                              QStringLiteral("Version number"), QStringLiteral("Verified")};
    table = new QTableWidget(static_cast<int>(entries.size()), static_cast<int>(headers.size()), this);
    table->setHorizontalHeaderLabels(headers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->setAccessibleName(QStringLiteral("Downloads"));
    const TemperatureCodeTable codes;
    for (std::size_t row = 0; row < entries.size(); ++row) {
        const QStringList cells = Row(entries[row], codes);
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            if (column == 1)
                item->setToolTip(entries[row].device);
            table->setItem(static_cast<int>(row), column, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    open = buttons->addButton(QStringLiteral("&Open"), QDialogButtonBox::AcceptRole);
    open->setEnabled(false);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table, &QTableWidget::itemSelectionChanged, this,
            [this] { open->setEnabled(!table->selectedItems().isEmpty()); });
    connect(table, &QTableWidget::cellDoubleClicked, this, &QDialog::accept);
    if (!entries.empty())
        table->selectRow(0);

    // As wide as its columns need, never larger than the screen it opens on.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 9 / 10 : QSize(800, 600);
    const int wanted = table->horizontalHeader()->length() + table->frameWidth() * 2 +
                       layout->contentsMargins().left() + layout->contentsMargins().right() + 24;
    resize(std::min(wanted, room.width()), std::min(sizeHint().height() + 200, room.height()));
}

std::optional<std::size_t> CDownloadHistoryDialog::Chosen() const
{
    const QList<QTableWidgetItem *> selected = table->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(selected.first()->row());
}
