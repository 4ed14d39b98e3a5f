#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QString>

// Password hashes as the users file holds them:
// "pbkdf2-sha256$ITERATIONS$SALT$KEY", salt and key in base64. A slow,
// salted hash: a stolen users file gives no passwords away cheaply.
namespace PasswordHash {

inline constexpr int kMinIterations = 100000;
inline constexpr int kDefaultIterations = 120000;

QString Make(const QString &password, int iterations = kDefaultIterations);
// False for a wrong password and for a hash this server cannot read.
bool Verify(const QString &password, const QString &hash);
// Why a hash cannot be used, or an empty text when it can.
QString Problem(const QString &hash);

} // namespace PasswordHash

// Users and their password hashes, from a file of "name:HASH" lines; blank
// lines and lines starting with "#" are skipped.
struct CAccounts
{
    QHash<QString, QString> hashes;

    bool Read(const QString &path, QString *error);
    bool Check(const QString &user, const QString &password) const;
};

// Wrong passwords per peer address: after three in a row the address waits,
// longer after each further one, so that guessing is slow; a right one
// clears the count.
class CLoginThrottle
{
public:
    explicit CLoginThrottle(int firstDelayMs = 1000) : m_firstDelayMs(firstDelayMs) {}

    // Milliseconds the address must still wait; 0 when it may try.
    qint64 WaitFor(const QString &address) const;
    void Failed(const QString &address);
    void Succeeded(const QString &address) { m_entries.remove(address); }

    static constexpr int kFreeAttempts = 3;
    static constexpr qint64 kLongestDelayMs = 60000;

private:
    struct Entry
    {
        int failures = 0;
        QElapsedTimer since;
    };
    QHash<QString, Entry> m_entries;
    int m_firstDelayMs;
};
