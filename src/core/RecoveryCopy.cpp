// The recovery copy: written atomically a moment after a change, removed when nothing is unsaved.
#include "RecoveryCopy.h"

#include "StateFolder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {
constexpr qint64 kLargestCopy = 256 * 1024;

template <class T> QJsonArray Array(const std::array<T, FanCurve::kPoints> &values)
{
    QJsonArray array;
    for (T value : values)
        array.append(static_cast<double>(value));
    return array;
}

template <class T> bool Fill(const QJsonValue &value, std::array<T, FanCurve::kPoints> &into, double low, double high)
{
    const QJsonArray array = value.toArray();
    if (array.size() != FanCurve::kPoints)
        return false;
    for (int i = 0; i < FanCurve::kPoints; ++i) {
        if (!array[i].isDouble())
            return false;
        const double v = array[i].toDouble();
        if (!(v >= low && v <= high))
            return false;
        into[static_cast<std::size_t>(i)] = static_cast<T>(v);
    }
    return true;
}
} // namespace

QJsonObject ProfileStateJson(const ProfileState &state)
{
    QJsonObject fields;
    for (ProfileField field : kProfileFields)
        fields.insert(FieldKey(field), FieldOf(state.fields, field));
    fields.insert(QStringLiteral("multipoint"), state.fields.multipoint);
    const FanCurve &c = state.curve;
    return {{QStringLiteral("fields"), fields},
            {QStringLiteral("curveX"), Array(c.curveX)},
            {QStringLiteral("curveFan"), Array(c.curveFan)},
            {QStringLiteral("pointFan"), Array(c.pointFan)},
            {QStringLiteral("pointDefined"), Array(c.pointDefined)},
            {QStringLiteral("topBandIndex"), c.topBandIndex},
            {QStringLiteral("bottomBandIndex"), c.bottomBandIndex}};
}

std::optional<ProfileState> ProfileStateFromJson(const QJsonObject &object)
{
    ProfileState state;
    const QJsonObject fields = object.value(QStringLiteral("fields")).toObject();
    for (ProfileField field : kProfileFields) {
        const QJsonValue value = fields.value(FieldKey(field));
        if (!value.isString() || value.toString().size() > 64)
            return std::nullopt;
        FieldOf(state.fields, field) = value.toString();
    }
    if (!fields.value(QStringLiteral("multipoint")).isBool())
        return std::nullopt;
    state.fields.multipoint = fields.value(QStringLiteral("multipoint")).toBool();
    FanCurve &c = state.curve;
    const int top = object.value(QStringLiteral("topBandIndex")).toInt(-1);
    const int bottom = object.value(QStringLiteral("bottomBandIndex")).toInt(-1);
    if (!Fill(object.value(QStringLiteral("curveX")), c.curveX, 0, 256) ||
        !Fill(object.value(QStringLiteral("curveFan")), c.curveFan, 0, 100) ||
        !Fill(object.value(QStringLiteral("pointFan")), c.pointFan, 0, 100) ||
        !Fill(object.value(QStringLiteral("pointDefined")), c.pointDefined, 0, 1) || top < 0 ||
        top >= FanCurve::kPoints || bottom < 0 || bottom >= FanCurve::kPoints)
        return std::nullopt;
    c.topBandIndex = top;
    c.bottomBandIndex = bottom;
    return state;
}

RecoveryCopy::RecoveryCopy(ProfileDocument &document, const QString &folder, QObject *parent)
    : QObject(parent), document(document), folder(folder)
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &RecoveryCopy::Write);
}

QString RecoveryCopy::Path() const
{
    return QDir(folder).filePath(QStringLiteral("recovery.json"));
}

std::optional<RecoveryCopy::Found> RecoveryCopy::Left() const
{
    QFile file(Path());
    if (file.size() > kLargestCopy || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.read(kLargestCopy)).object();
    const std::optional<ProfileState> state = ProfileStateFromJson(object.value(QStringLiteral("profile")).toObject());
    const QDateTime changed = QDateTime::fromString(object.value(QStringLiteral("changed")).toString(), Qt::ISODate);
    if (!state || !changed.isValid())
        return std::nullopt;
    return Found{*state, changed.toLocalTime()};
}

void RecoveryCopy::Keep()
{
    if (keeping)
        return;
    keeping = true;
    for (auto signal : {&ProfileDocument::curveChanged, &ProfileDocument::replaced})
        connect(&document, signal, this, &RecoveryCopy::Changed);
    connect(&document, &ProfileDocument::fieldChanged, this, &RecoveryCopy::Changed);
    connect(&document, &ProfileDocument::multipointChanged, this, &RecoveryCopy::Changed);
    connect(&document, &ProfileDocument::modifiedChanged, this, [this](bool modified) {
        if (!modified)
            Discard();
    });
    if (document.Modified())
        Changed();
}

void RecoveryCopy::Changed()
{
    lastChange = QDateTime::currentDateTimeUtc();
    // The first change starts the clock; later ones ride along, so the copy is never more than
    // a moment behind however fast the user types.
    if (!timer.isActive())
        timer.start(kDelay);
}

void RecoveryCopy::Write()
{
    if (!document.Modified()) {
        Discard();
        return;
    }
    trouble = MakeStateFolder(folder);
    if (!trouble.isEmpty())
        return;
    QSaveFile file(Path());
    if (!file.open(QIODevice::WriteOnly)) {
        trouble = file.errorString();
        return;
    }
    const QJsonObject object{{QStringLiteral("changed"), lastChange.toString(Qt::ISODate)},
                             {QStringLiteral("profile"), ProfileStateJson(document.State())}};
    file.write(QJsonDocument(object).toJson(QJsonDocument::Compact));
    trouble = file.commit() ? QString() : file.errorString();
}

void RecoveryCopy::Discard()
{
    timer.stop();
    QFile::remove(Path());
}
