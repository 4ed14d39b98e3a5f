#include "accounts.h"

#include "servertexts.h"

#include <QFile>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>
#include <QTextStream>

#include <algorithm>

namespace {

const QString kScheme = QStringLiteral("pbkdf2-sha256");
constexpr int kKeyBytes = 32;
constexpr int kSaltBytes = 16;
// beyond this a login would keep the server busy for seconds
constexpr int kMaxIterations = 10000000;

struct Parsed
{
    int iterations = 0;
    QByteArray salt;
    QByteArray key;
};

bool parse(const QString &hash, Parsed &out)
{
    const QStringList parts = hash.split(u'$');
    if (parts.size() != 4 || parts[0] != kScheme)
        return false;
    bool ok = false;
    out.iterations = parts[1].toInt(&ok);
    if (!ok || out.iterations < PasswordHash::kMinIterations || out.iterations > kMaxIterations)
        return false;
    const auto salt = QByteArray::fromBase64Encoding(parts[2].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto key = QByteArray::fromBase64Encoding(parts[3].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !key || salt.decoded.size() < 8 || key.decoded.size() != kKeyBytes)
        return false;
    out.salt = salt.decoded;
    out.key = key.decoded;
    return true;
}

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              kKeyBytes);
}

} // namespace

QString PasswordHash::Make(const QString &password, int iterations)
{
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), kSaltBytes / 4);
    return kScheme + u'$' + QString::number(iterations) + u'$' + QString::fromLatin1(salt.toBase64()) + u'$'
           + QString::fromLatin1(derive(password, salt, iterations).toBase64());
}

bool PasswordHash::Verify(const QString &password, const QString &hash)
{
    Parsed p;
    if (!parse(hash, p))
        return false;
    const QByteArray key = derive(password, p.salt, p.iterations);
    // every byte is compared, so the time says nothing about the key
    unsigned char diff = key.size() == p.key.size() ? 0 : 1;
    for (qsizetype i = 0; i < std::min(key.size(), p.key.size()); ++i)
        diff |= static_cast<unsigned char>(key[i] ^ p.key[i]);
    return diff == 0;
}

QString PasswordHash::Problem(const QString &hash)
{
    Parsed p;
    if (parse(hash, p))
        return {};
    return ServerTexts::NotAPasswordHash(kScheme, kMinIterations, kMaxIterations);
}

bool CAccounts::Read(const QString &path, QString *error)
{
    auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(ServerTexts::CannotReadUsers(path, file.errorString()));
    QTextStream in(&file);
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        // the hash holds no ":", a user id may
        const qsizetype colon = line.lastIndexOf(u':');
        if (colon <= 0)
            return fail(ServerTexts::UsersLine(path, lineNumber, ServerTexts::UserWithoutHash));
        const QString hash = line.mid(colon + 1);
        if (const QString problem = PasswordHash::Problem(hash); !problem.isEmpty())
            return fail(ServerTexts::UsersLine(path, lineNumber, problem));
        hashes.insert(line.left(colon), hash);
    }
    return true;
}

bool CAccounts::Check(const QString &user, const QString &password) const
{
    const auto it = hashes.constFind(user);
    if (it == hashes.constEnd()) {
        // as slow as a known user, so that timing does not tell which ids exist
        static const QString dummy = PasswordHash::Make(QString(), PasswordHash::kMinIterations);
        PasswordHash::Verify(password, dummy);
        return false;
    }
    return PasswordHash::Verify(password, *it);
}

qint64 CLoginThrottle::WaitFor(const QString &address) const
{
    const auto it = m_entries.constFind(address);
    if (it == m_entries.constEnd() || it->failures < kFreeAttempts)
        return 0;
    const int over = std::min(it->failures - kFreeAttempts, 10);
    const qint64 delay = std::min<qint64>(qint64(m_firstDelayMs) << over, kLongestDelayMs);
    return std::max<qint64>(0, delay - it->since.elapsed());
}

void CLoginThrottle::Failed(const QString &address)
{
    Entry &e = m_entries[address];
    ++e.failures;
    e.since.start();
    // forget the oldest clean-ups lazily: a long-running server sees many peers
    if (m_entries.size() > 100000) {
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (it->since.elapsed() > kLongestDelayMs)
                it = m_entries.erase(it);
            else
                ++it;
        }
    }
}
