#include "fuzztarget.h"

#include "model/kelcontainers.h"
#include "model/keldata.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"

#include <QCoreApplication>
#include <QHash>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace Fuzz {

void Fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "fuzz check failed: %s %s\n", what, qPrintable(detail));
    std::fflush(stderr);
    std::abort();
}

namespace {
void quiet(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
}
} // namespace

void Setup()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    // never destroyed: at exit Qt's own globals may already be gone
    if (!QCoreApplication::instance())
        (void)new QCoreApplication(argc, argv);
    qInstallMessageHandler(quiet);
}

QString CByteReader::Word(int maxLength)
{
    static const char16_t alphabet[] = u"abcAB01 _:;.#\\[]<>?=-\n";
    const int length = Below(maxLength + 1);
    QString w;
    for (int i = 0; i < length; ++i)
        w += QChar(alphabet[Below(int(std::size(alphabet)) - 1)]);
    return w;
}

void CheckModel(const CKELDataManager &manager)
{
    const CKELData *root = manager.Solution();
    if (!root)
        return;
    std::vector<const CKELData *> pending{root};
    QHash<int, const CKELData *> seen;
    while (!pending.empty()) {
        const CKELData *e = pending.back();
        pending.pop_back();
        const QString where = QString::number(e->GetId());
        Check(manager.Lookup(e->GetId()) == e, "owned element not registered under its id", where);
        Check(!seen.contains(e->GetId()), "two owned elements share an id", where);
        seen.insert(e->GetId(), e);
        for (const auto &c : e->Children()) {
            Check(c->GetParent() == e, "owned child does not name its owner", where);
            pending.push_back(c.get());
        }
    }
    for (const CKELData *e : std::as_const(seen)) {
        const QString where = QString::number(e->GetId());
        for (int id : e->VChildIds())
            Check(manager.Lookup(id) != nullptr, "virtual child id names no element", where);
        for (int id : e->VParentIds())
            Check(manager.Lookup(id) != nullptr, "virtual parent id names no element", where);
        if (!e->IsMethod())
            continue;
        const auto *node = static_cast<const CKELMethod *>(e);
        for (int id : node->ChildIds()) {
            const CKELData *c = manager.Lookup(id);
            Check(c && c->IsMethod(), "child id names no node", where);
            Check(static_cast<const CKELMethod *>(c)->ParentId() == node->GetId(), "child does not name its parent",
                  where);
            Check(c->GetParent() == node->GetParent(), "child in another tree", where);
        }
        if (node->ParentId() != 0) {
            const CKELData *p = manager.Lookup(node->ParentId());
            Check(p && p->IsMethod(), "parent id names no node", where);
            Check(static_cast<const CKELMethod *>(p)->ChildIds().contains(node->GetId()), "parent does not list child",
                  where);
        }
        // a chain longer than the number of elements has a cycle
        const CKELMethod *up = node;
        for (qsizetype steps = 0; up && up->ParentId() != 0; ++steps) {
            Check(steps <= seen.size(), "node is its own ancestor", where);
            up = static_cast<const CKELMethod *>(manager.Lookup(up->ParentId()));
        }
    }
    if (manager.CurrentVersion())
        Check(seen.value(manager.CurrentVersion()->GetId()) == manager.CurrentVersion(),
              "current version not in the solution");
}

} // namespace Fuzz

#ifdef VERDANTIS_FUZZ_REPLAY
namespace {
QHash<QString, FuzzEntry> &entries()
{
    static QHash<QString, FuzzEntry> all;
    return all;
}
} // namespace

CFuzzRegistration::CFuzzRegistration(const char *name, FuzzEntry entry)
{
    entries().insert(QString::fromLatin1(name), entry);
}

FuzzEntry FuzzEntryNamed(const QString &name)
{
    return entries().value(name, nullptr);
}
#else
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::Setup();
    return 0;
}
#endif
