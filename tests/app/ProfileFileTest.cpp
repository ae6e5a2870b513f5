// Tests of saving and opening profile files in the window.
#include "WindowFixture.h"

#include "ProfileFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {
QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class ProfileFileTest : public WindowTest
{
protected:
    QTemporaryDir dir;
    QString Path(const QString &name) const { return dir.filePath(name); }
    QLineEdit *Edit(int id) const { return qobject_cast<QLineEdit *>(window->Control(id)); }
};
} // namespace

TEST_F(ProfileFileTest, SaveRefusesUnsetBandsUnlessMultipoint)
{
    Edit(1053)->setText(QStringLiteral("N/A"));
    ui.saveNames.push_back(Path(QStringLiteral("a.dat")));
    window->OnBnClickedSaveFile();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Set 'N/A' parameters."));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Parameters Not Set."));
    EXPECT_TRUE(ui.proposedNames.empty()); // no dialog
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("a.dat"))));

    Check(1031)->setChecked(true);
    window->OnBnClickedSaveFile();
    EXPECT_EQ(ReadAll(Path(QStringLiteral("a.dat"))).size(), 320);
}

TEST_F(ProfileFileTest, SavedFileIsTheImageAndTheTitleItsPath)
{
    Edit(1008)->setText(QStringLiteral("00012"));
    Edit(1009)->setText(QStringLiteral("7"));
    const QString path = Path(QStringLiteral("00012_Issue7.dat"));
    ui.saveNames.push_back(path);
    window->OnBnClickedSaveFile();
    ASSERT_EQ(ui.proposedNames.size(), 1u);
    EXPECT_EQ(ui.proposedNames[0], QStringLiteral("00012_Issue7"));
    EXPECT_EQ(ui.defaultSuffixes[0], QStringLiteral("dat"));
    const QByteArray bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 320);
    EXPECT_EQ(bytes[256], 0);
    for (int i = 279; i < 320; ++i)
        EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(bytes.mid(258, 5), QByteArray("00012"));
    EXPECT_EQ(static_cast<int>(bytes[263]), 7);
    EXPECT_EQ(window->windowTitle(), path);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ProfileFileTest, CancelledSaveWritesNothing)
{
    window->OnBnClickedSaveFile();
    EXPECT_EQ(ui.proposedNames.size(), 1u);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tamlin Orvex Interface"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// A full file system: a small tmpfs filled to the brim around an existing profile file (needs
// the right to mount, as root has here); otherwise a folder without write permission.
struct UnwritableFolder
{
    QString path;
    bool mounted = false;
    bool usable = false;

    explicit UnwritableFolder(const QString &where) : path(where)
    {
        QDir().mkpath(path);
        mounted = QProcess::execute(QStringLiteral("mount"),
                                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                     QStringLiteral("size=8k"), QStringLiteral("tmpfs"), path}) == 0;
        WriteAll(Target(), QByteArray("previous profile"));
        if (mounted) {
            QFile filler(path + QStringLiteral("/filler"));
            filler.open(QIODevice::WriteOnly);
            while (filler.write(QByteArray(1024, 'x')) == 1024 && filler.flush()) {
            }
            usable = true;
        } else {
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            usable = !QFileInfo(path).isWritable();
        }
    }
    ~UnwritableFolder()
    {
        if (mounted)
            QProcess::execute(QStringLiteral("umount"), {path});
        else
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    QString Target() const { return path + QStringLiteral("/old.dat"); }
};

TEST_F(ProfileFileTest, SaveThatCannotBeWrittenSaysWhyAndKeepsTheOldFile)
{
    UnwritableFolder folder(Path(QStringLiteral("full")));
    if (!folder.usable)
        GTEST_SKIP() << "neither a mount nor file permissions can make a folder unwritable here";
    ui.saveNames.push_back(folder.Target());
    window->OnBnClickedSaveFile();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.startsWith(QStringLiteral("Couldn't save the profile to")))
        << ui.boxes[0].text.toStdString();
    EXPECT_EQ(ReadAll(folder.Target()), QByteArray("previous profile"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tamlin Orvex Interface"));
    // Usable afterwards: the same save elsewhere works.
    ui.saveNames.push_back(Path(QStringLiteral("ok.dat")));
    window->OnBnClickedSaveFile();
    EXPECT_EQ(ReadAll(Path(QStringLiteral("ok.dat"))).size(), 320);
}

TEST_F(ProfileFileTest, SaveIntoAMissingFolderSaysWhy)
{
    ui.saveNames.push_back(Path(QStringLiteral("no/such/folder/x.dat")));
    window->OnBnClickedSaveFile();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Warning"));
}

TEST_F(ProfileFileTest, SaveThenOpenGivesTheProfileBack)
{
    window->ApplyVoltageLabels();
    Edit(1056)->setText(QStringLiteral("8"));
    Edit(1053)->setText(QStringLiteral("80"));
    Edit(1055)->setText(QStringLiteral("4"));
    Edit(1054)->setText(QStringLiteral("40"));
    Combo(1013)->setEditText(QStringLiteral("2"));
    window->Entry().RebuildBandCurve();
    Combo(1025)->setCurrentIndex(1);
    Combo(1014)->setCurrentIndex(4);
    const QString path = Path(QStringLiteral("v.dat"));
    ui.saveNames.push_back(path);
    window->OnBnClickedSaveFile();
    const std::array<double, 256> saved = window->Plot().Curve().curveFan;

    window->LoadDefaultTemplate();
    ui.openNames.push_back({path});
    window->OnBnClickedOpenFile();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("File Opened: [%1] Tamlin Orvex Interface").arg(path));
    EXPECT_EQ(Text(1043), QStringLiteral("Successfully Opened File from PC"));
    EXPECT_EQ(Text(1022), QStringLiteral("Voltage"));
    EXPECT_EQ(Text(1026), QStringLiteral("Voltage Top Band(V)"));
    EXPECT_EQ(Text(1056), QStringLiteral("8"));
    EXPECT_EQ(Text(1055), QStringLiteral("4"));
    EXPECT_EQ(Text(1054), QStringLiteral("40"));
    EXPECT_EQ(Text(1013), QStringLiteral("2"));
    EXPECT_EQ(Text(1025), QStringLiteral("Voltage"));
    EXPECT_EQ(Text(1014), QStringLiteral("4000"));
    EXPECT_EQ(window->Plot().AxisMax(), 10.0);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(window->Plot().Curve().curveFan[i], saved[i]) << i;
    EXPECT_FALSE(Enabled(1052));
}

TEST_F(ProfileFileTest, OpenSizeRulesShortFilesAndSeveralSelected)
{
    const QString big = Path(QStringLiteral("big.dat"));
    WriteAll(big, QByteArray(513, '\x01'));
    ui.openNames.push_back({big});
    window->OnBnClickedOpenFile();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Wrong type of file opened!, file larger than expected."));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Warning - Error in file!!! "));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tamlin Orvex Interface"));
    EXPECT_EQ(Text(1056), QStringLiteral("50"));

    // A full profile first, then a short file over it: the bytes it lacks are 0, never the last file's.
    const QString full = Path(QStringLiteral("full.dat"));
    ui.saveNames.push_back(full);
    Edit(1009)->setText(QStringLiteral("9"));
    window->OnBnClickedSaveFile();
    const QString edge = Path(QStringLiteral("edge.dat"));
    WriteAll(edge, ReadAll(full) + QByteArray(192, '\0')); // exactly 512
    const QString shortFile = Path(QStringLiteral("short.dat"));
    WriteAll(shortFile, QByteArray(10, '\0'));
    ui.openNames.push_back({shortFile, edge}); // the last one is opened
    window->OnBnClickedOpenFile();
    EXPECT_EQ(Text(1009), QStringLiteral("9"));
    ui.openNames.push_back({shortFile});
    window->OnBnClickedOpenFile();
    EXPECT_EQ(Text(1009), QStringLiteral("0"));
    EXPECT_EQ(Text(1022), QStringLiteral("Temperature"));
    EXPECT_EQ(Text(1043), QStringLiteral("Successfully Opened File from PC\n") + CProfileFile::ShortFileText(10));
    EXPECT_EQ(ui.boxes.size(), 1u);

    // Nothing that is no regular file is read: a FIFO would hang the window, /dev/zero never ends.
    const QString fifo = Path(QStringLiteral("fifo.dat"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString title = window->windowTitle();
    for (const QString &path : {Path(QStringLiteral("missing.dat")), dir.path(), fifo, QStringLiteral("/dev/zero")}) {
        ui.boxes.clear();
        ui.openNames.push_back({path});
        window->OnBnClickedOpenFile();
        ASSERT_EQ(ui.boxes.size(), 1u) << path.toStdString();
        EXPECT_EQ(ui.boxes[0].text, QStringLiteral("Couldn't open source file."));
        EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Warning"));
        EXPECT_EQ(window->windowTitle(), title);
        EXPECT_EQ(Text(1009), QStringLiteral("0"));
    }
}

TEST_F(ProfileFileTest, MultipointFileDecodesWithBandFieldsResting)
{
    Check(1031)->setChecked(true);
    const QString path = Path(QStringLiteral("mp.dat"));
    ui.saveNames.push_back(path);
    window->OnBnClickedSaveFile();
    window->LoadDefaultTemplate();
    ui.openNames.push_back({path});
    window->OnBnClickedOpenFile();
    EXPECT_TRUE(Check(1031)->isChecked());
    for (int id : {1053, 1056, 1054, 1055, 1013}) {
        EXPECT_EQ(Text(id), QStringLiteral("N/A")) << id;
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_EQ(window->Plot().Background(), CFanCurvePlot::multipointBackground);
    EXPECT_EQ(window->Plot().Curve().DefinedPointCount(), 0);
}
