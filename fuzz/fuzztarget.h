#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>

class CKELDataManager;

// A fuzz target is one entry function. In the fuzz build each target is a
// program of its own with libFuzzer's entry; the replay test compiles every
// target into one program with GCC and calls the entries by name.
#ifdef VERDANTIS_FUZZ_REPLAY
using FuzzEntry = int (*)(const uint8_t *, size_t);
struct CFuzzRegistration
{
    CFuzzRegistration(const char *name, FuzzEntry entry);
};
FuzzEntry FuzzEntryNamed(const QString &name);
#define VERDANTIS_FUZZ_TARGET(name)                                                                                    \
    static int fuzzEntry_##name(const uint8_t *data, size_t size);                                                     \
    static const CFuzzRegistration fuzzRegistration_##name(#name, &fuzzEntry_##name);                                  \
    static int fuzzEntry_##name(const uint8_t *data, size_t size)
#else
#define VERDANTIS_FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
#endif

namespace Fuzz {

// A finding that is not a crash: says what broke and aborts, which both
// libFuzzer and the replay test report with the input.
[[noreturn]] void Fail(const char *what, const QString &detail = QString());

inline void Check(bool ok, const char *what, const QString &detail = QString())
{
    if (!ok)
        Fail(what, detail);
}

// A core application for code that needs an event loop object, and quiet
// Qt warnings (hostile input makes many).
void Setup();

// Every owned element is registered under its id, every virtual link and
// node link names a live element, both sides of a node link agree, nodes
// stay in their tree, and no node is its own ancestor.
void CheckModel(const CKELDataManager &manager);

// Input bytes read front to back; past the end every read gives 0.
class CByteReader
{
public:
    CByteReader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool AtEnd() const { return m_pos >= m_size; }
    uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    int Below(int n) { return n > 0 ? Byte() % n : 0; }
    // Up to maxLength characters from a small alphabet, so that names repeat.
    QString Word(int maxLength);
    QByteArrayView Rest() const { return QByteArrayView(m_data + m_pos, qsizetype(m_size - qMin(m_pos, m_size))); }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};

} // namespace Fuzz
