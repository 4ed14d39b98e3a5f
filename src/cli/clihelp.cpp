#include "clihelp.h"

#include "clitexts.h"

namespace Cli {
namespace {

// Examples are run by the tests from a folder that holds a copy of
// examples/, with verdantis-cli on the PATH: keep them runnable.
QList<CommandHelp> makeTable()
{
    return {
        {QStringLiteral("apply"), QStringLiteral("(FILE.kvf | --new) OPS.txt -o OUT.kvf [--raw]"),
         QStringLiteral("Runs operation records, one a line, as the user's commands would: each is checked, "
                        "messages go to standard error as CAPTION: TEXT, and questions are answered yes. "
                        "With --new the records start from a new solution; with --raw they are applied as "
                        "the server relays them, without the checks. Lines \"undo;\" and \"redo;\" act as the "
                        "user's Undo and Redo at that point. Exits with 4 when some lines were refused (the "
                        "output is still written)."),
         QStringLiteral("printf 'addreq;tag:R6;desc:A bell rings when the door opens.;\\n' > ops.txt\n"
                        "verdantis-cli apply examples/door.kvf ops.txt -o door.kvf")},
        {QStringLiteral("copy-rbt"), QStringLiteral("FILE DBT RBT -o OUT"),
         QStringLiteral("Copies the requirement tree RBT into the design tree DBT, beside the trees already there."),
         QStringLiteral("verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf")},
        {QStringLiteral("derive cbt"), QStringLiteral("FILE TREE COMPONENT"),
         QStringLiteral("Prints the component behavior tree of COMPONENT: the nodes of TREE that belong to "
                        "it, in tree order, one a line."),
         QStringLiteral("verdantis-cli derive cbt examples/door.kvf Door TIMER")},
        {QStringLiteral("derive cid"), QStringLiteral("FILE TREE COMPONENT"),
         QStringLiteral("Prints the interface boxes of COMPONENT: every state change with the node that "
                        "triggered it and the nodes that follow it."),
         QStringLiteral("verdantis-cli derive cid examples/door.kvf Door DOOR")},
        {QStringLiteral("derive cin"), QStringLiteral("FILE TREE"),
         QStringLiteral("Prints the component interaction network of TREE: one box per component, then "
                        "one link with its points wherever a node of one component has a child of another."),
         QStringLiteral("verdantis-cli derive cin examples/door.kvf Door")},
        {QStringLiteral("evt"), QStringLiteral("FILE TREE TREE [TREE...] -o OUT"),
         QStringLiteral("Builds an evolution tree over trees of several versions and adds it to the "
                        "solution. Name trees of other versions than the current one by #ID (see show)."),
         QStringLiteral("verdantis-cli show examples/door.kvf\n"
                        "verdantis-cli evt examples/door.kvf '#56' Door -o door.kvf")},
        {QStringLiteral("help"), QStringLiteral("[COMMAND]"),
         QStringLiteral("Without a command, lists every command; with one, says what it does and shows an example."),
         QStringLiteral("verdantis-cli help derive cbt")},
        {QStringLiteral("import-nodes"), QStringLiteral("FILE.kvf TREE NODES.txt -o OUT.kvf"),
         QStringLiteral("Adds a root node to TREE for every line TAG:COMPONENT[behavior] of NODES.txt. "
                        "Behaviors are written [state], ?condition?, ??event??, ???guard???, >>input<<, "
                        "<<output>>, >in<, <out>, ||all or []any."),
         QStringLiteral(
             "verdantis-cli import-nodes examples/microwave.kvf R3 examples/microwave-nodes.txt -o oven.kvf")},
        {QStringLiteral("import-reqif"), QStringLiteral("FILE.kvf IN.reqif -o OUT.kvf [--update] [--module NAME]"),
         QStringLiteral("Adds the requirements of a ReqIF file from a requirements tool to the current version: "
                        "the tag from an attribute named Tag (or ReqIF.ForeignID, ID), the description from one "
                        "named Description (or ReqIF.Text, Text). A tag that exists keeps its description unless "
                        "--update is given; differing ones are listed and the exit code is 4. --module "
                        "takes the requirements of one module only."),
         QStringLiteral("verdantis-cli export-reqif examples/door.kvf -o door.reqif\n"
                        "verdantis-cli import-reqif examples/door.kvf door.reqif -o door-again.kvf")},
        {QStringLiteral("export-reqif"), QStringLiteral("FILE.kvf -o OUT.reqif"),
         QStringLiteral("Writes the requirements of every version as a ReqIF file for requirements tools: one "
                        "SPEC-OBJECT per requirement with Tag and Description, one SPECIFICATION per version."),
         QStringLiteral("verdantis-cli export-reqif examples/door.kvf -o door.reqif")},
        {QStringLiteral("report"), QStringLiteral("FILE.kvf [--version V] [--format html|csv|json] -o OUT"),
         QStringLiteral("Traceability: for every requirement its RBTs, the design-tree nodes that carry its tag "
                        "and whether it is covered, only in RBTs or not covered; every design-tree node without "
                        "a requirement; the requirements each component serves. HTML is one file with the "
                        "design trees drawn and the rows linked to their nodes; the format follows the output's "
                        "extension unless --format says otherwise."),
         QStringLiteral("verdantis-cli report examples/door.kvf -o door-trace.html")},
        {QStringLiteral("import-reqs"),
         QStringLiteral("FILE.kvf DOCUMENT -o OUT.kvf [--preceded newline|period] [--separator period|colon|newline] "
                        "[--only-tags TAG,...]"),
         QStringLiteral("Picks the requirements out of a text, such as lines \"R1: The door opens.\", and adds "
                        "them. --preceded is what comes before a tag (a line break), --separator what ends it "
                        "(a colon); --only-tags takes only the tags listed. Tags already in the solution are "
                        "refused with a message. Texts may be UTF-8 or Windows-1252; .docx, .odt, .md, .html "
                        "and .rtf documents are read through pandoc and .pdf through pdftotext, and tables with "
                        "a column of tags and a column of texts give one requirement a row."),
         QStringLiteral("verdantis-cli import-reqs examples/microwave.kvf examples/microwave-requirements.txt "
                        "--only-tags R4,R5 -o oven.kvf")},
        {QStringLiteral("integrate next"), QStringLiteral("FILE DBT NODEID -o OUT"),
         QStringLiteral("Grafts the first RBT of DBT whose root matches node NODEID onto that node."),
         QStringLiteral("verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf\n"
                        "verdantis-cli integrate next oven.kvf Oven 33 -o oven.kvf")},
        {QStringLiteral("integrate this"), QStringLiteral("FILE DBT NODEID -o OUT"),
         QStringLiteral("Grafts the RBT whose root is NODEID onto the first node of DBT that matches it."),
         QStringLiteral("verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf\n"
                        "verdantis-cli mark integration oven.kvf Oven")},
        {QStringLiteral("layout"), QStringLiteral("FILE TREE -o OUT [--subtree NODEID]"),
         QStringLiteral("Arranges every tree in TREE's window side by side, as \"Rearrange All\" does, or "
                        "with --subtree only the subtree under one node, as \"Arrange Tree\" does."),
         QStringLiteral("verdantis-cli layout examples/door.kvf Door -o door.kvf")},
        {QStringLiteral("mark integration"), QStringLiteral("FILE DBT"),
         QStringLiteral("Prints the integration points of DBT, the nodes where another of its trees can be "
                        "grafted, one \"ID LABEL\" a line."),
         QStringLiteral("verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf\n"
                        "verdantis-cli mark integration oven.kvf Oven")},
        {QStringLiteral("mark matches"), QStringLiteral("FILE DBT NODEID"),
         QStringLiteral("Prints node NODEID and the nodes of DBT that match it, one \"ID LABEL\" a line."),
         QStringLiteral("verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf\n"
                        "verdantis-cli mark matches oven.kvf Oven 33")},
        {QStringLiteral("mark missing"), QStringLiteral("FILE DBT"),
         QStringLiteral("Prints the roots of DBT whose precondition no node matches, one \"ID LABEL\" a line."),
         QStringLiteral("verdantis-cli mark missing examples/microwave.kvf Oven")},
        {QStringLiteral("new"), QStringLiteral("OUT.kvf"), QStringLiteral("Writes a new, empty solution."),
         QStringLiteral("verdantis-cli new empty.kvf")},
        {QStringLiteral("render"),
         QStringLiteral("FILE TREE -o OUT.png|OUT.svg|OUT.pdf [--scale S] [--tile WxH] [--poster CxR]"),
         QStringLiteral("Draws TREE as its window shows it, into a PNG picture (at scale S, 1 = 100 %), an SVG "
                        "drawing or a PDF page. No display is needed. --tile writes a large picture as numbered "
                        "tiles; --poster spreads a PDF over C x R pages."),
         QStringLiteral("verdantis-cli render examples/door.kvf Door -o door.png --scale 2")},
        {QStringLiteral("simulate"),
         QStringLiteral("FILE TREE [--events FILE] [--max-steps N] [--seed S] [--choose random|first]"),
         QStringLiteral("Runs TREE on the built-in simulator: one \"STEP n: #ID LABEL\" line a step, then the "
                        "component states that changed. Events are read one a line from --events (a component "
                        "and an event name); when nothing can move it prints what each thread waits for."),
         QStringLiteral("verdantis-cli simulate examples/door.kvf Door --max-steps 20")},
        {QStringLiteral("resave"), QStringLiteral("FILE.kvf -o OUT.kvf"),
         QStringLiteral("Loads a solution and saves it again; a damaged file loses what could not be read, "
                        "and a warning says how much."),
         QStringLiteral("verdantis-cli resave examples/door.kvf -o door.kvf")},
        {QStringLiteral("set-current"), QStringLiteral("FILE.kvf VERSIONID -o OUT.kvf"),
         QStringLiteral("Makes the version with id VERSIONID the current one (see show for the ids)."),
         QStringLiteral("verdantis-cli set-current examples/door.kvf 3 -o door.kvf")},
        {QStringLiteral("show"), QStringLiteral("FILE.kvf"),
         QStringLiteral("Prints the solution as the solution explorer shows it, one item a line, indented "
                        "by two blanks per level. An item shown under another element than its owner starts "
                        "with \"~ \"."),
         QStringLiteral("verdantis-cli show examples/door.kvf")},
        {QStringLiteral("translate sal"),
         QStringLiteral(
             "FILE TREE [-o OUT] [--mode 1|2|4] [--failure-views] [--int-range LOW..HIGH] [--properties] [--times]"),
         QStringLiteral("Translates TREE into a SAL model. With -o the SAL context is named after the file. "
                        "--mode: 1 no message blocking, 2 internal messages before external ones, 4 no "
                        "buffering. A translation error is printed as \"Parsing error: ...\" and exits with 3."),
         QStringLiteral("verdantis-cli translate sal examples/door.kvf Door -o door.sal")},
        {QStringLiteral("translate sal-sets"), QStringLiteral("FILE TREE [--declarations FILE] [--init FILE] [-o OUT]"),
         QStringLiteral("Translates TREE into a SAL model with set expressions, read through the set parser, "
                        "with the attribute declarations and their initial values."),
         QStringLiteral("verdantis-cli translate sal-sets examples/door.kvf Door -o door.sal")},
        {QStringLiteral("translate uppaal"),
         QStringLiteral("FILE TREE [-o OUT] [--mode 1|2|4] [--int-range LOW..HIGH] [--properties]"),
         QStringLiteral("Translates TREE into an UPPAAL network of timed automata (XML)."),
         QStringLiteral("verdantis-cli translate uppaal examples/door.kvf Door -o door.xml")},
        {QStringLiteral("translate xml"), QStringLiteral("FILE TREE [-o OUT]"),
         QStringLiteral("Writes TREE as plain XML, its behaviors read through the behavior parser."),
         QStringLiteral("verdantis-cli translate xml examples/door.kvf Door -o door-tree.xml")},
        {QStringLiteral("translate zeph"), QStringLiteral("FILE TREE [--max-events N] [--show-node-ids]"),
         QStringLiteral("Prints TREE as a program for the ZEPH simulator. --max-events bounds the external "
                        "events (10); --show-node-ids labels every node so that a simulator can report it."),
         QStringLiteral("verdantis-cli translate zeph examples/door.kvf Door --show-node-ids > door.zeph")},
        {QStringLiteral("verify"),
         QStringLiteral("FILE TREE [--max-states N] [--timeout SECONDS] [--json] [--ltl \"FORMULA\"]"),
         QStringLiteral("Checks TREE with Spin for deadlocks and nodes that can never be reached, and for "
                        "an LTL property over component states written in the tree's own names. Exits with 0 "
                        "when nothing was found, 5 when something was, 3 for a translation error and 6 when "
                        "the checker is missing or a limit cut the search."),
         QStringLiteral("verdantis-cli verify examples/door.kvf Door --max-states 100000")},
    };
}

QString indented(const QString &text)
{
    QString out;
    for (const QString &line : text.split(u'\n'))
        out += QStringLiteral("  ") + line + u'\n';
    return out;
}

// Long sentences are broken at blanks so that a terminal shows them whole.
QString wrapped(const QString &text, int width)
{
    QString out;
    QString line;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            out += line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return out + line + u'\n';
}

} // namespace

const QList<CommandHelp> &HelpTable()
{
    static const QList<CommandHelp> table = makeTable();
    return table;
}

const CommandHelp *FindHelp(const QString &command)
{
    for (const CommandHelp &h : HelpTable()) {
        if (h.command == command)
            return &h;
    }
    return nullptr;
}

QString HelpText(const CommandHelp &help)
{
    return CliTexts::CommandHelp(help.command, help.synopsis, wrapped(help.description, 78), indented(help.example));
}

} // namespace Cli
