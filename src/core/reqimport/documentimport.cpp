#include "documentimport.h"

#include "reqimport.h"
#include "reqimporttexts.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace DocumentImport {

namespace {

// pandoc's reader for each extension it handles here
QString pandocFormat(const QString &suffix)
{
    static const QHash<QString, QString> formats{
        {QStringLiteral("docx"), QStringLiteral("docx")},   {QStringLiteral("odt"), QStringLiteral("odt")},
        {QStringLiteral("md"), QStringLiteral("markdown")}, {QStringLiteral("markdown"), QStringLiteral("markdown")},
        {QStringLiteral("html"), QStringLiteral("html")},   {QStringLiteral("htm"), QStringLiteral("html")},
        {QStringLiteral("xhtml"), QStringLiteral("html")},  {QStringLiteral("rtf"), QStringLiteral("rtf")},
    };
    return formats.value(suffix);
}

// A converter that has not answered after this long is stuck on the document.
constexpr int kConverterTimeoutMs = 120000;

// ---- pandoc's document tree ---------------------------------------------

class CPandocText
{
public:
    explicit CPandocText(const CTagSpecs &rules) : m_rules(rules) {}

    void Blocks(const QJsonArray &blocks)
    {
        for (const QJsonValue &b : blocks)
            Block(b.toObject());
    }
    QString Result() const { return m_text; }

private:
    void paragraph(const QString &text)
    {
        const QString t = text.trimmed();
        if (t.isEmpty())
            return;
        if (!m_text.isEmpty())
            m_text += QStringLiteral("\n\n");
        m_text += t;
    }

    static QString inlines(const QJsonArray &items)
    {
        QString out;
        for (const QJsonValue &v : items)
            inlineInto(v.toObject(), out);
        return out;
    }

    static void inlineInto(const QJsonObject &o, QString &out)
    {
        const QString t = o.value(u"t").toString();
        const QJsonValue c = o.value(u"c");
        if (t == u"Str")
            out += c.toString();
        else if (t == u"Space" || t == u"SoftBreak")
            out += u' ';
        else if (t == u"LineBreak")
            out += u'\n';
        else if (t == u"Emph" || t == u"Strong" || t == u"Underline" || t == u"Strikeout" || t == u"Superscript"
                 || t == u"Subscript" || t == u"SmallCaps")
            out += inlines(c.toArray());
        else if (t == u"Quoted") // [kind, inlines]
            out += u'"' + inlines(c.toArray().at(1).toArray()) + u'"';
        else if (t == u"Cite" || t == u"Span") // [citations or attributes, inlines]
            out += inlines(c.toArray().at(1).toArray());
        else if (t == u"Link" || t == u"Image") // [attributes, inlines, target]
            out += inlines(c.toArray().at(1).toArray());
        else if (t == u"Code" || t == u"Math") // [attributes or kind, text]
            out += c.toArray().at(1).toString();
        // notes and raw pieces of other formats carry no requirement text
    }

    // A cell's text: its blocks' inlines joined by blanks.
    static QString cellText(const QJsonArray &cell)
    {
        QStringList parts;
        for (const QJsonValue &b : cell.at(4).toArray()) {
            const QJsonObject o = b.toObject();
            const QString t = o.value(u"t").toString();
            if (t == u"Plain" || t == u"Para")
                parts << inlines(o.value(u"c").toArray());
        }
        return RequirementScan::Normalise(parts.join(u' '));
    }

    static void rowsInto(const QJsonArray &rows, QList<QStringList> &out)
    {
        for (const QJsonValue &r : rows) {
            QStringList cells;
            for (const QJsonValue &cell : r.toArray().at(1).toArray())
                cells << cellText(cell.toArray());
            out << cells;
        }
    }

    void table(const QJsonArray &c)
    {
        QList<QStringList> rows;
        rowsInto(c.at(3).toArray().at(1).toArray(), rows);
        for (const QJsonValue &body : c.at(4).toArray()) {
            const QJsonArray b = body.toArray();
            rowsInto(b.at(2).toArray(), rows);
            rowsInto(b.at(3).toArray(), rows);
        }
        rowsInto(c.at(5).toArray().at(1).toArray(), rows);
        qsizetype columns = 0;
        for (const QStringList &r : rows)
            columns = std::max(columns, r.size());
        // the tag column: the first where most rows hold a tag
        qsizetype tagColumn = -1;
        for (qsizetype col = 0; col < columns && tagColumn < 0; ++col) {
            int tags = 0;
            for (const QStringList &r : rows)
                tags += col < r.size() && LooksLikeTag(r[col]);
            if (tags * 2 >= rows.size() && tags > 0)
                tagColumn = col;
        }
        if (tagColumn < 0) {
            for (const QStringList &r : rows)
                paragraph(r.join(u' '));
            return;
        }
        // the text column: the other one with the most words in it
        qsizetype textColumn = -1;
        qsizetype longest = -1;
        for (qsizetype col = 0; col < columns; ++col) {
            if (col == tagColumn)
                continue;
            qsizetype length = 0;
            for (const QStringList &r : rows)
                length += col < r.size() ? r[col].size() : 0;
            if (length > longest) {
                longest = length;
                textColumn = col;
            }
        }
        for (const QStringList &r : rows) {
            // rows without a tag are headings of the table
            if (tagColumn >= r.size() || !LooksLikeTag(r[tagColumn]))
                continue;
            const QString text = textColumn >= 0 && textColumn < r.size() ? r[textColumn] : QString();
            paragraph(TagParagraph(r[tagColumn], text));
        }
    }

public:
    QString TagParagraph(const QString &tag, const QString &text) const
    {
        if (m_rules.separator == u'\n')
            return tag + u'\n' + text;
        return tag + m_rules.separator + u' ' + text;
    }

    void Block(const QJsonObject &o)
    {
        const QString t = o.value(u"t").toString();
        const QJsonValue c = o.value(u"c");
        if (t == u"Para" || t == u"Plain") {
            paragraph(inlines(c.toArray()));
        } else if (t == u"Header") { // [level, attributes, inlines]
            paragraph(inlines(c.toArray().at(2).toArray()));
        } else if (t == u"LineBlock") {
            QStringList lines;
            for (const QJsonValue &l : c.toArray())
                lines << inlines(l.toArray());
            paragraph(lines.join(u'\n'));
        } else if (t == u"CodeBlock") {
            paragraph(c.toArray().at(1).toString());
        } else if (t == u"BlockQuote") {
            Blocks(c.toArray());
        } else if (t == u"Div" || t == u"Figure") { // [attributes, (caption,) blocks]
            const QJsonArray a = c.toArray();
            Blocks(a.last().toArray());
        } else if (t == u"BulletList") {
            for (const QJsonValue &item : c.toArray())
                Blocks(item.toArray());
        } else if (t == u"OrderedList") { // [list attributes, items]
            for (const QJsonValue &item : c.toArray().at(1).toArray())
                Blocks(item.toArray());
        } else if (t == u"DefinitionList") { // [[term, [definitions]]]
            for (const QJsonValue &entry : c.toArray()) {
                const QJsonArray e = entry.toArray();
                paragraph(inlines(e.at(0).toArray()));
                for (const QJsonValue &d : e.at(1).toArray())
                    Blocks(d.toArray());
            }
        } else if (t == u"Table") {
            table(c.toArray());
        }
    }

private:
    const CTagSpecs &m_rules;
    QString m_text;
};

// Runs a converter; its standard output in out, or false with a reason.
bool runConverter(const QString &program, const QString &package, const QStringList &arguments, const QString &path,
                  QByteArray &out, QString *error)
{
    const QString executable = QStandardPaths::findExecutable(program);
    if (executable.isEmpty()) {
        if (error)
            *error = ReqImportTexts::ConverterMissing(QFileInfo(path).fileName(), program, package);
        return false;
    }
    QProcess p;
    p.setProgram(executable);
    p.setArguments(arguments);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start();
    if (!p.waitForStarted()) {
        if (error)
            *error = ReqImportTexts::ConverterMissing(QFileInfo(path).fileName(), program, package);
        return false;
    }
    if (!p.waitForFinished(kConverterTimeoutMs)) {
        p.kill();
        p.waitForFinished();
        if (error)
            *error = ReqImportTexts::ConverterFailed(
                QFileInfo(path).fileName(), program,
                QStringLiteral("it did not finish within %1 seconds").arg(kConverterTimeoutMs / 1000));
        return false;
    }
    out = p.readAllStandardOutput();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        // the converter's first line of complaint says what is wrong with the document
        QString complaint = QString::fromUtf8(p.readAllStandardError()).trimmed().section(u'\n', 0, 0).trimmed();
        if (complaint.isEmpty())
            complaint = QStringLiteral("it stopped with exit code %1").arg(p.exitCode());
        if (error)
            *error = ReqImportTexts::ConverterFailed(QFileInfo(path).fileName(), program, complaint);
        return false;
    }
    return true;
}

} // namespace

bool LooksLikeTag(const QString &cell)
{
    static const QRegularExpression shape(
        QStringLiteral("^(?=[^\\s]*\\p{L})(?=[^\\s]*\\d)[\\p{L}\\d][\\p{L}\\d._/-]{0,39}$"));
    return shape.match(cell.trimmed()).hasMatch();
}

Converter ConverterFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"pdf")
        return Converter::PdfToText;
    if (!pandocFormat(suffix).isEmpty())
        return Converter::Pandoc;
    return Converter::None;
}

QString FileFilter()
{
    return QStringLiteral("Requirements documents (*.txt *.docx *.odt *.md *.html *.htm *.rtf *.pdf);;"
                          "Text Files (*.txt);;All Files (*)");
}

bool TextFromPandocJson(const QByteArray &json, const CTagSpecs &rules, QString &text, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject() || !doc.object().value(u"blocks").isArray()) {
        if (error)
            *error = QStringLiteral("the converter's output is not a document tree (%1)").arg(parseError.errorString());
        return false;
    }
    CPandocText walker(rules);
    walker.Blocks(doc.object().value(u"blocks").toArray());
    text = walker.Result();
    return true;
}

QString TextFromLayout(const QString &layoutText, const CTagSpecs &rules)
{
    // a table row: a short indent, the tag, a gap of two or more blanks, the text
    static const QRegularExpression row(QStringLiteral("^[ ]{0,8}(\\S+)[ ]{2,}(\\S.*)$"));
    const CPandocText writer(rules);
    QStringList lines = QString(layoutText).replace(u'\f', u'\n').split(u'\n');
    for (QString &line : lines) {
        const QRegularExpressionMatch m = row.match(line);
        if (m.hasMatch() && LooksLikeTag(m.captured(1)))
            line = u'\n' + writer.TagParagraph(m.captured(1), m.captured(2).trimmed());
    }
    return lines.join(u'\n');
}

bool Read(const QString &path, const CTagSpecs &rules, QString &text, QString *error)
{
    const QFileInfo info(path);
    const Converter converter = ConverterFor(path);
    if (converter == Converter::None)
        return ReqImport::ReadText(path, text, error);
    if (!info.isFile() || !info.isReadable()) {
        if (error)
            *error = QStringLiteral("Cannot read %1: no such readable file").arg(path);
        return false;
    }
    if (info.size() > kMaxDocumentBytes) {
        if (error)
            *error = ReqImportTexts::DocumentTooLarge(info.fileName(), kMaxDocumentBytes);
        return false;
    }
    QByteArray out;
    if (converter == Converter::PdfToText) {
        if (!runConverter(QStringLiteral("pdftotext"), QStringLiteral("poppler-utils"),
                          {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                           info.absoluteFilePath(), QStringLiteral("-")},
                          path, out, error))
            return false;
        text = TextFromLayout(QString::fromUtf8(out), rules);
    } else {
        if (!runConverter(QStringLiteral("pandoc"), QStringLiteral("pandoc"),
                          {QStringLiteral("--from=") + pandocFormat(info.suffix().toLower()),
                           QStringLiteral("--to=json"), info.absoluteFilePath()},
                          path, out, error))
            return false;
        QString reason;
        if (!TextFromPandocJson(out, rules, text, &reason)) {
            if (error)
                *error = ReqImportTexts::ConverterFailed(info.fileName(), QStringLiteral("pandoc"), reason);
            return false;
        }
    }
    if (text.trimmed().isEmpty()) {
        if (error)
            *error = ReqImportTexts::DocumentEmpty(info.fileName());
        return false;
    }
    return true;
}

} // namespace DocumentImport
