#include "clihelp.h"

#include "clitexts.h"

namespace Cli {
namespace {

// Examples are run by the tests from a folder that holds a copy of
// examples/, with verdantis-cli on the PATH: keep them runnable.
QList<CommandHelp> makeTable()
{
    return {
        {u"apply"_qs, u"(FILE.kvf | --new) OPS.txt -o OUT.kvf [--raw]"_qs,
         u"Runs operation records, one a line, as the user's commands would: each is checked, "
         "messages go to standard error as CAPTION: TEXT, and questions are answered yes. "
         "With --new the records start from a new solution; with --raw they are applied as "
         "the server relays them, without the checks. Lines \"undo;\" and \"redo;\" act as the "
         "user's Undo and Redo at that point. Exits with 4 when some lines were refused (the "
         "output is still written)."_qs,
         u"printf 'addreq;tag:R6;desc:A bell rings when the door opens.;\\n' > ops.txt\n"
         "verdantis-cli apply examples/door.kvf ops.txt -o door.kvf"_qs},
        {u"copy-rbt"_qs, u"FILE DBT RBT -o OUT"_qs,
         u"Copies the requirement tree RBT into the design tree DBT, beside the trees already there."_qs,
         u"verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf"_qs},
        {u"derive cbt"_qs, u"FILE TREE COMPONENT"_qs,
         u"Prints the component behavior tree of COMPONENT: the nodes of TREE that belong to "
         "it, in tree order, one a line."_qs,
         u"verdantis-cli derive cbt examples/door.kvf Door TIMER"_qs},
        {u"derive cid"_qs, u"FILE TREE COMPONENT"_qs,
         u"Prints the interface boxes of COMPONENT: every state change with the node that "
         "triggered it and the nodes that follow it."_qs,
         u"verdantis-cli derive cid examples/door.kvf Door DOOR"_qs},
        {u"derive cin"_qs, u"FILE TREE"_qs,
         u"Prints the component interaction network of TREE: one box per component, then "
         "one link with its points wherever a node of one component has a child of another."_qs,
         u"verdantis-cli derive cin examples/door.kvf Door"_qs},
        {u"evt"_qs, u"FILE TREE TREE [TREE...] -o OUT"_qs,
         u"Builds an evolution tree over trees of several versions and adds it to the "
         "solution. Name trees of other versions than the current one by #ID (see show)."_qs,
         u"verdantis-cli show examples/door.kvf\n"
         "verdantis-cli evt examples/door.kvf '#56' Door -o door.kvf"_qs},
        {u"help"_qs, u"[COMMAND]"_qs,
         u"Without a command, lists every command; with one, says what it does and shows an example."_qs,
         u"verdantis-cli help derive cbt"_qs},
        {u"import-nodes"_qs, u"FILE.kvf TREE NODES.txt -o OUT.kvf"_qs,
         u"Adds a root node to TREE for every line TAG:COMPONENT[behavior] of NODES.txt. "
         "Behaviors are written [state], ?condition?, ??event??, ???guard???, >>input<<, "
         "<<output>>, >in<, <out>, ||all or []any."_qs,
         u"verdantis-cli import-nodes examples/microwave.kvf R3 examples/microwave-nodes.txt -o oven.kvf"_qs},
        {u"import-reqif"_qs, u"FILE.kvf IN.reqif -o OUT.kvf [--update] [--module NAME]"_qs,
         u"Adds the requirements of a ReqIF file from a requirements tool to the current version: "
         "the tag from an attribute named Tag (or ReqIF.ForeignID, ID), the description from one "
         "named Description (or ReqIF.Text, Text). A tag that exists keeps its description unless "
         "--update is given; differing ones are listed and the exit code is 4. --module "
         "takes the requirements of one module only."_qs,
         u"verdantis-cli export-reqif examples/door.kvf -o door.reqif\n"
         "verdantis-cli import-reqif examples/door.kvf door.reqif -o door-again.kvf"_qs},
        {u"export-reqif"_qs, u"FILE.kvf -o OUT.reqif"_qs,
         u"Writes the requirements of every version as a ReqIF file for requirements tools: one "
         "SPEC-OBJECT per requirement with Tag and Description, one SPECIFICATION per version."_qs,
         u"verdantis-cli export-reqif examples/door.kvf -o door.reqif"_qs},
        {u"report"_qs, u"FILE.kvf [--version V] [--format html|csv|json] -o OUT"_qs,
         u"Traceability: for every requirement its RBTs, the design-tree nodes that carry its tag "
         "and whether it is covered, only in RBTs or not covered; every design-tree node without "
         "a requirement; the requirements each component serves. HTML is one file with the "
         "design trees drawn and the rows linked to their nodes; the format follows the output's "
         "extension unless --format says otherwise."_qs,
         u"verdantis-cli report examples/door.kvf -o door-trace.html"_qs},
        {u"import-reqs"_qs,
         u"FILE.kvf DOCUMENT -o OUT.kvf [--preceded newline|period] [--separator period|colon|newline] "
         "[--only-tags TAG,...]"_qs,
         u"Picks the requirements out of a text, such as lines \"R1: The door opens.\", and adds "
         "them. --preceded is what comes before a tag (a line break), --separator what ends it "
         "(a colon); --only-tags takes only the tags listed. Tags already in the solution are "
         "refused with a message. Texts may be UTF-8 or Windows-1252; .docx, .odt, .md, .html "
         "and .rtf documents are read through pandoc and .pdf through pdftotext, and tables with "
         "a column of tags and a column of texts give one requirement a row."_qs,
         u"verdantis-cli import-reqs examples/microwave.kvf examples/microwave-requirements.txt "
         "--only-tags R4,R5 -o oven.kvf"_qs},
        {u"integrate next"_qs, u"FILE DBT NODEID -o OUT"_qs,
         u"Grafts the first RBT of DBT whose root matches node NODEID onto that node."_qs,
         u"verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf\n"
         "verdantis-cli integrate next oven.kvf Oven 33 -o oven.kvf"_qs},
        {u"integrate this"_qs, u"FILE DBT NODEID -o OUT"_qs,
         u"Grafts the RBT whose root is NODEID onto the first node of DBT that matches it."_qs,
         u"verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf\n"
         "verdantis-cli mark integration oven.kvf Oven"_qs},
        {u"layout"_qs, u"FILE TREE -o OUT [--subtree NODEID]"_qs,
         u"Arranges every tree in TREE's window side by side, as \"Rearrange All\" does, or "
         "with --subtree only the subtree under one node, as \"Arrange Tree\" does."_qs,
         u"verdantis-cli layout examples/door.kvf Door -o door.kvf"_qs},
        {u"mark integration"_qs, u"FILE DBT"_qs,
         u"Prints the integration points of DBT, the nodes where another of its trees can be "
         "grafted, one \"ID LABEL\" a line."_qs,
         u"verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf\n"
         "verdantis-cli mark integration oven.kvf Oven"_qs},
        {u"mark matches"_qs, u"FILE DBT NODEID"_qs,
         u"Prints node NODEID and the nodes of DBT that match it, one \"ID LABEL\" a line."_qs,
         u"verdantis-cli copy-rbt examples/microwave.kvf Oven R3 -o oven.kvf\n"
         "verdantis-cli mark matches oven.kvf Oven 33"_qs},
        {u"mark missing"_qs, u"FILE DBT"_qs,
         u"Prints the roots of DBT whose precondition no node matches, one \"ID LABEL\" a line."_qs,
         u"verdantis-cli mark missing examples/microwave.kvf Oven"_qs},
        {u"new"_qs, u"OUT.kvf"_qs, u"Writes a new, empty solution."_qs, u"verdantis-cli new empty.kvf"_qs},
        {u"render"_qs, u"FILE TREE -o OUT.png|OUT.svg|OUT.pdf [--scale S] [--tile WxH] [--poster CxR]"_qs,
         u"Draws TREE as its window shows it, into a PNG picture (at scale S, 1 = 100 %), an SVG "
         "drawing or a PDF page. No display is needed. --tile writes a large picture as numbered "
         "tiles; --poster spreads a PDF over C x R pages."_qs,
         u"verdantis-cli render examples/door.kvf Door -o door.png --scale 2"_qs},
        {u"simulate"_qs, u"FILE TREE [--events FILE] [--max-steps N] [--seed S] [--choose random|first]"_qs,
         u"Runs TREE on the built-in simulator: one \"STEP n: #ID LABEL\" line a step, then the "
         "component states that changed. Events are read one a line from --events (a component "
         "and an event name); when nothing can move it prints what each thread waits for."_qs,
         u"verdantis-cli simulate examples/door.kvf Door --max-steps 20"_qs},
        {u"resave"_qs, u"FILE.kvf -o OUT.kvf"_qs,
         u"Loads a solution and saves it again; a damaged file loses what could not be read, "
         "and a warning says how much."_qs,
         u"verdantis-cli resave examples/door.kvf -o door.kvf"_qs},
        {u"set-current"_qs, u"FILE.kvf VERSIONID -o OUT.kvf"_qs,
         u"Makes the version with id VERSIONID the current one (see show for the ids)."_qs,
         u"verdantis-cli set-current examples/door.kvf 3 -o door.kvf"_qs},
        {u"show"_qs, u"FILE.kvf"_qs,
         u"Prints the solution as the solution explorer shows it, one item a line, indented "
         "by two blanks per level. An item shown under another element than its owner starts "
         "with \"~ \"."_qs,
         u"verdantis-cli show examples/door.kvf"_qs},
        {u"translate sal"_qs,
         u"FILE TREE [-o OUT] [--mode 1|2|4] [--failure-views] [--int-range LOW..HIGH] [--properties] [--times]"_qs,
         u"Translates TREE into a SAL model. With -o the SAL context is named after the file. "
         "--mode: 1 no message blocking, 2 internal messages before external ones, 4 no "
         "buffering. A translation error is printed as \"Parsing error: ...\" and exits with 3."_qs,
         u"verdantis-cli translate sal examples/door.kvf Door -o door.sal"_qs},
        {u"translate sal-sets"_qs, u"FILE TREE [--declarations FILE] [--init FILE] [-o OUT]"_qs,
         u"Translates TREE into a SAL model with set expressions, read through the set parser, "
         "with the attribute declarations and their initial values."_qs,
         u"verdantis-cli translate sal-sets examples/door.kvf Door -o door.sal"_qs},
        {u"translate uppaal"_qs, u"FILE TREE [-o OUT] [--mode 1|2|4] [--int-range LOW..HIGH] [--properties]"_qs,
         u"Translates TREE into an UPPAAL network of timed automata (XML)."_qs,
         u"verdantis-cli translate uppaal examples/door.kvf Door -o door.xml"_qs},
        {u"translate xml"_qs, u"FILE TREE [-o OUT]"_qs,
         u"Writes TREE as plain XML, its behaviors read through the behavior parser."_qs,
         u"verdantis-cli translate xml examples/door.kvf Door -o door-tree.xml"_qs},
        {u"translate zeph"_qs, u"FILE TREE [--max-events N] [--show-node-ids]"_qs,
         u"Prints TREE as a program for the ZEPH simulator. --max-events bounds the external "
         "events (10); --show-node-ids labels every node so that a simulator can report it."_qs,
         u"verdantis-cli translate zeph examples/door.kvf Door --show-node-ids > door.zeph"_qs},
        {u"verify"_qs, u"FILE TREE [--max-states N] [--timeout SECONDS] [--json] [--ltl \"FORMULA\"]"_qs,
         u"Checks TREE with Spin for deadlocks and nodes that can never be reached, and for "
         "an LTL property over component states written in the tree's own names. Exits with 0 "
         "when nothing was found, 5 when something was, 3 for a translation error and 6 when "
         "the checker is missing or a limit cut the search."_qs,
         u"verdantis-cli verify examples/door.kvf Door --max-states 100000"_qs},
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
