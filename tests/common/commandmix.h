#pragma once

#include "edit/clipboardrecords.h"
#include "edit/editstep.h"
#include "model/kelcontainers.h"
#include "model/keldatamanager.h"
#include "model/kelmethod.h"
#include "model/kelrequirement.h"
#include "model/keltree.h"
#include "testkit.h"

#include <QRandomGenerator>

// Random user commands of every kind on one solution. Each call makes at
// most one undo step; picks come from what the model holds now.
class CCommandMix
{
public:
    CCommandMix(CKELDataManager &m, quint32 seed) : m(m), rng(seed) {}

    QString Run()
    {
        static const QStringList kinds =
            u"node node node change remove removeKeep link relink geometry pages req changeReq removeReq component "
            "renameComponent removeComponent state removeState attach detach rbt changeRbt removeRbt dbt renameDbt "
            "removeDbt copy integrateNext integrateThis paste pasteText import"_qs.split(u' ');
        const QString kind = kinds[rng.bounded(int(kinds.size()))];
        run(kind);
        return kind;
    }

private:
    template<class T> QList<const T *> all(int type) const
    {
        QList<const T *> out;
        for (int id : m.SortedIds()) {
            auto *e = m.LookupAs<T>(id, type);
            if (!e)
                continue;
            if constexpr (std::is_same_v<T, CKELMethod>) {
                if (!e->Tree() || e->Tree()->GetTypeCode() == KEL::CBT)
                    continue;
            }
            out.append(e);
        }
        return out;
    }
    template<class T> const T *pick(int type)
    {
        const QList<const T *> list = all<T>(type);
        return list.isEmpty() ? nullptr : list[rng.bounded(int(list.size()))];
    }
    QList<const CKELTree *> trees()
    {
        QList<const CKELTree *> out;
        for (auto *t : all<CKELTree>(KEL::RBT))
            out.append(t);
        for (auto *t : all<CKELTree>(KEL::DBT))
            out.append(t);
        return out;
    }
    QString word(const char *stem) { return QString::fromLatin1(stem) + QString::number(rng.bounded(8)); }
    // text that exercises the record escapes and the packet framing
    QString text()
    {
        static const QStringList pieces{u"door"_qs, u":"_qs,     u";"_qs,  u"#"_qs, u".."_qs,   u"."_qs, u"\\"_qs,
                                        u"\n"_qs,   u"Πόρτα"_qs, u"門"_qs, u" "_qs, u".cm."_qs, u"🚪"_qs};
        QString s;
        for (int i = rng.bounded(6); i > 0; --i)
            s += pieces[rng.bounded(int(pieces.size()))];
        return s;
    }
    CNodeAttributes attrs()
    {
        CNodeAttributes a = TestKit::Node(word("C"), word("b"), 1 + rng.bounded(6), word("R"));
        a.qualifier = text();
        if (rng.bounded(4) == 0) {
            a.extraInfoTags = {word("t")};
            a.extraInfoNames = {text()};
        }
        return a;
    }

    void run(const QString &kind)
    {
        const QList<const CKELTree *> ts = trees();
        const CKELTree *tree = ts.isEmpty() ? nullptr : ts[rng.bounded(int(ts.size()))];
        const CKELMethod *n = pick<CKELMethod>(KEL::Method);
        const int gx = rng.bounded(500), gy = rng.bounded(500);
        if (kind == u"node" && tree) {
            const QList<const CKELMethod *> nodes = all<CKELMethod>(KEL::Method);
            int parent = 0;
            for (const CKELMethod *c : nodes) {
                if (c->Tree() == tree && rng.bounded(3) == 0)
                    parent = c->GetId();
            }
            m.AddNode(tree->GetId(), parent, attrs(), gx, gy);
        } else if (kind == u"change" && n) {
            m.ChangeNode(n->GetId(), attrs());
        } else if (kind == u"remove" && n) {
            m.RemoveNodes({n->GetId()}, CKELDataManager::RemoveMode::Subtree);
        } else if (kind == u"removeKeep" && n) {
            m.RemoveNodes({n->GetId()}, CKELDataManager::RemoveMode::KeepChildren);
        } else if (kind == u"link" && n) {
            const CKELMethod *p = pick<CKELMethod>(KEL::Method);
            m.LinkNode(p && p->Tree() == n->Tree() && rng.bounded(5) ? p->GetId() : 0, n->GetId());
        } else if (kind == u"relink" && n && n->ParentId()) {
            m.LinkNode(n->ParentId(), n->GetId());
        } else if (kind == u"geometry" && tree) {
            QList<CNodeGeometry> g;
            for (const CKELMethod *c : all<CKELMethod>(KEL::Method)) {
                if (c->Tree() == tree)
                    g.append({c->GetId(), c->x + gx, c->y + gy, 80 + rng.bounded(40), 30});
            }
            m.SetNodesGeometry(tree->GetId(), g);
        } else if (kind == u"pages" && tree) {
            m.SetTreePages(tree->GetId(), 1 + rng.bounded(3), 1 + rng.bounded(3));
        } else if (kind == u"req") {
            m.AddRequirement(word("R"), text());
        } else if (kind == u"changeReq") {
            if (auto *r = pick<CKELRequirement>(KEL::Requirement))
                m.ChangeRequirement(r->GetId(), word("R"), text());
        } else if (kind == u"removeReq") {
            if (auto *r = pick<CKELRequirement>(KEL::Requirement))
                m.RemoveRequirement(r->GetId());
        } else if (kind == u"component") {
            m.AddComponent(word("C"), rng.bounded(2));
        } else if (kind == u"renameComponent") {
            if (auto *c = pick<CKELComponent>(KEL::Component))
                m.RenameComponent(c->GetId(), word("C"), false);
        } else if (kind == u"removeComponent") {
            if (auto *c = pick<CKELComponent>(KEL::Component))
                m.RemoveComponent(c->GetId());
        } else if (kind == u"removeState") {
            if (auto *s = pick<CKELState>(KEL::State))
                m.RemoveState(s->GetId());
        } else if (kind == u"state") {
            m.AddState(word("C"), word("s"), 1 + rng.bounded(6), word("R"));
        } else if (kind == u"attach") {
            if (auto *s = pick<CKELState>(KEL::State))
                m.AttachState(s->GetId(), word("R"));
        } else if (kind == u"detach") {
            auto *s = pick<CKELState>(KEL::State);
            if (s && !s->VParentIds().isEmpty())
                m.DetachState(s->GetId(), s->VParentIds().first());
        } else if (kind == u"rbt") {
            QList<int> reqs;
            for (auto *r : all<CKELRequirement>(KEL::Requirement)) {
                if (rng.bounded(2))
                    reqs.append(r->GetId());
            }
            m.AddRBT(word("T"), reqs, 40);
        } else if (kind == u"changeRbt") {
            if (auto *t = pick<CKELRBT>(KEL::RBT))
                m.ChangeRBT(t->GetId(), word("T"), {});
        } else if (kind == u"removeRbt") {
            if (auto *t = pick<CKELRBT>(KEL::RBT))
                m.RemoveRBT(t->GetId());
        } else if (kind == u"dbt") {
            m.AddDBT(word("D"));
        } else if (kind == u"renameDbt") {
            if (auto *t = pick<CKELDBT>(KEL::DBT))
                m.RenameDBT(t->GetId(), word("D"));
        } else if (kind == u"removeDbt") {
            if (auto *t = pick<CKELDBT>(KEL::DBT))
                m.RemoveDBT(t->GetId());
        } else if (kind == u"copy" && tree && ts.size() > 1) {
            m.CopyTree(ts[rng.bounded(int(ts.size()))]->GetId(), tree->GetId());
        } else if (kind == u"integrateNext" && n) {
            m.IntegrateNextMatchingRBT(n->GetId());
        } else if (kind == u"integrateThis" && n && !n->ParentId()) {
            m.IntegrateThisRBT(n->GetId());
        } else if (kind == u"paste" && n && tree) {
            const QString copied = CopyNodesAsRecords(m, {n->GetId()});
            const CKELMethod *under = pick<CKELMethod>(KEL::Method);
            PasteNodes(m, tree->GetId(), under && under->Tree() == tree ? under->GetId() : 0, gx, gy, copied);
        } else if (kind == u"pasteText" && tree) {
            PasteNodes(m, tree->GetId(), 0, gx, gy, u"R1:Door[open]\n  R2:Lock<locked>\n  R2:Lock[free]\n"_qs);
        } else if (kind == u"import" && tree) {
            CEditStep step(m, u"Import"_qs);
            for (int i = 0; i < 3; ++i)
                m.AddNode(tree->GetId(), 0, attrs(), 10 * i, gy);
        }
    }

    CKELDataManager &m;
    QRandomGenerator rng;
};
