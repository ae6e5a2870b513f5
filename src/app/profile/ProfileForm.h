// The profile's controls bound to the profile document: they show its fields exactly as the
// document holds them, and what the user does in them reaches the document as one edit each.
#pragma once

#include "ProfileDocument.h"

#include <QObject>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;

class CProfileForm : public QObject
{
    Q_OBJECT
public:
    // The window creates the controls; the form alone reads and writes them.
    struct Controls
    {
        QComboBox *inputControlType = nullptr;    // 1022
        QComboBox *outputControlType = nullptr;   // 1025
        QLineEdit *softwareNumber = nullptr;      // 1008
        QLineEdit *versionNumber = nullptr;       // 1009
        QLineEdit *fanSpeedTopBand = nullptr;     // 1053
        QLineEdit *topBand = nullptr;             // 1056
        QLineEdit *fanSpeedBottomBand = nullptr;  // 1054
        QLineEdit *bottomBand = nullptr;          // 1055
        QComboBox *lowShutOff = nullptr;          // 1013, editable
        QComboBox *speedCap = nullptr;            // 1014
        QComboBox *invertPwmOutput = nullptr;     // 1039
        QComboBox *tachoDependentAlarm = nullptr; // 1024
        QComboBox *highAlarm = nullptr;           // 1015, editable
        QComboBox *lowAlarm = nullptr;            // 1017, editable
        QComboBox *alarmActiveState = nullptr;    // 1018
        QLabel *topBandLabel = nullptr;           // 1026
        QLabel *bottomBandLabel = nullptr;        // 1027
        QLabel *lowShutOffLabel = nullptr;        // 1028
        QLabel *highAlarmLabel = nullptr;         // 1029
        QLabel *lowAlarmLabel = nullptr;          // 1030
        QCheckBox *enableMultipoint = nullptr;    // 1031
        QLabel *points = nullptr;                 // 1033
    };

    CProfileForm(ProfileDocument &document, const Controls &controls, QObject *parent = nullptr);

    // The option lists in their fixed orders (positions matter to the image codec), and the band
    // fields' first texts.
    void FillOptionLists();

    // The fields multipoint mode rests: the four band edits and the shut-off.
    void SetBandFieldsEnabled(bool enabled);
    void SetFieldEnabled(ProfileField field, bool enabled);
    bool FieldEnabled(ProfileField field) const;
    // Every control of the profile, Enable Multipoint with them, for a transfer.
    void SetAllEnabled(bool enabled);
    // The "Points:" text under the chart.
    void SetPointsText(const QString &text);
    // The field that has the keyboard, if a field of the profile has it.
    std::optional<ProfileField> FocusedField() const;
    // Runs the check of the field being edited, as leaving it would.
    void CommitPendingEntry();
    // A text put into a control by other means than typing (an input method, a test) is taken
    // as the user's: the document holds what the controls show.
    void TakeShownTexts();
    // The names an edit of a field goes by in the undo list.
    static QString FieldName(ProfileField field);
    // The label a field is known by, as the window shows it now (the screen reader's name).
    QString FieldLabel(ProfileField field) const;
    QWidget *Widget(ProfileField field) const;
    QCheckBox *MultipointBox() const { return controls.enableMultipoint; }

signals:
    // Each keystroke in a field; the document already holds the new text.
    void typed(ProfileField field);
    // A list entry the user chose; the document already holds it.
    void chosen(ProfileField field);
    // The keyboard left a field.
    void left(ProfileField field);
    // The user ticked or unticked Enable Multipoint.
    void multipointClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Show(ProfileField field);
    void ShowLabels();
    void ShowAll();
    void UserTyped(ProfileField field, const QString &text);
    void UserChose(ProfileField field);
    void Leave(ProfileField field);
    int MergeKey(ProfileField field) const;
    std::optional<ProfileField> FieldOfWidget(const QObject *widget) const;

    ProfileDocument &document;
    Controls controls;
    std::vector<std::pair<ProfileField, QWidget *>> widgets;
    // Keystrokes in one field, and the check when it is left, make one step of undo.
    int editSession = 0;
    bool checkRunning = false;
    bool listsFilled = false;
};
