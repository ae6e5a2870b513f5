// Tests of writing and reading profile files safely, and of comparing profiles.
#include "AtomicFile.h"
#include "ProfileCompare.h"
#include "ProfileFileReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
const TemperatureCodeTable kTable;

ProfileImage DefaultImage()
{
    FanCurve curve;
    curve.LoadDefault();
    return BuildProfileImage(ControlProfile(), curve.curveFan, kTable);
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

TEST(ProfileFiles, TheWriterNeverReplacesWhatIsNoRegularFile)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString linkToNull = dir.filePath(QStringLiteral("null.dat"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), linkToNull));
    for (const QString &target : {fifo, linkToNull, QStringLiteral("/dev/null"), dir.path()}) {
        const QString reason = WriteFileAtomically(target, QByteArray(320, 'x'));
        EXPECT_TRUE(reason.contains(QStringLiteral("not a regular file"))) << target.toStdString();
    }
    struct stat info
    {
    };
    ASSERT_EQ(::lstat(fifo.toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));

    // A link to a regular file is written through; the link stays.
    const QString real = dir.filePath(QStringLiteral("real.dat"));
    Write(real, "old");
    const QString link = dir.filePath(QStringLiteral("link.dat"));
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(WriteFileAtomically(link, QByteArray(320, 'y')), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    QFile written(real);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray(320, 'y'));
}

TEST(ProfileFiles, ReadingTakesRegularFilesOnlyAndNeverBorrowsBytes)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QString &path : {fifo, QStringLiteral("/dev/zero"), dir.path(), dir.filePath(QStringLiteral("none"))})
        EXPECT_EQ(ReadProfileFile(path).outcome, ProfileFileRead::CannotOpen) << path.toStdString(); // no hang

    const QString full = dir.filePath(QStringLiteral("full.dat"));
    Write(full, QByteArray(320, 'A'));
    ProfileFileRead read = ReadProfileFile(full);
    ASSERT_EQ(read.outcome, ProfileFileRead::Read);
    EXPECT_FALSE(read.Short());

    const QString shortFile = dir.filePath(QStringLiteral("short.dat"));
    Write(shortFile, QByteArray(100, 'B'));
    read = ReadProfileFile(shortFile);
    ASSERT_EQ(read.outcome, ProfileFileRead::Read);
    EXPECT_TRUE(read.Short());
    EXPECT_EQ(read.length, 100);
    EXPECT_EQ(read.image[99], 'B');
    EXPECT_EQ(read.image[100], 0); // not the 'A' of the file read before
    EXPECT_EQ(read.image[319], 0);

    const QString big = dir.filePath(QStringLiteral("big.dat"));
    Write(big, QByteArray(513, 'C'));
    EXPECT_EQ(ReadProfileFile(big).outcome, ProfileFileRead::TooLarge);
    Write(big, QByteArray(512, 'C'));
    EXPECT_EQ(ReadProfileFile(big).outcome, ProfileFileRead::Read);
}

TEST(ProfileCompare, NamesTheFieldsAndCurveEntriesThatDiffer)
{
    const ProfileImage a = DefaultImage();
    EXPECT_TRUE(CompareProfiles(a, a, kTable).empty());

    ControlProfile changed;
    changed.versionNumber = QStringLiteral("7");
    changed.highAlarm = QStringLiteral("60");
    FanCurve curve;
    curve.LoadDefault();
    for (int i = 150; i <= 160; ++i)
        curve.curveFan[static_cast<std::size_t>(i)] = 95;
    const ProfileImage b = BuildProfileImage(changed, curve.curveFan, kTable);
    std::vector<QString> lines;
    for (const ProfileDifference &d : CompareProfiles(a, b, kTable))
        lines.push_back(d.Line());
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], QStringLiteral("versionNumber: 1 -> 7"));
    EXPECT_EQ(lines[1], QStringLiteral("highAlarm: 50 -> 60"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("curve[")) && lines[2].contains(QStringLiteral("-> 95")))
        << lines[2].toStdString();

    // A byte no field shows still makes the images differ.
    ProfileImage c = a;
    c[300] = 0x41;
    const std::vector<ProfileDifference> bytes = CompareProfiles(a, c, kTable);
    ASSERT_EQ(bytes.size(), 1u);
    EXPECT_EQ(bytes[0].Line(), QStringLiteral("bytes[300]: 00 -> 41"));
}

TEST(ProfileCompare, ACurveThatStopsTheFanWhenHot)
{
    std::array<double, FanCurve::kPoints> curve{};
    EXPECT_FALSE(HotStopEntry(curve).has_value()); // never runs: nothing stops
    FanCurve band;
    band.LoadDefault();
    EXPECT_FALSE(HotStopEntry(band.curveFan).has_value()); // runs to the end
    for (int i = 0; i < 256; ++i)
        curve[static_cast<std::size_t>(i)] = i <= 100 ? 50 : 0; // one point, then nothing above
    ASSERT_EQ(HotStopEntry(curve), 100);
    EXPECT_EQ(EntryValueText(100, InputKind::Temperature), QStringLiteral("24.75 °C"));
    EXPECT_EQ(EntryValueText(255, InputKind::Voltage), QStringLiteral("10.00 V"));
    EXPECT_TRUE(HotStopWarning(100, InputKind::Temperature).contains(QStringLiteral("above 24.75 °C")));
}
