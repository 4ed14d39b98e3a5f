#include "svgwriter.h"

#include "canvasscene.h"
#include "compositeshape.h"
#include "linkshape.h"

#include <QFontMetricsF>
#include <QHash>
#include <QIODevice>

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

// Styles shared by many elements become one class each; the table is built
// in a first pass so that the style sheet can lead the file.
class CStyleTable
{
public:
    QByteArray ClassFor(const QByteArray &css)
    {
        auto it = m_classes.constFind(css);
        if (it != m_classes.cend())
            return *it;
        const QByteArray name = 's' + QByteArray::number(m_classes.size());
        m_classes.insert(css, name);
        m_order.push_back(css);
        return name;
    }
    QByteArray Sheet() const
    {
        QByteArray sheet;
        for (const QByteArray &css : m_order)
            sheet += '.' + m_classes.value(css) + '{' + css + "}\n";
        return sheet;
    }

private:
    QHash<QByteArray, QByteArray> m_classes;
    std::vector<QByteArray> m_order;
};

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

struct CFontStyle
{
    QByteArray cssClass;
    std::shared_ptr<QFontMetricsF> metrics;
};

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

class CWriter
{
public:
    CWriter(const CCanvasScene &scene, const QRectF &area, QIODevice &out)
        : m_scene(scene)
        , m_origin(area.topLeft())
        , m_out(out)
    {
        m_buffer.reserve(kFlushAt + 8192);
    }

    bool Run(const QRectF &area, const QString &title, const QString &description);

private:
    struct Shape
    {
        const CCompositeShape *shape;
        std::vector<QByteArray> cellClasses; // empty for a cell drawn without a box
        std::vector<QByteArray> strokes;     // the outline part of each cell's style
        std::vector<bool> filled;
        std::vector<int> textStyles; // -1 for a cell without text
        QByteArray outlineClass;
    };
    struct Link
    {
        const CLinkShape *link;
        QByteArray lineClass;
        int marker = -1;
    };

    void collect();
    void writeShape(const Shape &s);
    void writeLink(const Link &l);
    void writeText(const CLabelCell &cell, const QPointF &at, const CFontStyle &font);
    void x(double v) { appendNumber(m_buffer, v - m_origin.x()); }
    void y(double v) { appendNumber(m_buffer, v - m_origin.y()); }
    bool flush(bool always);

    const CCanvasScene &m_scene;
    QPointF m_origin;
    QIODevice &m_out;
    QByteArray m_buffer;
    bool m_good = true;
    CStyleTable m_styles;
    std::vector<Shape> m_shapes;
    std::vector<Link> m_links;
    std::vector<CFontStyle> m_fonts;
    QHash<QByteArray, int> m_fontIndex;
    std::vector<QByteArray> m_markers; // definitions, by index
    QHash<QByteArray, int> m_markerIndex;
};

bool CWriter::flush(bool always)
{
    if (m_good && (always || m_buffer.size() >= kFlushAt) && !m_buffer.isEmpty()) {
        m_good = m_out.write(m_buffer) == m_buffer.size();
        m_buffer.resize(0);
    }
    return m_good;
}

void CWriter::collect()
{
    std::vector<const CCompositeShape *> shapes;
    shapes.reserve(size_t(m_scene.Shapes().size()));
    for (const CCompositeShape *s : m_scene.Shapes()) {
        if (s->isVisible())
            shapes.push_back(s);
    }
    // the same tree gives the same file
    std::sort(shapes.begin(), shapes.end(),
              [](const CCompositeShape *a, const CCompositeShape *b) { return a->Key() < b->Key(); });
    m_shapes.reserve(shapes.size());
    for (const CCompositeShape *s : shapes) {
        Shape entry{s, {}, {}, {}, {}, {}};
        for (int i = 0; i < s->CellCount(); ++i) {
            const CLabelCell &c = s->Cell(i);
            std::optional<QColor> fill;
            std::optional<QColor> stroke;
            if (c.brushType == 1)
                fill = s->EffectiveFill(c);
            const int width = s->EffectiveLineWidth(c);
            if (!c.nullPen && width > 0)
                stroke = s->EffectiveLine(c);
            entry.cellClasses.push_back(fill || stroke ? m_styles.ClassFor(boxCss(fill, stroke, width, c.penStyle))
                                                       : QByteArray());
            entry.strokes.push_back(stroke ? boxCss(std::nullopt, stroke, width, c.penStyle) : QByteArray());
            entry.filled.push_back(fill.has_value());
            if (c.text.isEmpty()) {
                entry.textStyles.push_back(-1);
                continue;
            }
            const QFont font = s->EffectiveFont(c);
            const QByteArray css = "font-family:" + font.family().toUtf8().replace('"', "")
                                   + ",sans-serif;font-size:" + QByteArray::number(font.pixelSize())
                                   + "px;font-weight:" + QByteArray::number(font.weight())
                                   + ";fill:" + colourText(c.textColor) + ";text-anchor:middle";
            auto found = m_fontIndex.constFind(css);
            int index = 0;
            if (found == m_fontIndex.cend()) {
                index = int(m_fonts.size());
                m_fonts.push_back({m_styles.ClassFor(css), std::make_shared<QFontMetricsF>(font)});
                m_fontIndex.insert(css, index);
            } else {
                index = *found;
            }
            entry.textStyles.push_back(index);
        }
        if (!s->NullPen() && s->LineWidth() > 0)
            entry.outlineClass = m_styles.ClassFor(
                boxCss(std::nullopt, s->Format().lineColor.value_or(s->LineColor()), s->LineWidth(), 0));
        m_shapes.push_back(std::move(entry));
    }

    QList<const CLinkShape *> links;
    for (const CCompositeShape *s : shapes) {
        // each link once: from the shape it starts at
        for (int p = 0; p < s->PortCount(); ++p) {
            for (const CLinkShape *l : s->GetLinksOnPort(p)) {
                if (l->GetStartShape() == s && l->isVisible())
                    links.append(l);
            }
        }
    }
    m_links.reserve(size_t(links.size()));
    for (const CLinkShape *l : std::as_const(links)) {
        const QByteArray colour = colourText(l->EffectiveLineColor());
        const int width = l->EffectiveLineWidth();
        Link entry{l, m_styles.ClassFor("fill:none;stroke:" + colour + ";stroke-width:" + QByteArray::number(width)),
                   -1};
        if (l->EndArrowType() != CLinkShape::NoArrow) {
            const QSizeF head = l->ArrowHeadSize();
            const bool filled = l->EndArrowType() == CLinkShape::FilledArrow;
            QByteArray key = colour + ' ' + QByteArray::number(head.width()) + ' ' + QByteArray::number(head.height())
                             + (filled ? " f" : " o");
            auto found = m_markerIndex.constFind(key);
            if (found == m_markerIndex.cend()) {
                entry.marker = int(m_markers.size());
                QByteArray def = "<marker id=\"m" + QByteArray::number(entry.marker)
                                 + "\" markerUnits=\"userSpaceOnUse\" orient=\"auto\" overflow=\"visible\" refX=\"0\" "
                                   "refY=\"0\"><path d=\"M0 0L";
                appendNumber(def, -head.width());
                def += ' ';
                appendNumber(def, head.height());
                def += filled ? 'L' : 'M';
                appendNumber(def, -head.width());
                def += ' ';
                appendNumber(def, -head.height());
                def += filled ? QByteArray("Z\" style=\"fill:" + colour + ";stroke:none\"/></marker>\n")
                              : QByteArray("L0 0\" style=\"fill:none;stroke:" + colour
                                           + ";stroke-width:" + QByteArray::number(width) + "\"/></marker>\n");
                m_markers.push_back(def);
                m_markerIndex.insert(key, entry.marker);
            } else {
                entry.marker = *found;
            }
        }
        m_links.push_back(entry);
    }
}

void CWriter::writeLink(const Link &l)
{
    const QPolygonF path = l.link->Path();
    m_buffer.append("<path class=\"").append(l.lineClass).append("\" d=\"");
    for (qsizetype i = 0; i < path.size(); ++i) {
        m_buffer.append(i == 0 ? 'M' : 'L');
        x(path[i].x());
        m_buffer.append(' ');
        y(path[i].y());
    }
    m_buffer.append('"');
    if (l.marker >= 0)
        m_buffer.append(" marker-end=\"url(#m").append(QByteArray::number(l.marker)).append(")\"");
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

void CWriter::writeShape(const Shape &s)
{
    const QPointF at = s.shape->pos();
    auto drawnBefore = [&s](int cell) {
        // an outline drawn again over the same rectangle in the same style
        // (the frame's overlay) adds nothing to the picture
        const QRect &r = s.shape->Cell(cell).rect;
        for (int j = 0; j < cell; ++j) {
            if (!s.cellClasses[size_t(j)].isEmpty() && s.shape->Cell(j).rect == r
                && s.strokes[size_t(j)] == s.strokes[size_t(cell)])
                return true;
        }
        return false;
    };
    for (int i = 0; i < s.shape->CellCount(); ++i) {
        const CLabelCell &c = s.shape->Cell(i);
        const QByteArray &cls = s.cellClasses[size_t(i)];
        if (!cls.isEmpty() && (s.filled[size_t(i)] || !drawnBefore(i))) {
            m_buffer.append("<rect class=\"").append(cls).append("\" x=\"");
            x(c.rect.x() + at.x());
            m_buffer.append("\" y=\"");
            y(c.rect.y() + at.y());
            m_buffer.append("\" width=\"");
            appendNumber(m_buffer, c.rect.width());
            m_buffer.append("\" height=\"");
            appendNumber(m_buffer, c.rect.height());
            m_buffer.append("\"/>\n");
        }
        if (s.textStyles[size_t(i)] >= 0)
            writeText(c, at, m_fonts[size_t(s.textStyles[size_t(i)])]);
    }
    if (!s.outlineClass.isEmpty()) {
        const QRect r = s.shape->OwnRect();
        m_buffer.append("<rect class=\"").append(s.outlineClass).append("\" x=\"");
        x(r.x() + at.x());
        m_buffer.append("\" y=\"");
        y(r.y() + at.y());
        m_buffer.append("\" width=\"");
        appendNumber(m_buffer, r.width());
        m_buffer.append("\" height=\"");
        appendNumber(m_buffer, r.height());
        m_buffer.append("\"/>\n");
    }
    const QByteArray extra = s.shape->SvgDecorations(m_origin);
    if (!extra.isEmpty())
        m_buffer.append(extra);
}

bool CWriter::Run(const QRectF &area, const QString &title, const QString &description)
{
    collect();
    const QByteArray w = QByteArray::number(std::max(1, int(area.width())));
    const QByteArray h = QByteArray::number(std::max(1, int(area.height())));
    m_buffer
        .append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"")
        .append(w)
        .append("\" height=\"")
        .append(h)
        .append("\" viewBox=\"0 0 ")
        .append(w)
        .append(' ')
        .append(h)
        .append("\">\n<title>");
    appendEscaped(m_buffer, title);
    m_buffer.append("</title>\n<desc>");
    appendEscaped(m_buffer, description);
    m_buffer.append("</desc>\n<style>\n").append(m_styles.Sheet()).append("</style>\n<defs>\n");
    for (const QByteArray &m : m_markers)
        m_buffer.append(m);
    m_buffer.append("</defs>\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n");
    // links run under the boxes they join
    for (const Link &l : m_links) {
        writeLink(l);
        if (!flush(false))
            return false;
    }
    for (const Shape &s : m_shapes) {
        writeShape(s);
        if (!flush(false))
            return false;
    }
    m_buffer.append("</svg>\n");
    return flush(true);
}

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
    CWriter writer(scene, area, out);
    return writer.Run(area, title, description);
}
