// A request head of HTTP/1.x, read strictly: what the exporter answers, or the error status.
#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

struct HttpRequest
{
    QByteArray method;
    QByteArray path; // the target without its query
    int minorVersion = 1;
    QList<QPair<QByteArray, QByteArray>> headers; // names in lower case, values trimmed

    // The value of a header; empty when it is absent.
    QByteArray Header(const QByteArray &lowerName) const;
    bool KeepAlive() const;
    // A body follows the head: the exporter reads none, so the connection cannot be used again.
    bool HasBody() const;
};

struct HttpHead
{
    enum class Outcome { Incomplete, Complete, Bad };
    Outcome outcome = Outcome::Incomplete;
    HttpRequest request;  // when complete
    qsizetype length = 0; // bytes the head took, when complete
    int status = 0;       // the answer, when bad: 400, 431 or 505
};

// The head at the start of bytes; a head longer than limit is refused (431).
HttpHead ParseHttpHead(const QByteArray &bytes, qsizetype limit);

// User and password of an "Authorization: Basic ..." value; none when it is not one.
std::optional<QPair<QByteArray, QByteArray>> BasicCredentials(const QByteArray &authorization);
