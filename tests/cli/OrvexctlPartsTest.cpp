// orvexctl's parts without a process: the bounded profile reader under a racing writer, the frame splitter.
#include "Files.h"
#include "FrameReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

// A writer that cuts the file to 320 bytes and then grows it, over and over, while it is read: what
// the size promised is all that is ever read, and never more than the image holds (AddressSanitizer
// watches the copies in the sanitizer pass).
TEST(OrvexctlParts, AProfileFileThatGrowsWhileReadNeverOverflows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("growing.dat"));
    QFile(path).open(QIODevice::WriteOnly);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        const QByteArray chunk(4096, 'G');
        while (!stop) {
            file.resize(0);
            file.seek(0);
            file.write(QByteArray(kProfileImageSize, 'P'));
            file.flush();
            for (int i = 0; i < 16; ++i)
                file.write(chunk);
            file.flush();
        }
    });
    for (int i = 0; i < 400; ++i) {
        const ProfileInput input = ReadProfileInput(path);
        if (!input.error.isEmpty())
            continue; // too large at the moment it was sized: refused whole
        EXPECT_LE(input.length, kFileImageSize);
    }
    stop = true;
    writer.join();

    // A file whose size says nothing (procfs says 0) is read as far as the buffer goes, no further.
    const ProfileInput status = ReadProfileInput(QStringLiteral("/proc/self/status"));
    ASSERT_TRUE(status.error.isEmpty()) << status.error.toStdString();
    EXPECT_EQ(status.length, kFileImageSize);
}

TEST(OrvexctlParts, FramesAreCutFromTheStreamWhereverTheReadsEnd)
{
    FrameSplitter splitter;
    const QByteArray frames = "<ADCT)142/ PWM: 76/ Alarm: 0><ADCV)100/ PWM: 10/ Alarm: 2>";
    std::vector<FrameSplitter::Frame> got;
    for (qsizetype i = 0; i < frames.size(); i += 7) {
        for (const FrameSplitter::Frame &f : splitter.Feed(frames.mid(i, 7)))
            got.push_back(f);
    }
    ASSERT_EQ(got.size(), 2u);
    ASSERT_TRUE(got[0].reading && got[1].reading);
    EXPECT_EQ(got[0].reading->adc, 142);
    EXPECT_EQ(got[0].reading->pwmRaw, 76);
    EXPECT_EQ(got[1].reading->kind, MonitorReading::Voltage);
    EXPECT_EQ(got[1].reading->alarm, 2);

    // Noise before a frame is dropped with it; a frame without its readings is a bad one.
    got = splitter.Feed("xx\x01<ADCT)128/ PWM: 0/ Alarm: 3>");
    ASSERT_EQ(got.size(), 1u);
    ASSERT_TRUE(got[0].reading.has_value());
    EXPECT_EQ(got[0].reading->adc, 128);
    got = splitter.Feed("<hello>");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_FALSE(got[0].reading.has_value());

    // Noise that never ends a frame counts as one bad frame once it outgrows any frame, and is let go.
    got = splitter.Feed(QByteArray(200, 'n'));
    ASSERT_EQ(got.size(), 1u);
    EXPECT_FALSE(got[0].reading.has_value());
    got = splitter.Feed("<ADCT)142/ PWM: 76/ Alarm: 0>");
    ASSERT_EQ(got.size(), 1u);
    EXPECT_TRUE(got[0].reading.has_value());
}
