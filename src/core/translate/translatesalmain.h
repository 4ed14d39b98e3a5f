#pragma once

#include "identifiermap.h"
#include "translatesettings.h"

#include <QString>

#include <optional>

class CKELDataManager;
class CTranslateContext;

// The front end without sets: the initialisation block, threads, the rules'
// steps and every node's action, on a context whose nodes are built.
// Throws CTranslateException as a translation does.
void PrepareSteps(CTranslateContext &ctx);

// What a translation gives the results dialog: the text, its times and, for
// a generated tree, how the tree was made.
struct CTranslationResult
{
    enum Kind { Sal, Uppaal };
    Kind kind = Sal;
    QString text;
    bool timesShown = false;
    qint64 parsingMs = 0;
    qint64 translationMs = 0;
    bool hasRandomFigures = false;
    int nodes = 0;
    int branches = 0;
    int reversions = 0;
    int macros = 0;
    int threadKills = 0;
    // every name of the tree and the identifier it has in the text
    QList<CIdentifierMap::Entry> identifiers;
    // a model with sets calls the set context, saved beside it
    bool usesSets = false;

    // "SAL Translation" or "UPPAAL Translation".
    QString Title() const;
    QString DefaultExtension() const;
    // The save dialog's filter, in Qt's form.
    QString FileFilter() const;
    // What "Save translation" writes to path: a SAL context is named after
    // the file, without its extension.
    QString TextForFile(const QString &path) const;
    // What "Save times" writes.
    QString TimesText() const;
};

// Puts name, made an identifier, in front of ":CONTEXT" in place of
// whatever stood there on that line.
QString NameSalContext(const QString &text, const QString &name);
// A file or tree name as the name of a SAL context.
QString SalContextName(const QString &name);
// The SAL context "set" every set operation of a model with sets comes
// from; the SAL tools look for it in set.sal beside the model.
QString SalSetContext();
// Where the set context goes beside a model saved to modelPath.
QString SalSetContextPath(const QString &modelPath);
// Writes text as UTF-8; false and a reason when it cannot.
bool WriteTranslationFile(const QString &path, const QString &text, QString *error = nullptr);

// The SAL translator: it holds the settings and runs one translation per
// call on a fresh context, reading the model and never changing it.
class CTranslateSALMain
{
public:
    CTranslateSALMain() = default;
    virtual ~CTranslateSALMain();
    CTranslateSALMain(const CTranslateSALMain &) = delete;
    CTranslateSALMain &operator=(const CTranslateSALMain &) = delete;

    CTranslateSettings &Settings() { return m_settings; }
    const CTranslateSettings &Settings() const { return m_settings; }

    // Translates the tree with that id. Empty when the manager has no such
    // tree; throws CTranslateException on the first error, having built no text.
    std::optional<CTranslationResult> Translate(const CKELDataManager &manager, int treeId, bool withSets = false,
                                                const CTranslateSetFiles &files = {}) const;

protected:
    virtual bool IsUppaal() const { return false; }

private:
    CTranslateSettings m_settings;
};

// The UPPAAL translator: the same front end, each step's UPPAAL form and the
// UPPAAL writer. It always translates the chosen tree and reads no sets.
class CTranslateUPPAAL : public CTranslateSALMain
{
public:
    CTranslateUPPAAL() = default;
    ~CTranslateUPPAAL() override;

protected:
    bool IsUppaal() const override { return true; }
};
