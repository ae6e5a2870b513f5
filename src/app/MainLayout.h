// The main window's layout table: every control, its kind, text and rectangle.
#pragma once

// The main window's controls, in dialog units of the dialog font. Id 0: never addressed.
enum class ControlKind {
    GroupBox,
    ImageButton,
    ProgressBar,
    Text,
    DropList,
    EditableCombo,
    Edit,
    DigitsEdit,
    CheckBox,
    StatusBox,
    Chart,
};

struct ControlSpec
{
    int id;
    ControlKind kind;
    const char *text;
    int x, y, width, height;
};

inline constexpr int kMainWidthDlu = 683;
inline constexpr int kMainHeightDlu = 430;

inline constexpr ControlSpec kMainLayout[] = {
    {0, ControlKind::GroupBox, "", 14, 3, 655, 65},
    {1007, ControlKind::ImageButton, "\nConnect \nto PORT", 19, 18, 90, 37},
    {1005, ControlKind::ImageButton, "Open File", 129, 18, 90, 37},
    {1004, ControlKind::ImageButton, "\nDownload \nTo Controller", 239, 18, 90, 37},
    {1057, ControlKind::ImageButton, "\nUpload \nFrom Controller", 349, 18, 90, 37},
    {1006, ControlKind::ImageButton, "\nLoad Default\nTemplate", 459, 18, 90, 37},
    {1003, ControlKind::ImageButton, "\nSave File\nto PC", 571, 18, 90, 37},
    {1044, ControlKind::ProgressBar, "", 16, 60, 650, 7},
    {0, ControlKind::GroupBox, "Hardware Settings", 14, 72, 249, 55},
    {0, ControlKind::Text, "Input Control Type", 24, 89, 62, 8},
    {1022, ControlKind::DropList, "", 133, 89, 65, 24},
    {0, ControlKind::Text, "Output Control Type", 24, 106, 67, 8},
    {1025, ControlKind::DropList, "", 133, 106, 65, 30},
    {0, ControlKind::GroupBox, "Software Control Parameters", 14, 138, 249, 180},
    {0, ControlKind::Text, "Software Number", 24, 156, 57, 8},
    {1008, ControlKind::DigitsEdit, "", 24, 165, 51, 12},
    {0, ControlKind::Text, "Version number", 93, 156, 50, 8},
    {1009, ControlKind::Edit, "", 92, 165, 50, 12},
    {0, ControlKind::Text, "Fan Speed Top Band(%)", 24, 195, 114, 8},
    {1053, ControlKind::DigitsEdit, "", 148, 195, 32, 14},
    {1026, ControlKind::Text, "Temperature Top Band(°C)", 24, 212, 114, 8},
    {1056, ControlKind::Edit, "", 148, 211, 32, 14},
    {0, ControlKind::Text, "Fan Speed Bottom Band(%)", 24, 229, 114, 8},
    {1054, ControlKind::DigitsEdit, "", 148, 227, 32, 14},
    {1027, ControlKind::Text, "Temperature Bottom Band(°C)", 24, 246, 114, 8},
    {1055, ControlKind::Edit, "", 148, 243, 32, 14},
    {1028, ControlKind::Text, "Low Temperature Shut Off", 24, 263, 114, 8},
    {1013, ControlKind::EditableCombo, "", 148, 263, 55, 30},
    {0, ControlKind::Text, "Approximate Speed Cap (RPM)", 24, 280, 114, 8},
    {1014, ControlKind::DropList, "", 148, 280, 55, 12},
    {0, ControlKind::Text, "Invert PWM Output", 25, 297, 114, 8},
    {1039, ControlKind::DropList, "", 148, 297, 55, 30},
    {0, ControlKind::GroupBox, "Alarm Settings", 14, 330, 249, 90},
    {0, ControlKind::Text, "Tacho Dependent Alarm", 24, 348, 114, 8},
    {1024, ControlKind::DropList, "", 147, 348, 43, 30},
    {1029, ControlKind::Text, "High Temperature Alarm", 24, 365, 114, 8},
    {1015, ControlKind::EditableCombo, "", 147, 365, 32, 30},
    {1030, ControlKind::Text, "Low Temperature Alarm", 24, 382, 114, 8},
    {1017, ControlKind::EditableCombo, "", 148, 382, 32, 30},
    {0, ControlKind::Text, "Alarm Active State", 24, 399, 114, 8},
    {1018, ControlKind::DropList, "", 148, 399, 32, 30},
    {0, ControlKind::GroupBox, "Plot", 280, 72, 390, 348},
    {1031, ControlKind::CheckBox, "Enable Multipoint", 299, 93, 70, 10},
    {1043, ControlKind::StatusBox, "Rx Serial Text box", 436, 79, 223, 79},
    {1000, ControlKind::Chart, "", 292, 165, 370, 234},
    {1033, ControlKind::Text, "Points: 0", 307, 402, 106, 8},
    {1002, ControlKind::Text, "", 430, 403, 40, 8},
    {1001, ControlKind::Text, "", 480, 403, 80, 8},
    {1052, ControlKind::CheckBox, "monitor", 618, 402, 40, 10},
};
