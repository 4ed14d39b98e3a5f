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

int translate(Cli::Context &c, const QString &kind)
{
    if (c.args.size() != 2)
        return Cli::Usage(c, CliTexts::TranslateUsage(kind));
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
            return Cli::Usage(c, CliTexts::ModeUsage);
        settings.messageMode = mode.toInt();
    }
    settings.properties = c.flags.contains(QStringLiteral("properties"));
    if (c.values.contains(QStringLiteral("int-range"))
        && !CTranslateSettings::ParseIntRange(c.values.value(QStringLiteral("int-range")), settings.intLow,
                                              settings.intHigh))
        return Cli::Usage(c, CliTexts::IntRangeUsage);
    if (kind == u"xml" && (settings.properties || c.values.contains(QStringLiteral("int-range"))))
        return Cli::Usage(c, CliTexts::XmlOptionsUsage);
    CTranslateSetFiles files;
    files.declarations = c.values.value(QStringLiteral("declarations"));
    files.initialisation = c.values.value(QStringLiteral("init"));
    if (!sets
        && (c.values.contains(QStringLiteral("declarations")) || c.values.contains(QStringLiteral("init"))
            || c.values.contains(QStringLiteral("set-context"))))
        return Cli::Usage(c, CliTexts::SetOptionsUsage);
    const QString setContext = c.values.value(QStringLiteral("set-context"));
    if (!setContext.isEmpty() && !c.output.isEmpty()
        && QFileInfo(setContext).absoluteFilePath() == QFileInfo(c.output).absoluteFilePath())
        return Cli::Usage(c, CliTexts::SetContextIsOutput);
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
        return Cli::TranslationError;
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
            c.err << CliTexts::SetContextName;
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

const Cli::Registration regSal("translate sal", CliTexts::TranslateSalHelp, &runSal);
const Cli::Registration regSalSets("translate sal-sets", CliTexts::TranslateSalSetsHelp, &runSalSets);
const Cli::Registration regUppaal("translate uppaal", CliTexts::TranslateUppaalHelp, &runUppaal);
const Cli::Registration regXml("translate xml", CliTexts::TranslateXmlHelp, &runXml);
const Cli::OptionRegistration optMode("mode", CliTexts::ModeOptionHelp, true);
const Cli::OptionRegistration optFailureViews("failure-views", CliTexts::FailureViewsOptionHelp, false);
const Cli::OptionRegistration optDeclarations("declarations", CliTexts::DeclarationsOptionHelp, true);
const Cli::OptionRegistration optSetContext("set-context", CliTexts::SetContextOptionHelp, true);
const Cli::OptionRegistration optInit("init", CliTexts::InitOptionHelp, true);
const Cli::OptionRegistration optIntRange("int-range", CliTexts::IntRangeOptionHelp, true);
const Cli::OptionRegistration optProperties("properties", CliTexts::PropertiesOptionHelp, false);
const Cli::OptionRegistration optTimes("times", CliTexts::TimesOptionHelp, false);
const Cli::OptionRegistration optSetParser("set-parser", CliTexts::SetParserOptionHelp, true);
const Cli::OptionRegistration optBehaviorParser("behavior-parser", CliTexts::BehaviorParserOptionHelp, true);
const Cli::OptionRegistration optScratch("scratch", CliTexts::ScratchOptionHelp, true);

} // namespace
