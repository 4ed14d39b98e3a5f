#include "translatesalmain.h"

#include "behaviormodelbuilder.h"
#include "externalparser.h"
#include "identifier.h"
#include "randomtree.h"
#include "salwriter.h"
#include "translatecontext.h"
#include "translateexception.h"
#include "translateparsingmethods.h"
#include "translateparsingrule.h"
#include "translatesets.h"
#include "translatetexts.h"
#include "uppaalwriter.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"

#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

CTranslateSALMain::~CTranslateSALMain() = default;
CTranslateUPPAAL::~CTranslateUPPAAL() = default;

namespace {

using TranslateTexts::kEol;

void applyRules(CTranslateContext &ctx)
{
    const CTranslateRuleList prePass = PrePassRules();
    const CTranslateRuleList main = MainRules();
    QList<int> remaining;
    for (int n = 1; n <= ctx.NodeCount(); ++n) {
        if (ctx.Node(n).IsStepHead())
            remaining.append(n);
    }
    for (const auto &rule : prePass)
        rule->Parse(ctx, remaining, main);
    bool any = true;
    while (any && !remaining.isEmpty()) {
        any = false;
        for (const auto &rule : main)
            any = rule->Parse(ctx, remaining, main) || any;
    }
    // a node no rule takes would silently stop its thread
    if (!remaining.isEmpty())
        throw CTranslateException(TranslateTexts::NoMatchingRules() + ctx.Describe(remaining.first()));
}

} // namespace

void PrepareSteps(CTranslateContext &ctx)
{
    ctx.CheckInitialisationBlock();
    ctx.AssignThreads();
    applyRules(ctx);
    CTranslateParsingMethods::AnalyseNodes(ctx);
}

std::optional<CTranslationResult> CTranslateSALMain::Translate(const CKELDataManager &manager, int treeId,
                                                               bool withSets, const CTranslateSetFiles &files) const
{
    const CKELData *element = manager.Lookup(treeId);
    if (!element || !element->IsTree())
        return std::nullopt;
    const bool uppaal = IsUppaal();
    const bool sets = withSets && !uppaal;

    CTranslationResult result;
    result.kind = uppaal ? CTranslationResult::Uppaal : CTranslationResult::Sal;
    result.timesShown = m_settings.displayTime;
    CTranslateSettings settings = m_settings;
    settings.messageMode = CTranslateSettings::ValidMessageMode(settings.messageMode);
    CTranslateContext ctx(settings, sets, uppaal);
    CSalSetTimes setTimes;
    setTimes.shown = settings.displayTime;

    QElapsedTimer clock;
    clock.start();
    if (settings.useRandomTree && !uppaal) {
        bool ok = false;
        // a bound keeps a slip of the keyboard from filling the memory
        constexpr int kMostIterations = 10000000;
        const int iterations = settings.iterations.trimmed().toInt(&ok);
        if (!ok || iterations < 1 || iterations > kMostIterations)
            throw CTranslateException(
                QStringLiteral("The number of iterations must be a whole number from 1 to %1: ").arg(kMostIterations)
                + settings.iterations);
        const CRandomTree::Figures f = CRandomTree::Generate(ctx, iterations, settings.randomSeed);
        result.hasRandomFigures = true;
        result.nodes = f.nodes;
        result.branches = f.branches;
        result.reversions = f.reversions;
        result.macros = f.macros;
        result.threadKills = f.threadKills;
    } else {
        ctx.BuildNodes(manager, *static_cast<const CKELTree *>(element));
    }
    if (sets) {
        QElapsedTimer stage;
        stage.start();
        CTranslateSets::ReadDeclarations(ctx, files.declarations);
        CTranslateSets::ParseExpressions(ctx, CExternalParser(CExternalParser::SetParser, settings));
        setTimes.setParsingMs = stage.elapsed();
    }
    ctx.CheckInitialisationBlock();
    ctx.AssignThreads();
    applyRules(ctx);
    if (sets) {
        QElapsedTimer stage;
        stage.start();
        CTranslateSets::ReadInitialisationFile(ctx, files.initialisation);
        setTimes.initialisationFileMs = stage.elapsed();
    }
    CTranslateParsingMethods::AnalyseNodes(ctx);
    if (sets)
        CTranslateSets::FinishSetActions(ctx);
    result.parsingMs = clock.restart();

    // both write the form the simulator and the verifier run
    const CBehaviorModel form = CBehaviorModelBuilder::FromSteps(ctx, false);
    result.text = uppaal ? CUppaalWriter::Write(ctx, form) : CSalWriter::Write(ctx, form, setTimes);
    result.identifiers = ctx.Names().Entries();
    result.usesSets = sets;
    result.translationMs = clock.elapsed();
    return result;
}

QString CTranslationResult::Title() const
{
    return kind == Uppaal ? QStringLiteral("UPPAAL Translation") : QStringLiteral("SAL Translation");
}

QString CTranslationResult::DefaultExtension() const
{
    return kind == Uppaal ? QStringLiteral("xml") : QStringLiteral("sal");
}

QString CTranslationResult::FileFilter() const
{
    const QString ext = DefaultExtension();
    const QString description = kind == Uppaal ? QStringLiteral("UPPAAL") : QStringLiteral("SAL");
    return description + QStringLiteral(" File (*.") + ext + QStringLiteral(");;All Files (*)");
}

QString CTranslationResult::TextForFile(const QString &path) const
{
    if (kind != Sal)
        return text;
    return NameSalContext(text, QFileInfo(path).completeBaseName());
}

QString CTranslationResult::TimesText() const
{
    QString out = QStringLiteral("Parsing time (ms): ") + QString::number(parsingMs) + kEol
                  + QStringLiteral("Translation time (ms): ") + QString::number(translationMs);
    if (hasRandomFigures) {
        out += kEol + QStringLiteral("Number of Nodes: ") + QString::number(nodes);
        out += kEol + QStringLiteral("Number of Branches: ") + QString::number(branches);
        out += kEol + QStringLiteral("Number of Reversions: ") + QString::number(reversions);
        out += kEol + QStringLiteral("Number of Macros: ") + QString::number(macros);
        out += kEol + QStringLiteral("Number of Thread Kills: ") + QString::number(threadKills);
    }
    return out;
}

QString NameSalContext(const QString &text, const QString &name)
{
    // the comment lines above the context stay; the context's line gets the name
    const qsizetype at = text.indexOf(QStringLiteral(":CONTEXT"));
    if (at < 0)
        return text;
    const qsizetype lineStart = text.lastIndexOf(u'\n', at) + 1;
    return text.left(lineStart) + SalContextName(name) + text.mid(at);
}

QString SalContextName(const QString &name)
{
    // a file or tree name as a SAL identifier: the context must be named to parse
    const QString id = MakeIdentifier(name, false);
    return id.isEmpty() ? QStringLiteral("behaviorTree") : id;
}

QString SalSetContext()
{
    // Sets are predicates on their element type. size?(s, n) holds when
    // some one-to-one map from 1..n onto s exists, that is when s has
    // exactly n elements.
    return QStringLiteral("set{T : TYPE; } : CONTEXT =\n"
                          "BEGIN\n"
                          "  Set : TYPE = [T -> BOOLEAN];\n"
                          "  empty_set : Set = LAMBDA (e : T) : FALSE;\n"
                          "  insert(aset : Set, e : T) : Set = LAMBDA (e1 : T) : e = e1 OR aset(e1);\n"
                          "  remove(aset : Set, e : T) : Set = LAMBDA (e1 : T) : e /= e1 AND aset(e1);\n"
                          "  contains?(aset : Set, e : T) : BOOLEAN = aset(e);\n"
                          "  empty?(aset : Set) : BOOLEAN = (FORALL (e : T) : aset(e) = FALSE);\n"
                          "  union(aset1 : Set, aset2 : Set) : Set = LAMBDA (e : T) : aset1(e) OR aset2(e);\n"
                          "  intersection(aset1 : Set, aset2 : Set) : Set = LAMBDA (e : T) : aset1(e) AND aset2(e);\n"
                          "  difference(aset1 : Set, aset2 : Set) : Set = LAMBDA (e : T) : aset1(e) AND NOT aset2(e);\n"
                          "  subset?(aset1 : Set, aset2 : Set) : BOOLEAN = (FORALL (e : T) : aset1(e) => aset2(e));\n"
                          "  size?(aset : Set, n : NATURAL) : BOOLEAN =\n"
                          "    (EXISTS (f : [[1 .. n] -> T]) :\n"
                          "      (FORALL (i : [1 .. n], j : [1 .. n]) : f(i) = f(j) => i = j)\n"
                          "      AND (FORALL (e : T) : aset(e) = (EXISTS (i : [1 .. n]) : f(i) = e)));\n"
                          "END\n");
}

QString SalSetContextPath(const QString &modelPath)
{
    return QFileInfo(modelPath).dir().filePath(QStringLiteral("set.sal"));
}

bool WriteTranslationFile(const QString &path, const QString &text, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
