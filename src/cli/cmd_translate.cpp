// translate: a tree as SAL (plain or with sets), as an UPPAAL network or as
// plain XML.
#include "clicommands.h"

#include "model/keldatamanager.h"
#include "model/keltree.h"
#include "translate/translateexception.h"
#include "translate/translatesalmain.h"
#include "translate/xmltranslator.h"

#include <QFileInfo>
#include <QSettings>

namespace {

// A translation error: the text the desktop program shows in its message box.
constexpr int kTranslationError = 3;

int translate(Cli::Context &c, const QString &kind)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, QStringLiteral("'translate %1' takes a solution file and a tree").arg(kind));
    const bool sets = kind == u"sal-sets";

    CTranslateSettings settings;
    {
        // the outside parsers as the desktop program is set up; flags win
        QSettings stored(QStringLiteral("Verdantis"), QStringLiteral("Verdantis"));
        settings.ReadFrom(stored);
    }
    settings.messageMode = CTranslateSettings::NoMessageBlocking;
    settings.useRandomTree = false;
    settings.useFailureViews = c.flags.contains(QStringLiteral("failure-views"));
    settings.displayTime = c.flags.contains(QStringLiteral("times"));
    if (c.values.contains(QStringLiteral("mode"))) {
        const QString mode = c.values.value(QStringLiteral("mode"));
        if (mode != u"1" && mode != u"2" && mode != u"4")
            return Cli::Usage(c, QStringLiteral("--mode takes 1, 2 or 4"));
        settings.messageMode = mode.toInt();
    }
    settings.properties = c.flags.contains(QStringLiteral("properties"));
    if (c.values.contains(QStringLiteral("int-range"))
        && !CTranslateSettings::ParseIntRange(c.values.value(QStringLiteral("int-range")), settings.intLow,
                                              settings.intHigh))
        return Cli::Usage(
            c, QStringLiteral("--int-range takes LOW..HIGH, two whole numbers of 32 bits, LOW not above HIGH"));
    if (kind == u"xml" && (settings.properties || c.values.contains(QStringLiteral("int-range"))))
        return Cli::Usage(
            c, QStringLiteral("--properties and --int-range go with 'translate sal', 'sal-sets' and 'uppaal'"));
    CTranslateSetFiles files;
    files.declarations = c.values.value(QStringLiteral("declarations"));
    files.initialisation = c.values.value(QStringLiteral("init"));
    if (!sets
        && (c.values.contains(QStringLiteral("declarations")) || c.values.contains(QStringLiteral("init"))
            || c.values.contains(QStringLiteral("set-context"))))
        return Cli::Usage(c, QStringLiteral("--declarations, --init and --set-context go with 'translate sal-sets'"));
    const QString setContext = c.values.value(QStringLiteral("set-context"));
    if (!setContext.isEmpty() && !c.output.isEmpty()
        && QFileInfo(setContext).absoluteFilePath() == QFileInfo(c.output).absoluteFilePath())
        return Cli::Usage(c, QStringLiteral("--set-context and -o name the same file"));
    if (c.values.contains(QStringLiteral("set-parser")))
        settings.setParserCommand = c.values.value(QStringLiteral("set-parser"));
    if (c.values.contains(QStringLiteral("behavior-parser")))
        settings.behaviorParserCommand = c.values.value(QStringLiteral("behavior-parser"));
    if (c.values.contains(QStringLiteral("scratch")))
        settings.scratchFolder = c.values.value(QStringLiteral("scratch"));

    CKELDataManager manager;
    const CKELTree *tree = Cli::LoadTree(c, manager);
    if (!tree)
        return Cli::FileError;

    CTranslationResult result;
    try {
        if (kind == u"xml") {
            XMLTranslator xml(settings);
            xml.Export(manager, *tree);
            result.text = xml.Result();
        } else {
            CTranslateUPPAAL uppaal;
            CTranslateSALMain sal;
            CTranslateSALMain &translator = kind == u"uppaal" ? uppaal : sal;
            translator.Settings() = settings;
            result = *translator.Translate(manager, tree->GetId(), sets, files);
        }
    } catch (const CTranslateException &e) {
        c.err << e.Message() << '\n';
        return kTranslationError;
    }

    if (c.output.isEmpty()) {
        // a SAL context must be named: without a file, after the tree
        c.out << (kind.startsWith(u"sal") ? NameSalContext(result.text, tree->GetName()) : result.text);
    } else {
        // only a SAL context is named after its file
        const QString text = kind.startsWith(u"sal") ? result.TextForFile(c.output) : result.text;
        QString error;
        if (!WriteTranslationFile(c.output, text, &error))
            return Cli::Fail(c, error);
    }
    if (!setContext.isEmpty()) {
        QString error;
        if (!WriteTranslationFile(setContext, SalSetContext(), &error))
            return Cli::Fail(c, error);
        // the SAL tools find the context "set" by its file name
        if (QFileInfo(setContext).fileName() != u"set.sal")
            c.err << "Note: the model calls the context 'set'; save it as set.sal beside the model\n";
    }
    if (settings.displayTime && kind != u"xml")
        c.err << QString(result.TimesText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")) << '\n';
    return Cli::Ok;
}

int runSal(Cli::Context &c)
{
    return translate(c, QStringLiteral("sal"));
}

int runSalSets(Cli::Context &c)
{
    return translate(c, QStringLiteral("sal-sets"));
}

int runUppaal(Cli::Context &c)
{
    return translate(c, QStringLiteral("uppaal"));
}

int runXml(Cli::Context &c)
{
    return translate(c, QStringLiteral("xml"));
}

const Cli::Registration regSal("translate sal", "translate sal FILE TREE [-o OUT]  print or write TREE as a SAL model",
                               &runSal);
const Cli::Registration regSalSets("translate sal-sets",
                                   "translate sal-sets FILE TREE [--declarations FILE] [--init FILE] [--set-context "
                                   "FILE] [-o OUT]  the same, with set expressions",
                                   &runSalSets);
const Cli::Registration regUppaal("translate uppaal",
                                  "translate uppaal FILE TREE [-o OUT]  print or write TREE as an UPPAAL network",
                                  &runUppaal);
const Cli::Registration regXml("translate xml", "translate xml FILE TREE [-o OUT]  print or write TREE as plain XML",
                               &runXml);
const Cli::OptionRegistration optMode("mode", "with translate: message mode 1, 2 or 4", true);
const Cli::OptionRegistration optFailureViews("failure-views", "with translate: use failure views", false);
const Cli::OptionRegistration optDeclarations("declarations", "with translate sal-sets: the attribute declarations",
                                              true);
const Cli::OptionRegistration optSetContext("set-context",
                                            "with translate sal-sets: write the set context the model calls (set.sal)",
                                            true);
const Cli::OptionRegistration optInit("init", "with translate sal-sets: the initialisation file", true);
const Cli::OptionRegistration optIntRange("int-range",
                                          "with translate: LOW..HIGH, the range of integer attributes that no "
                                          "declaration bounds (0..255)",
                                          true);
const Cli::OptionRegistration optProperties(
    "properties", "with translate: add reachability of every leaf and freedom from deadlock to check", false);
const Cli::OptionRegistration optTimes("times", "with translate: print the times to standard error", false);
const Cli::OptionRegistration optSetParser("set-parser", "with translate sal-sets: the set parser's command", true);
const Cli::OptionRegistration optBehaviorParser("behavior-parser", "with translate xml: the behavior parser's command",
                                                true);
const Cli::OptionRegistration optScratch("scratch", "with translate: the folder for the parsers' files", true);

} // namespace
