// Tests of the profile document: band anchors after decoding, the modified state, edits as undo
// steps, the recovery copy and the download journal.
#include "ProfileDocument.h"
#include "DownloadJournal.h"
#include "EntryRules.h"
#include "RecoveryCopy.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
// A band, as a user types it and leaves the field: the text, then the band step.
void TypeBand(ProfileDocument &doc, ProfileField field, int value)
{
    doc.SetText(field, QString::number(value));
    switch (field) {
    case ProfileField::TopBand: doc.PlaceTopBand(true); break;
    case ProfileField::FanSpeedTopBand: doc.PlaceTopBand(false); break;
    case ProfileField::BottomBand: doc.PlaceBottomBand(true); break;
    case ProfileField::FanSpeedBottomBand: doc.PlaceBottomBand(false); break;
    default: break;
    }
}

struct Bands
{
    int bottom, top, fanBottom, fanTop;
};

// The template, then the bands typed in the window's tab order (each fan speed before its band),
// the top band first unless it goes below the bottom band shown.
void MakeFromTemplate(ProfileDocument &doc, InputKind kind, const Bands &b)
{
    doc.LoadDefaultTemplate();
    int bottomNow = 25;
    if (kind == InputKind::Voltage) {
        doc.ApplyForm(InputKind::Voltage); // the bands are empty now
        bottomNow = 0;
    }
    auto top = [&] {
        TypeBand(doc, ProfileField::FanSpeedTopBand, b.fanTop);
        TypeBand(doc, ProfileField::TopBand, b.top);
    };
    auto bottom = [&] {
        TypeBand(doc, ProfileField::FanSpeedBottomBand, b.fanBottom);
        TypeBand(doc, ProfileField::BottomBand, b.bottom);
    };
    if (b.top > bottomNow) {
        top();
        bottom();
    } else {
        bottom();
        top();
    }
}

struct Edit
{
    ProfileField field;
    int value;
};

void WaitFor(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}
} // namespace

// The same band edit after opening a saved band profile and after typing that profile over the
// template gives the same image: opening must bring the band anchors back.
TEST(ProfileDocument, ABandEditAfterOpeningEqualsTheSameEditAfterTheTemplate)
{
    int cases = 0;
    for (const InputKind kind : {InputKind::Temperature, InputKind::Voltage}) {
        const int topLimit = kind == InputKind::Temperature ? 63 : 10;
        for (int top = 2; top <= topLimit; top += kind == InputKind::Temperature ? 7 : 1) {
            for (int bottom = 1; bottom < top; bottom += kind == InputKind::Temperature ? 5 : 1) {
                const Bands bands{bottom, top, 30 + bottom % 20, 70 + top % 30};
                ProfileDocument made;
                MakeFromTemplate(made, kind, bands);
                const ProfileImage saved = made.BuildImage();

                ProfileDocument opened;
                opened.LoadDefaultTemplate();
                const DecodedProfile decoded = opened.ApplyImage(saved.data(), false);
                // Nothing edited: the anchors change nothing of what the decoded profile saves as.
                ASSERT_EQ(opened.BuildImage(), BuildProfileImage(decoded.fields, decoded.curveFan, opened.Codes()))
                    << bottom << ".." << top;

                const Edit edits[] = {{ProfileField::FanSpeedTopBand, 55},
                                      {ProfileField::FanSpeedBottomBand, 12},
                                      {ProfileField::TopBand, top == topLimit ? top - 1 : top + 1},
                                      {ProfileField::BottomBand, bottom > 1 ? bottom - 1 : bottom}};
                for (const Edit &e : edits) {
                    if (e.field == ProfileField::TopBand && e.value <= bottom)
                        continue;
                    ProfileDocument afterTemplate;
                    MakeFromTemplate(afterTemplate, kind, bands);
                    TypeBand(afterTemplate, e.field, e.value);
                    ProfileDocument afterOpen;
                    afterOpen.ApplyImage(saved.data(), false);
                    TypeBand(afterOpen, e.field, e.value);
                    ASSERT_EQ(afterOpen.BuildImage(), afterTemplate.BuildImage())
                        << (kind == InputKind::Voltage ? "V " : "C ") << bottom << ".." << top << " field "
                        << FieldKey(e.field).toStdString() << " = " << e.value;
                    ++cases;
                }
            }
        }
    }
    EXPECT_GT(cases, 200);
}

TEST(ProfileDocument, AnUploadedMultipointProfileKeepsItsOwnMarksAndAFileNone)
{
    ProfileDocument made;
    made.LoadDefaultTemplate();
    made.SetMultipoint(true);
    made.ChangeCurve([](FanCurve &curve) {
        curve.Clear();
        curve.AddPoint(120, 60);
    });
    const ProfileImage image = made.BuildImage();
    ProfileDocument uploaded;
    uploaded.ApplyImage(image.data(), true);
    EXPECT_EQ(uploaded.Curve().DefinedPointCount(), 4); // 0, the two bands' marks and 255
    ProfileDocument opened;
    const DecodedProfile decoded = opened.ApplyImage(image.data(), false);
    EXPECT_EQ(opened.Curve().DefinedPointCount(), 0);
    EXPECT_EQ(opened.Curve().curveFan, decoded.curveFan);
}

TEST(ProfileDocument, ModifiedFollowsWhatWasLastLoaded)
{
    ProfileDocument doc;
    doc.LoadDefaultTemplate();
    doc.MarkClean();
    std::vector<bool> seen;
    QObject::connect(&doc, &ProfileDocument::modifiedChanged, [&](bool modified) { seen.push_back(modified); });
    EXPECT_FALSE(doc.Modified());
    doc.SetText(ProfileField::VersionNumber, QStringLiteral("2"));
    EXPECT_TRUE(doc.Modified());
    doc.SetText(ProfileField::VersionNumber, QStringLiteral("1")); // typed back: nothing unsaved
    EXPECT_FALSE(doc.Modified());
    doc.ChangeCurve([](FanCurve &curve) { curve.curveFan[40] = 1; });
    EXPECT_TRUE(doc.Modified());
    doc.MarkClean();
    EXPECT_FALSE(doc.Modified());
    EXPECT_EQ(seen, (std::vector<bool>{true, false, true, false}));
}

TEST(ProfileDocument, AnEditIsOneStepHoweverManyChangesItMakes)
{
    ProfileDocument doc;
    doc.LoadDefaultTemplate();
    struct Step
    {
        QString name;
        int key;
        ProfileState before, after;
    };
    std::vector<Step> steps;
    QObject::connect(&doc, &ProfileDocument::edited,
                     [&](const QString &name, int key, const ProfileState &before, const ProfileState &after) {
                         steps.push_back({name, key, before, after});
                     });
    const ProfileState start = doc.State();
    {
        const ProfileDocument::Edit outer(doc, QStringLiteral("Top Band"), 7);
        const ProfileDocument::Edit inner(doc, QStringLiteral("inner"));
        doc.SetText(ProfileField::TopBand, QStringLiteral("40"));
        doc.PlaceTopBand(true);
    }
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].name, QStringLiteral("Top Band"));
    EXPECT_EQ(steps[0].key, 7);
    EXPECT_EQ(steps[0].before, start);
    EXPECT_EQ(steps[0].after, doc.State());
    {
        const ProfileDocument::Edit nothing(doc, QStringLiteral("nothing"));
    }
    EXPECT_EQ(steps.size(), 1u);                                   // an edit that changed nothing is no step
    doc.SetText(ProfileField::VersionNumber, QStringLiteral("9")); // outside any edit: a step of its own
    EXPECT_EQ(steps.size(), 2u);
}

TEST(ProfileDocument, StateJsonRoundTripsAndRefusesWhatIsNotWhole)
{
    ProfileDocument doc;
    doc.LoadDefaultTemplate();
    doc.SetMultipoint(true);
    doc.ChangeCurve([](FanCurve &curve) { curve.AddPoint(77, 44); });
    const QJsonObject json = ProfileStateJson(doc.State());
    const std::optional<ProfileState> back = ProfileStateFromJson(json);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, doc.State());

    QJsonObject shortCurve = json;
    shortCurve.insert(QStringLiteral("curveFan"), QJsonArray{1, 2, 3});
    EXPECT_FALSE(ProfileStateFromJson(shortCurve));
    QJsonObject wildIndex = json;
    wildIndex.insert(QStringLiteral("topBandIndex"), 999);
    EXPECT_FALSE(ProfileStateFromJson(wildIndex));
    QJsonObject noField = json;
    QJsonObject fields = noField.value(QStringLiteral("fields")).toObject();
    fields.remove(QStringLiteral("lowAlarm"));
    noField.insert(QStringLiteral("fields"), fields);
    EXPECT_FALSE(ProfileStateFromJson(noField));
}

TEST(RecoveryCopy, FollowsUnsavedChangesAndGoesWhenNothingIsUnsaved)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state"));
    ProfileDocument doc;
    doc.LoadDefaultTemplate();
    doc.MarkClean();
    RecoveryCopy copy(doc, folder);
    copy.Keep();
    EXPECT_FALSE(QFileInfo::exists(copy.Path()));

    doc.SetText(ProfileField::SoftwareNumber, QStringLiteral("04242"));
    WaitFor([&] { return QFileInfo::exists(copy.Path()); });
    ASSERT_TRUE(QFileInfo::exists(copy.Path()));
    EXPECT_EQ(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0); // the user's alone
    const std::optional<RecoveryCopy::Found> left = RecoveryCopy(doc, folder).Left();
    ASSERT_TRUE(left);
    EXPECT_EQ(left->state.fields.softwareNumber, QStringLiteral("04242"));
    EXPECT_LT(std::abs(left->changed.secsTo(QDateTime::currentDateTime())), 10);

    doc.MarkClean(); // saved
    EXPECT_FALSE(QFileInfo::exists(copy.Path()));

    // A copy that is no profile is none.
    QFile junk(copy.Path());
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("{\"changed\":\"2026-01-01T00:00:00Z\",\"profile\":{\"fields\":{}}}");
    junk.close();
    EXPECT_FALSE(RecoveryCopy(doc, folder).Left());
}

TEST(DownloadJournal, KeepsEntriesNewestFirstAndPrunesTheOldest)
{
    QTemporaryDir dir;
    DownloadJournal journal(dir.filePath(QStringLiteral("journal")));
    EXPECT_TRUE(journal.Entries().empty());
    ProfileDocument doc;
    doc.LoadDefaultTemplate();
    JournalEntry entry;
    entry.port = QStringLiteral("/dev/serial/by-id/usb-A");
    entry.device = QStringLiteral("/dev/ttyUSB0");
    entry.image = doc.BuildImage();
    entry.reply = QStringLiteral("Configuration saved");
    entry.result = QStringLiteral("verified");
    entry.verified = true;
    entry.source = QStringLiteral("orvexctl");
    const QDateTime start = QDateTime::fromString(QStringLiteral("2026-12-07T10:00:00Z"), Qt::ISODate);
    for (int i = 0; i < DownloadJournal::kLimit + 3; ++i) {
        entry.time = start.addSecs(i);
        entry.image[263] = static_cast<std::uint8_t>(i % 256);
        ASSERT_EQ(journal.Record(entry), QString());
    }
    const std::vector<JournalEntry> entries = journal.Entries();
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(DownloadJournal::kLimit));
    EXPECT_EQ(entries.front().time, start.addSecs(DownloadJournal::kLimit + 2));
    EXPECT_EQ(entries.back().time, start.addSecs(3)); // the three oldest went
    EXPECT_EQ(entries.front().image[263], (DownloadJournal::kLimit + 2) % 256);
    EXPECT_EQ(entries.front().port, entry.port);
    EXPECT_EQ(entries.front().VerifiedText(), QStringLiteral("verified"));

    // An entry that cannot be read is passed over, not fatal.
    QFile broken(QDir(journal.Folder()).filePath(QStringLiteral("29991231T000000000Z-1-0000.json")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("{not json");
    broken.close();
    EXPECT_EQ(journal.Entries().size(), static_cast<std::size_t>(DownloadJournal::kLimit));
}

TEST(DownloadJournal, AJournalThatCannotBeWrittenSaysWhy)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("journal")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    DownloadJournal journal(blocker.fileName());
    JournalEntry entry;
    entry.time = QDateTime::currentDateTimeUtc();
    EXPECT_FALSE(journal.Record(entry).isEmpty());
}
