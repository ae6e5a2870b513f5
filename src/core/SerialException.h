// The error every failing serial operation throws.
#pragma once

#include <QString>

#include <stdexcept>

// A failed serial operation, with the platform's text for it.
class CSerialException : public std::runtime_error
{
public:
    CSerialException(int code, const QString &text)
        : std::runtime_error(text.toStdString()), errorCode(code), message(text)
    {
    }

    int ErrorCode() const { return errorCode; }
    // The text for the user; empty when the platform had none.
    const QString &Text() const { return message; }

private:
    int errorCode;
    QString message;
};
