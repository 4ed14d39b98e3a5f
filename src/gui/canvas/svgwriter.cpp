#include "svgwriter.h"

#include "canvasscene.h"
#include "compositeshape.h"
#include "linkshape.h"

#include <QFontMetricsF>
#include <QHash>
#include <QIODevice>

#include <array>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace {

constexpr qsizetype kFlushAt = qsizetype(1) << 20;

void appendNumber(QByteArray &out, double v)
{
    const double r = std::round(v);
    if (std::abs(v - r) < 0.005 && std::abs(r) < 2e9) {
        out.append(QByteArray::number(qint64(r)));
        return;
    }
    QByteArray n = QByteArray::number(v, 'f', 2);
    while (n.endsWith('0'))
        n.chop(1);
    if (n.endsWith('.'))
        n.chop(1);
    out.append(n);
}

QByteArray colourText(const QColor &c)
{
    return c.name(QColor::HexRgb).toLatin1();
}

// Element text: the markup characters escaped, and the control characters
// that XML 1.0 cannot carry at all left out.
void appendEscaped(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    for (const char ch : utf8) {
        const auto u = static_cast<unsigned char>(ch);
        switch (ch) {
        case '&': out.append("&amp;"); break;
        case '<': out.append("&lt;"); break;
        case '>': out.append("&gt;"); break;
        case '"': out.append("&quot;"); break;
        default:
            if (u >= 0x20 || ch == '\t')
                out.append(ch);
            else if (ch == '\n' || ch == '\r')
                out.append(' ');
        }
    }
}

const char *dashOf(int penStyle)
{
    switch (penStyle) {
    case 1: return "6 3";
    case 2: return "1 3";
    case 3: return "6 3 1 3";
    default: return nullptr;
    }
}

QByteArray boxCss(const std::optional<QColor> &fill, const std::optional<QColor> &stroke, int width, int penStyle)
{
    QByteArray css = "fill:" + (fill ? colourText(*fill) : QByteArray("none"));
    if (stroke && width > 0) {
        css += ";stroke:" + colourText(*stroke) + ";stroke-width:" + QByteArray::number(width);
        if (const char *dash = dashOf(penStyle))
            css += QByteArray(";stroke-dasharray:") + dash;
    }
    return css;
}

// The look of a box or an outline as one number, so that telling two
// looks apart costs no text: 25 bits of fill, 25 of stroke, 8 of width and
// 3 of dash.
quint64 lookKey(const std::optional<QColor> &fill, const std::optional<QColor> &stroke, int width, int penStyle)
{
    quint64 key = fill ? (quint64(1) << 24) | (fill->rgb() & 0xFFFFFF) : 0;
    if (stroke && width > 0)
        key |= (((quint64(1) << 24) | (stroke->rgb() & 0xFFFFFF)) << 25) | (quint64(std::min(width, 255)) << 50)
               | (quint64(penStyle & 7) << 58);
    return key;
}

int penStyleOf(Qt::PenStyle style)
{
    switch (style) {
    case Qt::DashLine: return 1;
    case Qt::DotLine: return 2;
    case Qt::DashDotLine: return 3;
    default: return 0;
    }
}

// Breaks a text into the lines that word wrapping in the cell gives on
// screen; a word wider than the cell keeps a line of its own.
QStringList wrapped(const QString &text, const QFontMetricsF &fm, qreal width)
{
    if (fm.horizontalAdvance(text) <= width)
        return {text};
    QStringList lines;
    QString line;
    for (const QString &word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString tryLine = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && fm.horizontalAdvance(tryLine) > width) {
            lines.append(line);
            line = word;
        } else {
            line = tryLine;
        }
    }
    if (!line.isEmpty())
        lines.append(line);
    return lines;
}

struct CFontStyle
{
    QString face;
    int pointSize = 0;
    int weight = 0;
    QRgb colour = 0;
    QByteArray cssClass;
    std::unique_ptr<QFontMetricsF> metrics;
};

// Two passes over the same items: the first gathers the styles so that
// the style sheet can lead the file, the second writes the elements.
class CWriter
{
public:
    CWriter(const CSvgSource &source, QIODevice &out, const CSvgOptions &options)
        : m_source(source)
        , m_area(source.Area())
        , m_origin(m_area.topLeft())
        , m_out(out)
        , m_options(options)
    {
        m_buffer.reserve(kFlushAt + 8192);
    }

    bool Run();

private:
    QByteArray classOf(quint64 key, const std::optional<QColor> &fill, const std::optional<QColor> &stroke, int width,
                       int penStyle);
    QByteArray newClass(const QByteArray &css);
    const CFontStyle &fontOf(const Canvas::CShapeFormat &format, const CLabelCell &cell);
    QByteArray lineClassOf(const CSvgLink &l);
    int markerOf(const CSvgLink &l);
    void writeBox(const CSvgBox &b);
    void writeLink(const CSvgLink &l);
    void writeText(const CLabelCell &cell, const QPointF &at, const CFontStyle &font);
    void writeRect(const QByteArray &cls, const QRectF &r);
    void x(double v) { appendNumber(m_buffer, v - m_origin.x()); }
    void y(double v) { appendNumber(m_buffer, v - m_origin.y()); }
    bool flush(bool always);

    const CSvgSource &m_source;
    QRectF m_area;
    QPointF m_origin;
    QIODevice &m_out;
    const CSvgOptions &m_options;
    QByteArray m_buffer;
    QByteArray m_hits;
    bool m_good = true;
    QByteArray m_sheet;
    QHash<QByteArray, QByteArray> m_cssClasses;
    QHash<quint64, QByteArray> m_lookClasses;
    QHash<quint64, QByteArray> m_lineClasses;
    std::vector<std::unique_ptr<CFontStyle>> m_fonts;
    std::vector<QByteArray> m_markers; // definitions, by index
    QHash<quint64, int> m_markerIndex;
};

bool CWriter::flush(bool always)
{
    if (!m_good) {
        // the device refused: the rest of the items go nowhere
        m_buffer.resize(0);
        return false;
    }
    if (m_good && (always || m_buffer.size() >= kFlushAt) && !m_buffer.isEmpty()) {
        m_good = m_out.write(m_buffer) == m_buffer.size();
        m_buffer.resize(0);
    }
    return m_good;
}

QByteArray CWriter::newClass(const QByteArray &css)
{
    // looks told apart by their numbers may still come out as the same text
    auto it = m_cssClasses.constFind(css);
    if (it != m_cssClasses.cend())
        return *it;
    const QByteArray name = 's' + QByteArray::number(m_cssClasses.size());
    m_cssClasses.insert(css, name);
    m_sheet += '.' + name + '{' + css + "}\n";
    return name;
}

QByteArray CWriter::classOf(quint64 key, const std::optional<QColor> &fill, const std::optional<QColor> &stroke,
                            int width, int penStyle)
{
    auto it = m_lookClasses.constFind(key);
    if (it != m_lookClasses.cend())
        return *it;
    const QByteArray name = newClass(boxCss(fill, stroke, width, penStyle));
    m_lookClasses.insert(key, name);
    return name;
}

const CFontStyle &CWriter::fontOf(const Canvas::CShapeFormat &format, const CLabelCell &cell)
{
    const QString &face = format.faceName ? *format.faceName : cell.faceName;
    const int pointSize = format.pointSize.value_or(cell.pointSize);
    const QRgb colour = cell.textColor.rgb();
    // a picture has a handful of fonts: a look through them beats hashing
    for (const auto &f : m_fonts) {
        if (f->pointSize == pointSize && f->weight == cell.weight && f->colour == colour && f->face == face)
            return *f;
    }
    const QFont font = CCompositeShape::EffectiveFont(format, cell);
    auto style = std::make_unique<CFontStyle>();
    style->face = face;
    style->pointSize = pointSize;
    style->weight = cell.weight;
    style->colour = colour;
    style->cssClass =
        newClass("font-family:" + font.family().toUtf8().replace('"', "").replace('}', "") + ",sans-serif;font-size:"
                 + QByteArray::number(font.pixelSize()) + "px;font-weight:" + QByteArray::number(font.weight())
                 + ";fill:" + colourText(cell.textColor) + ";text-anchor:middle");
    style->metrics = std::make_unique<QFontMetricsF>(font);
    m_fonts.push_back(std::move(style));
    return *m_fonts.back();
}

QByteArray CWriter::lineClassOf(const CSvgLink &l)
{
    const quint64 key = (l.colour.rgb() & 0xFFFFFF) | (quint64(std::clamp(l.width, 0, 255)) << 24);
    auto it = m_lineClasses.constFind(key);
    if (it != m_lineClasses.cend())
        return *it;
    const QByteArray name =
        newClass("fill:none;stroke:" + colourText(l.colour) + ";stroke-width:" + QByteArray::number(l.width));
    m_lineClasses.insert(key, name);
    return name;
}

int CWriter::markerOf(const CSvgLink &l)
{
    if (l.arrowType == 0)
        return -1;
    const bool filled = l.arrowType == 3;
    const auto hundredths = [](qreal v) { return quint64(std::clamp(qRound(v * 100), 0, 0xFFFF)); };
    const quint64 key = (l.colour.rgb() & 0xFFFFFF) | (quint64(filled) << 24) | (hundredths(l.head.width()) << 25)
                        | (hundredths(l.head.height()) << 41) | (quint64(std::clamp(l.width, 0, 63)) << 57);
    auto found = m_markerIndex.constFind(key);
    if (found != m_markerIndex.cend())
        return *found;
    const int index = int(m_markers.size());
    const QByteArray colour = colourText(l.colour);
    QByteArray def = "<marker id=\"m" + QByteArray::number(index)
                     + "\" markerUnits=\"userSpaceOnUse\" orient=\"auto\" overflow=\"visible\" refX=\"0\" "
                       "refY=\"0\"><path d=\"M0 0L";
    appendNumber(def, -l.head.width());
    def += ' ';
    appendNumber(def, l.head.height());
    def += filled ? 'L' : 'M';
    appendNumber(def, -l.head.width());
    def += ' ';
    appendNumber(def, -l.head.height());
    def += filled ? QByteArray("Z\" style=\"fill:" + colour + ";stroke:none\"/></marker>\n")
                  : QByteArray("L0 0\" style=\"fill:none;stroke:" + colour
                               + ";stroke-width:" + QByteArray::number(l.width) + "\"/></marker>\n");
    m_markers.push_back(def);
    m_markerIndex.insert(key, index);
    return index;
}

void CWriter::writeLink(const CSvgLink &l)
{
    m_buffer.append("<path class=\"").append(lineClassOf(l)).append("\" d=\"");
    for (qsizetype i = 0; i < l.path.size(); ++i) {
        m_buffer.append(i == 0 ? 'M' : 'L');
        x(l.path[i].x());
        m_buffer.append(' ');
        y(l.path[i].y());
    }
    m_buffer.append('"');
    if (const int marker = markerOf(l); marker >= 0)
        m_buffer.append(" marker-end=\"url(#m").append(QByteArray::number(marker)).append(")\"");
    m_buffer.append("/>\n");
}

void CWriter::writeText(const CLabelCell &cell, const QPointF &at, const CFontStyle &font)
{
    // the screen's inner margins and centring; lines beyond the cell are cut
    const QRectF inner = QRectF(cell.rect.adjusted(2, 1, -2, -1)).translated(at);
    const QFontMetricsF &fm = *font.metrics;
    QStringList lines = wrapped(cell.text, fm, std::max<qreal>(1, inner.width()));
    const qreal lineHeight = fm.lineSpacing();
    const qsizetype fits = std::max<qsizetype>(1, qsizetype((inner.height() + 0.5) / lineHeight));
    if (lines.size() > fits)
        lines = lines.mid((lines.size() - fits) / 2, fits);
    const qreal top = inner.center().y() - lines.size() * lineHeight / 2;
    m_buffer.append("<text class=\"").append(font.cssClass).append("\" x=\"");
    x(inner.center().x());
    m_buffer.append("\" y=\"");
    y(top + fm.ascent());
    m_buffer.append("\">");
    if (lines.size() == 1) {
        appendEscaped(m_buffer, lines.first());
    } else {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            m_buffer.append("<tspan x=\"");
            x(inner.center().x());
            m_buffer.append("\" y=\"");
            y(top + fm.ascent() + i * lineHeight);
            m_buffer.append("\">");
            appendEscaped(m_buffer, lines[i]);
            m_buffer.append("</tspan>");
        }
    }
    m_buffer.append("</text>\n");
}

void CWriter::writeRect(const QByteArray &cls, const QRectF &r)
{
    m_buffer.append("<rect class=\"").append(cls).append("\" x=\"");
    x(r.x());
    m_buffer.append("\" y=\"");
    y(r.y());
    m_buffer.append("\" width=\"");
    appendNumber(m_buffer, r.width());
    m_buffer.append("\" height=\"");
    appendNumber(m_buffer, r.height());
    m_buffer.append("\"/>\n");
}

// Both passes go through here; the first only gathers the styles.
struct CCellLook
{
    std::optional<QColor> fill;
    std::optional<QColor> stroke;
    int width = 0;
    quint64 key = 0;
    quint64 strokeKey = 0;
};

CCellLook lookOf(const Canvas::CShapeFormat &format, const CLabelCell &c)
{
    CCellLook look;
    if (c.brushType == 1)
        look.fill = CCompositeShape::EffectiveFill(format, c);
    look.width = CCompositeShape::EffectiveLineWidth(format, c);
    if (!c.nullPen && look.width > 0)
        look.stroke = CCompositeShape::EffectiveLine(format, c);
    look.key = look.fill || look.stroke ? lookKey(look.fill, look.stroke, look.width, c.penStyle) : 0;
    look.strokeKey = look.stroke ? lookKey(std::nullopt, look.stroke, look.width, c.penStyle) : 0;
    return look;
}

const Canvas::CShapeFormat &formatOf(const CSvgBox &b)
{
    static const Canvas::CShapeFormat none;
    return b.format ? *b.format : none;
}

void CWriter::writeBox(const CSvgBox &b)
{
    const Canvas::CShapeFormat &format = formatOf(b);
    const QList<CLabelCell> &cells = *b.cells;
    // an outline drawn again over the same rectangle in the same style (the
    // frame's overlay) adds nothing to the picture
    std::array<quint64, 16> strokes{};
    QRect border(QPoint(0, 0), b.frame.size());
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const CLabelCell &c = cells[i];
        border = border.united(c.rect);
        const CCellLook look = lookOf(format, c);
        if (i < qsizetype(strokes.size()))
            strokes[size_t(i)] = look.key ? look.strokeKey : ~quint64(0);
        if (look.key) {
            bool drawnBefore = false;
            if (!look.fill) {
                for (qsizetype j = 0; j < std::min(i, qsizetype(strokes.size())) && !drawnBefore; ++j)
                    drawnBefore = cells[j].rect == c.rect && strokes[size_t(j)] == look.strokeKey;
            }
            if (!drawnBefore)
                writeRect(classOf(look.key, look.fill, look.stroke, look.width, c.penStyle),
                          QRectF(c.rect).translated(b.pos));
        }
        if (!c.text.isEmpty())
            writeText(c, b.pos, fontOf(format, c));
    }
    if (b.outlineWidth > 0) {
        const std::optional<QColor> line = b.outline;
        writeRect(classOf(lookKey(std::nullopt, line, b.outlineWidth, penStyleOf(b.outlineStyle)), std::nullopt, line,
                          b.outlineWidth, penStyleOf(b.outlineStyle)),
                  QRectF(b.frame).translated(b.pos));
    }
    if (!b.decorations.isEmpty())
        m_buffer.append(b.decorations);
    if (m_options.hitBoxes) {
        // kept for the end, so that a highlighted box's mark lies over its neighbours
        const QRectF hit = QRectF(border).translated(b.pos - m_origin).adjusted(-4, -4, 4, 4);
        m_hits.append("<rect class=\"hit\" id=\"n").append(QByteArray::number(b.key)).append("\" x=\"");
        appendNumber(m_hits, hit.x());
        m_hits.append("\" y=\"");
        appendNumber(m_hits, hit.y());
        m_hits.append("\" width=\"");
        appendNumber(m_hits, hit.width());
        m_hits.append("\" height=\"");
        appendNumber(m_hits, hit.height());
        m_hits.append("\"/>\n");
    }
}

bool CWriter::Run()
{
    // first pass: the styles, in the order the items first use them
    m_source.Links([this](const CSvgLink &l) {
        lineClassOf(l);
        markerOf(l);
    });
    m_source.Boxes(m_origin, [this](const CSvgBox &b) {
        const Canvas::CShapeFormat &format = formatOf(b);
        for (const CLabelCell &c : *b.cells) {
            const CCellLook look = lookOf(format, c);
            if (look.key)
                classOf(look.key, look.fill, look.stroke, look.width, c.penStyle);
            if (!c.text.isEmpty())
                fontOf(format, c);
        }
        if (b.outlineWidth > 0)
            classOf(lookKey(std::nullopt, b.outline, b.outlineWidth, penStyleOf(b.outlineStyle)), std::nullopt,
                    b.outline, b.outlineWidth, penStyleOf(b.outlineStyle));
    });

    const QByteArray w = QByteArray::number(std::max(1, int(m_area.width())));
    const QByteArray h = QByteArray::number(std::max(1, int(m_area.height())));
    if (m_options.declaration)
        m_buffer.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    m_buffer.append("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"")
        .append(w)
        .append("\" height=\"")
        .append(h)
        .append("\" viewBox=\"0 0 ")
        .append(w)
        .append(' ')
        .append(h)
        .append("\">\n<title>");
    appendEscaped(m_buffer, m_options.title);
    m_buffer.append("</title>\n<desc>");
    appendEscaped(m_buffer, m_options.description);
    m_buffer.append("</desc>\n<style>\n").append(m_sheet).append("</style>\n<defs>\n");
    for (const QByteArray &m : m_markers)
        m_buffer.append(m);
    m_buffer.append("</defs>\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n");
    // links run under the boxes they join
    m_source.Links([this](const CSvgLink &l) {
        writeLink(l);
        flush(false);
    });
    m_source.Boxes(m_origin, [this](const CSvgBox &b) {
        writeBox(b);
        flush(false);
    });
    if (!m_good)
        return false;
    m_buffer.append(m_hits).append("</svg>\n");
    return flush(true);
}

// A canvas as a source: its visible shapes by key, and the links that start
// at them.
class CSceneSource : public CSvgSource
{
public:
    CSceneSource(const CCanvasScene &scene, const QRectF &area) : m_area(area)
    {
        for (const CCompositeShape *s : scene.Shapes()) {
            if (s->isVisible())
                m_shapes.push_back(s);
        }
        // the same tree gives the same file
        std::sort(m_shapes.begin(), m_shapes.end(),
                  [](const CCompositeShape *a, const CCompositeShape *b) { return a->Key() < b->Key(); });
    }

    QRectF Area() const override { return m_area; }

    void Boxes(const QPointF &origin, const std::function<void(const CSvgBox &)> &visit) const override
    {
        QList<CLabelCell> cells;
        for (const CCompositeShape *s : m_shapes) {
            cells.clear();
            for (int i = 0; i < s->CellCount(); ++i)
                cells.append(s->Cell(i));
            CSvgBox b;
            b.key = s->Key();
            b.pos = s->pos();
            b.frame = s->OwnRect();
            b.cells = &cells;
            b.format = &s->Format();
            if (!s->NullPen() && s->LineWidth() > 0) {
                b.outline = s->Format().lineColor.value_or(s->LineColor());
                b.outlineWidth = s->LineWidth();
                b.outlineStyle = s->LineStyle();
            }
            b.decorations = s->SvgDecorations(origin);
            visit(b);
        }
    }

    void Links(const std::function<void(const CSvgLink &)> &visit) const override
    {
        for (const CCompositeShape *s : m_shapes) {
            // each link once: from the shape it starts at
            for (int p = 0; p < s->PortCount(); ++p) {
                for (const CLinkShape *l : s->GetLinksOnPort(p)) {
                    if (l->GetStartShape() != s || !l->isVisible())
                        continue;
                    visit({l->Path(), l->EffectiveLineColor(), l->EffectiveLineWidth(), l->EndArrowType(),
                           l->ArrowHeadSize()});
                }
            }
        }
    }

private:
    QRectF m_area;
    std::vector<const CCompositeShape *> m_shapes;
};

} // namespace

bool CSvgWriter::CanWrite(const CCanvasScene &scene)
{
    for (const QGraphicsItem *i : scene.items()) {
        if (i->isVisible() && i->type() != Canvas::CompositeItem && i->type() != Canvas::LinkItem
            && i->type() != Canvas::LayerItem)
            return false;
    }
    return true;
}

bool CSvgWriter::Write(const CCanvasScene &scene, const QRectF &area, QIODevice &out, const QString &title,
                       const QString &description)
{
    CSceneSource source(scene, area);
    CSvgOptions options;
    options.title = title;
    options.description = description;
    return Write(source, out, options);
}

bool CSvgWriter::Write(const CSvgSource &source, QIODevice &out, const CSvgOptions &options)
{
    CWriter writer(source, out, options);
    return writer.Run();
}
