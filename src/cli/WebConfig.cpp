// Read strictly, as Prometheus' own exporters read it: an unknown or misspelt key is refused, so
// that a setting that looks in force always is. Settings orvexctl does not implement are refused too.
#include "WebConfig.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTimer>

#include <crypt.h>
#include <yaml-cpp/yaml.h>

#include <memory>
#include <set>

namespace {
constexpr qint64 kFileLimit = 1024 * 1024; // far above any certificate chain
constexpr int kHandshakeCheckMs = 5000;

struct Refusal
{
    QString text;
};

QString LineOf(const YAML::Node &node)
{
    const YAML::Mark mark = node.Mark();
    return mark.is_null() ? QString() : QStringLiteral("line %1: ").arg(mark.line + 1);
}

[[noreturn]] void Refuse(const YAML::Node &node, const QString &what)
{
    throw Refusal{LineOf(node) + what};
}

QString Text(const YAML::Node &node, const QString &name)
{
    if (!node.IsScalar())
        Refuse(node, QStringLiteral("%1 must be a single value").arg(name));
    return QString::fromStdString(node.Scalar());
}

// A mapping's entries by key, each key once and known.
std::map<std::string, YAML::Node> Fields(const YAML::Node &node, const QString &where,
                                         const std::set<std::string> &known,
                                         const std::set<std::string> &unsupported = {})
{
    std::map<std::string, YAML::Node> fields;
    if (!node || node.IsNull())
        return fields;
    if (!node.IsMap())
        Refuse(node, QStringLiteral("%1 must be a mapping of keys to values").arg(where));
    for (auto it = node.begin(); it != node.end(); ++it) {
        if (!it->first.IsScalar())
            Refuse(it->first, QStringLiteral("a key of %1 is not a plain name").arg(where));
        const std::string key = it->first.Scalar();
        const QString name = QString::fromStdString(key);
        if (unsupported.count(key))
            Refuse(it->first, QStringLiteral("%1 is not supported by orvexctl exporter; remove it").arg(name));
        if (!known.empty() && !known.count(key)) {
            QStringList names;
            for (const std::string &k : known)
                names << QString::fromStdString(k);
            Refuse(it->first,
                   QStringLiteral("unknown key \"%1\" in %2 (known: %3)").arg(name, where, names.join(", ")));
        }
        if (!fields.emplace(key, it->second).second)
            Refuse(it->first, QStringLiteral("%1 is given twice in %2").arg(name, where));
    }
    return fields;
}

// A small regular file: never a FIFO that would block the start, never a huge one.
QByteArray ReadSmallFile(const QString &path, const QString &what)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw Refusal{QStringLiteral("%1 %2: no such file").arg(what, path)};
    if (!info.isFile())
        throw Refusal{QStringLiteral("%1 %2: not a regular file").arg(what, path)};
    if (info.size() > kFileLimit)
        throw Refusal{QStringLiteral("%1 %2: too large (%3 bytes) to be one").arg(what, path).arg(info.size())};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Refusal{QStringLiteral("%1 %2: %3").arg(what, path, file.errorString())};
    return file.read(kFileLimit + 1);
}

// The PEM text of name (inline) or name_file (a file beside the configuration unless absolute).
QByteArray Pem(std::map<std::string, YAML::Node> &fields, const std::string &name, const QDir &folder,
               const QString &what)
{
    const std::string fileKey = name + "_file";
    const bool inlineGiven = fields.count(name) != 0;
    const bool fileGiven = fields.count(fileKey) != 0;
    if (inlineGiven && fileGiven)
        Refuse(fields[name], QStringLiteral("give %1 or %2, not both")
                                 .arg(QString::fromStdString(name), QString::fromStdString(fileKey)));
    if (inlineGiven)
        return Text(fields[name], QString::fromStdString(name)).toUtf8();
    if (!fileGiven)
        return {};
    const QString path = Text(fields[fileKey], QString::fromStdString(fileKey));
    if (path.isEmpty())
        return {};
    try {
        return ReadSmallFile(folder.absoluteFilePath(path), what);
    } catch (const Refusal &refusal) {
        Refuse(fields[fileKey], refusal.text);
    }
}

QSslKey PrivateKey(const QByteArray &pem)
{
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        QSslKey key(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            return key;
    }
    return {};
}

int TlsVersion(const YAML::Node &node, const QString &name)
{
    const QString text = Text(node, name);
    if (text == QStringLiteral("TLS12"))
        return 12;
    if (text == QStringLiteral("TLS13"))
        return 13;
    if (text == QStringLiteral("TLS10") || text == QStringLiteral("TLS11"))
        Refuse(node, QStringLiteral("%1 %2: orvexctl serves TLS 1.2 and 1.3 only").arg(name, text));
    Refuse(node, QStringLiteral("%1 \"%2\" is not a TLS version (TLS12 or TLS13)").arg(name, text));
}

// A handshake with itself over the loopback: a key that does not match its certificate, or one
// the TLS library will not use, is found now and not at the first scrape.
QString HandshakeProblem(QSslConfiguration configuration)
{
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone); // the check has no client certificate
    QSslServer server;
    server.setSslConfiguration(configuration);
    if (!server.listen(QHostAddress::LocalHost) && !server.listen(QHostAddress::LocalHostIPv6))
        return {}; // no loopback to try it on: the first scrape will tell
    QString problem;
    QEventLoop loop;
    QObject::connect(&server, &QSslServer::errorOccurred, &loop, [&](QSslSocket *socket, QAbstractSocket::SocketError) {
        problem = socket->errorString();
        loop.quit();
    });
    QObject::connect(&server, &QSslServer::pendingConnectionAvailable, &loop, &QEventLoop::quit);
    QSslSocket client;
    client.setPeerVerifyMode(QSslSocket::VerifyNone);
    QObject::connect(&client, &QSslSocket::errorOccurred, &loop, [&] {
        if (problem.isEmpty())
            problem = client.errorString();
        loop.quit();
    });
    QTimer::singleShot(kHandshakeCheckMs, &loop, [&] {
        problem = QStringLiteral("no TLS handshake within %1 s").arg(kHandshakeCheckMs / 1000);
        loop.quit();
    });
    client.connectToHostEncrypted(server.serverAddress().toString(), server.serverPort());
    loop.exec();
    return problem;
}

QSslConfiguration LoadTls(std::map<std::string, YAML::Node> fields, const QDir &folder, const YAML::Node &section)
{
    const QByteArray certPem = Pem(fields, "cert", folder, QStringLiteral("cert_file"));
    const QByteArray keyPem = Pem(fields, "key", folder, QStringLiteral("key_file"));
    if (certPem.isEmpty() != keyPem.isEmpty())
        Refuse(section, certPem.isEmpty() ? QStringLiteral("key_file is given without cert_file")
                                          : QStringLiteral("cert_file is given without key_file"));
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certPem, QSsl::Pem);
    if (chain.isEmpty())
        Refuse(fields.count("cert") ? fields["cert"] : fields["cert_file"],
               QStringLiteral("no PEM certificate in the certificate given"));
    const QSslKey key = PrivateKey(keyPem);
    if (key.isNull())
        Refuse(fields.count("key") ? fields["key"] : fields["key_file"],
               QStringLiteral("no usable PEM private key in the key given (RSA, EC or DSA; not encrypted)"));

    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificateChain(chain);
    configuration.setPrivateKey(key);

    const int lowest =
        fields.count("min_version") ? TlsVersion(fields["min_version"], QStringLiteral("min_version")) : 12;
    const int highest =
        fields.count("max_version") ? TlsVersion(fields["max_version"], QStringLiteral("max_version")) : 13;
    if (lowest > highest)
        Refuse(fields["min_version"], QStringLiteral("min_version is above max_version"));
    configuration.setProtocol(lowest == 13    ? QSsl::TlsV1_3OrLater
                              : highest == 12 ? QSsl::TlsV1_2
                                              : QSsl::TlsV1_2OrLater);

    const QString policy = fields.count("client_auth_type")
                               ? Text(fields["client_auth_type"], QStringLiteral("client_auth_type"))
                               : QStringLiteral("NoClientCert");
    const QByteArray caPem = Pem(fields, "client_ca", folder, QStringLiteral("client_ca_file"));
    if (policy == QStringLiteral("RequireAndVerifyClientCert")) {
        const QList<QSslCertificate> authorities = QSslCertificate::fromData(caPem, QSsl::Pem);
        if (authorities.isEmpty())
            Refuse(fields["client_auth_type"],
                   QStringLiteral("RequireAndVerifyClientCert needs client_ca_file with the PEM certificates that "
                                  "sign the clients'"));
        configuration.setCaCertificates(authorities);
        configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    } else if (policy == QStringLiteral("NoClientCert")) {
        if (!caPem.isEmpty())
            Refuse(fields.count("client_ca") ? fields["client_ca"] : fields["client_ca_file"],
                   QStringLiteral("a client CA is given but client_auth_type is NoClientCert"));
        configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    } else {
        Refuse(fields["client_auth_type"], QStringLiteral("client_auth_type %1 is not supported by orvexctl exporter "
                                                          "(NoClientCert or RequireAndVerifyClientCert)")
                                               .arg(policy));
    }
    return configuration;
}

bool IsBcryptHash(const QByteArray &hash)
{
    // $2a$, $2b$ or $2y$, a cost of 04 to 31, 22 characters of salt and 31 of hash.
    static constexpr const char kAlphabet[] = "./ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    if (hash.size() != 60 || !hash.startsWith("$2") || !QByteArray("aby").contains(hash[2]) || hash[3] != '$' ||
        hash[6] != '$')
        return false;
    bool number = false;
    const int cost = hash.mid(4, 2).toInt(&number);
    if (!number || cost < 4 || cost > 31)
        return false;
    return std::all_of(hash.begin() + 7, hash.end(), [](char c) {
        return c != '\0' && std::char_traits<char>::find(kAlphabet, sizeof kAlphabet - 1, c) != nullptr;
    });
}

const std::set<std::string> kHeaderNames = {"Content-Security-Policy", "X-Frame-Options", "X-Content-Type-Options",
                                            "X-XSS-Protection", "Strict-Transport-Security"};
} // namespace

std::variant<WebConfig, QString> WebConfig::Load(const QString &path)
{
    WebConfig config;
    try {
        const QByteArray text = ReadSmallFile(path, QStringLiteral("web configuration"));
        YAML::Node root;
        try {
            root = YAML::Load(text.toStdString());
        } catch (const YAML::Exception &error) {
            throw Refusal{QStringLiteral("line %1: not YAML: %2")
                              .arg(error.mark.line + 1)
                              .arg(QString::fromStdString(error.msg))};
        }
        auto top = Fields(root, QStringLiteral("the file"),
                          {"tls_server_config", "http_server_config", "basic_auth_users"}, {"rate_limit"});
        const QDir folder = QFileInfo(path).absoluteDir();

        if (top.count("tls_server_config")) {
            const YAML::Node section = top["tls_server_config"];
            auto fields =
                Fields(section, QStringLiteral("tls_server_config"),
                       {"cert", "cert_file", "key", "key_file", "client_auth_type", "client_ca", "client_ca_file",
                        "min_version", "max_version"},
                       {"client_allowed_sans", "cipher_suites", "prefer_server_cipher_suites", "curve_preferences"});
            const auto given = [&](const char *key) {
                return fields.count(key) && !(fields[key].IsScalar() && fields[key].Scalar().empty());
            };
            if (given("cert") || given("cert_file") || given("key") || given("key_file"))
                config.tls = LoadTls(fields, folder, section);
            else if (!fields.empty())
                Refuse(section, QStringLiteral("tls_server_config has settings but no cert_file and key_file"));
        }

        if (top.count("http_server_config")) {
            auto fields = Fields(top["http_server_config"], QStringLiteral("http_server_config"), {"http2", "headers"});
            if (fields.count("http2")) {
                const QString value = Text(fields["http2"], QStringLiteral("http2"));
                if (value != QStringLiteral("true") && value != QStringLiteral("false"))
                    Refuse(fields["http2"],
                           QStringLiteral("http2 must be true or false")); // HTTP/1.1 is served either way
            }
            if (fields.count("headers")) {
                for (const auto &[name, value] : Fields(fields["headers"], QStringLiteral("headers"), kHeaderNames)) {
                    const QByteArray header = Text(value, QString::fromStdString(name)).toUtf8();
                    if (header.contains('\r') || header.contains('\n'))
                        Refuse(value, QStringLiteral("the value of %1 spans lines").arg(QString::fromStdString(name)));
                    if (!header.isEmpty())
                        config.headers.append({QByteArray::fromStdString(name), header});
                }
            }
        }

        if (top.count("basic_auth_users")) {
            for (const auto &[name, hash] : Fields(top["basic_auth_users"], QStringLiteral("basic_auth_users"), {})) {
                const QString user = QString::fromStdString(name);
                if (user.isEmpty() || user.contains(QLatin1Char(':')))
                    Refuse(hash, QStringLiteral("user name \"%1\" cannot be sent in basic authentication (empty or "
                                                "with a colon)")
                                     .arg(user));
                const QByteArray bcrypt = Text(hash, user).toLatin1();
                if (!IsBcryptHash(bcrypt))
                    Refuse(hash,
                           QStringLiteral("the password of %1 is not a bcrypt hash ($2y$10$ and 53 characters, as "
                                          "htpasswd -nBC 10 \"\" makes)")
                               .arg(user));
                config.users.emplace(QByteArray::fromStdString(name), bcrypt);
            }
        }
        if (config.tls) {
            QString problem = HandshakeProblem(*config.tls);
            while (problem.endsWith(QLatin1Char(' ')) || problem.endsWith(QLatin1Char(':')))
                problem.chop(1);
            if (!problem.isEmpty())
                throw Refusal{QStringLiteral("TLS cannot start with this certificate and key; is the key the "
                                             "certificate's own? (%1)")
                                  .arg(problem)};
        }
    } catch (const Refusal &refusal) {
        return QStringLiteral("%1: %2").arg(path, refusal.text);
    } catch (const YAML::Exception &error) {
        return QStringLiteral("%1: line %2: %3")
            .arg(path)
            .arg(error.mark.line + 1)
            .arg(QString::fromStdString(error.msg));
    }
    return config;
}

bool WebConfig::CheckPassword(const QByteArray &user, const QByteArray &password) const
{
    // A user that is not there costs the same time as one that is, so the answer's time names no user.
    static const QByteArray kNobody = [] {
        char setting[CRYPT_GENSALT_OUTPUT_SIZE] = {};
        return crypt_gensalt_rn("$2b$", 10, nullptr, 0, setting, sizeof setting) ? QByteArray(setting) : QByteArray();
    }();
    const auto found = users.find(user);
    const QByteArray &hash = found == users.end() ? kNobody : found->second;
    if (password.contains('\0') || password.size() >= CRYPT_MAX_PASSPHRASE_SIZE)
        return false;
    auto data = std::make_unique<crypt_data>();
    const char *result = crypt_rn(password.constData(), hash.constData(), data.get(), sizeof *data);
    if (!result || found == users.end())
        return false;
    const QByteArray computed(result);
    if (computed.size() != hash.size())
        return false;
    unsigned char difference = 0; // every byte compared, whatever the first that differs
    for (qsizetype i = 0; i < hash.size(); ++i)
        difference |= static_cast<unsigned char>(computed[i] ^ hash[i]);
    return difference == 0;
}
