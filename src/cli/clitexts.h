#pragma once

#include <QString>
#include <QStringList>

// Texts verdantis-cli writes, from one place: scripts and their logs match
// them, so a change here is a change for every caller.
namespace CliTexts {

// Every complaint starts with the program's name, as other tools' do.
inline QString Error(const QString &message)
{
    return QStringLiteral("verdantis-cli: ") + message + u'\n';
}
inline QString Warning(const QString &path, const QString &what)
{
    return QStringLiteral("verdantis-cli: warning: ") + path + QStringLiteral(": ") + what + u'\n';
}

// --help and --version
inline const QString UsageHead = QStringLiteral("Usage: verdantis-cli COMMAND [ARGUMENTS]\n\nCommands:\n");
inline const QString UsageOptionsHead = QStringLiteral("\nOptions:\n"
                                                       "  -o, --output FILE   where to write the result\n");
inline const QString UsageTail =
    QStringLiteral("  -h, --help          show this help\n"
                   "  -v, --version       show the version\n"
                   "\nverdantis-cli help COMMAND says what a command does and shows an example.\n"
                   "\nExit codes: 0 success, 1 wrong usage, 2 a file could not be read or written,\n"
                   "or what the command names is not there.\n");
inline QString UsageOption(const QString &name, bool takesValue, const QString &description)
{
    return QStringLiteral("  --") + name + (takesValue ? QStringLiteral(" VALUE") : QString()) + QStringLiteral("   ")
           + description + u'\n';
}
inline QString Version(const QString &version)
{
    return QStringLiteral("verdantis-cli ") + version + u'\n';
}
inline const QString OutputOption = QStringLiteral("Output file.");
inline const QString HelpOption = QStringLiteral("Show help.");
inline const QString VersionOption = QStringLiteral("Show the version.");
inline const QString NoCommand = QStringLiteral("no command given");
inline QString UnknownCommand(const QString &word)
{
    return QStringLiteral("unknown command '%1'").arg(word);
}

// help COMMAND
inline QString HelpFamily(const QString &family, const QStringList &commands)
{
    QString text = QStringLiteral("Commands beginning with \"%1\":\n").arg(family);
    for (const QString &name : commands)
        text += QStringLiteral("  ") + name + u'\n';
    return text + QStringLiteral("Run verdantis-cli help COMMAND for one of them.\n");
}
inline QString NoFurtherHelp(const QString &command)
{
    return QStringLiteral("verdantis-cli %1: no further help; see verdantis-cli --help\n").arg(command);
}
inline QString NoSuchCommand(const QString &command)
{
    return QStringLiteral("no command '%1'").arg(command);
}
inline QString CommandHelp(const QString &command, const QString &synopsis, const QString &description,
                           const QString &example)
{
    return QStringLiteral("Usage: verdantis-cli %1 %2\n\n").arg(command, synopsis) + description
           + QStringLiteral("\nExample:\n") + example;
}

// Loading and saving
inline QString LoadRepairs(int ignoredLines, int refusedLinks, int duplicateIds)
{
    return QStringLiteral("%1 line(s) ignored, %2 link(s) refused, %3 repeated id(s) replaced")
        .arg(ignoredLines)
        .arg(refusedLinks)
        .arg(duplicateIds);
}
inline const QString DamagedCounter =
    QStringLiteral("the header's element counter is out of range; new ids follow the highest id in the file");
inline const QString WrittenInPlace =
    QStringLiteral("the folder allows no temporary file, so the file was written in place, not atomically");
inline QString CannotRead(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot read %1: %2").arg(path, why);
}
inline QString CannotReadQuoted(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot read \"%1\": %2").arg(path, why);
}
inline QString CannotWrite(const QString &path, const QString &why)
{
    return QStringLiteral("Cannot write %1: %2").arg(path, why);
}
inline QString InFile(const QString &path, const QString &what)
{
    return path + QStringLiteral(": ") + what;
}

// Trees, nodes and versions named on the command line
inline QString NoTreeWithId(const QString &name)
{
    return QStringLiteral("no tree with id %1").arg(name);
}
inline QString AmbiguousTree(const QString &name, qsizetype count)
{
    return QStringLiteral("the name \"%1\" is ambiguous: %2 trees have it; name one by #ID")
        .arg(name, QString::number(count));
}
inline QString NoTreeNamed(const QString &name)
{
    return QStringLiteral("no tree named \"%1\" in the current version").arg(name);
}
inline QString NotADbt(const QString &name)
{
    return QStringLiteral("\"%1\" is not a DBT").arg(name);
}
inline QString NotAnRbt(const QString &name)
{
    return QStringLiteral("\"%1\" is not an RBT").arg(name);
}
inline QString NoNodeInTree(const QString &node, const QString &tree)
{
    return QStringLiteral("no node %1 in tree \"%2\"").arg(node, tree);
}
inline QString NoVersionWithId(const QString &id)
{
    return QStringLiteral("no version with id %1").arg(id);
}
inline QString NoVersionNamed(const QString &name)
{
    return QStringLiteral("no version named \"%1\"").arg(name);
}
inline QString NoComponentInTree(const QString &component, const QString &tree)
{
    return QStringLiteral("no component \"%1\" in tree \"%2\"").arg(component, tree);
}
inline QString NoNodeOfComponent(const QString &component, const QString &tree)
{
    return QStringLiteral("no node of component \"%1\" in %2").arg(component, tree);
}
inline QString TreeHasNoNodes(const QString &tree)
{
    return QStringLiteral("tree \"%1\" has no nodes").arg(tree);
}

// The prompt: "CAPTION: TEXT (answered ANSWER)"
inline const QString AnswerYes = QStringLiteral("Yes");
inline const QString AnswerNo = QStringLiteral("No");
inline const QString AnswerCancel = QStringLiteral("Cancel");
inline const QString AnswerOk = QStringLiteral("OK");
inline QString PromptLine(const QString &caption, const QString &text, const QString &answer)
{
    QString line = caption + QStringLiteral(": ") + text;
    if (!answer.isEmpty())
        line += QStringLiteral(" (answered ") + answer + u')';
    return line + u'\n';
}

// apply, set-current
inline const QString ApplyUsage =
    QStringLiteral("'apply' takes a solution file (or --new), an operations file and -o OUT.kvf");
inline QString LineNotApplied(int line)
{
    return Error(QStringLiteral("line %1: not applied").arg(line));
}
inline QString RecordsNotApplied(int count)
{
    return Error(QStringLiteral("%1 record(s) not applied").arg(count));
}
inline const QString SetCurrentUsage =
    QStringLiteral("'set-current' takes a solution file, a version id and -o OUT.kvf");

// derive
inline const QString DeriveCbtUsage = QStringLiteral("'derive cbt' takes a solution file, a tree and a component");
inline const QString DeriveCidUsage = QStringLiteral("'derive cid' takes a solution file, a tree and a component");
inline const QString DeriveCinUsage = QStringLiteral("'derive cin' takes a solution file and a tree");

// evt
inline const QString EvtUsage = QStringLiteral("'evt' takes a solution file, at least two trees and -o OUT.kvf");

// import-reqs, import-nodes
inline const QString ImportReqsUsage = QStringLiteral("'import-reqs' takes a solution file, a document and -o OUT.kvf");
inline const QString PrecededUsage = QStringLiteral("--preceded takes newline or period");
inline const QString SeparatorUsage = QStringLiteral("--separator takes period, colon or newline");
inline const QString ImportNodesUsage =
    QStringLiteral("'import-nodes' takes a solution file, a tree, a nodes file and -o OUT.kvf");
inline QString RequirementsAdded(qsizetype added, qsizetype refused)
{
    QString line = QStringLiteral("%1 requirement(s) added").arg(added);
    if (refused)
        line += QStringLiteral(", %1 refused").arg(refused);
    return line + u'\n';
}
inline QString NodesAdded(qsizetype added, qsizetype refused)
{
    QString line = QStringLiteral("%1 node(s) added").arg(added);
    if (refused)
        line += QStringLiteral(", %1 refused").arg(refused);
    return line + u'\n';
}

// mark, integrate, copy-rbt
inline const QString MarkMatchesUsage = QStringLiteral("'mark matches' takes a solution file, a DBT and a node id");
inline const QString MarkUsage = QStringLiteral("'mark' takes a solution file and a DBT");
inline const QString IntegrateUsage =
    QStringLiteral("'integrate' takes a solution file, a DBT, a node id and -o OUT.kvf");
inline const QString CopyRbtUsage = QStringLiteral("'copy-rbt' takes a solution file, a DBT, an RBT and -o OUT.kvf");
inline QString NoMatchingRoot(int node)
{
    return QStringLiteral("no root of another tree matches node %1").arg(node);
}

// layout
inline const QString LayoutUsage = QStringLiteral("'layout' takes a solution file, a tree and -o OUT.kvf");
inline const QString SubtreeUsage = QStringLiteral("--subtree takes a node id");

// render
inline const QString RenderUsage =
    QStringLiteral("'render' takes a solution file, a tree and -o OUT.png, OUT.svg or OUT.pdf");
inline const QString RenderFormatUsage = QStringLiteral("the output of 'render' must end in .png, .svg or .pdf");
inline const QString ScaleUsage = QStringLiteral("--scale takes a number greater than 0");
inline const QString TileUsage = QStringLiteral("--tile takes WIDTHxHEIGHT in pixels and goes with a .png output");
inline const QString PosterUsage = QStringLiteral("--poster takes COLUMNSxROWS of pages and goes with a .pdf output");
inline const QString CannotDraw = QStringLiteral("'render' cannot draw in this process");
inline QString TilesWritten(int across, int down, const QString &firstTile)
{
    return QStringLiteral("%1 tiles, %2 across and %3 down: %4 ...\n")
        .arg(QString::number(across * down), QString::number(across), QString::number(down), firstTile);
}
inline QString PictureTooLarge(const QString &path, double scale, qint64 width, qint64 height, int maxSide,
                               qint64 maxPixels, double fittingScale)
{
    return path
           + QStringLiteral(": at scale %1 the picture would need %2 x %3 pixels, more than one picture holds (%4 a "
                            "side, %5 pixels); use --tile WIDTHxHEIGHT for numbered tiles, or --scale %6 or less")
                 .arg(scale)
                 .arg(width)
                 .arg(height)
                 .arg(maxSide)
                 .arg(maxPixels)
                 .arg(fittingScale);
}

// report
inline const QString ReportUsage =
    QStringLiteral("'report' takes a solution file and -o OUT.html, OUT.csv or OUT.json");
inline const QString ReportFormatUsage =
    QStringLiteral("--format takes html, csv or json (or name the output .html, .csv or .json)");
inline QString ReportSummary(qsizetype requirements, int covered, int onlyInRbts, int notCovered, qsizetype untraced)
{
    return QStringLiteral("%1 requirement(s): %2 covered, %3 only in RBTs, %4 not covered; %5 node(s) without a "
                          "requirement\n")
        .arg(requirements)
        .arg(covered)
        .arg(onlyInRbts)
        .arg(notCovered)
        .arg(untraced);
}

// export-reqif, import-reqif
inline const QString ExportReqifUsage = QStringLiteral("'export-reqif' takes a solution file and -o OUT.reqif");
inline const QString ImportReqifUsage =
    QStringLiteral("'import-reqif' takes a solution file, a ReqIF file and -o OUT.kvf");
inline QString ReqifApplied(int added, int changed, int unchanged, int refused, int withoutTag)
{
    QString line =
        QStringLiteral("%1 requirement(s) added, %2 changed, %3 unchanged").arg(added).arg(changed).arg(unchanged);
    if (refused)
        line += QStringLiteral(", %1 refused").arg(refused);
    if (withoutTag)
        line += QStringLiteral(", %1 without a tag skipped").arg(withoutTag);
    return line + u'\n';
}
inline QString DescriptionsDiffer(qsizetype count, const QString &changes)
{
    return Error(QStringLiteral("%1 requirement(s) have other descriptions in the file; left as they are (--update "
                                "changes them):\n")
                     .arg(count)
                 + changes);
}

// simulate
inline const QString SimulateUsage = QStringLiteral("'simulate' takes a solution file and a tree");
inline const QString MaxStepsUsage = QStringLiteral("--max-steps takes a whole number of 0 or more");
inline const QString ChooseUsage = QStringLiteral("--choose takes 'random' or 'first'");
inline const QString SeedUsage = QStringLiteral("--seed takes a whole number from 0 to 4294967295");
inline QString NoSuchEvent(const QString &path, int line, const QString &event)
{
    return QStringLiteral("%1:%2: the tree has no event or input '%3'").arg(path, QString::number(line), event);
}
inline QString Seed(unsigned seed)
{
    return QStringLiteral("seed: %1\n").arg(seed);
}

// new, show, resave
inline const QString NewUsage = QStringLiteral("'new' takes one file name");
inline const QString ShowUsage = QStringLiteral("'show' takes one solution file");
inline const QString ResaveUsage = QStringLiteral("'resave' takes one solution file and -o OUT.kvf");

// translate
inline QString TranslateUsage(const QString &kind)
{
    return QStringLiteral("'translate %1' takes a solution file and a tree").arg(kind);
}
inline const QString ModeUsage = QStringLiteral("--mode takes 1, 2 or 4");
inline const QString IntRangeUsage =
    QStringLiteral("--int-range takes LOW..HIGH, two whole numbers of 32 bits, LOW not above HIGH");
inline const QString XmlOptionsUsage =
    QStringLiteral("--properties and --int-range go with 'translate sal', 'sal-sets' and 'uppaal'");
inline const QString SetOptionsUsage =
    QStringLiteral("--declarations, --init and --set-context go with 'translate sal-sets'");
inline const QString SetContextIsOutput = QStringLiteral("--set-context and -o name the same file");
inline const QString SetContextName =
    QStringLiteral("Note: the model calls the context 'set'; save it as set.sal beside the model\n");
inline const QString TranslateZephUsage = QStringLiteral("'translate zeph' takes a solution file and a tree");
inline const QString MaxEventsUsage = QStringLiteral("--max-events takes a number of events (0 or more)");

// verify
inline const QString VerifyUsage = QStringLiteral("'verify' takes a solution file and a tree");
inline const QString MaxStatesUsage = QStringLiteral("--max-states takes a whole number of 1 or more");
inline const QString TimeoutUsage = QStringLiteral("--timeout takes a whole number of seconds, 1 or more");
inline QString VerifyProblem(const QString &message)
{
    return QStringLiteral("verify: ") + message + u'\n';
}
inline QString Deadlock(bool found)
{
    return found ? QStringLiteral("deadlock: found\n") : QStringLiteral("deadlock: none\n");
}
inline QString TrailStep(const QString &node)
{
    return QStringLiteral("  ") + node + u'\n';
}
inline QString Unreachable(const QString &node)
{
    return QStringLiteral("unreachable: ") + node + u'\n';
}
inline QString Property(bool violated)
{
    return violated ? QStringLiteral("property: violated\n") : QStringLiteral("property: holds\n");
}
inline QString States(qint64 states, bool complete)
{
    return QStringLiteral("states: %1, ").arg(states)
           + (complete ? QStringLiteral("complete\n") : QStringLiteral("incomplete: limit reached\n"));
}

// The lines of --help: a command's usage, then what it does, in one line
// each unless it is long.
inline const QString ApplyHelp =
    QStringLiteral("apply (FILE.kvf | --new) OPS.txt -o OUT.kvf [--raw]\n"
                   "                                  run operation records (one a line) as commands");
inline const QString SetCurrentHelp =
    QStringLiteral("set-current FILE.kvf VERSIONID -o OUT.kvf  make a version current");
inline const QString NewOptionHelp = QStringLiteral("with apply: start from a new solution");
inline const QString RawOptionHelp = QStringLiteral("with apply: apply records as the server relays them");
inline const QString DeriveCbtHelp =
    QStringLiteral("derive cbt FILE TREE COMPONENT   print the component behavior tree of COMPONENT");
inline const QString DeriveCidHelp = QStringLiteral(
    "derive cid FILE TREE COMPONENT   print the interface boxes of COMPONENT (K counts dropped repeats too)");
inline const QString DeriveCinHelp = QStringLiteral(
    "derive cin FILE TREE              print the component interaction network: boxes, then links with their points");
inline const QString EvtHelp = QStringLiteral(
    "evt FILE TREE TREE [TREE...] -o OUT   build an evolution tree over the trees (#ID for other versions)");
inline const QString HelpHelp =
    QStringLiteral("help [COMMAND]                  say what a command does, with an example");
inline const QString CommandsOptionHelp = QStringLiteral("with help: list the commands, one a line");
inline const QString OptionsOptionHelp = QStringLiteral("with help: list the long options, one a line");
inline const QString ImportReqsHelp = QStringLiteral(
    "import-reqs FILE.kvf DOCUMENT -o OUT.kvf [--preceded newline|period] [--separator period|colon|newline]\n"
    "              [--only-tags TAG,...]   add the requirements tagged in a text, .docx, .odt, .md, .html, .rtf or "
    ".pdf");
inline const QString ImportNodesHelp = QStringLiteral(
    "import-nodes FILE.kvf TREE NODES.txt -o OUT.kvf   add a root node to TREE per line TAG:COMPONENT[behavior]");
inline const QString PrecededOptionHelp = QStringLiteral("with import-reqs: what precedes a tag (newline)");
inline const QString SeparatorOptionHelp = QStringLiteral("with import-reqs: what ends a tag (colon)");
inline const QString OnlyTagsOptionHelp = QStringLiteral("with import-reqs: import only these tags");
inline const QString MarkIntegrationHelp =
    QStringLiteral("mark integration FILE DBT       print the integration points of a DBT");
inline const QString MarkMissingHelp =
    QStringLiteral("mark missing FILE DBT           print the roots whose precondition is missing");
inline const QString MarkMatchesHelp =
    QStringLiteral("mark matches FILE DBT NODEID    print a node and the nodes that match it");
inline const QString IntegrateNextHelp =
    QStringLiteral("integrate next FILE DBT NODEID -o OUT  graft the first matching RBT root onto the node");
inline const QString IntegrateThisHelp =
    QStringLiteral("integrate this FILE DBT NODEID -o OUT  graft the RBT of this root onto its first match");
inline const QString CopyRbtHelp = QStringLiteral("copy-rbt FILE DBT RBT -o OUT    copy an RBT into a DBT");
inline const QString LayoutHelp = QStringLiteral(
    "layout FILE TREE -o OUT [--subtree NODEID]  arrange all trees of TREE side by side, or one subtree");
inline const QString SubtreeOptionHelp = QStringLiteral("with layout: the node whose subtree is arranged");
inline const QString RenderHelp = QStringLiteral(
    "render FILE TREE -o OUT.png|OUT.svg|OUT.pdf [--scale S] [--tile WxH] [--poster CxR]  draw a tree as its window "
    "shows it");
inline const QString ScaleOptionHelp = QStringLiteral("with render: the scale of a PNG picture (1 = 100 %)");
inline const QString TileOptionHelp = QStringLiteral("with render: numbered PNG tiles of at most WIDTHxHEIGHT pixels");
inline const QString PosterOptionHelp = QStringLiteral("with render: a PDF poster of COLUMNSxROWS A4 pages");
inline const QString ReportHelp = QStringLiteral(
    "report FILE.kvf [--version V] [--format html|csv|json] -o OUT   traceability of the requirements to the design");
inline const QString FormatOptionHelp = QStringLiteral("with report: html, csv or json");
inline const QString SolutionVersionOptionHelp = QStringLiteral("with report: the version to report on");
inline const QString ExportReqifHelp =
    QStringLiteral("export-reqif FILE.kvf -o OUT.reqif   write every version's requirements as ReqIF");
inline const QString ImportReqifHelp =
    QStringLiteral("import-reqif FILE.kvf IN.reqif -o OUT.kvf [--update] [--module NAME]\n"
                   "              add the requirements of a ReqIF file; --update also changes differing descriptions");
inline const QString UpdateOptionHelp = QStringLiteral("with import-reqif: change descriptions that differ");
inline const QString ModuleOptionHelp = QStringLiteral("with import-reqif: import only this module");
inline const QString SimulateHelp = QStringLiteral(
    "simulate FILE TREE [--events FILE] [--max-steps N] [--seed S] [--choose random|first]  run TREE on the built-in "
    "simulator");
inline const QString EventsOptionHelp = QStringLiteral("with simulate: the events, one 'COMPONENT event' a line");
inline const QString MaxStepsOptionHelp = QStringLiteral("with simulate: stop after so many steps (1000)");
inline const QString SeedOptionHelp = QStringLiteral("with simulate: the seed of random choices");
inline const QString ChooseOptionHelp = QStringLiteral("with simulate: which enabled step fires, random or first");
inline const QString NewHelp = QStringLiteral("new OUT.kvf                     write a new, empty solution");
inline const QString ShowHelp =
    QStringLiteral("show FILE.kvf                   print the solution as the explorer shows it");
inline const QString ResaveHelp = QStringLiteral("resave FILE.kvf -o OUT.kvf      load a solution and save it again");
inline const QString TranslateSalHelp =
    QStringLiteral("translate sal FILE TREE [-o OUT]  print or write TREE as a SAL model");
inline const QString TranslateSalSetsHelp =
    QStringLiteral("translate sal-sets FILE TREE [--declarations FILE] [--init FILE] [--set-context FILE] [-o OUT]  "
                   "the same, with set expressions");
inline const QString TranslateUppaalHelp =
    QStringLiteral("translate uppaal FILE TREE [-o OUT]  print or write TREE as an UPPAAL network");
inline const QString TranslateXmlHelp =
    QStringLiteral("translate xml FILE TREE [-o OUT]  print or write TREE as plain XML");
inline const QString ModeOptionHelp = QStringLiteral("with translate: message mode 1, 2 or 4");
inline const QString FailureViewsOptionHelp = QStringLiteral("with translate: use failure views");
inline const QString DeclarationsOptionHelp = QStringLiteral("with translate sal-sets: the attribute declarations");
inline const QString SetContextOptionHelp =
    QStringLiteral("with translate sal-sets: write the set context the model calls (set.sal)");
inline const QString InitOptionHelp = QStringLiteral("with translate sal-sets: the initialisation file");
inline const QString IntRangeOptionHelp =
    QStringLiteral("with translate: LOW..HIGH, the range of integer attributes that no declaration bounds (0..255)");
inline const QString PropertiesOptionHelp =
    QStringLiteral("with translate: add reachability of every leaf and freedom from deadlock to check");
inline const QString TimesOptionHelp = QStringLiteral("with translate: print the times to standard error");
inline const QString SetParserOptionHelp = QStringLiteral("with translate sal-sets: the set parser's command");
inline const QString BehaviorParserOptionHelp = QStringLiteral("with translate xml: the behavior parser's command");
inline const QString ScratchOptionHelp = QStringLiteral("with translate: the folder for the parsers' files");
inline const QString TranslateZephHelp =
    QStringLiteral("translate zeph FILE TREE [--max-events N] [--show-node-ids]  print TREE as a ZEPH program");
inline const QString MaxEventsOptionHelp = QStringLiteral("with translate zeph: bound on external events (10)");
inline const QString ShowNodeIdsOptionHelp = QStringLiteral("with translate zeph: label every node");
inline const QString VerifyHelp = QStringLiteral(
    "verify FILE TREE [--max-states N] [--timeout SECONDS] [--json] [--ltl FORMULA]  check TREE with Spin for "
    "deadlocks and unreachable nodes");
inline const QString MaxStatesOptionHelp = QStringLiteral("with verify: stop after so many states (1000000)");
inline const QString TimeoutOptionHelp = QStringLiteral("with verify: stop after so many seconds (600)");
inline const QString JsonOptionHelp = QStringLiteral("with verify: print the findings as JSON");
inline const QString LtlOptionHelp = QStringLiteral("with verify: a property over component states to check");

} // namespace CliTexts
