// Strict on purpose: a head that could be read two ways is refused, not guessed at.
#include "HttpRequest.h"

#include <algorithm>
#include <string>

namespace {
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsTokenChar(char c)
{
    static constexpr const char kSpecials[] = "!#$%&'*+-.^_`|~";
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           (c != '\0' && std::char_traits<char>::find(kSpecials, sizeof kSpecials - 1, c) != nullptr);
}

bool IsToken(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text) {
        if (!IsTokenChar(c))
            return false;
    }
    return true;
}

// Visible characters, spaces and tabs; no other control bytes.
bool IsFieldValue(const QByteArray &text)
{
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7f)
            return false;
    }
    return true;
}

bool HasToken(const QByteArray &list, const QByteArray &token)
{
    for (const QByteArray &item : list.split(',')) {
        if (item.trimmed().toLower() == token)
            return true;
    }
    return false;
}

HttpHead Bad(int status)
{
    HttpHead head;
    head.outcome = HttpHead::Outcome::Bad;
    head.status = status;
    return head;
}

// The request line: METHOD SP TARGET SP HTTP/1.x.
bool ParseRequestLine(const QByteArray &line, HttpRequest &request, int &status)
{
    const QList<QByteArray> parts = line.split(' ');
    status = 400;
    if (parts.size() != 3 || !IsToken(parts[0]) || parts[1].isEmpty())
        return false;
    const QByteArray &version = parts[2];
    if (!version.startsWith("HTTP/") || version.size() != 8 || version[6] != '.' || !IsDigit(version[5]) ||
        !IsDigit(version[7]))
        return false;
    if (version[5] != '1') {
        status = 505;
        return false;
    }
    QByteArray target = parts[1];
    for (const char c : target) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7f)
            return false;
    }
    // The absolute form ("http://host/metrics") names the path after the authority.
    if (target.startsWith("http://") || target.startsWith("https://")) {
        const qsizetype slash = target.indexOf('/', target.indexOf("//") + 2);
        target = slash < 0 ? QByteArray("/") : target.mid(slash);
    }
    if (!target.startsWith('/') && target != "*")
        return false;
    const qsizetype query = target.indexOf('?');
    request.method = parts[0];
    request.path = query < 0 ? target : target.left(query);
    request.minorVersion = version[7] - '0';
    return true;
}
} // namespace

QByteArray HttpRequest::Header(const QByteArray &lowerName) const
{
    for (const auto &[name, value] : headers) {
        if (name == lowerName)
            return value;
    }
    return {};
}

bool HttpRequest::KeepAlive() const
{
    const QByteArray connection = Header("connection");
    if (minorVersion == 0)
        return HasToken(connection, "keep-alive");
    return !HasToken(connection, "close");
}

bool HttpRequest::HasBody() const
{
    const QByteArray length = Header("content-length");
    return !Header("transfer-encoding").isEmpty() || (!length.isEmpty() && length != "0");
}

HttpHead ParseHttpHead(const QByteArray &bytes, qsizetype limit)
{
    // A client may send empty lines before a request.
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == '\r' || bytes[start] == '\n'))
        ++start;
    qsizetype end = -1;
    qsizetype after = 0;
    for (qsizetype i = start; i < bytes.size(); ++i) {
        if (bytes[i] != '\n')
            continue;
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            end = i;
            after = i + 2;
            break;
        }
        if (i + 2 < bytes.size() && bytes[i + 1] == '\r' && bytes[i + 2] == '\n') {
            end = i;
            after = i + 3;
            break;
        }
    }
    if (end < 0)
        return bytes.size() - start > limit ? Bad(431) : HttpHead{};
    if (after - start > limit)
        return Bad(431);

    QList<QByteArray> lines = bytes.mid(start, end - start).split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.contains('\r') || line.contains('\0'))
            return Bad(400);
    }
    HttpHead head;
    int status = 400;
    if (!ParseRequestLine(lines.takeFirst(), head.request, status))
        return Bad(status);
    QByteArray contentLength;
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        // No folded lines, no space before the colon: both have been used to smuggle requests.
        if (colon <= 0 || !IsToken(line.left(colon)))
            return Bad(400);
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (!IsFieldValue(value))
            return Bad(400);
        if (name == "content-length") {
            bool number = false;
            value.toULongLong(&number);
            if (!number || (!contentLength.isNull() && contentLength != value))
                return Bad(400);
            contentLength = value;
        }
        head.request.headers.append({name, value});
    }
    // HTTP/1.1 asks for a Host header.
    if (head.request.minorVersion == 1 && std::none_of(head.request.headers.cbegin(), head.request.headers.cend(),
                                                       [](const auto &header) { return header.first == "host"; }))
        return Bad(400);
    head.outcome = HttpHead::Outcome::Complete;
    head.length = after;
    return head;
}

std::optional<QPair<QByteArray, QByteArray>> BasicCredentials(const QByteArray &authorization)
{
    const qsizetype space = authorization.indexOf(' ');
    if (space < 0 || authorization.left(space).toLower() != "basic")
        return std::nullopt;
    const auto decoded =
        QByteArray::fromBase64Encoding(authorization.mid(space + 1).trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    const QByteArray &plain = *decoded;
    const qsizetype colon = plain.indexOf(':');
    if (colon < 0)
        return std::nullopt;
    return QPair<QByteArray, QByteArray>{plain.left(colon), plain.mid(colon + 1)};
}
